#pragma once

#include "search/SearchIndex.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>

// Keeps the index in line with the documents folder, in a thread of its own with its own
// connection: the first build, catching up with changes made while the program was closed or
// behind its back, and the program's own saves. Work is cut into short transactions, and the
// program's own saves go before the next piece of a long build, so they are searchable at once.
class TSearchWorker : public QObject
{
    Q_OBJECT
public:
    // An empty indexPath keeps the index in memory from the start.
    TSearchWorker(const QString& docsDir, const QString& indexPath);
    ~TSearchWorker() override;

    // Callable from any thread: makes the current piece of work end early and no new one start.
    void requestStop() { stopping = true; }

public slots:
    // Opens (or creates, or replaces a damaged) index, then catches up.
    void start();
    // Compares the folder with the index and reads what changed.
    void catchUp();
    // Reads one document again (or drops it when its file is gone); ticket is handed back
    // through updated() once it is in the index.
    void update(const QString& name, quint64 ticket);
    // The window found the index damaged while searching the one opened openedCount-th: start it
    // afresh, unless that has been done since.
    void rebuild(quint64 openedCount);
    // Closes the index in this thread; the last call before the thread ends.
    void shutdown();

signals:
    // The index is ready to be searched at location (reopen any connection to an older one).
    void opened(const QString& location, bool inMemory, const QString& reason);
    void progress(int done, int total);
    void caughtUp(int changedDocuments);
    void updated(quint64 ticket);
    void unreadable(const QString& name, const QString& reason);
    // Nothing more can be done for the index this session.
    void failed(const QString& reason);

private:
    void schedule();
    void step();
    void refresh(const QString& name);
    void recover(const TIndexError& error);
    void openMemory(const QString& reason);
    void announce(const QString& location, const QString& reason);

    TSearchIndex index;
    QString docsDir;
    QString indexPath;
    bool inMemory = false;
    bool dead = false;
    int recoveries = 0;
    quint64 openings = 0;
    std::atomic<bool> stopping{false};

    QSet<QString> pending;
    quint64 pendingTicket = 0;
    bool catchUpWanted = false;
    // The index file is read through once per session to see that it is sound, after the first
    // catching up, so that searching can start without waiting for it.
    bool checkWanted = false;
    bool planActive = false;
    QStringList planRead;
    qsizetype planPos = 0;
    int planRemoved = 0;
    bool stepPosted = false;
};
