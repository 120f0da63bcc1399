#include "app/TFormMain.h"

#include "app/TRichEditor.h"
#include "app/TTabRow.h"

#include <QFileInfo>
#include "store/AtomicFile.h"
#include "store/DocumentLoad.h"
#include "store/EntryNames.h"
#include "store/ExternalChange.h"
#include "store/Paths.h"

void TFormMain::OpenDiaryEntry(QDate date)
{
    TabControl->selectSilently(0);
    CurrentDate = date;
    EntryFileName = EntryFileNameOf(date);
    EntryPath = ResolveCaseInsensitive(DocsDir, EntryFileName);
    EntryBackupPath = ResolveCaseInsensitive(BackupDir, EntryFileName);

    const TLoadDecision decision = DecideLoadSource(EntryPath, EntryBackupPath);
    switch (decision.source) {
    case TLoadSource::File:
        Editor->loadFromFile(EntryPath);
        break;
    case TLoadSource::Backup:
        Editor->loadFromFile(EntryBackupPath);
        showInformation(decision.fileExistedEmpty
                            ? QStringLiteral("Diary file has been restored from backup")
                            : QStringLiteral("Diary has been restored from backup"));
        break;
    case TLoadSource::Nothing:
        Editor->clearContent();
        ApplyEditorFont();
        break;
    }
    // A file that loaded as it is stays untouched: opening a day never rewrites it. A restored
    // copy becomes the entry again, and a day without a file gets one so that it counts as a
    // stored entry while it is shown (leaving it empty removes it again).
    rememberStamp(EntryPath);
    entryPlaceholder = false;
    if (decision.source != TLoadSource::File)
        writeDocument(EntryPath);
    if (decision.source == TLoadSource::Nothing) {
        entryPlaceholder = true;
        placeholderStamp = StampOf(EntryPath);
    }
    Editor->setModified(false);
    CurrentYear = date.year();
    CurrentMonth = date.month();
    UpdateEntryNeighbours();
    EditorSelectionChange();
    Editor->setFocus();
}

void TFormMain::SaveCurrentDocument()
{
    // A document that could not be read is shown read-only and empty; neither saving nor the
    // empty-entry rule may touch its file.
    if (Editor->isReadOnly())
        return;
    const bool diary = diaryTabSelected();
    if (Editor->isModified()) {
        if (diary) {
            if (Editor->isEmptyDocument()) {
                DeleteFileIfExists(EntryPath);
                DeleteFileIfExists(EntryBackupPath);
                emit documentRemoved(EntryPath);
                return; // stays modified, as the user left it
            }
            const QString backupFailure =
                BackupBeforeSave ? keepBackupCopy(EntryPath, EntryBackupPath) : QString();
            writeDocument(EntryPath);
            reportBackupFailure(backupFailure);
            UpdateEntryNeighbours();
        } else {
            SaveKeywordFile(selectedCaption());
        }
        RefreshQuickList();
        Editor->setModified(false);
        return;
    }
    if (diary && Editor->isEmptyDocument()) {
        DeleteFileIfExists(EntryPath);
        DeleteFileIfExists(EntryBackupPath);
        emit documentRemoved(EntryPath);
    }
}

void TFormMain::SaveKeywordFile(const QString& name)
{
    const QString path = KeywordFilePath(DocsDir, name);
    const QString backup = KeywordFilePath(BackupDir, name);
    if (Editor->isEmptyDocument()) {
        DeleteFileIfExists(path);
        DeleteFileIfExists(backup);
        emit documentRemoved(path);
    } else {
        const QString backupFailure = BackupBeforeSave ? keepBackupCopy(path, backup) : QString();
        writeDocument(path);
        reportBackupFailure(backupFailure);
    }
    Editor->setModified(false);
}

void TFormMain::FileSaveExecute()
{
    SaveCurrentDocument();
}

void TFormMain::writeDocument(const QString& path)
{
    preserveExternalChange(path);
    Editor->saveToFile(path);
    rememberStamp(path);
    emit documentSaved(path);
}

void TFormMain::rememberStamp(const QString& path)
{
    stampPath = path;
    documentStamp = StampOf(path);
}

void TFormMain::preserveExternalChange(const QString& path)
{
    if (path != stampPath)
        return;
    const TFileStamp now = StampOf(path);
    if (!now.exists || (now.size == documentStamp.size && now.mtimeMs == documentStamp.mtimeMs &&
                        documentStamp.exists))
        return;
    // Another program (a sync tool, an editor) replaced the file since we read it. Its version
    // is kept before ours goes over it, and the user is told where.
    const QString copy = PreserveExternalVersion(path, BackupDir, env.now());
    showInformation(QStringLiteral("\"%1\" was changed by another program after it was opened.\n"
                                   "That version has been kept as \"%2\".")
                        .arg(path, copy));
}

QString TFormMain::keepBackupCopy(const QString& path, const QString& backup)
{
    // No file yet, or no backup folder (the first run makes it only at the next start): there
    // is nothing to keep, and nothing to tell.
    if (!FileExists(path) || !QFileInfo(BackupDir).isDir())
        return {};
    try {
        AtomicFile::write(backup, ReadWholeFile(path));
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

void TFormMain::reportBackupFailure(const QString& failure)
{
    // Told only once the save itself went through: a failed save has its own message, and
    // what was typed is never held back for want of a copy.
    if (!failure.isEmpty())
        showError(QStringLiteral("The previous version could not be kept as a backup copy; "
                                 "the document is saved all the same.\n%1")
                      .arg(failure));
}
