// Searching a journal of twenty years: 7,300 entries of about 2 KB and 500 keyword files.
// The first index is built in the background; queries, updates after a save and catching up
// with an unchanged folder must stay far below what a user would notice.
// Run: scripts/bench.sh bench_search
#include "BenchMain.h"
#include "SilentPrompter.h"
#include "app/SearchPage.h"
#include "app/TDMActions.h"
#include "app/TFormMain.h"
#include "search/IndexLocation.h"
#include "search/JournalFiles.h"
#include "search/JournalSearch.h"
#include "search/SearchIndex.h"
#include "search/SearchResultModel.h"
#include "store/EntryNames.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int entryCount = 7300;
constexpr int keywordCount = 500;

// Words of a diary, with the long tail of rarer ones a real vocabulary has.
class Writer
{
public:
    Writer()
    {
        const char* common[] = {"the",    "and",     "we",   "was",   "to",     "a",
                                "of",     "in",      "it",   "with",  "day",    "went",
                                "home",   "work",    "walk", "river", "rain",   "sun",
                                "dinner", "friends", "café", "été",   "garden", "book"};
        for (const char* w : common)
            words << QString::fromUtf8(w);
        std::mt19937 rng(7);
        const char* syllables[] = {"ka",  "lo", "mi",  "ner", "ta", "vos", "bri", "len",
                                   "dor", "sa", "fin", "gu",  "pé", "ro",  "zel", "at"};
        for (int i = 0; i < 4000; ++i) {
            QString word;
            const int n = 2 + int(rng() % 3);
            for (int s = 0; s < n; ++s)
                word += QString::fromUtf8(syllables[rng() % 16]);
            words << word;
        }
    }
    // About size bytes of RTF: paragraphs of words, some bold, the word "today" in every one,
    // "lighthouse" in one of twenty.
    QByteArray document(int seed, int size)
    {
        std::mt19937 rng{unsigned(seed)};
        QString text = QStringLiteral("Today ");
        if (seed % 20 == 0)
            text += QStringLiteral("we saw the lighthouse. ");
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
        while (rtf.size() + text.size() < size) {
            // Zipf-like: the short common list is drawn from most of the time.
            const bool frequent = rng() % 3 != 0;
            const QString& w = frequent ? words[rng() % 24] : words[rng() % words.size()];
            text += w;
            text += (rng() % 12 == 0) ? QStringLiteral(". ") : QStringLiteral(" ");
            if (rng() % 80 == 0) {
                rtf += escape(text) + "\\par\r\n";
                text.clear();
                if (rng() % 2)
                    rtf += "{\\b ";
                else
                    rtf += "{";
                rtf += escape(words[rng() % words.size()]) + "} ";
            }
        }
        rtf += escape(text) + "\\par\r\n}";
        return rtf;
    }

private:
    static QByteArray escape(const QString& text)
    {
        QByteArray out;
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                out += char(c.unicode());
            else
                out += "\\u" + QByteArray::number(c.unicode()) + "?";
        }
        return out;
    }
    QStringList words;
};

struct Journal
{
    QTemporaryDir docs;
    QTemporaryDir cache;
    QString indexPath;

    Journal()
    {
        Writer writer;
        const QDate first(2006, 1, 1);
        auto put = [](const QString& path, const QByteArray& bytes) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                qFatal("cannot create the benchmark folder");
        };
        for (int i = 0; i < entryCount; ++i)
            put(docs.path() + '/' + EntryFileNameOf(first.addDays(i)), writer.document(i, 2048));
        for (int i = 0; i < keywordCount; ++i)
            put(docs.path() + '/' + KeywordFileName(QStringLiteral("Topic %1").arg(i)),
                writer.document(100000 + i, 2048));
        indexPath = cache.path() + QStringLiteral("/index.sqlite");
    }
};

Journal& journal()
{
    static Journal instance;
    return instance;
}

void removeIndex()
{
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(journal().indexPath + QLatin1String(suffix));
}

// Starts a search over the journal and waits until it is open and caught up.
std::unique_ptr<TJournalSearch> startSearch()
{
    auto search = std::make_unique<TJournalSearch>(journal().docs.path());
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (search->isReady() && !search->isBuilding())
            loop.quit();
    });
    QObject::connect(search.get(), &TJournalSearch::buildingChanged, &loop, [&](bool building) {
        if (!building && search->isReady())
            loop.quit();
    });
    poll.start(1);
    search->start(journal().indexPath);
    loop.exec();
    return search;
}

TJournalSearch& builtSearch()
{
    static std::unique_ptr<TJournalSearch> search = startSearch();
    return *search;
}

void BM_FirstIndex(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        removeIndex();
        state.ResumeTiming();
        std::unique_ptr<TJournalSearch> search = startSearch();
        benchmark::DoNotOptimize(search.get());
        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
    state.counters["documents"] = entryCount + keywordCount;
}
BENCHMARK(BM_FirstIndex)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

// Start-up of the search when nothing changed: the worker thread starts, the index is opened and
// checked, the folder is listed and compared. All of it is off the window's thread.
void BM_StartCaughtUpNothingChanged(benchmark::State& state)
{
    builtSearch();
    for (auto _ : state) {
        std::unique_ptr<TJournalSearch> search = startSearch();
        benchmark::DoNotOptimize(search.get());
        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartCaughtUpNothingChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the index for writing, with its check that the file is sound.
void BM_OpenIndexFile(benchmark::State& state)
{
    builtSearch();
    for (auto _ : state) {
        TSearchIndex index;
        index.openFile(journal().indexPath);
        benchmark::DoNotOptimize(index.isOpen());
    }
    state.counters["file_MB"] = double(QFileInfo(journal().indexPath).size()) / 1e6;
}
BENCHMARK(BM_OpenIndexFile)->Unit(benchmark::kMillisecond);

// The catching up itself: the folder's 7,800 files listed with their sizes and times, compared
// with what the index holds.
void BM_CatchUpPlanNothingChanged(benchmark::State& state)
{
    builtSearch();
    TSearchIndex index;
    index.openReader(journal().indexPath, false);
    for (auto _ : state) {
        const TCatchUpPlan plan =
            PlanCatchUp(ListJournalFiles(journal().docs.path()), index.states());
        if (!plan.isEmpty())
            state.SkipWithError("the folder should hold no changes");
        benchmark::DoNotOptimize(plan);
    }
}
BENCHMARK(BM_CatchUpPlanNothingChanged)->Unit(benchmark::kMillisecond);

// A query to its first results: the index names the documents, newest first, and the first
// batch gets its snippets.
void BM_QueryFirstResults(benchmark::State& state, const char* text, bool wholeWords)
{
    TJournalSearch& search = builtSearch();
    TSearchResultModel model;
    const TSearchQuery query = TSearchQuery::parse(QString::fromUtf8(text), {false, wholeWords});
    int found = 0;
    for (auto _ : state) {
        model.run(search, query, {});
        found = model.candidateCount();
        if (model.rowCount() == 0)
            state.SkipWithError("nothing found");
    }
    state.counters["documents"] = found;
}
BENCHMARK_CAPTURE(BM_QueryFirstResults, word_in_every_entry, "today", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QueryFirstResults, rare_word, "lighthouse", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QueryFirstResults, two_words, "river garden", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QueryFirstResults, word_starts, "riv", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QueryFirstResults, accents_folded, "cafe ete", true)
    ->Unit(benchmark::kMillisecond);

// The whole list of a word found in every entry, filled batch by batch between events; the
// longest batch is the longest the window waits.
void BM_QueryFillEveryEntry(benchmark::State& state)
{
    TJournalSearch& search = builtSearch();
    TSearchResultModel model;
    const TSearchQuery query = TSearchQuery::parse(QStringLiteral("today"));
    double longest = 0;
    for (auto _ : state) {
        model.run(search, query, {});
        QElapsedTimer turn;
        while (model.isFilling()) {
            turn.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, turn.nsecsElapsed() / 1e6);
        }
    }
    state.counters["rows"] = model.rowCount();
    state.counters["longest_batch_ms"] = longest;
}
BENCHMARK(BM_QueryFillEveryEntry)->Unit(benchmark::kMillisecond)->UseRealTime();

// A save of a 2 KB entry, to the moment it is searchable: the worker reads the file again and
// replaces its words in one transaction.
void BM_UpdateAfterSave(benchmark::State& state)
{
    TJournalSearch& search = builtSearch();
    Writer writer;
    const QString path = journal().docs.path() + '/' + EntryFileNameOf(QDate(2015, 6, 1));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                qFatal("cannot write the entry");
            file.write(writer.document(round++, 2048));
        }
        state.ResumeTiming();
        QEventLoop loop;
        bool done = false;
        search.documentSaved(path);
        search.afterPendingUpdates(&loop, [&] {
            done = true;
            loop.quit();
        });
        if (!done)
            loop.exec();
    }
}
BENCHMARK(BM_UpdateAfterSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- what the search adds to the window's start ----

// A program folder whose Docs is the journal above (a link, so the files are made once).
struct ProgramFolder
{
    QTemporaryDir dir;
    SilentPrompter prompter;
    ProgramFolder()
    {
        if (!QFile::link(journal().docs.path(), dir.path() + QStringLiteral("/Docs")))
            qFatal("cannot link the documents folder");
        QDir().mkpath(journal().docs.path() + QStringLiteral("/Backup"));
    }
    TEnvironment environment()
    {
        TEnvironment env;
        env.programFilePath = dir.path() + QStringLiteral("/jornix");
        env.programDir = dir.path();
        env.workingDir = dir.path();
        env.prompter = &prompter;
        return env;
    }
};

// From creating the window to the window shown and its first show handled. The search starts
// only after that, from a timer; the page it adds to the side bar is built on the way.
void BM_WindowStartToShown(benchmark::State& state)
{
    ProgramFolder folder;
    for (auto _ : state) {
        TDMActions actions;
        auto form = std::make_unique<TFormMain>(folder.environment(), actions);
        form->show();
        benchmark::DoNotOptimize(form.get());
        state.PauseTiming();
        QCoreApplication::processEvents();
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowStartToShown)->Unit(benchmark::kMillisecond)->UseRealTime();

// The search page of the side bar, built with the window.
void BM_SearchPageConstruction(benchmark::State& state)
{
    for (auto _ : state) {
        TSearchPage page;
        benchmark::DoNotOptimize(&page);
    }
}
BENCHMARK(BM_SearchPageConstruction)->Unit(benchmark::kMillisecond);

// What starting the search costs the window's thread once the window is up: the rest (opening
// the index, catching up) runs in the worker thread.
void BM_StartSearchOnWindowThread(benchmark::State& state)
{
    builtSearch();
    for (auto _ : state) {
        auto search = std::make_unique<TJournalSearch>(journal().docs.path());
        search->start(journal().indexPath);
        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartSearchOnWindowThread)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // The windows started here build their index in a cache folder of their own.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    return RunBenchmarks<QApplication>(argc, argv);
}
