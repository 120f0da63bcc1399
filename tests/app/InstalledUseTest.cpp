// Portable and installed use: which folder holds the journal, decided once at start-up.
#include "AppFixture.h"

#include "app/BuildConfig.h"

#include <QAction>
#include <QDir>

class InstalledUseTest : public AppFixture
{
protected:
    QString path(const QString& relative) const { return temp.path() + "/" + relative; }
    void makeProgram(const QString& file)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        writeFile(file, "#!/bin/sh\n");
    }
    void makeLauncherEntry(const QString& prefix)
    {
        const QString entry =
            prefix + "/" JORNIX_INSTALL_DATADIR "/applications/" JORNIX_APP_ID ".desktop";
        QDir().mkpath(QFileInfo(entry).absolutePath());
        writeFile(entry, "[Desktop Entry]\n");
    }
    void startIn(TEnvironment env)
    {
        env.now = [this] { return clock; };
        env.prompter = &prompter;
        actions = std::make_unique<TDMActions>();
        form = std::make_unique<TFormMain>(env, *actions);
        form->show();
        QCoreApplication::processEvents();
    }
};

TEST_F(InstalledUseTest, AWritableFolderIsPortableAndAnInstalledTreeIsNot)
{
    // A copy unpacked anywhere, even in a folder named bin: the journal stays beside it.
    for (const QString& program : {path("portable/jornix"), path("tools/bin/jornix")}) {
        makeProgram(program);
        const TEnvironment env = EnvironmentFor(program, path("cwd"), path("data"));
        EXPECT_FALSE(env.installed()) << program.toStdString();
        EXPECT_EQ(env.homeDir(), QFileInfo(program).absolutePath());
        EXPECT_EQ(env.relativeBase(), path("cwd"));
        EXPECT_EQ(env.userGuide(), QFileInfo(program).absolutePath() + "/user-guide.html");
    }
    EXPECT_FALSE(QFileInfo::exists(path("data"))) << "a portable program makes no data folder";

    // Installed with its launcher entry (cmake --install, the package): the per-user folder,
    // even where the user could write beside the program, as root or in ~/.local.
    const QString prefix = path("usr");
    makeProgram(prefix + "/" JORNIX_INSTALL_BINDIR "/jornix");
    makeLauncherEntry(prefix);
    const TEnvironment env =
        EnvironmentFor(prefix + "/" JORNIX_INSTALL_BINDIR "/jornix", path("cwd"), path("data/td"));
    EXPECT_TRUE(env.installed());
    EXPECT_EQ(env.homeDir(), path("data/td"));
    EXPECT_EQ(env.relativeBase(), path("data/td")) << "not the folder a menu started it in";
    EXPECT_TRUE(QFileInfo(path("data/td")).isDir()) << "made, with its parents";
    EXPECT_EQ(env.userGuide(), prefix + "/" JORNIX_INSTALL_DOCDIR "/user-guide.html");

    EXPECT_TRUE(FolderWritable(path("usr")));
    EXPECT_FALSE(FolderWritable(path("no/such/folder")));
    EXPECT_TRUE(PerUserDataDir().endsWith("/tarvex-diary"));
}

TEST_F(InstalledUseTest, TheInstalledJournalLivesInTheDataFolderAndCountsFromIt)
{
    const QString prefix = path("usr");
    const QString program = prefix + "/" JORNIX_INSTALL_BINDIR "/jornix";
    makeProgram(program);
    makeLauncherEntry(prefix);
    const QString data = path("home/.local/share/tarvex-diary");
    TEnvironment env = EnvironmentFor(program, path("elsewhere"), data);
    ASSERT_TRUE(env.installed());

    startIn(env);
    type("written on an installed copy");
    form->command("FileSave")->trigger();
    form->AutoSaveInterval = 1;
    form->TimerAutoBackupTimer();
    stop();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(readFile(data + "/Docs/jx20261207.rtf").contains("written on an installed copy"));
    EXPECT_TRUE(readFile(data + "/jornix.ini").contains("Documents Directory=Docs"));
    EXPECT_EQ(QDir(prefix + "/" JORNIX_INSTALL_BINDIR)
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"jornix"})
        << "nothing is written beside the installed program";

    // Relative folders count from the data folder, and the log goes there too.
    writeFile(data + "/jornix.ini", "[General]\nDocuments Directory=Journal\n"
                                    "Backup Documents Directory=Journal/Old\n"
                                    "[Debug]\nEnabled=1\nLog To File=1\n");
    QDir().mkpath(data + "/Journal/Old");
    startIn(env);
    EXPECT_EQ(form->journal()->docsDir(), data + "/Journal");
    EXPECT_EQ(form->journal()->backupDir(), data + "/Journal/Old");
    stop();
    EXPECT_TRUE(readFile(data + "/debug.txt").contains("Started Tarvex's Diary!"));
    EXPECT_FALSE(QFileInfo::exists(path("elsewhere/Journal")));
}
