#include "diag/DebugLog.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

class DebugLogTest : public ::testing::Test
{
protected:
    QTemporaryDir programDir;
    QString iniPath() const { return programDir.filePath("jornix.ini"); }
    QString logPath() const { return programDir.filePath("debug.txt"); }

    void SetUp() override
    {
        TDebugLog::setDefaultDirectory(programDir.path());
        TDebugLog::setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)); });
    }
    void TearDown() override
    {
        TDebugLog::Teardown();
        TDebugLog::setClock(nullptr);
        TDebugLog::setDefaultDirectory(QString());
    }

    void writeIni(const QByteArray& bytes) const
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
    }

    // What a run of the program sends to the log, from configuration to teardown.
    void run(const char* title = "Tarvex's Diary")
    {
        TDebugLog::Instance().Configure(iniPath());
        TDebugLog::Instance().Print(1, "Started %s!", title);
        TDebugLog::Instance().Print(1, "Exited %s", title);
        TDebugLog::Teardown();
    }
};

TEST_F(DebugLogTest, OffByDefaultButStillStartsTheFileAfreshAndWritesItsKeys)
{
    writeFile(logPath(), "an old run\n");
    TDebugLog& log = TDebugLog::Instance();
    EXPECT_FALSE(QFileInfo::exists(logPath())) << "deleted at creation";
    writeFile(logPath(), "written in between\n");

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    log.Configure(iniPath());
    EXPECT_FALSE(QFileInfo::exists(logPath())) << "deleted at configuration";
    run();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(QFileInfo::exists(logPath()));

    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadInt("Debug", "Enabled", -1), 0);
    EXPECT_EQ(ini.ReadInt("Debug", "Level", -1), 1);
    EXPECT_EQ(ini.ReadInt("Debug", "Include Date Stamp", -1), 1);
    EXPECT_EQ(ini.ReadInt("Debug", "Enable Console", -1), 0);
    EXPECT_EQ(ini.ReadInt("Debug", "Log To File", -1), 0);
    EXPECT_EQ(ini.ReadString("Debug", "Log Filename", ""), logPath());
}

TEST_F(DebugLogTest, ARunLeavesExactlyThreeStampedLines)
{
    writeIni("[Debug]\r\nEnabled=1\r\nLog To File=1\r\n");
    writeFile(logPath(), "an old run\n");
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    run();
    const std::string expected = "05/03/2024 07:08:09 - Started Tarvex's Diary!\n"
                                 "05/03/2024 07:08:09 - Exited Tarvex's Diary\n"
                                 "05/03/2024 07:08:09 - Application Terminated\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "console is off";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
    EXPECT_EQ(readFile(logPath()).toStdString(), expected);

    // All six keys are there afterwards, the two given ones unchanged.
    const QByteArray ini = readFile(iniPath());
    EXPECT_TRUE(ini.contains("[Debug]\nEnabled=1\nLog To File=1\nLevel=1\nInclude Date Stamp=1\n"
                             "Enable Console=0\nLog Filename=" +
                             QFile::encodeName(logPath()) + "\n"))
        << ini.constData();
}

TEST_F(DebugLogTest, LineFormatFollowsTheSettings)
{
    writeIni("[Debug]\nEnabled=1\nLog To File=1\nInclude Date Stamp=0\n");
    testing::internal::CaptureStderr();
    run("My 100%s% Diary");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(logPath()), "Started My 100%s% Diary!\nExited My 100%s% Diary\n"
                                   "Application Terminated\n");

    // "DBWin" anywhere keeps the line open, so the next message continues it.
    TDebugLog& log = TDebugLog::Instance();
    log.Configure(iniPath());
    testing::internal::CaptureStderr();
    log.Print(1, "to DBWin: ");
    log.Print(1, "%d and %s", 42, "more");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(logPath()), "to DBWin: 42 and more\n");

    // A message far longer than any fixed buffer arrives whole.
    const std::string longText(20000, 'x');
    testing::internal::CaptureStderr();
    log.Print(1, "<%s>", longText.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "<" + longText + ">\n");
}

TEST_F(DebugLogTest, LevelFiltersBeforeAnythingIsWritten)
{
    writeIni("[Debug]\nEnabled=1\nLog To File=1\nLevel=0\n");
    testing::internal::CaptureStderr();
    run();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(QFileInfo::exists(logPath()));

    // A damaged level reads as 0 too; a higher level lets its messages through.
    writeIni("[Debug]\nEnabled=1\nLevel=two\nInclude Date Stamp=0\n");
    TDebugLog::Instance().Configure(iniPath());
    EXPECT_EQ(TDebugLog::Instance().level(), 0);
    writeIni("[Debug]\nEnabled=1\nLevel=2\nInclude Date Stamp=0\n");
    TDebugLog::Instance().Configure(iniPath());
    testing::internal::CaptureStderr();
    TDebugLog::Instance().Print(2, "second");
    TDebugLog::Instance().Print(3, "third");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "second\n");
}

TEST_F(DebugLogTest, ConsoleOpensOnlyForAnEnabledLog)
{
    writeIni("[Debug]\nEnable Console=1\n");
    TDebugLog::Instance().Configure(iniPath());
    EXPECT_TRUE(TDebugLog::Instance().console());
    EXPECT_FALSE(TDebugLog::Instance().consoleAllocated());
    TDebugLog::Teardown();

    writeIni("[Debug]\nEnabled=1\nEnable Console=1\nInclude Date Stamp=0\n");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    run();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Started Tarvex's Diary!\nExited Tarvex's Diary\nApplication Terminated\n");
}

TEST_F(DebugLogTest, UnwritableLogFileIsSilentAndLongNamesAreCut)
{
    const QString unreachable = programDir.filePath("no/such/folder/log.txt");
    writeIni("[Debug]\nEnabled=1\nLog To File=1\nInclude Date Stamp=0\nLog Filename=" +
             QFile::encodeName(unreachable) + "\n");
    testing::internal::CaptureStderr();
    run();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Started Tarvex's Diary!\nExited Tarvex's Diary\nApplication Terminated\n");

    writeIni("[Debug]\nLog Filename=" + QByteArray(600, 'n') + "\n");
    TDebugLog::Instance().Configure(iniPath());
    EXPECT_EQ(TDebugLog::Instance().fileName(), QString(499, QLatin1Char('n')));
    EXPECT_EQ(TSettingsFile(iniPath()).ReadString("Debug", "Log Filename", "").size(), 499);
}

} // namespace
