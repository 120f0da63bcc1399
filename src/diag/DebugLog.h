#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

#if defined(__GNUC__)
#define JORNIX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define JORNIX_PRINTF_FORMAT(fmt, args)
#endif

// The process-wide diagnostic log, switched on through [Debug] in jornix.ini. Off by default;
// when on, each message that passes the level goes to standard error (our debugger channel),
// to standard output when the console is on, and to a log file started afresh at every run.
// Only the user-interface thread logs; there is no lock.
class TDebugLog
{
public:
    // Where the default "Log Filename" (debug.txt) lives: the program's folder. Call before the
    // first Instance(); without it the folder of the running program is used.
    static void setDefaultDirectory(const QString& programDir);

    // The one log, created on first use (which deletes an old file at the default name).
    static TDebugLog& Instance();
    // At exit, after the main window is gone so that its last line is still written: prints
    // "Application Terminated" and releases the log. Does nothing if the log was never made.
    static void Teardown();

    // Reads the six [Debug] keys, starts the log file afresh and writes the keys back.
    void Configure(const QString& settingsPath);
    // Writes one printf-style message of the given level (1 is the most important). Nothing is
    // formatted unless the log is on and the level passes. Messages of any length are whole.
    void Print(int level, const char* format, ...) JORNIX_PRINTF_FORMAT(3, 4);
    void SetConsole(bool on);
    void SaveConfiguration(const QString& settingsPath);

    bool enabled() const { return m_enabled; }
    int level() const { return m_level; }
    bool includeDateStamp() const { return m_includeDateStamp; }
    bool console() const { return m_console; }
    bool consoleAllocated() const { return m_consoleAllocated; }
    bool logToFile() const { return m_logToFile; }
    const QString& fileName() const { return m_fileName; }

    // Test seam: the local time stamped on each line.
    using Clock = std::function<QDateTime()>;
    static void setClock(Clock clock);

    static constexpr int MaxFileNameLength = 499;

private:
    TDebugLog();
    void write(const QByteArray& line);
    static QString defaultFileName();

    bool m_enabled = false;
    int m_level = 1;
    bool m_includeDateStamp = true;
    bool m_console = false;
    bool m_consoleAllocated = false;
    bool m_logToFile = false;
    QString m_fileName;
};
