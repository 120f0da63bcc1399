#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The documents the index holds: diary entries (named by a real date) and keyword files.
enum class TDocumentKind { Entry = 0, Keyword = 1 };

struct TDocumentName
{
    TDocumentKind kind = TDocumentKind::Entry;
    QDate date;      // of an entry
    QString keyword; // of a keyword file
};

// What a file name in the documents folder is to the index; nullopt for anything else
// (startup.txt, copies, temporary files, names that only look like entries).
std::optional<TDocumentName> DocumentNameOf(const QString& fileName);

// Size and modification time of a file: what tells the index that a file changed.
struct TFileState
{
    qint64 size = -1;
    qint64 mtimeMs = 0;

    friend bool operator==(const TFileState&, const TFileState&) = default;
};

struct TJournalFile
{
    QString name;
    TFileState state;
};

// The journal's documents in docsDir with their states; none when it cannot be read.
QList<TJournalFile> ListJournalFiles(const QString& docsDir);
// The state of one file; nullopt when it is not there (or not a file).
std::optional<TFileState> FileStateOf(const QString& path);

// What catching up has to do: the files to read (new or changed) and the names to drop.
struct TCatchUpPlan
{
    QStringList read;
    QStringList remove;

    bool isEmpty() const { return read.isEmpty() && remove.isEmpty(); }
};

TCatchUpPlan PlanCatchUp(const QList<TJournalFile>& onDisk,
                         const QHash<QString, TFileState>& indexed);
