#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One program per journal: two windows saving the same entries would overwrite each other. The
// lock is the file "jornix.lock" in the program folder.
class TInstanceLock
{
public:
    explicit TInstanceLock(const QString& programDir);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // False when another live process holds the lock; a lock left by a process that is gone
    // (a crash) is taken over. Throws TJournalError when the lock file cannot be made at all
    // (a read-only program folder), since that says nothing about another instance.
    bool tryLock();
    // The process holding the lock, or -1 when unknown.
    qint64 holderPid() const;
    QString lockFilePath() const;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
