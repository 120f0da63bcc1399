// The program as the kill test runs it: the real main window, offscreen, in a given program
// folder, saving one kind of file over and over until it is killed.
//
//   safety_kill_driver <program folder> prepare|save|check|hold entry|keyword|startup|settings
//
// prepare  writes version 0 of the kind's file through the program and ends normally;
// save     reports the version it loaded, then "ready <n>" with the version it goes on from,
//          then "saved <n> <ms>" after every save;
// check    starts as the user would, reports what it loaded and ends normally;
// hold     starts and runs until it is killed, as a journal left open does.
// A message box shown before the main window exists (the second start's) is reported as
// "box <text>" and closed, as a user would.
// Every message the program shows is reported at once as "message <kind> <text>".
#include "SafetyScenario.h"

#include "app/TApplication.h"
#include "app/TDMActions.h"
#include "app/TFormMain.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Safety;

namespace {

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Answers No to every question and cancels every dialog, so that nothing ever waits for a user.
class TReportingPrompter : public TPrompter
{
public:
    void information(QWidget*, const QString&, const QString& text) override
    {
        report(QStringLiteral("information"), text);
    }
    void error(QWidget*, const QString&, const QString& text) override
    {
        report(QStringLiteral("error"), text);
    }
    bool question(QWidget*, const QString&, const QString& text) override
    {
        report(QStringLiteral("question"), text);
        return false;
    }
    int execDialog(QDialog& dialog) override
    {
        report(QStringLiteral("dialog"), dialog.objectName());
        return 0;
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override
    {
        report(QStringLiteral("font"), QString());
        return std::nullopt;
    }
    SaveFailureChoice saveFailed(QWidget*, const QString&, const QString& text) override
    {
        report(QStringLiteral("saveFailed"), text);
        return SaveFailureChoice::Cancel;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString&, const QString&,
                                          const QString&) override
    {
        return std::nullopt;
    }

private:
    static void report(const QString& kind, QString text)
    {
        text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        say(QStringLiteral("message %1 %2").arg(kind, text));
    }
};

QString joined(const QStringList& list)
{
    return list.join(QLatin1Char('|'));
}

int loadedEntry(TFormMain& form)
{
    return entryVersionOf(form.Editor->toPlainText());
}

int loadedKeyword(TFormMain& form)
{
    form.OpenKeywordTab(keywordName());
    return keywordVersionOf(form.Editor->toPlainText());
}

int loadedStartup(TFormMain& form)
{
    for (int n : {0, 1})
        if (form.journal()->StartupTabs == startupTabs(n))
            return n;
    return -1;
}

QList<int> settingsValues(const TFormMain& form)
{
    return {form.AutoSaveInterval, form.LeftMargin, form.RightMargin, form.TopMargin,
            form.BottomMargin};
}

void setSettingsValues(TFormMain& form, int value)
{
    form.AutoSaveInterval = form.LeftMargin = form.RightMargin = form.TopMargin =
        form.BottomMargin = value;
}

// The n whose values the settings hold, or -1 when they are not all of one version.
int loadedSettings(const TFormMain& form)
{
    const QList<int> values = settingsValues(form);
    for (int value : values)
        if (value != values.front())
            return -1;
    return values.front() - settingsValue(0);
}

// Replaces the document as a paste over everything would, and saves it with the command.
bool saveText(TFormMain& form, const QString& text)
{
    form.Editor->setPlainText(text);
    form.Editor->setModified(true);
    form.command(QStringLiteral("FileSave"))->trigger();
    return !form.Editor->isModified();
}

int loaded(Kind kind, TFormMain& form)
{
    switch (kind) {
    case Kind::Entry:
        return loadedEntry(form);
    case Kind::Keyword:
        return loadedKeyword(form);
    case Kind::Startup:
        return loadedStartup(form);
    case Kind::Settings:
        return loadedSettings(form);
    }
    return -1;
}

// Puts version n into the program as the user would have it before saving: the text typed
// (pasted over everything), the settings chosen.
void editVersion(Kind kind, TFormMain& form, int n)
{
    switch (kind) {
    case Kind::Entry:
    case Kind::Keyword:
        form.Editor->setPlainText(kind == Kind::Entry ? entryText(n) : keywordText(n));
        form.Editor->setModified(true);
        break;
    case Kind::Startup:
        break; // the mark is set by the command itself
    case Kind::Settings:
        setSettingsValues(form, settingsValue(n));
        break;
    }
}

// The save of what editVersion put in; false when the program reported it could not.
bool saveVersion(Kind kind, TFormMain& form, int n)
{
    switch (kind) {
    case Kind::Entry:
    case Kind::Keyword:
        form.command(QStringLiteral("FileSave"))->trigger();
        return !form.Editor->isModified();
    case Kind::Startup:
        form.command(QStringLiteral("FileLoadAtStartup"))->trigger();
        return form.journal()->StartupTabs == startupTabs(n);
    case Kind::Settings:
        // What the auto-save tick and the close do; a failure is shown, so report it too.
        try {
            form.SaveSettings();
        } catch (const std::exception& e) {
            say(QStringLiteral("message error %1").arg(QString::fromUtf8(e.what())));
            return false;
        }
        return true;
    }
    return false;
}

void prepare(Kind kind, TFormMain& form)
{
    switch (kind) {
    case Kind::Entry:
        saveText(form, entryText(0));
        break;
    case Kind::Keyword:
        form.OpenKeywordTab(keywordName());
        saveText(form, keywordText(0));
        break;
    case Kind::Startup:
        form.OpenKeywordTab(keywordName());
        saveText(form, keywordText(0));
        form.OpenKeywordTab(anchorName());
        saveText(form, keywordText(0));
        if (form.journal()->StartupTabs.isEmpty())
            form.command(QStringLiteral("FileLoadAtStartup"))->trigger();
        break;
    case Kind::Settings:
        setSettingsValues(form, settingsValue(0));
        form.SaveSettings();
        break;
    }
}

// "ready" comes when the first version is in place and its save begins, so that the test's
// wait before the kill measures time within saves; each "saved <n> <ms>" gives how long the
// save itself took.
int saveLoop(Kind kind, TFormMain& form, int n)
{
    if (kind == Kind::Startup)
        form.OpenKeywordTab(keywordName());
    editVersion(kind, form, n + 1);
    say(QStringLiteral("ready %1").arg(n));
    QElapsedTimer running;
    running.start();
    // Killed long before this; the limit only keeps a forgotten driver from running forever.
    while (running.elapsed() < 120000) {
        ++n;
        QElapsedTimer timer;
        timer.start();
        if (!saveVersion(kind, form, n)) {
            say(QStringLiteral("failed %1").arg(n));
            return 3;
        }
        say(QStringLiteral("saved %1 %2").arg(n).arg(timer.elapsed()));
        editVersion(kind, form, n + 1);
    }
    return 5;
}

// Closes any message box the program shows on its own, after reporting its text.
void answerMessageBoxes()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QString text = box->text();
            text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
            say(QStringLiteral("box %1").arg(text));
            box->accept();
        }
    });
    timer->start(20);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QStringList args = app.arguments();
    const std::optional<Kind> kind = args.size() == 4 ? kindNamed(args[3]) : std::nullopt;
    if (!kind) {
        std::fputs("usage: safety_kill_driver <program folder> prepare|save|check|hold "
                   "entry|keyword|startup|settings\n",
                   stderr);
        return 2;
    }
    const QString programDir = QDir(args[1]).absolutePath();
    const QString mode = args[2];
    if (::chdir(QFile::encodeName(programDir).constData()) != 0)
        return 2;

    TApplication::setApplicationName(QStringLiteral("Tarvex's Diary"));
    answerMessageBoxes();
    // A stale lock from the last kill is taken over here, as at every start after a crash.
    if (!TApplication::claimJournal(programDir)) {
        say(QStringLiteral("locked"));
        return 4;
    }
    TReportingPrompter prompter;
    TEnvironment env;
    env.programFilePath = programDir + QStringLiteral("/jornix");
    env.programDir = programDir;
    env.workingDir = programDir;
    env.now = [] { return fixedNow(); };
    env.prompter = &prompter;

    TDMActions actions;
    int code = 0;
    {
        TFormMain form(env, actions);
        app.setMainWindow(&form);
        form.show();
        QCoreApplication::processEvents();

        if (mode == QLatin1String("hold")) {
            say(QStringLiteral("ready 0"));
            return TApplication::exec();
        }
        if (mode == QLatin1String("prepare")) {
            prepare(*kind, form);
            say(QStringLiteral("prepared"));
        } else {
            const int n = loaded(*kind, form);
            QString line = QStringLiteral("loaded %1").arg(n);
            if (*kind == Kind::Settings)
                for (int value : settingsValues(form))
                    line += QStringLiteral(" %1").arg(value);
            say(line);
            if (mode == QLatin1String("save")) {
                // A file that is no version at all: saving over it would hide the fault.
                if (n < 0 && *kind != Kind::Settings)
                    return 6;
                const int start = n >= 0 ? n : settingsValues(form).front() - settingsValue(0);
                return saveLoop(*kind, form, start);
            }
            say(QStringLiteral("tabs %1").arg(joined(form.tabRow()->captions())));
            say(QStringLiteral("startup %1").arg(joined(form.journal()->StartupTabs)));
        }
        form.close();
        app.setMainWindow(nullptr);
    }
    say(QStringLiteral("closed"));
    return code;
}
