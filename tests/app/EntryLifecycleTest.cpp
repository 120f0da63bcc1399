#include "AppFixture.h"

#include "store/AtomicFile.h"

#include <QAction>
#include <QDir>
#include <QSettings>

namespace {

const char* const Today = "jx20261207.rtf";

} // namespace

TEST_F(AppFixture, FirstStartCreatesDocsTodaysEntryAndTheSettingsItReadsBack)
{
    start();
    EXPECT_EQ(form->windowTitle(), "Tarvex's Diary");
    EXPECT_TRUE(QFileInfo(docs()).isDir());
    EXPECT_TRUE(QFile::exists(docs(Today)));
    // The parent of the backup folder did not exist yet when the settings were read.
    EXPECT_FALSE(QFileInfo(docs("Backup")).exists());

    const QString text = QString::fromUtf8(readFile(ini()));
    for (const char* key : {"Documents Directory=Docs", "Backup Documents Directory=Docs/Backup",
                            "Font Name=Arial", "Font Size=12", "Enabled=0", "Level=1",
                            "Include Date Stamp=1", "Enable Console=0", "Log To File=0",
                            "Log Filename="})
        EXPECT_TRUE(text.contains(QLatin1String(key))) << key << "\n" << text.toStdString();

    stop();
    start();
    EXPECT_TRUE(QFileInfo(docs("Backup")).isDir()) << "the second start creates the backup folder";
}

TEST_F(AppFixture, SavesKeepOneBackupVersionBehindAndAnEmptiedEntryLeavesNoFiles)
{
    QDir().mkpath(docs("Backup"));
    start();
    type("first");
    EXPECT_TRUE(form->command("FileSave")->isEnabled() || (form->refreshCommandStates(), true));
    form->command("FileSave")->trigger();
    EXPECT_FALSE(editor().isModified());
    EXPECT_TRUE(readFile(docs(Today)).contains("first"));

    replaceText("second");
    form->command("FileSave")->trigger();
    EXPECT_TRUE(readFile(docs(Today)).contains("second"));
    EXPECT_TRUE(readFile(backup(Today)).contains("first"));
    EXPECT_FALSE(readFile(backup(Today)).contains("second"));

    replaceText("");
    form->command("FileSave")->trigger();
    EXPECT_FALSE(QFile::exists(docs(Today)));
    EXPECT_FALSE(QFile::exists(backup(Today)));
    EXPECT_TRUE(editor().isModified()) << "an emptied entry stays modified, so Save stays offered";
    form->refreshCommandStates();
    EXPECT_TRUE(form->command("FileSave")->isEnabled());
}

TEST_F(AppFixture, MissingOrEmptyEntriesComeBackFromTheirBackupCopy)
{
    QDir().mkpath(docs("Backup"));
    writeFile(backup(Today), rtfWith("from the backup"));

    // Missing entry file.
    start();
    EXPECT_EQ(prompter.texts("information"), QStringList{"Diary has been restored from backup"});
    EXPECT_TRUE(plainText().contains("from the backup"));
    EXPECT_TRUE(readFile(docs(Today)).contains("from the backup"));
    EXPECT_TRUE(QFile::exists(backup(Today))) << "a restore leaves the backup copy in place";
    stop();

    // Zero-length entry file.
    prompter.clear();
    writeFile(docs(Today), QByteArray());
    start();
    EXPECT_EQ(prompter.texts("information"), QStringList{"Diary file has been restored from backup"});
    EXPECT_TRUE(readFile(docs(Today)).contains("from the backup"));
    stop();

    // Zero-length entry file, no backup: starts empty, and leaving the day removes the file.
    prompter.clear();
    QFile::remove(backup(Today));
    writeFile(docs(Today), QByteArray());
    start();
    EXPECT_TRUE(prompter.texts("information").isEmpty());
    EXPECT_TRUE(plainText().isEmpty());
    EXPECT_GT(QFileInfo(docs(Today)).size(), 0);
    stop();
    EXPECT_FALSE(QFile::exists(docs(Today)));
}

TEST_F(AppFixture, AFileThatIsNeitherRtfNorTextIsReportedAndNeverOverwritten)
{
    QDir().mkpath(docs());
    const QByteArray junk("\x00\x01\x02binary\x00junk", 14);
    writeFile(docs(Today), junk);
    start();
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(docs(Today))) << errors[0].toStdString();
    EXPECT_TRUE(editor().isReadOnly());
    type("typed over it");
    form->command("FileSave")->trigger();
    form->TimerAutoBackupTimer();
    stop();
    EXPECT_EQ(readFile(docs(Today)), junk);
}

TEST_F(AppFixture, AFailedWriteNamesTheFileAndKeepsTheText)
{
    start();
    type("precious words");
    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage stage, const QString&) { return stage == AtomicFile::Stage::Rename; });
    form->command("FileSave")->trigger();
    AtomicFile::setFaultInjector(nullptr);

    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(docs(Today))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith('.'));
    EXPECT_TRUE(editor().isModified());
    EXPECT_TRUE(plainText().contains("precious words"));
    EXPECT_FALSE(readFile(docs(Today)).contains("precious"));

    form->command("FileSave")->trigger();
    EXPECT_TRUE(readFile(docs(Today)).contains("precious words")) << "the next save tries again";
}

TEST_F(AppFixture, AutoSaveComesEveryIntervalWhateverManualSavesHappen)
{
    start();
    form->AutoSaveInterval = 3;
    type("a");
    form->TimerAutoBackupTimer();
    form->TimerAutoBackupTimer();
    form->command("FileSave")->trigger();
    type("b");
    EXPECT_TRUE(editor().isModified());
    form->TimerAutoBackupTimer();
    EXPECT_FALSE(editor().isModified()) << "third tick saves";
    EXPECT_TRUE(readFile(ini()).contains("Window State"));
    type("c");
    form->TimerAutoBackupTimer();
    form->TimerAutoBackupTimer();
    EXPECT_TRUE(editor().isModified());
    form->TimerAutoBackupTimer();
    EXPECT_FALSE(editor().isModified());
}
