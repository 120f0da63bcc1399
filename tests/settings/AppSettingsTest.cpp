#include "IniFixture.h"

#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

class AppSettingsTest : public IniFixture
{
protected:
    QTemporaryDir work;
    TAppSettings defaults()
    {
        TAppSettings s;
        s.title = QStringLiteral("Tarvex's Diary");
        s.window = {50, 60, 480, 640, 0};
        return s;
    }
    TAppSettings load() { return LoadSettings(iniPath(), defaults(), work.path()); }
    QString str(const char* section, const char* key)
    {
        return TSettingsFile(iniPath()).ReadString(section, key, QStringLiteral("<missing>"));
    }
    int num(const char* section, const char* key)
    {
        return TSettingsFile(iniPath()).ReadInt(section, key, -999);
    }
};

TEST_F(AppSettingsTest, FirstStartUsesDefaultsAndWritesOnlyTheDirectories)
{
    const TAppSettings s = load();
    EXPECT_EQ(s.window.top, 50);
    EXPECT_EQ(s.window.width, 640);
    EXPECT_EQ(s.window.state, 0);
    EXPECT_EQ(s.title, "Tarvex's Diary");
    EXPECT_EQ(s.docsDir, "Docs");
    EXPECT_EQ(s.backupDir, "Docs/Backup");
    EXPECT_EQ(s.autoSaveInterval, 10);
    EXPECT_TRUE(s.backupBeforeSave);
    EXPECT_FALSE(s.onTop);
    EXPECT_TRUE(s.rememberLastTab);
    EXPECT_EQ(s.lastTab, "");
    EXPECT_FALSE(s.quickListOpen);
    EXPECT_EQ(s.sideBarWidth, 125);
    EXPECT_EQ(s.filterIndex, 0);
    EXPECT_EQ(s.sideBarPage, 0);
    EXPECT_FALSE(s.categoriesEnabled);
    EXPECT_TRUE(s.showTooltips);
    EXPECT_FALSE(s.shortDateFormat);
    EXPECT_TRUE(s.includeTimeInInsert);
    EXPECT_TRUE(s.findAtCursor);
    EXPECT_EQ(s.leftMargin + s.rightMargin + s.topMargin + s.bottomMargin, 4);
    EXPECT_TRUE(s.printTabNameInHeader);
    EXPECT_TRUE(s.printPageNumberInFooter);

    EXPECT_EQ(readIni(),
              "[General]\nDocuments Directory=Docs\nBackup Documents Directory=Docs/Backup\n");
    // Without "Docs" the backup folder cannot be made yet; the next start makes it.
    EXPECT_FALSE(QFileInfo::exists(work.filePath("Docs")));
    ASSERT_TRUE(QDir(work.path()).mkdir("Docs"));
    load();
    EXPECT_TRUE(QFileInfo(work.filePath("Docs/Backup")).isDir());

    const TEditorFont font = ReadEditorFont(iniPath());
    EXPECT_EQ(font.name, "Arial");
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(str("Editor", "Font Name"), "Arial");
    EXPECT_EQ(num("Editor", "Font Size"), 12);
}

TEST_F(AppSettingsTest, LoadsAFileWrittenOnWindows)
{
    writeIni("[Main Window]\r\nTop=-4\r\nLeft=10\r\nHeight=700\r\nWidth=900\r\nWindow State=2\r\n"
             "[General]\r\nApplication Name=Mein Tageb\xfc"
             "ch\r\nDocuments Directory=D:\\Journal\r\n"
             "AutoSave Interval=5\r\nBackup Documents Directory=Docs\\Backup\r\n"
             "Backup Before Save=0\r\nOn Top=1\r\nRemember Last Tab=0\r\nLast Tab=Recipes\r\n"
             "[Quick List]\r\nIs Open=1\r\nWidth=200\r\nCurrent Filter Index=2\r\n"
             "Current Tab=1\r\nEnable Categories Tab=1\r\n"
             "[Preferences]\r\nShow Tooltips=0\r\nShort Date Format=1\r\n"
             "Include Time In Insert=0\r\nFind Text At Cursor=0\r\n"
             "[Printing]\r\nLeft Margin=2\r\nRight Margin=-1\r\nTop Margin=0\r\nBottom Margin=3\r\n"
             "Print Tab Name In Header=0\r\nPrint Page Number In Footer=0\r\n"
             "[Editor]\r\nFont Name=Times New Roman\r\nFont Size=14\r\n");
    const TAppSettings s = load();
    EXPECT_EQ(s.window.top, -4);
    EXPECT_EQ(s.window.left, 10);
    EXPECT_EQ(s.window.height, 700);
    EXPECT_EQ(s.window.width, 900);
    EXPECT_EQ(s.window.state, 2);
    EXPECT_EQ(s.title, QString::fromUtf8("Mein Tageb\u00fcch"));
    EXPECT_EQ(s.docsDir, "D:/Journal");
    EXPECT_EQ(s.autoSaveInterval, 5);
    EXPECT_EQ(s.backupDir, "Docs/Backup");
    EXPECT_FALSE(s.backupBeforeSave);
    EXPECT_TRUE(s.onTop);
    EXPECT_FALSE(s.rememberLastTab);
    EXPECT_EQ(s.lastTab, "Recipes"); // read whatever "Remember Last Tab" says
    EXPECT_TRUE(s.quickListOpen);
    EXPECT_EQ(s.sideBarWidth, 200);
    EXPECT_EQ(s.filterIndex, 2);
    EXPECT_EQ(s.sideBarPage, 1);
    EXPECT_TRUE(s.categoriesEnabled);
    EXPECT_FALSE(s.showTooltips);
    EXPECT_TRUE(s.shortDateFormat);
    EXPECT_FALSE(s.includeTimeInInsert);
    EXPECT_FALSE(s.findAtCursor);
    EXPECT_EQ(s.leftMargin, 2);
    EXPECT_EQ(s.rightMargin, -1);
    EXPECT_EQ(s.topMargin, 0);
    EXPECT_EQ(s.bottomMargin, 3);
    EXPECT_FALSE(s.printTabNameInHeader);
    EXPECT_FALSE(s.printPageNumberInFooter);
    // The directories are written back as the file spelled them.
    EXPECT_EQ(str("General", "Documents Directory"), "D:\\Journal");
    EXPECT_EQ(str("General", "Backup Documents Directory"), "Docs\\Backup");

    const TEditorFont font = ReadEditorFont(iniPath());
    EXPECT_EQ(font.name, "Times New Roman");
    EXPECT_EQ(font.size, 14);
}

TEST_F(AppSettingsTest, OddValuesFallBackSoundly)
{
    writeIni("[General]\nApplication Name=\nLast Tab=\nAutoSave Interval=soon\n"
             "Backup Documents Directory=\n"
             "[Quick List]\nWidth=wide\nCurrent Tab=1\nEnable Categories Tab=0\n"
             "[Main Window]\nTop=99999999999999\n");
    TAppSettings s = load();
    EXPECT_EQ(s.title, "Tarvex's Diary");
    EXPECT_EQ(s.lastTab, "");
    EXPECT_EQ(s.autoSaveInterval, 0);
    EXPECT_EQ(s.backupDir, "Docs/Backup");
    EXPECT_EQ(s.sideBarWidth, 0);
    EXPECT_EQ(s.window.top, 50);
    // With the Categories page off, the Quick List page shows whatever was stored.
    EXPECT_FALSE(s.categoriesEnabled);
    EXPECT_EQ(s.sideBarPage, 0);

    SaveSettings(iniPath(), s);
    EXPECT_EQ(num("Quick List", "Current Tab"), 0);
    EXPECT_EQ(num("Quick List", "Width"), 130);
    EXPECT_EQ(num("Quick List", "Enable Categories Tab"), 0);
}

TEST_F(AppSettingsTest, SaveWritesEveryKeyItOwnsAndNothingElse)
{
    writeIni("[Advanced]\nPrint Using Wordpad=1\n[Debug]\nEnabled=1\n");
    TAppSettings s = defaults();
    s.window = {11, 22, 333, 444, 0};
    s.title = "My 100% Diary";
    s.autoSaveInterval = 3;
    s.backupBeforeSave = false;
    s.onTop = true;
    s.lastTab = "Recipes";
    s.quickListOpen = true;
    s.sideBarWidth = 150;
    s.filterIndex = -1;
    s.sideBarPage = 1;
    s.showTooltips = false;
    s.leftMargin = -1;
    s.bottomMargin = 0;
    s.printPageNumberInFooter = false;
    s.fontName = "Times New Roman";
    s.fontSize = 14;
    SaveSettings(iniPath(), s);

    EXPECT_EQ(num("Main Window", "Top"), 11);
    EXPECT_EQ(num("Main Window", "Left"), 22);
    EXPECT_EQ(num("Main Window", "Height"), 333);
    EXPECT_EQ(num("Main Window", "Width"), 444);
    EXPECT_EQ(num("Main Window", "Window State"), 0);
    EXPECT_EQ(str("General", "Application Name"), "My 100% Diary");
    EXPECT_EQ(num("General", "AutoSave Interval"), 3);
    EXPECT_EQ(num("General", "Backup Before Save"), 0);
    EXPECT_EQ(num("General", "On Top"), 1);
    EXPECT_EQ(num("General", "Remember Last Tab"), 1);
    EXPECT_EQ(str("General", "Last Tab"), "Recipes");
    EXPECT_EQ(num("Quick List", "Is Open"), 1);
    EXPECT_EQ(num("Quick List", "Width"), 150);
    EXPECT_EQ(num("Quick List", "Current Filter Index"), -1);
    EXPECT_EQ(num("Quick List", "Current Tab"), 1);
    EXPECT_EQ(str("Editor", "Font Name"), "Times New Roman");
    EXPECT_EQ(num("Editor", "Font Size"), 14);
    EXPECT_EQ(num("Preferences", "Show Tooltips"), 0);
    EXPECT_EQ(num("Preferences", "Short Date Format"), 0);
    EXPECT_EQ(num("Preferences", "Include Time In Insert"), 1);
    EXPECT_EQ(num("Preferences", "Find Text At Cursor"), 1);
    EXPECT_EQ(num("Printing", "Left Margin"), -1);
    EXPECT_EQ(num("Printing", "Right Margin"), 1);
    EXPECT_EQ(num("Printing", "Top Margin"), 1);
    EXPECT_EQ(num("Printing", "Bottom Margin"), 0);
    EXPECT_EQ(num("Printing", "Print Tab Name In Header"), 1);
    EXPECT_EQ(num("Printing", "Print Page Number In Footer"), 0);

    const QByteArray file = readIni();
    EXPECT_FALSE(file.contains("Print Using Wordpad"));
    EXPECT_FALSE(file.contains("Directory"));
    EXPECT_FALSE(file.contains("Enable Categories Tab"));
    EXPECT_TRUE(file.contains("[Debug]\nEnabled=1\n"));

    // What was saved comes back, negative margin included.
    const TAppSettings back = load();
    EXPECT_EQ(back.leftMargin, -1);
    EXPECT_EQ(back.filterIndex, -1);
    EXPECT_EQ(back.title, "My 100% Diary");
}

TEST_F(AppSettingsTest, MaximizedWindowKeepsTheNormalPlacement)
{
    writeIni("[Main Window]\r\nTop=1\r\nLeft=2\r\nHeight=3\r\nWidth=4\r\nWindow State=0\r\n");
    TAppSettings s = defaults();
    s.window = {0, 0, 1080, 1920, 2};
    SaveSettings(iniPath(), s);
    EXPECT_EQ(num("Main Window", "Window State"), 2);
    EXPECT_EQ(num("Main Window", "Top"), 1);
    EXPECT_EQ(num("Main Window", "Left"), 2);
    EXPECT_EQ(num("Main Window", "Height"), 3);
    EXPECT_EQ(num("Main Window", "Width"), 4);
}

TEST_F(AppSettingsTest, ForgettingTheLastTabWritesItEmpty)
{
    TAppSettings s = defaults();
    s.rememberLastTab = false;
    s.lastTab = "Recipes";
    SaveSettings(iniPath(), s);
    EXPECT_EQ(num("General", "Remember Last Tab"), 0);
    EXPECT_TRUE(readIni().contains("Last Tab=\n"));
}

TEST_F(AppSettingsTest, BackupDirectoryIsCreatedWhereItBelongs)
{
    // Relative: from the working folder, not from the program folder.
    writeIni("[General]\nBackup Documents Directory=Copies\n");
    load();
    EXPECT_TRUE(QFileInfo(work.filePath("Copies")).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("Copies")));

    // Absolute stays absolute, and a Windows spelling still names one folder.
    QTemporaryDir elsewhere;
    TSettingsFile(iniPath()).WriteString("General", "Backup Documents Directory",
                                         elsewhere.path() + "\\Old");
    const TAppSettings s = load();
    EXPECT_EQ(s.backupDir, elsewhere.path() + "/Old");
    EXPECT_TRUE(QFileInfo(elsewhere.filePath("Old")).isDir());
}

TEST_F(AppSettingsTest, SpellingIsWrittenOnlyOnceTheUserChose)
{
    // A file from before spelling existed: no choice, and a save keeps it so, so that the
    // program can still pick the locale's dictionary once one is installed.
    writeIni("[General]\nAutoSave Interval=5\n");
    TAppSettings s = load();
    EXPECT_FALSE(s.spelling.stored);
    SaveSettings(iniPath(), s);
    EXPECT_FALSE(readIni().contains("[Spelling]"));

    s.spelling = {true, true, {"en_US", "de_DE"}};
    SaveSettings(iniPath(), s);
    EXPECT_TRUE(readIni().contains("[Spelling]\nCheck As You Type=1\nDictionaries=en_US,de_DE\n"))
        << readIni().toStdString();
    EXPECT_EQ(load().spelling, s.spelling);

    // Switched off with no dictionary chosen is a choice too; blanks around codes are the
    // user's editing and mean nothing.
    writeIni("[spelling]\ncheck as you type=0\nDictionaries= fr_FR , ,de_CH\n");
    EXPECT_EQ(load().spelling, (TSpellingSettings{true, false, {"fr_FR", "de_CH"}}));
    writeIni("[Spelling]\nCheck As You Type=x\n");
    EXPECT_EQ(load().spelling, (TSpellingSettings{true, false, {}}));
}

} // namespace
