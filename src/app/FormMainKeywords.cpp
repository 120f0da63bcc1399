#include "app/TFormMain.h"

#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "dialogs/TFormKeywordFile.h"
#include "dialogs/TFormOpenKeyWord.h"
#include "store/DocumentLoad.h"
#include "store/EntryNames.h"
#include "store/Paths.h"
#include "store/StartupList.h"

#include <QAction>

void TFormMain::OpenKeywordTab(const QString& name)
{
    int index = TabControl->findCaption(name);
    if (index < 0)
        index = TabControl->addTab(name);
    TabControl->selectSilently(index);

    const QString path = KeywordFilePath(DocsDir, name);
    const QString backup = KeywordFilePath(BackupDir, name);
    const TLoadDecision decision = DecideLoadSource(path, backup);
    switch (decision.source) {
    case TLoadSource::File:
        Editor->loadFromFile(path);
        break;
    case TLoadSource::Backup:
        Editor->loadFromFile(backup);
        showInformation(decision.fileExistedEmpty
                            ? QStringLiteral("Restored from backup")
                            : name + QStringLiteral(" has been restored from backup"));
        break;
    case TLoadSource::Nothing:
        Editor->clearContent();
        ApplyEditorFont();
        break;
    }
    rememberStamp(path);
    Editor->setModified(false);
    EditorSelectionChange();
    Editor->setFocus();
}

std::optional<QString> TFormMain::askKeywordName(
    const QString& proposed, const std::function<QString(const QString&)>& check)
{
    TFormKeywordFile dialog(this, proposed, [this](const QString& message) { showInformation(message); });
    dialog.setNameCheck(check);
    if (prompter->execDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.keyword();
}

void TFormMain::FileNewKeywordFileExecute()
{
    const QString proposed = QStringLiteral("untitled%1").arg(NewKeywordCount);
    ++NewKeywordCount;
    const std::optional<QString> name = askKeywordName(proposed, {});
    if (!name)
        return;
    SaveCurrentDocument();
    OpenKeywordTab(*name);
}

void TFormMain::FileOpenExecute()
{
    QStringList keywords;
    for (const QString& file : SortedNames(ListDirectory(DocsDir, QStringLiteral("kw_*.rtf"))))
        keywords << KeywordOfFileName(file);
    TFormOpenKeyWord dialog(this, keywords);
    if (prompter->execDialog(dialog) != QDialog::Accepted)
        return;
    const QString chosen = dialog.selectedKeyword();
    if (chosen.isEmpty())
        return;
    SaveCurrentDocument();
    OpenKeywordTab(chosen);
}

void TFormMain::FileRenameKeywordExecute()
{
    if (diaryTabSelected())
        return;
    const QString oldName = selectedCaption();
    const int current = TabControl->currentIndex();
    // Another keyword's file or tab must never be overwritten by a rename; the same name in
    // other letter case is this keyword itself.
    auto taken = [this, oldName, current](const QString& name) -> QString {
        if (name.compare(oldName, Qt::CaseInsensitive) == 0)
            return {};
        const int tab = TabControl->findCaption(name);
        const bool otherTab = tab >= 0 && tab != current;
        if (otherTab || FileExists(KeywordFilePath(DocsDir, name)))
            return QStringLiteral("A Keyword named \"%1\" already exists!\n"
                                  "Choose another name, or delete that keyword file first.")
                .arg(name);
        return {};
    };
    const std::optional<QString> newName = askKeywordName(oldName, taken);
    if (!newName)
        return;
    const QString oldPath = KeywordFilePath(DocsDir, oldName);
    const QString oldBackup = KeywordFilePath(BackupDir, oldName);
    TabControl->setTabText(current, *newName);
    Editor->setModified(true);
    const bool sameFile = newName->compare(oldName, Qt::CaseInsensitive) == 0;
    if (sameFile) {
        // Only the spelling changes: the file takes the new spelling, nothing is deleted.
        const QString newPath = JoinPath(DocsDir, KeywordFileName(*newName));
        const QString newBackup = JoinPath(BackupDir, KeywordFileName(*newName));
        if (oldPath != newPath && FileExists(oldPath) && RenameFile(oldPath, newPath))
            emit documentRenamed(oldPath, newPath);
        if (oldBackup != newBackup && FileExists(oldBackup))
            RenameFile(oldBackup, newBackup);
        rememberStamp(newPath);
    }
    SaveCurrentDocument();
    const int index = StartupTabs.indexOf(oldName);
    if (index >= 0)
        StartupTabs[index] = *newName;
    if (!sameFile) {
        DeleteFileIfExists(oldPath);
        DeleteFileIfExists(oldBackup);
        emit documentRemoved(oldPath);
    }
}

void TFormMain::FileCloseTabExecute()
{
    SaveCurrentDocument();
    const int index = TabControl->currentIndex();
    TabControl->removeTab(index);
    TabControl->selectSilently(std::max(0, index - 1));
    TabControlChange();
}

void TFormMain::FileCloseKeywordFileExecute()
{
    FileCloseTabExecute();
}

void TFormMain::FileDeleteKeywordFileExecute()
{
    const QString name = selectedCaption();
    const QString question = QStringLiteral("Are you sure that you wish to delete \"") + name +
                             QStringLiteral("\"?\nWarning! This action is irrevocable!");
    if (!prompter->question(this, QStringLiteral("Delete Keyword File"), question))
        return;
    const QString path = KeywordFilePath(DocsDir, name);
    DeleteFileIfExists(path);
    DeleteFileIfExists(KeywordFilePath(BackupDir, name));
    emit documentRemoved(path);
    for (int i = 0; i < StartupTabs.size(); ++i) {
        if (StartupTabs[i].compare(name, Qt::CaseInsensitive) == 0) {
            StartupTabs.removeAt(i);
            SaveStartupTabs();
            break;
        }
    }
    TabControl->removeTab(TabControl->currentIndex());
    TabControl->selectSilently(0);
    TabControlChange();
}

void TFormMain::updateKeywordCommands()
{
    const bool keyword = !diaryTabSelected();
    for (const char* name : {"FileRenameKeyword", "FileCloseTab", "FileCloseKeywordFile",
                             "FileDeleteKeywordFile"})
        command(QLatin1String(name))->setEnabled(keyword);
    FileLoadAtStartupUpdate();
}
