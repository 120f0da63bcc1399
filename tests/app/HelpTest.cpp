// Help: the user guide beside the program (or where the installed program keeps it), the bug
// items, and a guide that names every command with its shortcut.
#include "AppFixture.h"
#include "UrlCatcher.h"

#include "app/CommandTable.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QUrl>

namespace {

QString sourceFile(const QString& relative)
{
    return QDir(qEnvironmentVariable("JORNIX_SOURCE_DIR")).filePath(relative);
}

QString plain(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

} // namespace

class HelpTest : public AppFixture
{
protected:
    QString guide() const { return programDir() + "/user-guide.html"; }
};

TEST_F(HelpTest, ContentsAndTheBugItemsOpenTheGuideBesideTheProgram)
{
    TUrlCatcher browser;
    start();
    QMenu* help = nullptr;
    for (QAction* menu : form->menuBar()->actions())
        if (menu->text() == "&Help")
            help = menu->menu();
    ASSERT_NE(help, nullptr);
    QStringList items;
    for (QAction* item : help->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(items, (QStringList{"&Contents", "-", "&Bug Tracking...", "&Report Bug...", "-",
                                  "About..."}));
    EXPECT_EQ(form->command("HelpContents")->shortcut(), QKeySequence(Qt::Key_F1));

    // No guide beside the program: the user learns where it was looked for.
    form->command("HelpContents")->trigger();
    EXPECT_TRUE(browser.opened.isEmpty());
    QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(guide())) << errors[0].toStdString();

    prompter.clear();
    writeFile(guide(), "<html><body><h2 id=\"reporting-a-problem\">Reporting</h2></body></html>");
    form->command("HelpContents")->trigger();
    form->command("BugTracking1")->trigger();
    form->command("ReportBug1")->trigger();
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_EQ(browser.opened.size(), 3);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(guide()));
    QUrl section = QUrl::fromLocalFile(guide());
    section.setFragment("reporting-a-problem");
    EXPECT_EQ(browser.opened[1], section);
    EXPECT_EQ(browser.opened[2], section);
}

TEST_F(HelpTest, AnInstalledProgramOpensTheGuideOfItsDocumentationFolder)
{
    TUrlCatcher browser;
    const QString installedGuide = programDir() + "/doc/user-guide.html";
    QDir().mkpath(programDir() + "/doc");
    writeFile(installedGuide, "<html></html>");
    actions = std::make_unique<TDMActions>();
    TEnvironment env = environment();
    env.guideFile = installedGuide;
    form = std::make_unique<TFormMain>(env, *actions);
    form->command("HelpContents")->trigger();
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(installedGuide));
}

TEST_F(HelpTest, TheGuideNamesEveryCommandWithItsShortcutAndHowToGetTextBack)
{
    QFile file(sourceFile("docs/user-guide.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString guide = QString::fromUtf8(file.readAll());
    // The guide's table rows, each as its plain text with the keys marked.
    QStringList rows;
    static const QRegularExpression rowPattern("<tr>(.*?)</tr>",
                                               QRegularExpression::DotMatchesEverythingOption);
    for (auto it = rowPattern.globalMatch(guide); it.hasNext();)
        rows << it.next().captured(1).simplified();
    ASSERT_GT(rows.size(), 30);
    auto rowWith = [&rows](const QString& a, const QString& b) {
        for (const QString& row : rows)
            if (row.contains(a) && row.contains(b))
                return true;
        return false;
    };

    start();
    QStringList missing;
    for (QAction* menu : form->menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator())
                continue;
            const QString caption = plain(item->text());
            const QString keys = item->shortcut().isEmpty()
                                     ? QString()
                                     : "<kbd>" + item->shortcut().toString() + "</kbd>";
            if (!rowWith(plain(menu->text()) + " &gt; " + caption.toHtmlEscaped(), keys))
                missing << plain(menu->text()) + " > " + caption + " " + keys;
        }
    }
    // Commands without a menu item are reached by their keys.
    for (const TCommandRow& row : CommandTable()) {
        const QString keys = QString::fromLatin1(row.shortcut);
        if (!keys.isEmpty() && !guide.contains("<kbd>" + keys + "</kbd>"))
            missing << QString::fromLatin1(row.name) + " " + keys;
    }
    for (const char* keys : {"Ctrl+Tab", "Ctrl+Shift+Tab", "Ctrl+PgDown", "Ctrl+PgUp"})
        if (!guide.contains(QStringLiteral("<kbd>%1</kbd>").arg(QLatin1String(keys))))
            missing << QLatin1String(keys);
    EXPECT_TRUE(missing.isEmpty()) << missing.join('\n').toStdString();

    for (const char* needed :
         {"id=\"reporting-a-problem\"", "jornix.ini", "Docs/Backup", ".emptied-",
          ".changed-elsewhere-", ".damaged-", ".unsaved-", "tarvex-diary", "Documents Directory"})
        EXPECT_TRUE(guide.contains(QLatin1String(needed))) << needed;
}
