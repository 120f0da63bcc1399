// Large documents in the real main window: a 5 MB entry as a rich-edit control writes it (short
// formatted runs), a 5 MB entry of 100,000 short lines, and a 20 MB entry of photos, beside
// small days. Run: scripts/bench.sh bench_largedocs
//
// "First screen" is the time from the command to the editor's first paint of the new
// document; "laid out" means the program was left idle until the whole document was laid out.
#include "BenchMain.h"
#include "SampleDocuments.h"
#include "SilentPrompter.h"
#include "app/BackgroundLayout.h"
#include "app/DocumentReplace.h"
#include "app/TDMActions.h"
#include "app/TFormMain.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "app/TextSearch.h"
#include "rtf/RtfObjectHandlers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <fstream>
#include <malloc.h>
#include <unistd.h>

namespace {

const QDate SmallDay(2016, 6, 14);
const QDate RichDay(2016, 6, 15);
const QDate LinesDay(2016, 6, 17);
const QDate PhotosDay(2016, 6, 19);

QString entryName(QDate day)
{
    return day.toString("'jx'yyyyMMdd'.rtf'");
}

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A journal of small days with the large ones among them, and a keyword file as large as the
// rich entry; today is a small day.
struct LargeJournal
{
    QTemporaryDir dir;
    SilentPrompter prompter;
    std::unique_ptr<TDMActions> actions;
    std::unique_ptr<TFormMain> form;
    std::unique_ptr<PaintCounter> paints;
    qint64 photosFileBytes = 0;

    LargeJournal()
    {
        QDir().mkpath(dir.path() + "/Docs/Backup");
        auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(dir.path() + "/Docs/" + name);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
        };
        for (QDate day(2016, 6, 1); day <= QDate(2016, 6, 30); day = day.addDays(1))
            write(entryName(day), SmallEntryRtf());
        const QByteArray rich = RichEditStyleRtf(5 << 20);
        write(entryName(RichDay), rich);
        write(QStringLiteral("kw_Big.rtf"), rich);
        write(entryName(LinesDay), NeedleLinesRtf());
        const QByteArray photos = PictureEntryRtf(20 << 20);
        photosFileBytes = photos.size();
        write(entryName(PhotosDay), photos);
        write(QStringLiteral("startup.txt"), "Big\r\n");

        TEnvironment env;
        env.programFilePath = dir.path() + "/jornix";
        env.programDir = dir.path();
        env.workingDir = dir.path();
        env.dictionaryDirs = {}; // spelling has its own benchmarks
        env.now = [] { return QDateTime(SmallDay, QTime(12, 0)); };
        env.prompter = &prompter;
        actions = std::make_unique<TDMActions>();
        form = std::make_unique<TFormMain>(env, *actions);
        form->resize(900, 700);
        form->show();
        paints = std::make_unique<PaintCounter>(form->Editor->viewport());
        settle();
    }

    TRichEditor& editor() { return *form->Editor; }

    // Runs the event loop until the editor has painted since paints was cleared.
    void untilPainted()
    {
        QElapsedTimer clock;
        clock.start();
        while (paints->paints == 0 && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // Idle until the document shown is laid out to its end and the last one left is freed.
    void settle()
    {
        QElapsedTimer clock;
        clock.start();
        while (!editor().backgroundLayout().finished() && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    // Opens a day as the date control does, and waits for its first screen.
    void openDay(QDate day)
    {
        paints->paints = 0;
        form->GoToDate(day);
        untilPainted();
    }
    // Opens day afresh, from a small day laid out whole: nothing of it is laid out before.
    void openAfresh(QDate day)
    {
        openDay(SmallDay);
        settle();
        openDay(day);
    }
    void selectTab(int index)
    {
        paints->paints = 0;
        form->tabRow()->selectByUser(index);
        untilPainted();
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&editor(), Qt::Key(key), modifiers);
        editor().viewport()->repaint();
    }
};

LargeJournal& journal()
{
    static LargeJournal j;
    return j;
}

// F8 from a small day onto the 5 MB entry, until its first screen is painted.
void BM_NextDateOntoLargeEntry(benchmark::State& state)
{
    LargeJournal& j = journal();
    for (auto _ : state) {
        state.PauseTiming();
        j.openDay(RichDay.addDays(-1));
        j.settle();
        state.ResumeTiming();
        j.paints->paints = 0;
        j.form->command("GotoNextDate")->trigger();
        j.untilPainted();
    }
}
BENCHMARK(BM_NextDateOntoLargeEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Leaving the 5 MB entry for a small day (the large document is freed on the way).
void BM_NextDateFromLargeEntry(benchmark::State& state)
{
    LargeJournal& j = journal();
    for (auto _ : state) {
        state.PauseTiming();
        j.openDay(RichDay);
        j.settle();
        state.ResumeTiming();
        j.paints->paints = 0;
        j.form->command("GotoNextDate")->trigger();
        j.untilPainted();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_NextDateFromLargeEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A tab change from the Diary onto a 5 MB keyword file.
void BM_TabOntoLargeKeyword(benchmark::State& state)
{
    LargeJournal& j = journal();
    const int big = j.form->tabRow()->findCaption(QStringLiteral("Big"));
    if (big <= 0)
        return state.SkipWithError("no Big tab");
    for (auto _ : state) {
        state.PauseTiming();
        j.selectTab(0);
        j.openDay(SmallDay);
        j.settle();
        state.ResumeTiming();
        j.selectTab(big);
    }
    j.selectTab(0);
}
BENCHMARK(BM_TabOntoLargeKeyword)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// One key typed in the middle of a 5 MB entry, until the editor has repainted. Arg: the rich
// entry (0) or the 100,000 lines (1).
void BM_KeyInMiddleOfLargeEntry(benchmark::State& state)
{
    LargeJournal& j = journal();
    j.openDay(state.range(0) == 0 ? RichDay : LinesDay);
    j.settle();
    j.editor().setSelection(j.editor().textLength() / 2, 0);
    j.editor().ensureCursorVisible();
    j.editor().viewport()->repaint();
    int i = 0;
    for (auto _ : state)
        j.key(i++ % 2 == 0 ? Qt::Key_X : Qt::Key_Backspace);
    j.editor().setModified(false);
}
BENCHMARK(BM_KeyInMiddleOfLargeEntry)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200);

// Times step on the rich 5 MB entry, opened afresh before each round and, when laidOut, left
// idle until it was laid out whole.
template <class Step> void onRichEntry(benchmark::State& state, bool laidOut, Step step)
{
    LargeJournal& j = journal();
    for (auto _ : state) {
        state.PauseTiming();
        j.openAfresh(RichDay);
        if (laidOut)
            j.settle();
        state.ResumeTiming();
        step(j);
    }
}

// Ctrl+End in the rich 5 MB entry, until the editor has repainted. Arg 1: once it was laid out
// while idle; arg 0: right after its first screen was shown.
void BM_CtrlEndInLargeEntry(benchmark::State& state)
{
    onRichEntry(state, state.range(0) == 1,
                [](LargeJournal& j) { j.key(Qt::Key_End, Qt::ControlModifier); });
}
BENCHMARK(BM_CtrlEndInLargeEntry)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// How long after its first screen the rich 5 MB entry is laid out to its end, the program
// idle meanwhile: until then the word count lays out the rest itself.
void BM_LayoutOfLargeEntryWhileIdle(benchmark::State& state)
{
    onRichEntry(state, false, [](LargeJournal& j) { j.settle(); });
}
BENCHMARK(BM_LayoutOfLargeEntryWhileIdle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// Tools > Word Count on the rich 5 MB entry (the box itself is not shown). Arg as above.
void BM_WordCountOfLargeEntry(benchmark::State& state)
{
    onRichEntry(state, state.range(0) == 1,
                [](LargeJournal& j) { j.form->command("ToolsWordCount")->trigger(); });
}
BENCHMARK(BM_WordCountOfLargeEntry)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// Replace All of "needle" by "pin" in the 100,000 lines (100,000 matches), as the Replace dialog
// does it, until the editor has repainted with the caret after the last one.
void BM_ReplaceAllInLargeEntry(benchmark::State& state)
{
    LargeJournal& j = journal();
    for (auto _ : state) {
        state.PauseTiming();
        j.openAfresh(LinesDay);
        j.settle();
        state.ResumeTiming();
        TRichEditor& editor = j.editor();
        const auto matches =
            PlanReplaceAll(editor.toPlainText(), 0, u"needle", u"pin", {true, false});
        editor.replaceRangesKeepingNoUndo(matches, 6, QStringLiteral("pin"));
        editor.ensureCursorVisible();
        editor.viewport()->repaint();
        state.PauseTiming();
        if (matches.size() != 100000)
            state.SkipWithError("wrong number of matches");
        editor.setModified(false); // the file stays as it is for the next round
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplaceAllInLargeEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    return 0;
}

// F8 onto the 20 MB entry of photos until its first screen is painted, every photo decoded
// afresh; the memory the open takes at its peak, against the file's size.
void BM_OpenPhotoEntry(benchmark::State& state)
{
    LargeJournal& j = journal();
    double peakMB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        j.openDay(PhotosDay.addDays(-1));
        j.settle();
        rtf::ClearDecodedPictures();
        // The heap handed back to the system, so that the peak counts what the open takes
        // and not what earlier work left in the allocator's free lists.
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKilobytes("VmRSS:");
        state.ResumeTiming();
        j.paints->paints = 0;
        j.form->command("GotoNextDate")->trigger();
        j.untilPainted();
        state.PauseTiming();
        j.settle();
        peakMB = std::max(peakMB, double(statusKilobytes("VmHWM:") - before) / 1024);
        state.ResumeTiming();
    }
    state.counters["file_MB"] = double(j.photosFileBytes) / (1 << 20);
    state.counters["peak_MB"] = peakMB;
    state.counters["peak_x_file"] = peakMB * (1 << 20) / double(j.photosFileBytes);
}
BENCHMARK(BM_OpenPhotoEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Page Down through the entry of photos from its top, every photo decoded as it comes into
// view; the time is per page, and the slowest page is counted too.
void BM_PageDownThroughPhotoEntry(benchmark::State& state)
{
    LargeJournal& j = journal();
    j.openDay(PhotosDay);
    j.settle();
    QScrollBar* bar = j.editor().verticalScrollBar();
    qint64 slowest = 0;
    for (auto _ : state) {
        if (bar->value() >= bar->maximum()) {
            state.PauseTiming();
            j.key(Qt::Key_Home, Qt::ControlModifier);
            rtf::ClearDecodedPictures();
            state.ResumeTiming();
        }
        QElapsedTimer page;
        page.start();
        j.key(Qt::Key_PageDown);
        slowest = std::max(slowest, page.nsecsElapsed());
    }
    state.counters["slowest_page_ms"] = double(slowest) / 1e6;
}
BENCHMARK(BM_PageDownThroughPhotoEntry)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(60);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks<QApplication>(argc, argv, [] { journal().form.reset(); });
}
