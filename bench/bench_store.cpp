// The documents folder of a long-kept journal: 20 years of daily entries and 500 keyword files.
// Date navigation rescans it after every open and save, so the scan has to stay far below what
// a key press may take.
#include "store/AtomicFile.h"
#include "store/EntryNames.h"
#include "store/EntryScan.h"
#include "store/Paths.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int entryCount = 7300;
constexpr int keywordCount = 500;

struct JournalFolder
{
    QTemporaryDir dir;
    QDate first{2006, 1, 1};
    QDate middle;

    JournalFolder()
    {
        const QByteArray rtf =
            "{\\rtf1\\ansi\\deff0 {\\fonttbl{\\f0 Arial;}}\\f0\\fs20 A day.\\par}";
        for (int i = 0; i < entryCount; ++i) {
            QFile file(JoinPath(dir.path(), EntryFileNameOf(first.addDays(i))));
            if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
                qFatal("cannot create the benchmark folder");
        }
        for (int i = 0; i < keywordCount; ++i) {
            QFile file(JoinPath(dir.path(), KeywordFileName(QStringLiteral("Topic %1").arg(i))));
            if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
                qFatal("cannot create the benchmark folder");
        }
        middle = first.addDays(entryCount / 2);
    }
};

JournalFolder& folder()
{
    static JournalFolder instance;
    return instance;
}

void BM_ScanEntryNeighbours(benchmark::State& state)
{
    JournalFolder& f = folder();
    const QString current = EntryFileNameOf(f.middle);
    for (auto _ : state) {
        const TEntryNeighbours n = ScanEntryNeighbours(f.dir.path(), current);
        if (!n.hasPrev || !n.hasNext)
            state.SkipWithError("neighbours not found");
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ScanEntryNeighbours)->Unit(benchmark::kMillisecond);

void BM_ListKeywordFiles(benchmark::State& state)
{
    JournalFolder& f = folder();
    for (auto _ : state) {
        const QStringList names =
            SortedNames(ListDirectory(f.dir.path(), QStringLiteral("kw_*.rtf")));
        if (names.size() != keywordCount)
            state.SkipWithError("wrong keyword count");
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(BM_ListKeywordFiles)->Unit(benchmark::kMillisecond);

// The disk part of F8: back up the current entry, write it atomically, scan for neighbours.
void BM_SaveAndScan(benchmark::State& state)
{
    JournalFolder& f = folder();
    const QString name = EntryFileNameOf(f.middle);
    const QString path = JoinPath(f.dir.path(), name);
    const QString backupDir = JoinPath(f.dir.path(), QStringLiteral("Backup"));
    CreateDirectoryLevel(backupDir);
    const QByteArray text = QByteArray("{\\rtf1 ") + QByteArray(4000, 'x') + "\\par}";
    for (auto _ : state) {
        CopyFileReplacing(path, JoinPath(backupDir, name));
        AtomicFile::write(path, text);
        benchmark::DoNotOptimize(ScanEntryNeighbours(f.dir.path(), name));
    }
}
BENCHMARK(BM_SaveAndScan)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
