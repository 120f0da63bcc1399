#include "search/JournalSearch.h"

#include "search/IndexLocation.h"
#include "search/JournalFiles.h"
#include "search/SearchWorker.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {

// Changes behind our back come in bursts (a sync tool writes many files); one catch-up after
// the burst does for all.
constexpr int FolderQuietMs = 300;

QString cleanDir(const QString& dir)
{
    return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

} // namespace

TJournalSearch::TJournalSearch(const QString& docsDir, QObject* parent)
    : QObject(parent), folder(cleanDir(docsDir))
{
    folderTimer = new QTimer(this);
    folderTimer->setSingleShot(true);
    folderTimer->setInterval(FolderQuietMs);
    connect(folderTimer, &QTimer::timeout, this, [this] {
        if (worker)
            QMetaObject::invokeMethod(worker, &TSearchWorker::catchUp, Qt::QueuedConnection);
    });
}

TJournalSearch::~TJournalSearch()
{
    if (thread) {
        worker->requestStop();
        QMetaObject::invokeMethod(worker, &TSearchWorker::shutdown, Qt::BlockingQueuedConnection);
        thread->quit();
        thread->wait();
        delete worker;
        delete thread;
    }
    reader.close();
}

void TJournalSearch::start()
{
    start(SearchIndexPath(folder));
}

void TJournalSearch::start(const QString& indexPath)
{
    if (thread)
        return;
    thread = new QThread;
    thread->setObjectName(QStringLiteral("JournalSearch"));
    worker = new TSearchWorker(folder, indexPath);
    worker->moveToThread(thread);
    connect(thread, &QThread::started, worker, &TSearchWorker::start);
    connect(worker, &TSearchWorker::opened, this,
            [this](const QString& location, bool inMemory, const QString& reason) {
                reopenReader(location, inMemory);
                if (inMemory && !reason.isEmpty())
                    emit notice(QStringLiteral("The search index is kept in memory for this "
                                               "session: %1")
                                    .arg(reason));
            });
    connect(worker, &TSearchWorker::progress, this, [this](int done, int total) {
        setBuilding(done < total);
        emit progress(done, total);
    });
    connect(worker, &TSearchWorker::caughtUp, this, [this](int changed) {
        setBuilding(false);
        if (changed > 0)
            emit indexChanged();
    });
    connect(worker, &TSearchWorker::updated, this, [this](quint64 ticket) {
        doneTicket = std::max(doneTicket, ticket);
        emit indexChanged();
        const QList<TWaiter> due = std::exchange(waiters, {});
        for (const TWaiter& waiter : due) {
            if (waiter.ticket > doneTicket)
                waiters << waiter;
            else if (waiter.context)
                waiter.fn();
        }
    });
    connect(worker, &TSearchWorker::unreadable, this,
            [this](const QString& name, const QString& reason) {
                emit unreadableFile(folder + QLatin1Char('/') + name, reason);
            });
    connect(worker, &TSearchWorker::failed, this, [this](const QString& reason) {
        failed = true;
        reader.close();
        setBuilding(false);
        // Nothing pending will ever be done now; whoever waits for it goes on.
        for (const TWaiter& waiter : std::exchange(waiters, {}))
            if (waiter.context)
                waiter.fn();
        emit notice(
            QStringLiteral("The journal cannot be searched in this session: %1").arg(reason));
    });
    thread->start(QThread::LowPriority);
}

bool TJournalSearch::isReady() const
{
    return reader.isOpen();
}

void TJournalSearch::reopenReader(const QString& location, bool inMemory)
{
    rebuildRequested = false;
    ++readerOpenings;
    indexLocation = location;
    memory = inMemory;
    try {
        reader.openReader(location, inMemory);
    } catch (const TIndexError&) {
        reader.close();
    }
}

void TJournalSearch::setBuilding(bool on)
{
    if (building == on)
        return;
    building = on;
    emit buildingChanged(on);
}

TSearchAnswer TJournalSearch::find(const TSearchQuery& query, const TSearchFilter& filter)
{
    TSearchAnswer answer;
    if (query.isEmpty())
        return answer;
    if (!reader.isOpen()) {
        if (failed)
            answer.problem = QStringLiteral("The journal cannot be searched in this session.");
        return answer;
    }
    const QString damaged =
        QStringLiteral("The search index was damaged; it is being built again.");
    if (rebuildRequested) {
        answer.problem = damaged;
        return answer;
    }
    try {
        answer.hits = reader.find(query.matchExpression(), filter);
        return answer;
    } catch (const TIndexError& e) {
        if (e.kind() == TIndexError::Kind::Damaged) {
            // Once: until the worker has opened the new index, this one is not searched again.
            rebuildRequested = true;
            TSearchWorker* target = worker;
            QMetaObject::invokeMethod(
                worker, [target, seen = readerOpenings] { target->rebuild(seen); },
                Qt::QueuedConnection);
            setBuilding(true);
            answer.problem = damaged;
            return answer;
        }
        if (e.kind() == TIndexError::Kind::Unavailable) {
            answer.problem = QStringLiteral("The search index is busy; please search again.");
            return answer;
        }
    }
    // The expression was refused; the words themselves never are.
    try {
        answer.hits = reader.find(query.literalMatchExpression(), filter);
    } catch (const TIndexError&) {
        answer.problem = QStringLiteral("The search could not be run.");
    }
    return answer;
}

std::optional<QString> TJournalSearch::documentText(qint64 id)
{
    if (!reader.isOpen())
        return std::nullopt;
    try {
        return reader.text(id);
    } catch (const TIndexError&) {
        return std::nullopt;
    }
}

void TJournalSearch::afterPendingUpdates(QObject* context, std::function<void()> fn)
{
    if (!hasPendingUpdates() || !worker || failed) {
        fn();
        return;
    }
    waiters << TWaiter{lastTicket, context, std::move(fn)};
}

void TJournalSearch::noteDocument(const QString& path)
{
    const QFileInfo info(path);
    if (!worker || cleanDir(info.absolutePath()) != folder || !DocumentNameOf(info.fileName()))
        return;
    TSearchWorker* target = worker;
    QMetaObject::invokeMethod(
        worker,
        [target, name = info.fileName(), ticket = ++lastTicket] { target->update(name, ticket); },
        Qt::QueuedConnection);
}

void TJournalSearch::documentSaved(const QString& path)
{
    noteDocument(path);
}

void TJournalSearch::documentRemoved(const QString& path)
{
    noteDocument(path);
}

void TJournalSearch::documentRenamed(const QString& oldPath, const QString& newPath)
{
    noteDocument(oldPath);
    noteDocument(newPath);
}

void TJournalSearch::folderChanged()
{
    folderTimer->start();
}
