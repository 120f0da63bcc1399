#include "AppFixture.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

TEST_F(AppFixture, ExitWritesEverySettingAndTheNextStartRestoresThePlacement)
{
    start();
    form->move(40, 50);
    form->resize(640, 480);
    QCoreApplication::processEvents();
    const QPoint placed = form->pos();
    form->Exit1Click();
    stop();

    const QString text = QString::fromUtf8(readFile(ini()));
    for (const char* key :
         {"[Main Window]", "Top=", "Left=", "Height=480", "Width=640", "Window State=0",
          "Application Name=Tarvex's Diary", "AutoSave Interval=10", "Backup Before Save=1",
          "On Top=0", "Remember Last Tab=1", "Last Tab=Diary", "Is Open=0", "Current Filter Index=0",
          "Current Tab=0", "Show Tooltips=1", "Short Date Format=0", "Include Time In Insert=1",
          "Find Text At Cursor=1", "Left Margin=1", "Right Margin=1", "Top Margin=1",
          "Bottom Margin=1", "Print Tab Name In Header=1", "Print Page Number In Footer=1",
          "Font Name=Arial", "Font Size=12"})
        EXPECT_TRUE(text.contains(QLatin1String(key))) << key;
    EXPECT_TRUE(QFile::exists(docs("startup.txt")));

    start();
    EXPECT_EQ(form->pos(), placed);
    EXPECT_EQ(form->size(), QSize(640, 480));
}

TEST_F(AppFixture, AMaximizedWindowKeepsItsStoredNormalPlacement)
{
    writeFile(ini(), "[Main Window]\r\nTop=30\r\nLeft=20\r\nHeight=400\r\nWidth=500\r\n"
                     "Window State=2\r\n[Advanced]\r\nPrint Using Wordpad=1\r\n");
    start();
    EXPECT_TRUE(form->isMaximized());
    stop();
    const QString text = QString::fromUtf8(readFile(ini()));
    EXPECT_TRUE(text.contains("Window State=2"));
    EXPECT_TRUE(text.contains("Top=30"));
    EXPECT_TRUE(text.contains("Width=500"));
    EXPECT_FALSE(text.contains("Print Using Wordpad"));
}

TEST_F(AppFixture, APlacementOffEveryScreenIsBroughtBack)
{
    writeFile(ini(), "[Main Window]\nTop=-90000\nLeft=99999\nHeight=2147483647\nWidth=junk\n");
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(form->frameGeometry())) << "window is somewhere visible";
    EXPECT_LE(form->height(), screen.height());
    EXPECT_GE(form->width(), 200);
}

TEST_F(AppFixture, DocumentFoldersResolveAgainstTheWorkingFolderUnlessAbsolute)
{
    QTemporaryDir elsewhere;
    const QString absolute = elsewhere.path() + "/journal";
    writeFile(ini(), ("[General]\nDocuments Directory=" + absolute + "\nBackup Documents Directory=Old\\Backup\n").toUtf8());
    start();
    EXPECT_EQ(form->journal()->DocsDir, absolute);
    EXPECT_EQ(form->journal()->BackupDir, "Old/Backup") << "an absolute documents folder leaves the backup as stored";
    EXPECT_FALSE(QFileInfo::exists(absolute)) << "a folder configured elsewhere is never created";
    EXPECT_FALSE(prompter.texts("error").isEmpty()) << "and the entry that cannot be written is reported";
    stop();

    writeFile(ini(), "[General]\nDocuments Directory=J\nBackup Documents Directory=/var/tmp/jx-backup\n");
    start();
    EXPECT_EQ(form->journal()->DocsDir, programDir() + "/J");
    EXPECT_EQ(form->journal()->BackupDir, "/var/tmp/jx-backup");
}

TEST_F(AppFixture, LastTabIsRememberedIgnoringCaseAndForgottenWhenSwitchedOff)
{
    QDir().mkpath(docs());
    writeFile(docs("kw_Work.rtf"), rtfWith("work notes"));
    writeFile(docs("startup.txt"), "Work\r\n");
    writeFile(ini(), "[General]\nLast Tab=WORK\n");
    start();
    EXPECT_EQ(form->selectedCaption(), "Work");
    EXPECT_TRUE(plainText().contains("work notes"));
    form->RememberLastTab = false;
    stop();
    EXPECT_TRUE(QString::fromUtf8(readFile(ini())).contains("Last Tab=\n") ||
                QString::fromUtf8(readFile(ini())).contains("Last Tab=\r\n"));
}

TEST_F(AppFixture, StartingOnAKeywordTabLeavesNoEmptyEntryAndNeverDeletesARealOne)
{
    QDir().mkpath(docs());
    writeFile(docs("startup.txt"), "Empty\r\n");
    writeFile(ini(), "[General]\nLast Tab=Empty\n");
    start();
    EXPECT_EQ(form->selectedCaption(), "Empty");
    EXPECT_FALSE(QFile::exists(docs("jx20261207.rtf")));
    stop();

    writeFile(docs("jx20261207.rtf"), rtfWith("a real entry"));
    start();
    stop();
    EXPECT_TRUE(readFile(docs("jx20261207.rtf")).contains("a real entry"));
}
