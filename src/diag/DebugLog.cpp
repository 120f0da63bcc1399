#include "diag/DebugLog.h"

#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::unique_ptr<TDebugLog>& instance()
{
    static std::unique_ptr<TDebugLog> log;
    return log;
}

QString& defaultDirectory()
{
    static QString dir;
    return dir;
}

TDebugLog::Clock& logClock()
{
    static TDebugLog::Clock c;
    return c;
}

void removeOldLog(const QString& fileName)
{
    // A file that will not go is appended to instead; the log never stops the program.
    if (QFile::exists(fileName))
        QFile::remove(fileName);
}

std::string expand(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    std::string text(size_t(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(size_t(length));
    return text;
}

void writeTo(std::FILE* stream, const QByteArray& line)
{
    if (!stream)
        return;
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
    std::fflush(stream);
}

bool hasStandardOutput()
{
#ifdef Q_OS_WIN
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    return out != nullptr && out != INVALID_HANDLE_VALUE;
#else
    return ::fcntl(STDOUT_FILENO, F_GETFD) != -1;
#endif
}

} // namespace

TDebugLog::TDebugLog() : m_fileName(defaultFileName())
{
    removeOldLog(m_fileName);
}

QString TDebugLog::defaultFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\debug.txt");
#else
    QString dir = defaultDirectory();
    if (dir.isEmpty() && QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    return dir.isEmpty() ? QStringLiteral("debug.txt") : QDir(dir).filePath("debug.txt");
#endif
}

void TDebugLog::setDefaultDirectory(const QString& programDir)
{
    defaultDirectory() = programDir;
}

void TDebugLog::setClock(Clock c)
{
    logClock() = std::move(c);
}

TDebugLog& TDebugLog::Instance()
{
    auto& log = instance();
    if (!log)
        log.reset(new TDebugLog);
    return *log;
}

void TDebugLog::Teardown()
{
    auto& log = instance();
    if (!log)
        return;
    log->Print(1, "Application Terminated");
    if (log->m_console)
        log->SetConsole(false);
    log.reset();
}

void TDebugLog::Configure(const QString& settingsPath)
{
    namespace K = SettingsKeys::Debug;
    const TSettingsFile ini(settingsPath);
    const QString section = QLatin1String(K::Section);
    m_enabled = ini.ReadInt(section, QLatin1String(K::Enabled), 0) != 0;
    m_level = ini.ReadInt(section, QLatin1String(K::Level), 1);
    m_includeDateStamp = ini.ReadInt(section, QLatin1String(K::IncludeDateStamp), 1) != 0;
    SetConsole(ini.ReadInt(section, QLatin1String(K::EnableConsole), 0) != 0);
    m_logToFile = ini.ReadInt(section, QLatin1String(K::LogToFile), 0) != 0;
    m_fileName = ini.ReadString(section, QLatin1String(K::LogFilename), defaultFileName())
                     .left(MaxFileNameLength);
    removeOldLog(m_fileName);
    SaveConfiguration(settingsPath);
}

void TDebugLog::SetConsole(bool on)
{
    if (on == m_console)
        return;
    m_console = on;
    // Standard output stands for the console; "allocating" it only lets the lines through, so
    // a console asked for while the log is off stays closed, as it always did.
    m_consoleAllocated = on && m_enabled;
}

void TDebugLog::SaveConfiguration(const QString& settingsPath)
{
    namespace K = SettingsKeys::Debug;
    TSettingsFile ini(settingsPath);
    const QString section = QLatin1String(K::Section);
    ini.WriteInt(section, QLatin1String(K::Enabled), m_enabled ? 1 : 0);
    ini.WriteInt(section, QLatin1String(K::Level), m_level);
    ini.WriteInt(section, QLatin1String(K::IncludeDateStamp), m_includeDateStamp ? 1 : 0);
    ini.WriteInt(section, QLatin1String(K::EnableConsole), m_console ? 1 : 0);
    ini.WriteInt(section, QLatin1String(K::LogToFile), m_logToFile ? 1 : 0);
    ini.WriteString(section, QLatin1String(K::LogFilename), m_fileName);
}

void TDebugLog::Print(int level, const char* format, ...)
{
    if (!m_enabled || level > m_level)
        return;

    va_list args;
    va_start(args, format);
    std::string message = expand(format, args);
    va_end(args);
    if (message.find("DBWin") == std::string::npos)
        message += '\n';

    QByteArray line;
    if (m_includeDateStamp) {
        const QDateTime now = logClock() ? logClock()() : QDateTime::currentDateTime();
        const QDate d = now.date();
        const QTime t = now.time();
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d %02d:%02d:%02d - ", d.day(), d.month(),
                      d.year(), t.hour(), t.minute(), t.second());
        line = stamp;
    }
    line.append(message.data(), qsizetype(message.size()));
    write(line);
}

void TDebugLog::write(const QByteArray& line)
{
#ifdef Q_OS_WIN
    OutputDebugStringA(line.constData());
#else
    writeTo(stderr, line);
#endif
    if (m_consoleAllocated && hasStandardOutput())
        writeTo(stdout, line);
    if (m_logToFile) {
        // Opened and closed per line, so the file is complete after every message and can be
        // read while the program runs; a file that cannot be opened just misses the line.
#ifdef Q_OS_WIN
        std::FILE* file = _wfopen(reinterpret_cast<const wchar_t*>(m_fileName.utf16()), L"a");
#else
        std::FILE* file = std::fopen(QFile::encodeName(m_fileName).constData(), "a");
#endif
        if (!file)
            return;
        std::fwrite(line.constData(), 1, size_t(line.size()), file);
        std::fclose(file);
    }
}
