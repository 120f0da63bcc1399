#include "StoreTestSupport.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <sys/wait.h>

int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        constexpr uid_t nobody = 65534;
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(100);
        int code = 101;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 100)
        return -1;
    return WEXITSTATUS(status);
}

void OpenPathForOthers(const QString& dir)
{
    QString path = dir;
    while (path.size() > 1 && path != QDir::tempPath()) {
        struct stat st
        {
        };
        const QByteArray native = QFile::encodeName(path);
        if (::stat(native.constData(), &st) == 0)
            ::chmod(native.constData(), (st.st_mode & 07777) | 0005);
        path = QFileInfo(path).path();
    }
}
