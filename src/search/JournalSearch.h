#pragma once

#include "search/SearchIndex.h"
#include "search/SearchQuery.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QThread;
class QTimer;
class TSearchWorker;

struct TSearchAnswer
{
    QList<TIndexHit> hits;
    // Why there is no answer; empty when the search ran.
    QString problem;
};

// The journal's full-text search as the window sees it: the index of one documents folder, kept
// up to date by a worker thread, searched from the window's thread. It is told of the program's
// own saves, deletions and renames, and of changes to the folder behind the program's back.
class TJournalSearch : public QObject
{
    Q_OBJECT
public:
    explicit TJournalSearch(const QString& docsDir, QObject* parent = nullptr);
    ~TJournalSearch() override;

    // Starts the worker: it opens the index (at indexPath; the user's cache folder by default,
    // an empty path keeps it in memory) and catches up with the folder.
    void start();
    void start(const QString& indexPath);

    const QString& docsDir() const { return folder; }
    // Until the index has been opened a search finds nothing.
    bool isReady() const;
    // The first build or a catch-up is reading documents; searches answer from what is in.
    bool isBuilding() const { return building; }
    bool inMemory() const { return memory; }
    // Where the index lives now (a file path, or the name of an index in memory).
    const QString& location() const { return indexLocation; }

    TSearchAnswer find(const TSearchQuery& query, const TSearchFilter& filter);
    std::optional<QString> documentText(qint64 id);

    // Some of the program's own changes are not in the index yet.
    bool hasPendingUpdates() const { return doneTicket < lastTicket; }
    // Runs fn once they are (at once when there are none).
    void afterPendingUpdates(QObject* context, std::function<void()> fn);

public slots:
    void documentSaved(const QString& path);
    void documentRemoved(const QString& path);
    void documentRenamed(const QString& oldPath, const QString& newPath);
    // The folder changed behind our back; several calls in a row make one catch-up.
    void folderChanged();

signals:
    void progress(int done, int total);
    void buildingChanged(bool building);
    // Documents were added, changed or removed in the index.
    void indexChanged();
    void unreadableFile(const QString& path, const QString& reason);
    // The index had to be kept in memory (reason says why) or could not be kept at all.
    void notice(const QString& message);

private:
    void noteDocument(const QString& path);
    void reopenReader(const QString& location, bool inMemory);
    void setBuilding(bool on);

    QString folder;
    QThread* thread = nullptr;
    TSearchWorker* worker = nullptr;
    TSearchIndex reader;
    QString indexLocation;
    bool memory = false;
    bool building = true;
    bool failed = false;
    bool rebuildRequested = false;
    quint64 readerOpenings = 0;
    quint64 lastTicket = 0;
    quint64 doneTicket = 0;
    QTimer* folderTimer = nullptr;
    struct TWaiter
    {
        quint64 ticket;
        QPointer<QObject> context;
        std::function<void()> fn;
    };
    QList<TWaiter> waiters;
};
