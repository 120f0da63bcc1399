#pragma once

#include "search/JournalFiles.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>

// A failure of the index. The index is a cache: a damaged one is thrown away and built again,
// an unavailable one (read-only or locked folder, full disk) is replaced by one in memory.
class TIndexError : public std::runtime_error
{
public:
    enum class Kind { Damaged, Unavailable, Other };
    TIndexError(Kind kind, const QString& message);
    Kind kind() const { return errorKind; }

private:
    Kind errorKind;
};

struct TIndexedDocument
{
    QString name; // file name in the documents folder
    TDocumentName what;
    TFileState state;
    bool readable = true; // an unreadable file is remembered (so it is not read again until it
                          // changes) but holds no words
    QString text;
};

struct TSearchFilter
{
    enum class Scope { Everything, Entries, Keywords };
    Scope scope = Scope::Everything;
    // Entries of these days only (either end may be open); keyword files have no date and are
    // left out when a range is given.
    QDate from;
    QDate to;

    bool hasRange() const { return from.isValid() || to.isValid(); }
};

struct TIndexHit
{
    qint64 id = 0;
    QString name;
    TDocumentKind kind = TDocumentKind::Entry;
    QDate date; // entries: the entry's day; keyword files: the day they were last changed
};

// One connection to the index, for the thread that made it. The worker writes through one,
// the window searches through another.
class TSearchIndex
{
public:
    TSearchIndex();
    ~TSearchIndex();
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    // Opens the index file for writing, creating it when needed. A file that is no database, or
    // one this program cannot use (another format), is deleted and started afresh; wasReset
    // tells. Damage inside a database shows in isSound(), or as a Damaged error when met.
    // Throws TIndexError (Unavailable) when the file cannot be written at all.
    void openFile(const QString& path, bool* wasReset = nullptr);
    // A new, empty index in memory that other connections of this process can open by name.
    void openMemory(const QString& name);
    // Opens the index at location (a path, or the name of an index in memory) for searching.
    void openReader(const QString& location, bool inMemory);
    void close();
    bool isOpen() const;

    // Reads the whole file to see that it is sound (tens of milliseconds for a large journal).
    bool isSound();

    // A fresh name for an index in memory.
    static QString newMemoryName();

    QHash<QString, TFileState> states();
    int documentCount();

    void begin();
    void commit();
    void rollback();
    void put(const TIndexedDocument& document);
    void remove(const QString& name);

    // The documents whose words satisfy matchExpression, newest first. Throws TIndexError.
    QList<TIndexHit> find(const QString& matchExpression, const TSearchFilter& filter);
    // The indexed text of a document; nullopt when it is gone.
    std::optional<QString> text(qint64 id);

private:
    void openConnection(const QString& location, const QString& options);
    void prepare();
    void createSchema();
    bool isOurs();
    QSqlQuery& statement(std::unique_ptr<QSqlQuery>& slot, const char* sql);

    QString connectionName;
    QSqlDatabase db;
    bool inTransaction = false;
    std::unique_ptr<QSqlQuery> idOfName, insertDocument, updateDocument, deleteDocument,
        deleteWords, insertWords, selectText;
};
