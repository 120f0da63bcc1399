#pragma once

#include "journal/DocumentId.h"
#include "store/DocumentLoad.h"
#include "store/ExternalChange.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QTextDocument;
class TFolderWatch;
class TReadAhead;

// The journal on disk and its rules: which file a document is, loading it (with the restore
// from its backup copy), saving it (after keeping the previous version), the rule that an empty
// document has no file, the copies that keep a version another program wrote or the user
// emptied, and the list of keyword tabs opened at start-up. It knows nothing of windows: it
// fills and reads QTextDocuments, and tells whoever listens what happened to the files.
class TJournal : public QObject
{
    Q_OBJECT
public:
    explicit TJournal(QObject* parent = nullptr);
    ~TJournal() override;

    // ---- where the documents live ----
    QString DocsDir;   // absolute, no trailing "/"
    QString BackupDir; // absolute, no trailing "/"
    bool BackupBeforeSave = true;
    // The clock that names the recovery copies.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // Takes the resolved folders, clears what interrupted writes left in them and starts
    // watching the documents folder for changes made by other programs.
    void SetDirectories(const QString& docsDir, const QString& backupDir);
    QString docsDir() const { return DocsDir; }
    QString backupDir() const { return BackupDir; }
    // The document's file and backup copy, resolved ignoring letter case.
    QString pathOf(const TDocumentId& id) const;
    QString backupPathOf(const TDocumentId& id) const;

    // ---- the diary entry of the Diary tab ----
    QDate CurrentDate;
    int CurrentYear = 0;
    int CurrentMonth = 0;
    QString EntryFileName;
    QString EntryPath;
    QString EntryBackupPath;
    // The stored entries around EntryFileName; today where there is none.
    QDate PrevEntryDate;
    QDate NextEntryDate;
    bool HasPrevEntry = false;
    bool HasNextEntry = false;
    void UpdateEntryNeighbours(QDate today);

    // What opening a document came to.
    struct TOpened
    {
        TLoadSource source = TLoadSource::Nothing;
        // The restore message to show ("Diary has been restored from backup", ...).
        QString notice;
        // The file holds junk (NUL bytes and the like). The document is left empty and the
        // journal writes nothing over the file; the caller reports damageMessage, or, when the
        // backup copy reads (backupTime set), may offer RestoreDamaged first.
        bool damaged = false;
        QString damageMessage;
        std::optional<QDateTime> backupTime;
        // When set, the file had been read ahead (UseReadAhead): this document holds what was
        // read, in place of the one given, which is left empty.
        std::unique_ptr<QTextDocument> document;
    };

    // The next load of ahead's file takes the document it read, when the file is still as it
    // was read, instead of reading the file again; a load of any other file drops it.
    void UseReadAhead(std::shared_ptr<TReadAhead> ahead);

    // Steps 2 to 7 of opening a day: names the entry, loads its file or restores it from the
    // backup copy, and gives a day without a file an empty one so that it counts as stored while
    // it is shown. A file that loaded as it is is never rewritten. The caller selects the Diary
    // tab before and rescans the neighbours after. Throws TJournalError on a failed read or
    // write (CurrentDate and the paths then already name the new day).
    TOpened OpenDiaryEntry(QDate date, QTextDocument& doc);
    // Loads a keyword file with the same restore rules; nothing is written.
    TOpened OpenKeyword(const QString& name, QTextDocument& doc);
    // Loads the document of a tab the user switched to: its file when there is one, otherwise
    // an empty document; no restore from the backup copy.
    TOpened LoadDocument(const TDocumentId& id, QTextDocument& doc);
    // After a damaged load whose backup copy reads: keeps the damaged file in the backup folder
    // as "<name>.damaged-<time>", puts the backup copy in its place and loads it.
    TOpened RestoreDamaged(QTextDocument& doc);
    // "<file> is damaged. Restore it from the backup copy of <date and time>?"
    static QString DamagedQuestion(const QString& path, const QDateTime& backupTime);

    // ---- the document shown ----
    const TDocumentId& current() const { return currentId; }
    // The document could not be read: nothing may be written over its file.
    bool currentIsReadOnly() const { return currentUnreadable; }
    // Reading the document dropped something it held: it is never deleted by the empty-document
    // rule and never rewritten but by a save of the user's edits.
    bool currentIsLossy() const { return currentLossy; }
    // The document shown was read from its file, which is still as it was then: reading it
    // again would give the same document.
    bool currentFileUnchanged() const;

    enum class TSaved { Nothing, Written, Removed };
    // Saves the document shown when it was modified; an empty diary entry has its file and
    // backup copy removed even when it was not (the day was only looked at). Throws
    // TJournalError when the write fails; the file on disk is then unchanged.
    TSaved SaveCurrentDocument(const QTextDocument& doc, bool modified);
    // Saves doc as the keyword file of name, or removes that file when doc is empty.
    TSaved SaveKeywordFile(const QString& name, const QTextDocument& doc);

    // Going straight to another tab at start-up leaves today's entry unseen: the empty file
    // that opening it wrote goes again, unless someone has written into it meanwhile.
    void DropUntouchedPlaceholder();
    // The entry shown has a file only because it is shown: the empty one opening it wrote,
    // untouched since. It is no entry to count.
    bool currentIsUntouchedPlaceholder() const;

    // Renames the keyword shown. Its text is written under the new name (or, when it was not
    // edited, its file is moved as it is) before anything of the old name is deleted. Refused
    // with TJournalError for a document that could not be read.
    void RenameKeyword(const QString& oldName, const QString& newName, const QTextDocument& doc,
                       bool modified);
    // Removes a keyword file, its backup copy and its start-up mark.
    void DeleteKeyword(const QString& name);

    // ---- keyword tabs opened at start-up ----
    QStringList StartupTabs;
    // Reads startup.txt into StartupTabs (a missing file leaves the list as it is).
    void ReadStartupTabs();
    void SaveStartupTabs();
    QString startupListPath() const;

    // The last non-empty version of a document about to be removed by the empty-document rule,
    // kept as "<name>.emptied-<time>.rtf" in the backup folder. Returns the copy's path, or an
    // empty string when there was nothing worth keeping.
    QString KeepEmptiedVersion(const QString& path, const QString& backupPath);

signals:
    // Our own writes, removals and renames of entries and keyword files.
    void documentSaved(const QString& path);
    void documentRemoved(const QString& path);
    void documentRenamed(const QString& oldPath, const QString& newPath);
    // Something in the documents folder changed that we did not write ourselves (a sync tool,
    // another program); listeners compare what they know with the disk. Coalesced.
    void folderChanged();
    // Things the user must be told: a version kept elsewhere, a backup copy that failed.
    void information(const QString& text);
    void problem(const QString& text);

private:
    struct TLoaded;
    TLoaded loadFile(const QString& path, QTextDocument& doc);
    TOpened openWithRestore(const TDocumentId& id, QTextDocument& doc, const QString& restoredText,
                            const QString& emptyFileRestoredText);
    void becomeCurrent(const TDocumentId& id, const QString& path);
    void applyLoaded(TLoaded loaded, TOpened& opened, const QString& path);
    void writeDocument(const QString& path, const QTextDocument& doc);
    void writeWithBackup(const QString& path, const QString& backupPath, const QTextDocument& doc);
    void removeEmptied(const QString& path, const QString& backupPath);
    void removeFile(const QString& path);
    void rememberStamp(const QString& path);
    void preserveExternalChange(const QString& path);
    QString keepBackupCopy(const QString& path, const QString& backupPath);
    bool changedSinceRead(const QString& path) const;

    TDocumentId currentId;
    bool currentUnreadable = false;
    bool currentLossy = false;
    bool currentAsRead = false; // filled from its file, and not written since
    QString stampPath;             // the file the shown document was read from or written to
    TFileStamp documentStamp;      // how that file looked then
    bool entryPlaceholder = false; // the entry shown had no file; opening it wrote an empty one
    TFileStamp placeholderStamp;
    bool startupListUnread = false; // startup.txt exists but could not be read: never overwrite
    TFolderWatch* watch = nullptr;
    std::shared_ptr<TReadAhead> readAhead;
};
