#include "IniFixture.h"

#include "settings/IniText.h"
#include "settings/SettingsFile.h"
#include "store/AtomicFile.h"

#include <QDir>

#include <climits>

namespace {

using SettingsFileTest = IniFixture;

const QString S = QStringLiteral("Sec");

TEST_F(SettingsFileTest, PathGetsTheIniExtension)
{
    EXPECT_EQ(TSettingsFile("/opt/app/jornix.ini").path(), "/opt/app/jornix.ini");
    EXPECT_EQ(TSettingsFile("/opt/app/jornix.exe").path(), "/opt/app/jornix.ini");
    EXPECT_EQ(TSettingsFile("C:\\Prog\\jornix.exe").path(), "C:\\Prog\\jornix.ini");
    EXPECT_EQ(TSettingsFile("/opt/app/jornix.").path(), "/opt/app/jornix.ini");
    EXPECT_EQ(TSettingsFile("/opt/app/jornix").path(), "/opt/app/jornixini");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(TSettingsFile("/home/me/.local/jornix").path(), "/home/me/.local/jornixini");
    EXPECT_EQ(TSettingsFile("C:\\my.app\\jornix").path(), "C:\\my.app\\jornixini");
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt)
{
    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadInt(S, "Number", 42), 42);
    EXPECT_EQ(ini.ReadString(S, "Text", "fallback"), "fallback");
    EXPECT_TRUE(ini.DeleteKey(S, "Nothing"));
    EXPECT_TRUE(ini.WriteInt(S, "Number", -7));
    EXPECT_EQ(readIni(), "[Sec]\nNumber=-7\n");
    EXPECT_EQ(ini.ReadInt(S, "Number", 42), -7);
}

TEST_F(SettingsFileTest, ReadsAFileWrittenOnWindows)
{
    // CRLF lines, spaces around names and "=", other letter case, Windows-1252 bytes.
    writeIni("[Editor]\r\nFont Name=Caf\xe9 Sans\r\n  font size = 14 \r\n"
             "[general]\r\nBackup Documents Directory=Docs\\Backup\r\n");
    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadString("Editor", "Font Name", ""), QString::fromUtf8("Caf\u00e9 Sans"));
    EXPECT_EQ(ini.ReadInt("EDITOR", "Font Size", 12), 14);
    EXPECT_EQ(ini.ReadString("General", "Backup Documents Directory", ""), "Docs\\Backup");

    // A write keeps everything else and leaves the file as UTF-8, names spelled as they were.
    EXPECT_TRUE(ini.WriteInt("Editor", "FONT SIZE", 16));
    const QByteArray after = readIni();
    EXPECT_TRUE(after.contains("Font Name=Caf\xc3\xa9 Sans\n")) << after.constData();
    EXPECT_TRUE(after.contains("font size=16\n")) << after.constData();
    EXPECT_TRUE(after.contains("[general]\nBackup Documents Directory=Docs\\Backup\n"));
    EXPECT_FALSE(after.contains('\r'));
    EXPECT_EQ(ini.ReadString("Editor", "Font Name", ""), QString::fromUtf8("Caf\u00e9 Sans"));
}

TEST_F(SettingsFileTest, IntegersTakeTheLeadingDigits)
{
    writeIni("[Sec]\nDigits=12abc\nWord=abc\nEmpty=\nNegative=-3\nMinus=-\nPlus=+5\n"
             "Huge=99999999999\nTooBig=2147483648\nMax=2147483647\nMin=-2147483648\n"
             "TooSmall=-2147483649\nZeros=0000000000000000000000042\n");
    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadInt(S, "Digits", 9), 12);
    EXPECT_EQ(ini.ReadInt(S, "Word", 9), 0);
    EXPECT_EQ(ini.ReadInt(S, "Empty", 9), 0);
    EXPECT_EQ(ini.ReadInt(S, "Negative", 9), -3);
    EXPECT_EQ(ini.ReadInt(S, "Minus", 9), 0);
    EXPECT_EQ(ini.ReadInt(S, "Plus", 9), 0);
    EXPECT_EQ(ini.ReadInt(S, "Huge", 9), 9);
    EXPECT_EQ(ini.ReadInt(S, "TooBig", 9), 9);
    EXPECT_EQ(ini.ReadInt(S, "Max", 9), INT_MAX);
    EXPECT_EQ(ini.ReadInt(S, "Min", 9), INT_MIN);
    EXPECT_EQ(ini.ReadInt(S, "TooSmall", 9), 9);
    EXPECT_EQ(ini.ReadInt(S, "Zeros", 9), 42);
    EXPECT_EQ(ini.ReadInt(S, "Missing", 9), 9);
}

TEST_F(SettingsFileTest, StringsAreCappedAndEmptyMeansDefault)
{
    const QByteArray longValue(1500, 'x');
    // A 4-byte character straddling the cut must not be split into half a surrogate pair.
    const QByteArray straddling = QByteArray(998, 'y') + "\xf0\x9f\x98\x80" + "zz";
    writeIni("[Sec]\nLong=" + longValue + "\nStraddling=" + straddling + "\nEmpty=\n");
    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadString(S, "Long", ""), QString(999, QLatin1Char('x')));
    EXPECT_EQ(ini.ReadString(S, "Straddling", ""), QString(998, QLatin1Char('y')));
    EXPECT_EQ(ini.ReadString(S, "Empty", "default"), "default");
}

TEST_F(SettingsFileTest, DamagedFileNeverHidesOrLosesGoodKeys)
{
    writeIni(QByteArray("garbage line without equals\n[Broken\n\x01\x02\xff\xfe\n", 27 + 9 + 5) +
             QByteArray("\0\0junk\0=\n", 9) + "=no key\n[Sec]\nKept=5\n");
    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadInt(S, "Kept", 0), 5);
    EXPECT_TRUE(ini.WriteInt(S, "New", 1));
    EXPECT_EQ(ini.ReadInt(S, "Kept", 0), 5);
    EXPECT_EQ(ini.ReadInt(S, "New", 0), 1);
}

TEST_F(SettingsFileTest, UnclosedSectionNameDoesNotGrowTheFile)
{
    writeIni("[Editor Name=Arial\n#Size=-2147\nFont Size=-\n[Sec]\nKept=5\n");
    TSettingsFile ini(iniPath());
    ASSERT_TRUE(ini.WriteInt(S, "Probe", 1));
    const QByteArray once = readIni();
    for (int i = 2; i < 6; ++i)
        ASSERT_TRUE(ini.WriteInt(S, "Probe", i));
    ASSERT_TRUE(ini.WriteInt(S, "Probe", 1));
    EXPECT_EQ(readIni(), once);
    EXPECT_EQ(ini.ReadInt(S, "Kept", 0), 5);
    EXPECT_EQ(ini.ReadString("", "Font Size", "none"), "-");
}

TEST_F(SettingsFileTest, ValuesCannotStartNewKeys)
{
    TSettingsFile ini(iniPath());
    EXPECT_TRUE(ini.WriteString(S, "Name", "a\r\n[Debug]\nEnabled=1"));
    EXPECT_EQ(ini.ReadInt("Debug", "Enabled", 0), 0);
    EXPECT_EQ(ini.ReadString(S, "Name", ""), "a  [Debug] Enabled=1");
}

TEST_F(SettingsFileTest, DeleteKeyRemovesOnlyThatKey)
{
    writeIni("[Advanced]\r\nPrint Using Wordpad=1\r\nOther=2\r\n");
    TSettingsFile ini(iniPath());
    EXPECT_TRUE(ini.DeleteKey("advanced", "print using wordpad"));
    EXPECT_EQ(ini.ReadString("Advanced", "Print Using Wordpad", "gone"), "gone");
    EXPECT_EQ(ini.ReadInt("Advanced", "Other", 0), 2);
}

TEST_F(SettingsFileTest, FailedWriteReturnsFalseAndKeepsTheOldFile)
{
    const QByteArray old = "[Sec]\r\nKey=old\r\n";
    writeIni(old);
    TSettingsFile ini(iniPath());

    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage stage, const QString&) { return stage == AtomicFile::Stage::Rename; });
    EXPECT_FALSE(ini.WriteString(S, "Key", "new"));
    EXPECT_FALSE(ini.WriteInt(S, "Other", 1));
    EXPECT_FALSE(ini.DeleteKey(S, "Key"));
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_EQ(readIni(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"jornix.ini"});

    // A folder that is not there cannot take the file.
    TSettingsFile nowhere(dir.filePath("missing/jornix.ini"));
    EXPECT_FALSE(nowhere.WriteInt(S, "Key", 1));
}

TEST_F(SettingsFileTest, UnreadableFileIsNeverOverwritten)
{
    // Something we cannot read as a settings file (here a folder) must not be replaced by a
    // file holding just the one key being written.
    ASSERT_TRUE(QDir(dir.path()).mkdir("jornix.ini"));
    TSettingsFile ini(iniPath());
    EXPECT_EQ(ini.ReadInt(S, "Key", 3), 3);
    EXPECT_FALSE(ini.WriteInt(S, "Key", 1));
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());

    // Nor is a file far too big to be a settings file.
    ASSERT_TRUE(QDir(dir.path()).rmdir("jornix.ini"));
    writeIni("[Sec]\nKey=5\n");
    ASSERT_TRUE(QFile::resize(iniPath(), TSettingsFile::MaxFileSize + 1));
    EXPECT_EQ(ini.ReadInt(S, "Key", 3), 3);
    EXPECT_FALSE(ini.WriteInt(S, "Key", 1));
    EXPECT_EQ(QFileInfo(iniPath()).size(), TSettingsFile::MaxFileSize + 1);
}

TEST_F(SettingsFileTest, WritingTheSameValueLeavesTheFileAlone)
{
    writeIni("[Sec]\nKey=1\n");
    AtomicFile::setFaultInjector([](AtomicFile::Stage, const QString&) { return true; });
    // Any attempt to write would fail; an unchanged value must not even try.
    EXPECT_TRUE(TSettingsFile(iniPath()).WriteInt(S, "Key", 1));
    EXPECT_TRUE(TSettingsFile(iniPath()).WriteInt(S, "key", 1));
    AtomicFile::setFaultInjector(nullptr);
}

TEST(IniTextTest, WindowsBytesBecomeUtf8AndNulsSpaces)
{
    EXPECT_EQ(IniText::toParsableUtf8("\x80 caf\xe9"), "\xe2\x82\xac caf\xc3\xa9");
    EXPECT_EQ(IniText::toParsableUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
    EXPECT_EQ(IniText::toParsableUtf8(QByteArray("a\0b", 3)), "a b");
}

} // namespace
