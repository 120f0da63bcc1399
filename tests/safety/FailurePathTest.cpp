// What the user sees, and what is left on disk, when the journal's folders and files fail
// under the running program. Full disks and failing renames come from the atomic writer's fault
// seam; read-only folders are real ones, under an unprivileged user when we run as root.
#include "Unprivileged.h"
#include "app/AppFixture.h"

#include "store/AtomicFile.h"

#include <QAction>
#include <QDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

namespace {

const char* const Today = "jx20261207.rtf";

// Clears the fault seam however the test ends, so that no later test inherits it.
struct FaultsWhere
{
    explicit FaultsWhere(std::function<bool(AtomicFile::Stage, const QString&)> injector)
    {
        AtomicFile::setFaultInjector(std::move(injector));
    }
    ~FaultsWhere() { AtomicFile::setFaultInjector(nullptr); }
};

std::function<bool(AtomicFile::Stage, const QString&)> failing(AtomicFile::Stage stage,
                                                               const QString& pathPart)
{
    return [stage, pathPart](AtomicFile::Stage s, const QString& path) {
        return s == stage && path.contains(pathPart);
    };
}

QStringList temporaryFiles(const QString& dir)
{
    return QDir(dir).entryList({".*.tmp"}, QDir::Files | QDir::Hidden);
}

void setMode(const QString& path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

class FailurePath : public AppFixture
{
protected:
    void save() { form->command("FileSave")->trigger(); }

    // One error box, naming the file and the system's reason.
    void expectOneError(const QString& path, const QString& reason)
    {
        const QStringList errors = prompter.texts("error");
        ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].contains(path)) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(reason)) << errors[0].toStdString();
    }

    void selectTabByMouse(const QString& caption)
    {
        TTabRow* row = form->tabRow();
        const int index = row->findCaption(caption);
        ASSERT_GE(index, 0);
        QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(index).center());
    }
};

} // namespace

TEST_F(FailurePath, DocumentsFolderDeletedWhileRunningIsReportedAndTheTextWaitsForIt)
{
    QDir().mkpath(docs("Backup"));
    start();
    type("before the folder went");
    save();
    ASSERT_TRUE(prompter.shown.empty());

    type("written after ");
    ASSERT_TRUE(QDir(docs()).removeRecursively());
    save();
    expectOneError(docs(Today), "No such file or directory");
    EXPECT_TRUE(editor().isModified());
    EXPECT_TRUE(plainText().contains("before the folder wentwritten after"));
    EXPECT_FALSE(QFileInfo::exists(docs())) << "a save never quietly makes a new, empty journal";

    // The folder comes back (a sync tool, the user): the next save goes through.
    prompter.clear();
    QDir().mkpath(docs());
    save();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(readFile(docs(Today)).contains("before the folder wentwritten after"));
    EXPECT_FALSE(editor().isModified());
}

TEST_F(FailurePath, ReadOnlyDocumentsFolderIsReportedAndNothingOnDiskChanges)
{
    if (RerunUnprivileged())
        return;
    QDir().mkpath(docs("Backup"));
    start();
    type("first words");
    save();
    form->OpenKeywordTab("Recipes");
    type("flour");
    save();
    const QByteArray keywordBefore = readFile(docs("kw_Recipes.rtf"));
    ASSERT_TRUE(keywordBefore.contains("flour"));
    prompter.clear();

    setMode(docs(), 0555);
    type("more ");
    save();
    expectOneError(docs("kw_Recipes.rtf"), "Permission denied");
    EXPECT_EQ(readFile(docs("kw_Recipes.rtf")), keywordBefore);
    EXPECT_TRUE(editor().isModified());
    EXPECT_TRUE(temporaryFiles(docs()).isEmpty());

    // The auto-save tick meets the same folder: reported again, and still nothing lost.
    prompter.clear();
    form->AutoSaveInterval = 1;
    form->TimerAutoBackupTimer();
    EXPECT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(editor().isModified());

    setMode(docs(), 0755);
    prompter.clear();
    save();
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_TRUE(readFile(docs("kw_Recipes.rtf")).contains("flourmore"));
}

TEST_F(FailurePath, DiskFullWhileSavingEachKindOfFileLeavesTheOldFileAndNoLeftovers)
{
    QDir().mkpath(docs("Backup"));
    start();
    type("entry v1");
    save();
    form->OpenKeywordTab("Garden");
    type("keyword v1");
    save();
    const QByteArray entryBefore = readFile(docs(Today));
    const QByteArray keywordBefore = readFile(docs("kw_Garden.rtf"));
    const QByteArray startupBefore = readFile(docs("startup.txt"));
    prompter.clear();

    {
        // The keyword file: the disk fills up while the new version is written.
        FaultsWhere full(failing(AtomicFile::Stage::Write, "kw_Garden.rtf"));
        type("v2 ");
        save();
    }
    expectOneError(docs("kw_Garden.rtf"), "No space left on device");
    EXPECT_EQ(readFile(docs("kw_Garden.rtf")), keywordBefore);
    EXPECT_TRUE(editor().isModified());

    {
        // startup.txt: the mark is asked for, the list cannot be written.
        prompter.clear();
        FaultsWhere full(failing(AtomicFile::Stage::Flush, "startup.txt"));
        form->command("FileLoadAtStartup")->trigger();
    }
    expectOneError(docs("startup.txt"), "No space left on device");
    EXPECT_EQ(readFile(docs("startup.txt")), startupBefore);

    {
        // The entry, reached by switching back to the diary after a successful save here.
        prompter.clear();
        save();
        ASSERT_TRUE(prompter.shown.empty());
        selectTabByMouse("Diary");
        type("v2 ");
        FaultsWhere full(failing(AtomicFile::Stage::Write, docs(Today)));
        save();
    }
    expectOneError(docs(Today), "No space left on device");
    EXPECT_EQ(readFile(docs(Today)), entryBefore);
    EXPECT_TRUE(plainText().contains("v2 entry v1"));

    for (const QString& dir : {programDir(), docs(), docs("Backup")})
        EXPECT_TRUE(temporaryFiles(dir).isEmpty()) << temporaryFiles(dir).join(' ').toStdString();

    // Room again: everything asked for reaches the disk.
    prompter.clear();
    save();
    form->TimerAutoBackupTimer();
    stop();
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_TRUE(readFile(docs(Today)).contains("v2 entry v1"));
    EXPECT_TRUE(readFile(docs("kw_Garden.rtf")).contains("keyword v1v2"));
    EXPECT_EQ(readFile(docs("startup.txt")), "Garden\r\n");
}

TEST_F(FailurePath, AFailedSaveStopsTheTabSwitchSoTheTextIsNotReplaced)
{
    QDir().mkpath(docs("Backup"));
    start();
    form->OpenKeywordTab("Garden");
    selectTabByMouse("Diary");
    type("not yet on disk");
    prompter.clear();
    {
        FaultsWhere full(failing(AtomicFile::Stage::Write, docs(Today)));
        selectTabByMouse("Garden");
    }
    expectOneError(docs(Today), "No space left on device");
    EXPECT_TRUE(form->diaryTabSelected());
    EXPECT_TRUE(plainText().contains("not yet on disk"));
    EXPECT_TRUE(editor().isModified());
}

TEST_F(FailurePath, AFailedSaveAtCloseKeepsTheWindowOpenWithTheText)
{
    QDir().mkpath(docs("Backup"));
    start();
    type("last thoughts of the day");
    {
        FaultsWhere full(failing(AtomicFile::Stage::Rename, docs(Today)));
        form->close();
    }
    // One box says why and offers Retry, Save a Copy As... and Cancel; nothing answered it.
    ASSERT_EQ(prompter.texts("saveFailed").size(), 1);
    EXPECT_TRUE(prompter.texts("saveFailed")[0].contains(docs(Today)));
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_TRUE(form->isVisible()) << "closing would throw the unsaved text away";
    EXPECT_TRUE(plainText().contains("last thoughts of the day"));

    // With the disk back, the close goes through and the text is on disk.
    prompter.clear();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(readFile(docs(Today)).contains("last thoughts of the day"));
}

TEST_F(FailurePath, BackupFolderThatCannotBeWrittenIsReportedAndTheSaveStillHappens)
{
    if (RerunUnprivileged())
        return;
    QDir().mkpath(docs("Backup"));
    start();
    type("one");
    save();
    ASSERT_TRUE(prompter.shown.empty());

    setMode(docs("Backup"), 0555);
    replaceText("two");
    save();
    // The entry is saved (nothing typed is held back), and the user learns that its backup
    // copy is missing, and where it should have been.
    EXPECT_TRUE(readFile(docs(Today)).contains("two"));
    EXPECT_FALSE(editor().isModified());
    QStringList said = prompter.texts("error") + prompter.texts("information");
    ASSERT_EQ(said.size(), 1) << said.join('\n').toStdString();
    EXPECT_TRUE(said[0].contains(backup(Today))) << said[0].toStdString();
    EXPECT_TRUE(said[0].contains("Permission denied")) << said[0].toStdString();
    EXPECT_FALSE(readFile(backup(Today)).contains("one")) << "the copy was not made";
    setMode(docs("Backup"), 0755);
}

TEST_F(FailurePath, SettingsFileThatCannotBeWrittenIsReportedOnceAndKeepsItsContent)
{
    start();
    const QByteArray before = readFile(ini());
    ASSERT_FALSE(before.isEmpty());
    form->AutoSaveInterval = 1;
    form->LeftMargin = 7;
    {
        FaultsWhere broken(failing(AtomicFile::Stage::Rename, "jornix.ini"));
        form->TimerAutoBackupTimer();
    }
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1) << "one box per failed save, not one per key: "
                                << errors.join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains(ini())) << errors[0].toStdString();
    // The system's own words for the failure, in the user's language.
    EXPECT_TRUE(errors[0].contains(qt_error_string(EIO))) << errors[0].toStdString();
    EXPECT_EQ(readFile(ini()), before);
    EXPECT_TRUE(temporaryFiles(programDir()).isEmpty());
}

TEST_F(FailurePath, KeywordFileTheReaderRejectsIsReportedAndNeverWritten)
{
    QDir().mkpath(docs());
    const QByteArray junk = QByteArray::fromHex("7f454c460201010000000000") + "binary";
    writeFile(docs("kw_Junk.rtf"), junk);
    start();
    form->guarded([&] { form->OpenKeywordTab("Junk"); });
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(docs("kw_Junk.rtf"))) << errors[0].toStdString();
    EXPECT_TRUE(editor().isReadOnly());

    type("typed over it");
    save();
    form->AutoSaveInterval = 1;
    form->TimerAutoBackupTimer();
    selectTabByMouse("Diary");
    stop();
    EXPECT_EQ(readFile(docs("kw_Junk.rtf")), junk);
    EXPECT_FALSE(QFile::exists(backup("kw_Junk.rtf")));
}

TEST_F(FailurePath, UnreadableStartupListIsReportedAndNotOverwrittenWithAnEmptyOne)
{
    if (RerunUnprivileged())
        return;
    QDir().mkpath(docs("Backup"));
    writeFile(docs("startup.txt"), "Garden\r\nRecipes\r\n");
    setMode(docs("startup.txt"), 0200); // it can be replaced, but not read
    start();
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains(docs("startup.txt"))) << errors[0].toStdString();
    EXPECT_TRUE(form->isVisible());
    type("the day goes on");
    save();
    EXPECT_TRUE(readFile(docs(Today)).contains("the day goes on"));

    // The list was never read, so the settings save at the end has no list to write over it.
    stop();
    setMode(docs("startup.txt"), 0600);
    EXPECT_EQ(readFile(docs("startup.txt")), "Garden\r\nRecipes\r\n");
}

TEST_F(FailurePath, KeywordFileChangedElsewhereIsKeptWithItsOriginAndTime)
{
    QDir().mkpath(docs("Backup"));
    writeFile(docs("kw_Garden.rtf"), rtfWith("ours"));
    start();
    form->OpenKeywordTab("Garden");
    writeFile(docs("kw_Garden.rtf"), rtfWith("from the laptop"));
    type("x");
    save();
    const QString first = backup("kw_Garden.changed-elsewhere-20261207-100000.rtf");
    EXPECT_TRUE(readFile(first).contains("from the laptop"));
    QStringList notes = prompter.texts("information");
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].contains(first)) << notes[0].toStdString();
    EXPECT_TRUE(readFile(docs("kw_Garden.rtf")).contains("xours"));

    // A second outside change within the same second gets its own copy.
    prompter.clear();
    writeFile(docs("kw_Garden.rtf"), rtfWith("from the phone, a longer text"));
    type("y");
    save();
    const QString second = backup("kw_Garden.changed-elsewhere-20261207-100000-2.rtf");
    EXPECT_TRUE(readFile(second).contains("from the phone"));
    EXPECT_TRUE(readFile(first).contains("from the laptop"));
    notes = prompter.texts("information");
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].contains(second)) << notes[0].toStdString();

    // When even the copy cannot be made, the other version is not overwritten.
    prompter.clear();
    writeFile(docs("kw_Garden.rtf"), rtfWith("from the tablet"));
    type("z");
    {
        FaultsWhere full(failing(AtomicFile::Stage::Write, "changed-elsewhere"));
        save();
    }
    EXPECT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(readFile(docs("kw_Garden.rtf")).contains("from the tablet"));
    EXPECT_TRUE(editor().isModified());
    EXPECT_TRUE(plainText().contains("xyzours"));
}

TEST_F(FailurePath, ReadOnlyProgramFolderKeepsTheJournalInTheDataFolderWithoutABox)
{
    if (RerunUnprivileged())
        return;
    // A copy on a read-only place (a system folder, a mounted medium): nothing can go beside it.
    const QString program = programDir() + "/program";
    QDir().mkpath(program);
    writeFile(program + "/jornix", "#!/bin/sh\n");
    setMode(program, 0555);
    const QString data = programDir() + "/home/.local/share/tarvex-diary";
    TEnvironment env = EnvironmentFor(program + "/jornix", program, data);
    ASSERT_TRUE(env.installed());
    env.now = [this] { return clock; };
    env.prompter = &prompter;

    actions = std::make_unique<TDMActions>();
    form = std::make_unique<TFormMain>(env, *actions);
    form->show();
    QCoreApplication::processEvents();
    type("a day on a read-only copy");
    form->AutoSaveInterval = 1;
    form->TimerAutoBackupTimer(); // saves the entry and every setting
    stop();
    EXPECT_TRUE(prompter.shown.empty()) << prompter.texts("error").join('\n').toStdString();
    EXPECT_TRUE(readFile(data + "/Docs/" + Today).contains("a day on a read-only copy"));
    EXPECT_TRUE(readFile(data + "/jornix.ini").contains("AutoSave Interval=1"));
    setMode(program, 0755);
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"jornix"});
}
