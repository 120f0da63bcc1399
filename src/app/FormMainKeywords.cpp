#include "app/TFormMain.h"

#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "dialogs/TFormKeywordFile.h"
#include "dialogs/TFormOpenKeyWord.h"
#include "store/EntryNames.h"
#include "store/Paths.h"
#include "store/StartupList.h"

#include <QAction>
#include <QTextDocument>

void TFormMain::OpenKeywordTab(const QString& name)
{
    // A keyword always has a tab of its own, even one named "Diary": the Diary tab shows
    // entries only.
    int index = TabControl->findKeywordTab(name);
    if (index < 0)
        index = TabControl->addTab(name);
    TabControl->selectSilently(index);
    showOpened(readDocument([&](QTextDocument& doc) { return Journal->OpenKeyword(name, doc); }));
}

std::optional<QString>
TFormMain::askKeywordName(const QString& proposed,
                          const std::function<QString(const QString&)>& check)
{
    TFormKeywordFile dialog(this, proposed,
                            [this](const QString& message) { showInformation(message); });
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
    for (const QString& file :
         SortedNames(ListDirectory(Journal->DocsDir, QStringLiteral("kw_*.rtf"))))
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
    // A document that could not be read cannot be written under another name.
    if (Journal->currentIsReadOnly()) {
        showError(QStringLiteral("\"%1\" could not be read, so it cannot be renamed; the file is "
                                 "left as it is")
                      .arg(Journal->pathOf(Journal->current())));
        return;
    }
    // Another keyword's file or tab must never be overwritten by a rename; the same name in
    // other letter case is this keyword itself.
    auto taken = [this, oldName, current](const QString& name) -> QString {
        if (name.compare(oldName, Qt::CaseInsensitive) == 0)
            return {};
        const int tab = TabControl->findKeywordTab(name);
        const bool otherTab = tab >= 0 && tab != current;
        if (otherTab || FileExists(KeywordFilePath(Journal->DocsDir, name)))
            return QStringLiteral("A Keyword named \"%1\" already exists!\n"
                                  "Choose another name, or delete that keyword file first.")
                .arg(name);
        return {};
    };
    const std::optional<QString> newName = askKeywordName(oldName, taken);
    if (!newName)
        return;
    Journal->RenameKeyword(oldName, *newName, *Editor->document(), Editor->isModified());
    TabControl->setTabText(current, *newName);
    RefreshQuickList();
    Editor->setModified(false);
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
    Journal->DeleteKeyword(name);
    TabControl->removeTab(TabControl->currentIndex());
    TabControl->selectSilently(0);
    TabControlChange();
}

void TFormMain::updateKeywordCommands()
{
    const bool keyword = !diaryTabSelected();
    for (const char* name :
         {"FileRenameKeyword", "FileCloseTab", "FileCloseKeywordFile", "FileDeleteKeywordFile"})
        command(QLatin1String(name))->setEnabled(keyword);
    FileLoadAtStartupUpdate();
}
