#include "Unprivileged.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdlib>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

bool RerunUnprivileged()
{
    if (::geteuid() != 0)
        return false;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    char exe[4096];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) {
        ADD_FAILURE() << "cannot find this program to run it again";
        return true;
    }
    exe[length] = '\0';
    const pid_t pid = ::fork();
    if (pid == 0) {
        constexpr uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(100);
        ::setenv("HOME", "/tmp", 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        char* argv[] = {exe, const_cast<char*>(filter.c_str()), nullptr};
        ::execv(exe, argv);
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
