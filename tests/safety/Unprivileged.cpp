#include "Unprivileged.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

// The unprivileged user may not be able to enter the folder this program was built in (a
// clone in a private folder, a home folder of mode 700), so it runs a copy from a folder of its
// own under /tmp, which also serves as its HOME and TMPDIR. The folder goes when it is done.
class TUnprivilegedCopy
{
public:
    TUnprivilegedCopy()
    {
        char pattern[] = "/tmp/jornix-unprivileged.XXXXXX";
        if (!::mkdtemp(pattern))
            return;
        m_dir = QString::fromLocal8Bit(pattern);
        const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
        const QString copy = m_dir + QStringLiteral("/test-program");
        const QString home = m_dir + QStringLiteral("/home");
        if (exe.isEmpty() || !QFile::copy(exe, copy) || !QDir().mkdir(home))
            return;
        if (::chmod(pattern, 0755) != 0 ||
            ::chmod(QFile::encodeName(copy).constData(), 0755) != 0 ||
            ::chown(QFile::encodeName(home).constData(), Nobody, Nobody) != 0)
            return;
        m_program = QFile::encodeName(copy).toStdString();
        m_home = QFile::encodeName(home).toStdString();
    }
    ~TUnprivilegedCopy()
    {
        if (!m_dir.isEmpty())
            QDir(m_dir).removeRecursively();
    }
    bool ready() const { return !m_program.empty(); }
    const std::string& program() const { return m_program; }
    const std::string& home() const { return m_home; }

private:
    QString m_dir;
    std::string m_program;
    std::string m_home;
};

} // namespace

bool RerunUnprivileged()
{
    if (::geteuid() != 0)
        return false;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    const TUnprivilegedCopy copy;
    if (!copy.ready()) {
        ADD_FAILURE() << "cannot put a copy of this program where user 65534 can run it";
        return true;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(100);
        ::setenv("HOME", copy.home().c_str(), 1);
        ::setenv("TMPDIR", copy.home().c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        char* argv[] = {const_cast<char*>(copy.program().c_str()),
                        const_cast<char*>(filter.c_str()), nullptr};
        ::execv(argv[0], argv);
        ::_exit(101);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 100) {
        ADD_FAILURE() << "running as root and cannot switch to user 65534";
        return true;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the unprivileged run of " << filter << " failed (its output is above)";
    return true;
}
