#include "journal/TJournal.h"

#include "journal/FolderWatch.h"
#include "journal/ReadAhead.h"
#include "rtf/DocumentFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "store/AtomicFile.h"
#include "store/EntryNames.h"
#include "store/EntryScan.h"
#include "store/JournalError.h"
#include "store/Paths.h"
#include "store/StartupList.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextDocument>

struct TJournal::TLoaded
{
    TDocumentFormat format = TDocumentFormat::Unreadable;
    bool lossy = false;
    std::unique_ptr<QTextDocument> readAhead; // holds what was read instead of the given one
};

namespace {

bool isEmptyDocument(const QTextDocument& doc)
{
    return doc.characterCount() <= 1;
}

int indexIgnoringCase(const QStringList& list, const QString& name)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Reads a file's bytes as a document on its own, to look at it without touching the one shown.
struct TScratchRead
{
    TDocumentFormat format = TDocumentFormat::Unreadable;
    bool holdsContent = false;
};

TScratchRead readAside(const QString& path)
{
    QTextDocument scratch;
    TScratchRead read;
    read.format = LoadDocumentBytes(ReadWholeFile(path), scratch);
    read.holdsContent = read.format == TDocumentFormat::Unreadable || !isEmptyDocument(scratch);
    return read;
}

} // namespace

TJournal::TJournal(QObject* parent) : QObject(parent)
{
    watch = new TFolderWatch(this);
    connect(watch, &TFolderWatch::changed, this, &TJournal::folderChanged);
}

TJournal::~TJournal() = default;

void TJournal::SetDirectories(const QString& docsDir, const QString& backupDir)
{
    DocsDir = docsDir;
    BackupDir = backupDir;
    // Temporary files of writes that a crash or a kill cut short are of no use to anyone.
    for (const QString& dir : {DocsDir, BackupDir})
        AtomicFile::removeLeftovers(dir);
    watch->watch(DocsDir);
}

QString TJournal::pathOf(const TDocumentId& id) const
{
    if (id.isEntry())
        return id.date() == CurrentDate && !EntryPath.isEmpty()
                   ? EntryPath
                   : ResolveCaseInsensitive(DocsDir, EntryFileNameOf(id.date()));
    if (id.isKeyword())
        return KeywordFilePath(DocsDir, id.keywordName());
    return {};
}

QString TJournal::backupPathOf(const TDocumentId& id) const
{
    if (id.isEntry())
        return id.date() == CurrentDate && !EntryBackupPath.isEmpty()
                   ? EntryBackupPath
                   : ResolveCaseInsensitive(BackupDir, EntryFileNameOf(id.date()));
    if (id.isKeyword())
        return KeywordFilePath(BackupDir, id.keywordName());
    return {};
}

void TJournal::UpdateEntryNeighbours(QDate today)
{
    const TEntryNeighbours n = ScanEntryNeighbours(DocsDir, EntryFileName);
    HasPrevEntry = n.hasPrev;
    HasNextEntry = n.hasNext;
    PrevEntryDate = n.hasPrev ? n.prev : today;
    NextEntryDate = n.hasNext ? n.next : today;
}

// ---------------------------------------------------------------------------------------------
// Loading

void TJournal::UseReadAhead(std::shared_ptr<TReadAhead> ahead)
{
    readAhead = std::move(ahead);
}

TJournal::TLoaded TJournal::loadFile(const QString& path, QTextDocument& doc)
{
    // Only the very next load may take a read-ahead: later ones could follow a change of the
    // file that its stamp does not show.
    if (const std::shared_ptr<TReadAhead> ahead = std::exchange(readAhead, nullptr);
        ahead && ahead->path() == path) {
        TReadAhead::TResult read = ahead->take();
        if (read.document) {
            TLoaded loaded;
            loaded.format = read.format;
            loaded.lossy = read.lossy;
            loaded.readAhead = std::move(read.document);
            doc.clear();
            doc.setModified(false);
            return loaded;
        }
    }
    const QByteArray bytes = ReadWholeFile(path);
    const QFont font = doc.defaultFont();
    const bool undo = doc.isUndoRedoEnabled();
    // A load is no edit: it must not be undoable back to the previous document.
    doc.setUndoRedoEnabled(false);
    TLoaded loaded;
    TRtfReadReport report;
    loaded.format = LoadDocumentBytes(bytes, doc, &report);
    loaded.lossy = report.lossy();
    if (loaded.format == TDocumentFormat::Unreadable)
        doc.clear();
    doc.setDefaultFont(font);
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return loaded;
}

void TJournal::becomeCurrent(const TDocumentId& id, const QString& path)
{
    currentId = id;
    currentUnreadable = false;
    currentLossy = false;
    currentAsRead = false;
    stampPath = path;
    documentStamp = {};
}

void TJournal::applyLoaded(TLoaded loaded, TOpened& opened, const QString& path)
{
    opened.document = std::move(loaded.readAhead);
    currentLossy = loaded.lossy;
    currentAsRead = loaded.format != TDocumentFormat::Unreadable;
    if (currentAsRead)
        return;
    currentUnreadable = true;
    opened.damaged = true;
    opened.damageMessage =
        QStringLiteral("\"%1\" holds neither RTF nor text and was not opened; the file is left "
                       "as it is")
            .arg(path);
}

TJournal::TOpened TJournal::openWithRestore(const TDocumentId& id, QTextDocument& doc,
                                            const QString& restoredText,
                                            const QString& emptyFileRestoredText)
{
    const QString path = pathOf(id);
    const QString backup = backupPathOf(id);
    becomeCurrent(id, path);
    TOpened opened;
    const TLoadDecision decision = DecideLoadSource(path, backup);
    opened.source = decision.source;
    switch (decision.source) {
    case TLoadSource::File: {
        applyLoaded(loadFile(path, doc), opened, path);
        if (opened.damaged && FileLength(backup) > 0) {
            try {
                if (readAside(backup).format != TDocumentFormat::Unreadable)
                    opened.backupTime = QFileInfo(backup).lastModified();
            } catch (const std::exception&) {
                // A backup copy that cannot be read is no copy to offer.
            }
        }
        break;
    }
    case TLoadSource::Backup:
        applyLoaded(loadFile(backup, doc), opened, backup);
        if (!opened.damaged)
            opened.notice = decision.fileExistedEmpty ? emptyFileRestoredText : restoredText;
        break;
    case TLoadSource::Nothing:
        doc.clear();
        doc.setModified(false);
        break;
    }
    rememberStamp(path);
    return opened;
}

TJournal::TOpened TJournal::OpenDiaryEntry(QDate date, QTextDocument& doc)
{
    CurrentDate = date;
    EntryFileName = EntryFileNameOf(date);
    EntryPath = ResolveCaseInsensitive(DocsDir, EntryFileName);
    EntryBackupPath = ResolveCaseInsensitive(BackupDir, EntryFileName);
    CurrentYear = date.year();
    CurrentMonth = date.month();
    entryPlaceholder = false;

    TOpened opened = openWithRestore(TDocumentId::entry(date), doc,
                                     QStringLiteral("Diary has been restored from backup"),
                                     QStringLiteral("Diary file has been restored from backup"));
    if (opened.damaged)
        return opened;
    // A file that loaded as it is stays untouched: opening a day never rewrites it. A restored
    // copy becomes the entry again, byte for byte, so that nothing the reader could not show is
    // lost on the way; a day without a file gets one so that it counts as a stored entry while
    // it is shown (leaving it empty removes it again).
    if (opened.source == TLoadSource::Backup) {
        AtomicFile::write(EntryPath, ReadWholeFile(EntryBackupPath));
        rememberStamp(EntryPath);
        emit documentSaved(EntryPath);
    } else if (opened.source == TLoadSource::Nothing) {
        writeDocument(EntryPath, doc);
        entryPlaceholder = true;
        placeholderStamp = StampOf(EntryPath);
    }
    return opened;
}

TJournal::TOpened TJournal::OpenKeyword(const QString& name, QTextDocument& doc)
{
    return openWithRestore(TDocumentId::keyword(name), doc,
                           name + QStringLiteral(" has been restored from backup"),
                           QStringLiteral("Restored from backup"));
}

TJournal::TOpened TJournal::LoadDocument(const TDocumentId& id, QTextDocument& doc)
{
    const QString path = pathOf(id);
    becomeCurrent(id, path);
    TOpened opened;
    if (!path.isEmpty() && FileExists(path)) {
        opened.source = TLoadSource::File;
        applyLoaded(loadFile(path, doc), opened, path);
        const QString backup = backupPathOf(id);
        if (opened.damaged && FileLength(backup) > 0) {
            try {
                if (readAside(backup).format != TDocumentFormat::Unreadable)
                    opened.backupTime = QFileInfo(backup).lastModified();
            } catch (const std::exception&) {
            }
        }
    } else {
        doc.clear();
        doc.setModified(false);
    }
    rememberStamp(path);
    return opened;
}

TJournal::TOpened TJournal::RestoreDamaged(QTextDocument& doc)
{
    const TDocumentId id = currentId;
    const QString path = pathOf(id);
    const QString backup = backupPathOf(id);
    // The damaged file is kept before anything goes over it: what looks like junk to us may
    // still mean something to a recovery tool.
    KeepRecoveryCopy(path, BackupDir, QStringLiteral("damaged"), now(), QString());
    AtomicFile::write(path, ReadWholeFile(backup));
    emit documentSaved(path);
    becomeCurrent(id, path);
    TOpened opened;
    opened.source = TLoadSource::Backup;
    applyLoaded(loadFile(path, doc), opened, path);
    rememberStamp(path);
    return opened;
}

QString TJournal::DamagedQuestion(const QString& path, const QDateTime& backupTime)
{
    const QLocale locale;
    const QString when = locale.toString(backupTime.date(), QLocale::LongFormat) +
                         QLatin1Char(' ') +
                         locale.toString(backupTime.time(), QLocale::ShortFormat);
    return QStringLiteral("%1 is damaged. Restore it from the backup copy of %2?").arg(path, when);
}

// ---------------------------------------------------------------------------------------------
// Saving

TJournal::TSaved TJournal::SaveCurrentDocument(const QTextDocument& doc, bool modified)
{
    // A document that could not be read is shown read-only and empty; neither saving nor the
    // empty-document rule may touch its file.
    if (currentUnreadable || currentId.isNone())
        return TSaved::Nothing;
    const bool empty = isEmptyDocument(doc) && !currentLossy;
    if (currentId.isKeyword())
        return modified ? SaveKeywordFile(currentId.keywordName(), doc) : TSaved::Nothing;
    if (modified) {
        if (empty) {
            removeEmptied(EntryPath, EntryBackupPath);
            return TSaved::Removed;
        }
        writeWithBackup(EntryPath, EntryBackupPath, doc);
        return TSaved::Written;
    }
    // The day was only looked at. Its empty file goes, unless another program has written into
    // it since we read it: that text is not ours to throw away.
    if (empty && !changedSinceRead(EntryPath)) {
        removeEmptied(EntryPath, EntryBackupPath);
        return TSaved::Removed;
    }
    return TSaved::Nothing;
}

TJournal::TSaved TJournal::SaveKeywordFile(const QString& name, const QTextDocument& doc)
{
    const QString path = KeywordFilePath(DocsDir, name);
    const QString backup = KeywordFilePath(BackupDir, name);
    if (isEmptyDocument(doc) && !currentLossy) {
        removeEmptied(path, backup);
        return TSaved::Removed;
    }
    writeWithBackup(path, backup, doc);
    return TSaved::Written;
}

void TJournal::writeWithBackup(const QString& path, const QString& backupPath,
                               const QTextDocument& doc)
{
    const QString backupFailure = BackupBeforeSave ? keepBackupCopy(path, backupPath) : QString();
    writeDocument(path, doc);
    // Told only once the save itself went through: a failed save has its own message, and
    // what was typed is never held back for want of a copy.
    if (!backupFailure.isEmpty())
        emit problem(QStringLiteral("The previous version could not be kept as a backup copy; "
                                    "the document is saved all the same.\n%1")
                         .arg(backupFailure));
}

void TJournal::writeDocument(const QString& path, const QTextDocument& doc)
{
    preserveExternalChange(path);
    AtomicFile::write(path, WriteRtf(doc));
    // What a file holds after a write need not read back as the very document that was written.
    currentAsRead = false;
    rememberStamp(path);
    emit documentSaved(path);
}

QString TJournal::keepBackupCopy(const QString& path, const QString& backupPath)
{
    // No file yet, or no backup folder (the first run makes it only at the next start): there
    // is nothing to keep, and nothing to tell.
    if (!FileExists(path) || !QFileInfo(BackupDir).isDir())
        return {};
    try {
        AtomicFile::write(backupPath, ReadWholeFile(path));
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

void TJournal::rememberStamp(const QString& path)
{
    stampPath = path;
    documentStamp = StampOf(path);
}

bool TJournal::currentFileUnchanged() const
{
    return currentAsRead && !currentId.isNone() && !stampPath.isEmpty() && documentStamp.exists &&
           StampOf(stampPath) == documentStamp;
}

bool TJournal::changedSinceRead(const QString& path) const
{
    if (path != stampPath)
        return false;
    const TFileStamp stamp = StampOf(path);
    return stamp.exists && documentStamp.exists && !(stamp == documentStamp);
}

void TJournal::preserveExternalChange(const QString& path)
{
    if (path != stampPath)
        return;
    const TFileStamp stamp = StampOf(path);
    if (!stamp.exists || (documentStamp.exists && stamp == documentStamp))
        return;
    // Another program (a sync tool, an editor) replaced the file since we read it. Its version
    // is kept before ours goes over it, and the user is told where.
    const QString copy = PreserveExternalVersion(path, BackupDir, now());
    emit information(QStringLiteral("\"%1\" was changed by another program after it was opened.\n"
                                    "That version has been kept as \"%2\".")
                         .arg(path, copy));
}

// ---------------------------------------------------------------------------------------------
// Removing

QString TJournal::KeepEmptiedVersion(const QString& path, const QString& backupPath)
{
    for (const QString& candidate : {path, backupPath}) {
        if (!FileExists(candidate) || FileLength(candidate) == 0)
            continue;
        if (readAside(candidate).holdsContent)
            return KeepRecoveryCopy(candidate, BackupDir, QStringLiteral("emptied"), now());
    }
    return {};
}

void TJournal::removeEmptied(const QString& path, const QString& backupPath)
{
    try {
        KeepEmptiedVersion(path, backupPath);
    } catch (const std::exception& e) {
        // Without a copy of its last words the document is not removed: an empty document
        // left on disk costs nothing, a lost one cannot be had back.
        emit problem(QStringLiteral("The emptied document \"%1\" was not removed, as a copy of "
                                    "its last version could not be kept.\n%2")
                         .arg(path, QString::fromUtf8(e.what())));
        return;
    }
    removeFile(path);
    DeleteFileIfExists(backupPath);
}

void TJournal::removeFile(const QString& path)
{
    if (!FileExists(path))
        return;
    if (DeleteFileIfExists(path))
        emit documentRemoved(path);
}

bool TJournal::currentIsUntouchedPlaceholder() const
{
    return entryPlaceholder && StampOf(EntryPath) == placeholderStamp;
}

void TJournal::DropUntouchedPlaceholder()
{
    if (currentIsUntouchedPlaceholder())
        removeFile(EntryPath);
}

// ---------------------------------------------------------------------------------------------
// Keyword files

void TJournal::RenameKeyword(const QString& oldName, const QString& newName,
                             const QTextDocument& doc, bool modified)
{
    const QString oldPath = KeywordFilePath(DocsDir, oldName);
    const QString oldBackup = KeywordFilePath(BackupDir, oldName);
    if (currentUnreadable)
        throw TJournalError(QStringLiteral("\"%1\" could not be read, so it cannot be renamed; the "
                                           "file is left as it is")
                                .arg(oldPath));
    const QString newPath = JoinPath(DocsDir, KeywordFileName(newName));
    const QString newBackup = JoinPath(BackupDir, KeywordFileName(newName));
    const bool sameFile = newName.compare(oldName, Qt::CaseInsensitive) == 0;
    auto moveFile = [](const QString& from, const QString& to) {
        if (!RenameFile(from, to))
            throw TJournalError(QStringLiteral("Cannot rename \"%1\" to \"%2\"").arg(from, to));
    };

    if (sameFile) {
        // Only the spelling changes: the files take the new spelling, nothing is deleted.
        if (oldPath != newPath && FileExists(oldPath)) {
            moveFile(oldPath, newPath);
            emit documentRenamed(oldPath, newPath);
        }
        if (oldBackup != newBackup && FileExists(oldBackup))
            RenameFile(oldBackup, newBackup);
        currentId = TDocumentId::keyword(newName);
        rememberStamp(newPath);
        if (modified)
            SaveKeywordFile(newName, doc);
    } else {
        if (FileExists(KeywordFilePath(DocsDir, newName)))
            throw TJournalError(
                QStringLiteral("A Keyword named \"%1\" already exists!").arg(newName));
        if (!modified && FileExists(oldPath)) {
            // Nothing was edited: the file moves as it is, byte for byte.
            moveFile(oldPath, newPath);
            rememberStamp(newPath);
            emit documentRenamed(oldPath, newPath);
            DeleteFileIfExists(oldBackup);
        } else if (SaveKeywordFile(newName, doc) == TSaved::Written) {
            // The text is under the new name now; only then does the old name go (a version
            // another program wrote meanwhile is kept first).
            preserveExternalChange(oldPath);
            removeFile(oldPath);
            DeleteFileIfExists(oldBackup);
        } else {
            removeEmptied(oldPath, oldBackup);
        }
        currentId = TDocumentId::keyword(newName);
    }
    const int index = StartupTabs.indexOf(oldName);
    if (index >= 0)
        StartupTabs[index] = newName;
}

void TJournal::DeleteKeyword(const QString& name)
{
    removeFile(KeywordFilePath(DocsDir, name));
    DeleteFileIfExists(KeywordFilePath(BackupDir, name));
    const int index = indexIgnoringCase(StartupTabs, name);
    if (index >= 0) {
        StartupTabs.removeAt(index);
        SaveStartupTabs();
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up tabs

QString TJournal::startupListPath() const
{
    return ResolveCaseInsensitive(DocsDir, QStringLiteral("startup.txt"));
}

void TJournal::ReadStartupTabs()
{
    const QString path = startupListPath();
    if (!FileExists(path))
        return;
    startupListUnread = true;
    StartupTabs = ::ReadStartupTabs(path);
    startupListUnread = false;
}

void TJournal::SaveStartupTabs()
{
    // A list that could not be read is not known, so it is not written over either.
    if (startupListUnread)
        return;
    WriteStartupTabs(startupListPath(), StartupTabs);
}
