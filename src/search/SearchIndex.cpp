#include "search/SearchIndex.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

namespace {

// Raised whenever the layout of the index changes; an index of another format is rebuilt.
const char* const IndexFormat = "tarvex-search-1";

TIndexError::Kind kindOf(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return TIndexError::Kind::Other;
    switch (code) {
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return TIndexError::Kind::Damaged;
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
    case 8:  // SQLITE_READONLY
    case 10: // SQLITE_IOERR
    case 13: // SQLITE_FULL
    case 14: // SQLITE_CANTOPEN
    case 23: // SQLITE_AUTH
        return TIndexError::Kind::Unavailable;
    default:
        return TIndexError::Kind::Other;
    }
}

[[noreturn]] void fail(const QSqlError& error)
{
    throw TIndexError(kindOf(error), error.text());
}

void run(QSqlQuery& query)
{
    if (!query.exec())
        fail(query.lastError());
}

void run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        fail(query.lastError());
}

void removeIndexFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString file = path + QLatin1String(suffix);
        if (QFile::exists(file) && !QFile::remove(file))
            throw TIndexError(TIndexError::Kind::Unavailable,
                              QStringLiteral("cannot remove %1").arg(file));
    }
}

} // namespace

TIndexError::TIndexError(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString()), errorKind(kind)
{
}

TSearchIndex::TSearchIndex()
{
    static QAtomicInteger<quint64> counter;
    connectionName = QStringLiteral("journal-search-%1").arg(++counter);
}

TSearchIndex::~TSearchIndex()
{
    close();
}

QString TSearchIndex::newMemoryName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("file:journal-search-%1-%2?mode=memory&cache=shared")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

void TSearchIndex::close()
{
    idOfName.reset();
    insertDocument.reset();
    updateDocument.reset();
    deleteDocument.reset();
    deleteWords.reset();
    insertWords.reset();
    selectText.reset();
    if (db.isValid()) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }
    inTransaction = false;
}

bool TSearchIndex::isOpen() const
{
    return db.isValid() && db.isOpen();
}

void TSearchIndex::openConnection(const QString& location, const QString& options)
{
    close();
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(location);
    db.setConnectOptions(options);
    if (!db.open()) {
        const QSqlError error = db.lastError();
        close();
        // A file that cannot even be opened is out of reach, whatever the driver calls it.
        throw TIndexError(kindOf(error) == TIndexError::Kind::Damaged
                              ? TIndexError::Kind::Damaged
                              : TIndexError::Kind::Unavailable,
                          error.text());
    }
}

void TSearchIndex::createSchema()
{
    run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT)"));
    run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS documents("
                           "id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, "
                           "kind INTEGER NOT NULL, day INTEGER NOT NULL, size INTEGER NOT NULL, "
                           "mtime INTEGER NOT NULL, readable INTEGER NOT NULL)"));
    run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS documents_day ON documents(day)"));
    run(db, QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS words USING "
                           "fts5(body, tokenize='unicode61 remove_diacritics 2')"));
    QSqlQuery format(db);
    format.prepare(QStringLiteral("INSERT OR REPLACE INTO meta(key, value) VALUES('format', ?)"));
    format.addBindValue(QString::fromLatin1(IndexFormat));
    run(format);
}

bool TSearchIndex::isSound()
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        fail(query.lastError());
    return query.next() && query.value(0).toString() == QLatin1String("ok");
}

bool TSearchIndex::isOurs()
{
    QSqlQuery tables(db);
    if (!tables.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        fail(tables.lastError());
    if (!tables.next() || tables.value(0).toInt() == 0)
        return true; // a new, empty file
    tables.finish();
    QSqlQuery format(db);
    if (!format.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'format'")))
        return false; // some other database
    return format.next() && format.value(0).toString() == QLatin1String(IndexFormat);
}

void TSearchIndex::openFile(const QString& path, bool* wasReset)
{
    if (wasReset)
        *wasReset = false;
    for (int attempt = 0;; ++attempt) {
        try {
            openConnection(path, QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
            // The index is a cache: a crash may cost its last changes (caught up at the next
            // start), never its consistency, so the log is not flushed to disk on every commit.
            run(db, QStringLiteral("PRAGMA journal_mode=WAL"));
            run(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
            if (!isOurs())
                throw TIndexError(TIndexError::Kind::Damaged,
                                  QStringLiteral("not an index of this program"));
            // Writing proves the file and its folder are ours to change (not read-only, not
            // locked by another program).
            run(db, QStringLiteral("BEGIN IMMEDIATE"));
            createSchema();
            run(db, QStringLiteral("COMMIT"));
            prepare();
            return;
        } catch (const TIndexError& e) {
            close();
            if (e.kind() != TIndexError::Kind::Damaged || attempt > 0)
                throw TIndexError(e.kind() == TIndexError::Kind::Damaged
                                      ? TIndexError::Kind::Unavailable
                                      : e.kind(),
                                  QString::fromStdString(e.what()));
            removeIndexFiles(path);
            if (wasReset)
                *wasReset = true;
        }
    }
}

void TSearchIndex::openMemory(const QString& name)
{
    openConnection(name, QStringLiteral("QSQLITE_OPEN_URI"));
    createSchema();
    prepare();
}

void TSearchIndex::openReader(const QString& location, bool inMemory)
{
    openConnection(location, inMemory ? QStringLiteral("QSQLITE_OPEN_URI")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=250"));
    // The index in memory is shared with the worker's connection at table level; reading what
    // it has not committed yet is better than waiting for it.
    if (inMemory)
        run(db, QStringLiteral("PRAGMA read_uncommitted = true"));
}

QSqlQuery& TSearchIndex::statement(std::unique_ptr<QSqlQuery>& slot, const char* sql)
{
    if (!slot) {
        slot = std::make_unique<QSqlQuery>(db);
        if (!slot->prepare(QString::fromLatin1(sql))) {
            const QSqlError error = slot->lastError();
            slot.reset();
            fail(error);
        }
    }
    return *slot;
}

void TSearchIndex::prepare()
{
    statement(idOfName, "SELECT id FROM documents WHERE name = ?");
    statement(insertDocument, "INSERT INTO documents(name, kind, day, size, mtime, readable) "
                              "VALUES(?, ?, ?, ?, ?, ?)");
    statement(updateDocument, "UPDATE documents SET kind = ?, day = ?, size = ?, mtime = ?, "
                              "readable = ? WHERE id = ?");
    statement(deleteDocument, "DELETE FROM documents WHERE id = ?");
    statement(deleteWords, "DELETE FROM words WHERE rowid = ?");
    statement(insertWords, "INSERT INTO words(rowid, body) VALUES(?, ?)");
}

QHash<QString, TFileState> TSearchIndex::states()
{
    QHash<QString, TFileState> result;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT name, size, mtime FROM documents")))
        fail(query.lastError());
    while (query.next())
        result.insert(query.value(0).toString(),
                      {query.value(1).toLongLong(), query.value(2).toLongLong()});
    if (query.lastError().isValid())
        fail(query.lastError());
    return result;
}

int TSearchIndex::documentCount()
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM documents")) || !query.next())
        fail(query.lastError());
    return query.value(0).toInt();
}

void TSearchIndex::begin()
{
    run(db, QStringLiteral("BEGIN IMMEDIATE"));
    inTransaction = true;
}

void TSearchIndex::commit()
{
    run(db, QStringLiteral("COMMIT"));
    inTransaction = false;
}

void TSearchIndex::rollback()
{
    if (!inTransaction)
        return;
    inTransaction = false;
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}

namespace {

// Entries sort by their day; keyword files by the day they were last changed.
qint64 dayOf(const TIndexedDocument& document)
{
    if (document.what.kind == TDocumentKind::Entry)
        return document.what.date.toJulianDay();
    return QDateTime::fromMSecsSinceEpoch(document.state.mtimeMs).date().toJulianDay();
}

} // namespace

void TSearchIndex::put(const TIndexedDocument& document)
{
    QSqlQuery& find = *idOfName;
    find.addBindValue(document.name);
    run(find);
    const bool known = find.next();
    qint64 id = known ? find.value(0).toLongLong() : 0;
    find.finish();

    const int kind = int(document.what.kind);
    if (known) {
        QSqlQuery& update = *updateDocument;
        update.addBindValue(kind);
        update.addBindValue(dayOf(document));
        update.addBindValue(document.state.size);
        update.addBindValue(document.state.mtimeMs);
        update.addBindValue(document.readable ? 1 : 0);
        update.addBindValue(id);
        run(update);
        QSqlQuery& drop = *deleteWords;
        drop.addBindValue(id);
        run(drop);
    } else {
        QSqlQuery& insert = *insertDocument;
        insert.addBindValue(document.name);
        insert.addBindValue(kind);
        insert.addBindValue(dayOf(document));
        insert.addBindValue(document.state.size);
        insert.addBindValue(document.state.mtimeMs);
        insert.addBindValue(document.readable ? 1 : 0);
        run(insert);
        id = insert.lastInsertId().toLongLong();
    }
    if (document.readable) {
        QSqlQuery& words = *insertWords;
        words.addBindValue(id);
        words.addBindValue(document.text);
        run(words);
    }
}

void TSearchIndex::remove(const QString& name)
{
    QSqlQuery& find = *idOfName;
    find.addBindValue(name);
    run(find);
    if (!find.next()) {
        find.finish();
        return;
    }
    const qint64 id = find.value(0).toLongLong();
    find.finish();
    QSqlQuery& drop = *deleteWords;
    drop.addBindValue(id);
    run(drop);
    QSqlQuery& forget = *deleteDocument;
    forget.addBindValue(id);
    run(forget);
}

QList<TIndexHit> TSearchIndex::find(const QString& matchExpression, const TSearchFilter& filter)
{
    if (matchExpression.isEmpty())
        return {};
    QString sql = QStringLiteral("SELECT d.id, d.name, d.kind, d.day FROM documents d "
                                 "WHERE d.id IN (SELECT rowid FROM words WHERE words MATCH ?)");
    QVariantList values{matchExpression};
    if (filter.hasRange()) {
        sql += QStringLiteral(" AND d.kind = 0");
        if (filter.from.isValid()) {
            sql += QStringLiteral(" AND d.day >= ?");
            values << filter.from.toJulianDay();
        }
        if (filter.to.isValid()) {
            sql += QStringLiteral(" AND d.day <= ?");
            values << filter.to.toJulianDay();
        }
    }
    if (filter.scope == TSearchFilter::Scope::Entries)
        sql += QStringLiteral(" AND d.kind = 0");
    else if (filter.scope == TSearchFilter::Scope::Keywords)
        sql += QStringLiteral(" AND d.kind = 1");
    sql += QStringLiteral(" ORDER BY d.day DESC, d.kind, d.name");

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fail(query.lastError());
    for (const QVariant& value : std::as_const(values))
        query.addBindValue(value);
    run(query);
    QList<TIndexHit> hits;
    while (query.next()) {
        TIndexHit hit;
        hit.id = query.value(0).toLongLong();
        hit.name = query.value(1).toString();
        hit.kind = query.value(2).toInt() == 1 ? TDocumentKind::Keyword : TDocumentKind::Entry;
        hit.date = QDate::fromJulianDay(query.value(3).toLongLong());
        hits << hit;
    }
    if (query.lastError().isValid())
        fail(query.lastError());
    return hits;
}

std::optional<QString> TSearchIndex::text(qint64 id)
{
    QSqlQuery& query = statement(selectText, "SELECT body FROM words WHERE rowid = ?");
    query.addBindValue(id);
    run(query);
    std::optional<QString> body;
    if (query.next())
        body = query.value(0).toString();
    query.finish();
    return body;
}
