#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

// A program the test starts and reads line by line, and may kill at any moment.
class ChildProcess
{
public:
    ChildProcess(const QString& program, const QStringList& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    // The next line of its standard output, or nullopt at its end or after timeoutMs.
    std::optional<QString> readLine(int timeoutMs);
    // Lines already written, without waiting for more (after a kill: everything it wrote).
    QStringList drain();
    void killHard();
    // True while it has not ended.
    bool running();
    // Waits for it to end; the exit code, or -signal when a signal ended it, or nullopt when it
    // was still running after timeoutMs (it is then killed).
    std::optional<int> wait(int timeoutMs);

private:
    bool fill(int timeoutMs);

    pid_t m_pid = -1;
    int m_out = -1;
    bool m_ended = false;
    QByteArray m_buffer;
};
