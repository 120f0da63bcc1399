#include "store/InstanceLock.h"

#include "StoreTestSupport.h"
#include "store/JournalError.h"

#include <QCoreApplication>

#include <sys/stat.h>
#include <sys/wait.h>

TEST(InstanceLock, SecondInstanceIsRefusedWhileTheFirstLives)
{
    QTemporaryDir dir;
    {
        TInstanceLock first(dir.path());
        ASSERT_TRUE(first.tryLock());
        EXPECT_TRUE(first.tryLock());
        EXPECT_TRUE(QFile::exists(JoinPath(dir.path(), "jornix.lock")));

        TInstanceLock second(dir.path());
        EXPECT_FALSE(second.tryLock());
        EXPECT_EQ(second.holderPid(), QCoreApplication::applicationPid());
    }
    // The first one is gone: the journal can be opened again, and no lock file is left.
    EXPECT_FALSE(QFile::exists(JoinPath(dir.path(), "jornix.lock")));
    TInstanceLock third(dir.path());
    EXPECT_TRUE(third.tryLock());
}

TEST(InstanceLock, StaleLockOfACrashedProgramIsTakenOver)
{
    QTemporaryDir dir;
    const pid_t child = ::fork();
    if (child == 0) {
        // A program that dies without unlocking.
        auto* lock = new TInstanceLock(dir.path());
        ::_exit(lock->tryLock() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(JoinPath(dir.path(), "jornix.lock")));

    TInstanceLock next(dir.path());
    EXPECT_EQ(next.holderPid(), child);
    EXPECT_TRUE(next.tryLock());
    EXPECT_EQ(next.holderPid(), QCoreApplication::applicationPid());
}

TEST(InstanceLock, UnwritableProgramFolderIsAnErrorNotAnotherInstance)
{
    QTemporaryDir dir;
    OpenPathForOthers(dir.path());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
    const int code = RunWherePermissionsHold([&] {
        TInstanceLock lock(dir.path());
        try {
            lock.tryLock();
        } catch (const TJournalError& e) {
            return e.message().contains(JoinPath(dir.path(), "jornix.lock")) ? 0 : 2;
        }
        return 1;
    });
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    SKIP_IF_PERMISSIONS_CANNOT_HOLD(code);
    EXPECT_EQ(code, 0) << "1: no error, 2: the message does not name the lock file";
}
