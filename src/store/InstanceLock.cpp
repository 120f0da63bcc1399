#include "store/InstanceLock.h"

#include "store/JournalError.h"
#include "store/Paths.h"

#include <QLockFile>

#include <cerrno>

TInstanceLock::TInstanceLock(const QString& programDir)
    : m_path(JoinPath(programDir, QStringLiteral("jornix.lock"))),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // A journal stays open for days: age alone must never make a live holder's lock stale (on
    // file systems without advisory locks Qt would hand it over after 30 s). Only a holder that
    // is no longer running gives it up.
    m_lock->setStaleLockTime(0);
}

TInstanceLock::~TInstanceLock() = default;

bool TInstanceLock::tryLock()
{
    if (m_lock->isLocked())
        return true;
    if (m_lock->tryLock(0))
        return true;
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        return false;
    case QLockFile::PermissionError:
        ThrowFileError(QStringLiteral("create the lock file"), m_path, SystemReason(EACCES));
    default:
        ThrowFileError(QStringLiteral("create the lock file"), m_path,
                       QStringLiteral("unknown error"));
    }
}

qint64 TInstanceLock::holderPid() const
{
    qint64 pid = -1;
    QString host;
    QString application;
    if (!m_lock->getLockInfo(&pid, &host, &application))
        return -1;
    return pid;
}

QString TInstanceLock::lockFilePath() const
{
    return m_path;
}
