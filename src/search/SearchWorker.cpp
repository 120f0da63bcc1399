#include "search/SearchWorker.h"

#include "search/DocumentText.h"
#include "search/IndexLocation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

// One transaction of a build holds at most this many documents or this much time, so that a
// save made meanwhile waits no longer than that to be indexed.
constexpr int BatchDocuments = 250;
constexpr qint64 BatchMilliseconds = 120;
// Recovering from a damaged or lost index more often than this in a session means something
// keeps breaking it; the search then stops trying.
constexpr int MaxRecoveries = 4;

} // namespace

TSearchWorker::TSearchWorker(const QString& docsDir, const QString& indexPath)
    : docsDir(docsDir), indexPath(indexPath)
{
}

TSearchWorker::~TSearchWorker() = default;

void TSearchWorker::start()
{
    if (indexPath.isEmpty()) {
        openMemory(QString());
    } else {
        try {
            if (!QDir().mkpath(QFileInfo(indexPath).absolutePath()))
                throw TIndexError(TIndexError::Kind::Unavailable,
                                  QStringLiteral("cannot create the folder %1")
                                      .arg(QFileInfo(indexPath).absolutePath()));
            bool fresh = false;
            index.openFile(indexPath, &fresh);
            inMemory = false;
            checkWanted = !fresh;
            announce(indexPath, QString());
        } catch (const TIndexError& e) {
            openMemory(QString::fromStdString(e.what()));
        }
    }
    catchUp();
}

void TSearchWorker::openMemory(const QString& reason)
{
    try {
        const QString name = TSearchIndex::newMemoryName();
        index.openMemory(name);
        inMemory = true;
        announce(name, reason);
    } catch (const TIndexError& e) {
        dead = true;
        emit failed(QString::fromStdString(e.what()));
    }
}

void TSearchWorker::catchUp()
{
    catchUpWanted = true;
    schedule();
}

void TSearchWorker::update(const QString& name, quint64 ticket)
{
    pending.insert(name);
    pendingTicket = std::max(pendingTicket, ticket);
    schedule();
}

void TSearchWorker::announce(const QString& location, const QString& reason)
{
    ++openings;
    emit opened(location, inMemory, reason);
}

void TSearchWorker::rebuild(quint64 openedCount)
{
    if (openedCount < openings)
        return;
    recover(TIndexError(TIndexError::Kind::Damaged, QStringLiteral("damaged")));
    schedule();
}

void TSearchWorker::shutdown()
{
    stopping = true;
    index.rollback();
    index.close();
}

void TSearchWorker::schedule()
{
    if (stepPosted || stopping)
        return;
    stepPosted = true;
    QMetaObject::invokeMethod(this, &TSearchWorker::step, Qt::QueuedConnection);
}

void TSearchWorker::refresh(const QString& name)
{
    const std::optional<TDocumentName> what = DocumentNameOf(name);
    const QString path = docsDir + QLatin1Char('/') + name;
    const std::optional<TFileState> state = what ? FileStateOf(path) : std::nullopt;
    if (!state) {
        index.remove(name);
        return;
    }
    TDocumentText text = ReadDocumentText(path);
    if (!text.readable)
        emit unreadable(name, text.problem);
    index.put({name, *what, *state, text.readable, std::move(text.text)});
}

void TSearchWorker::step()
{
    stepPosted = false;
    if (stopping || dead)
        return;
    bool more = false;
    try {
        if (!pending.isEmpty()) {
            const QSet<QString> names = std::exchange(pending, {});
            const quint64 ticket = pendingTicket;
            index.begin();
            for (const QString& name : names)
                refresh(name);
            index.commit();
            emit updated(ticket);
            more = planActive || catchUpWanted || checkWanted;
        } else if (planActive) {
            QElapsedTimer timer;
            timer.start();
            index.begin();
            int done = 0;
            while (planPos < planRead.size() && done < BatchDocuments &&
                   timer.elapsed() < BatchMilliseconds && !stopping) {
                refresh(planRead[planPos++]);
                ++done;
            }
            index.commit();
            emit progress(int(planPos), int(planRead.size()));
            if (planPos >= planRead.size()) {
                planActive = false;
                emit caughtUp(int(planRead.size()) + planRemoved);
                planRead.clear();
            }
            more = planActive || catchUpWanted || checkWanted;
        } else if (catchUpWanted) {
            catchUpWanted = false;
            const TCatchUpPlan plan = PlanCatchUp(ListJournalFiles(docsDir), index.states());
            if (!plan.remove.isEmpty()) {
                index.begin();
                for (const QString& name : plan.remove)
                    index.remove(name);
                index.commit();
            }
            if (plan.read.isEmpty()) {
                emit caughtUp(int(plan.remove.size()));
                more = checkWanted;
            } else {
                planRead = plan.read;
                planPos = 0;
                planRemoved = int(plan.remove.size());
                planActive = true;
                emit progress(0, int(planRead.size()));
                more = true;
            }
        } else if (checkWanted) {
            checkWanted = false;
            if (!index.isSound())
                throw TIndexError(TIndexError::Kind::Damaged,
                                  QStringLiteral("the index file is damaged"));
        }
    } catch (const TIndexError& e) {
        index.rollback();
        recover(e);
        more = !dead;
    }
    if (more || !pending.isEmpty())
        schedule();
}

void TSearchWorker::recover(const TIndexError& error)
{
    checkWanted = false;
    planActive = false;
    planRead.clear();
    catchUpWanted = true;
    if (++recoveries > MaxRecoveries) {
        index.close();
        dead = true;
        emit failed(QString::fromStdString(error.what()));
        return;
    }
    index.close();
    if (inMemory || error.kind() == TIndexError::Kind::Unavailable) {
        openMemory(QString::fromStdString(error.what()));
        return;
    }
    // Damaged, or failing in a way nobody can explain: it is only a cache, so it starts afresh.
    try {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(indexPath + QLatin1String(suffix));
        index.openFile(indexPath);
        announce(indexPath, QString());
    } catch (const TIndexError& e) {
        openMemory(QString::fromStdString(e.what()));
    }
}
