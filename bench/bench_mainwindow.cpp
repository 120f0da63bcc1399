// The main window's everyday moves over a documents folder of twenty years: 7,300 entries and
// 500 keyword files. Run: scripts/bench.sh bench_mainwindow
#include "BenchMain.h"
#include "SilentPrompter.h"
#include "app/TDMActions.h"
#include "app/TFormMain.h"
#include "app/TRichEditor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// One program folder for all benchmarks: making 7,800 files takes longer than measuring.
struct Journal
{
    QTemporaryDir dir;
    SilentPrompter prompter;
    std::unique_ptr<TDMActions> actions;
    std::unique_ptr<TFormMain> form;

    Journal()
    {
        QDir().mkpath(dir.path() + "/Docs/Backup");
        const QByteArray body = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard A day in the "
                                "life\\par\r\n}";
        QDate day(2006, 12, 1);
        for (int i = 0; i < 7300; ++i, day = day.addDays(1)) {
            QFile f(dir.path() + "/Docs/" + day.toString("'jx'yyyyMMdd'.rtf'"));
            f.open(QIODevice::WriteOnly);
            f.write(body);
        }
        for (int i = 0; i < 500; ++i) {
            QFile f(dir.path() + QStringLiteral("/Docs/kw_Keyword %1.rtf").arg(i));
            f.open(QIODevice::WriteOnly);
            f.write(body);
        }
        TEnvironment env;
        env.programFilePath = dir.path() + "/jornix";
        env.programDir = dir.path();
        env.workingDir = dir.path();
        env.now = [] { return QDateTime(QDate(2016, 6, 15), QTime(12, 0)); };
        env.prompter = &prompter;
        actions = std::make_unique<TDMActions>();
        form = std::make_unique<TFormMain>(env, *actions);
        form->show();
        QCoreApplication::processEvents();
    }
};

Journal& journal()
{
    static Journal j;
    return j;
}

// F8 and F7 in turn: each saves the typed day, opens the neighbour and scans the folder.
void BM_NextDateWithSave(benchmark::State& state)
{
    TFormMain& form = *journal().form;
    form.OpenDiaryEntry(QDate(2016, 6, 15));
    bool forward = true;
    for (auto _ : state) {
        form.Editor->insertPlainText(QStringLiteral("x"));
        form.command(forward ? "GotoNextDate" : "GotoPrevDate")->trigger();
        forward = !forward;
    }
}
BENCHMARK(BM_NextDateWithSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each refresh follows a change of the folder (an entry added or removed by another program),
// so the list is rebuilt every time.
void BM_QuickListRefreshAllEntries(benchmark::State& state)
{
    Journal& j = journal();
    TFormMain& form = *j.form;
    form.ComboBoxQL->setCurrentIndex(2);
    const QString extra = j.dir.path() + "/Docs/jx19990101.rtf";
    for (auto _ : state) {
        state.PauseTiming();
        if (QFile::exists(extra))
            QFile::remove(extra);
        else
            QFile(extra).open(QIODevice::WriteOnly);
        state.ResumeTiming();
        form.RefreshQuickList();
    }
    QFile::remove(extra);
}
BENCHMARK(BM_QuickListRefreshAllEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

// A date change from the date control with the side bar open on "All Entries".
void BM_DateChangeWithQuickListOpen(benchmark::State& state)
{
    TFormMain& form = *journal().form;
    if (!form.QuickListOpen)
        form.GotoQuickListExecute();
    form.ComboBoxQL->setCurrentIndex(2);
    QDate day(2010, 3, 1);
    for (auto _ : state) {
        // A date set in the control is chosen once the user confirms it, as with Return.
        form.datePicker()->setDate(day);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(form.datePicker(), &enter);
        if (form.journal()->CurrentDate != day)
            state.SkipWithError("the date control did not open the day");
        day = day.addDays(1);
    }
}
BENCHMARK(BM_DateChangeWithQuickListOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // The window builds a search index in the user's cache folder; the benchmark uses its own.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    return RunBenchmarks<QApplication>(argc, argv, [] { journal().form.reset(); });
}
