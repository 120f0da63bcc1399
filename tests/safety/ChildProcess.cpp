#include "ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    std::vector<QByteArray> argv8{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        argv8.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& a : argv8)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    m_out = pipeFds[0];
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !m_ended) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        ::close(m_out);
}

bool ChildProcess::fill(int timeoutMs)
{
    pollfd fd{m_out, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0)
        return false;
    char chunk[4096];
    const ssize_t got = ::read(m_out, chunk, sizeof chunk);
    if (got <= 0)
        return false;
    m_buffer.append(chunk, got);
    return true;
}

std::optional<QString> ChildProcess::readLine(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end >= 0) {
            const QString line = QString::fromUtf8(m_buffer.left(end));
            m_buffer.remove(0, end + 1);
            return line;
        }
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || !fill(int(left)))
            return std::nullopt;
    }
}

QStringList ChildProcess::drain()
{
    QStringList lines;
    while (std::optional<QString> line = readLine(0))
        lines << *line;
    return lines;
}

void ChildProcess::killHard()
{
    if (m_pid > 0 && !m_ended)
        ::kill(m_pid, SIGKILL);
}

bool ChildProcess::running()
{
    if (m_pid <= 0 || m_ended)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid)
        return true;
    m_ended = true;
    return false;
}

std::optional<int> ChildProcess::wait(int timeoutMs)
{
    if (m_pid <= 0)
        return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid)
            break;
        if (timer.elapsed() > timeoutMs) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            m_ended = true;
            return std::nullopt;
        }
        // Keep its pipe from filling while it finishes.
        if (!fill(10))
            ::usleep(2000);
    }
    m_ended = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}
