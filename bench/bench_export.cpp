// The calendar's marks and the export of a year, over a documents folder of twenty years:
// 7,300 entries of about 2 KB each. Run: scripts/bench.sh bench_export
#include "BenchMain.h"
#include "app/TEntryCalendar.h"
#include "export/Exporter.h"
#include "store/EntryDays.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// About 2 KB of RTF: a few paragraphs of prose, a bold word and an italic one.
QByteArray entryBytes(QDate date)
{
    static const QByteArray paragraph =
        "The quiet morning walk along the river brought back memories of summer evenings spent "
        "writing letters to old friends, and the light on the water was {\\b golden} for a "
        "while before the clouds came in from the west and the wind {\\i turned} cold.\\par\r\n";
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 ";
    rtf += date.toString("dddd d MMMM yyyy").toLatin1() + "\\par\r\n";
    for (int i = 0; i < 7; ++i)
        rtf += paragraph;
    return rtf + "}";
}

// One folder for all benchmarks: making 7,300 files takes longer than measuring.
struct Journal
{
    QTemporaryDir dir;
    QString docs;

    Journal() : docs(dir.path() + "/Docs")
    {
        QDir().mkpath(docs + "/Backup");
        QDate day(2007, 1, 1);
        for (int i = 0; i < 7300; ++i, day = day.addDays(1)) {
            QFile f(docs + "/" + day.toString("'jx'yyyyMMdd'.rtf'"));
            f.open(QIODevice::WriteOnly);
            f.write(entryBytes(day));
        }
    }
};

Journal& journal()
{
    static Journal j;
    return j;
}

// One month painted with its marks, looked up afresh (as after the calendar opens or the
// folder changed) in the listing the store keeps.
void calendarMonth(benchmark::State& state)
{
    const QString docs = journal().docs;
    TEntryCalendar calendar([&](int y, int m) { return EntryDaysOfMonth(docs, y, m); },
                            [] { return QDate(2016, 6, 15); });
    calendar.setSelectedDate(QDate(2016, 6, 15));
    calendar.resize(calendar.sizeHint());
    QImage image(calendar.size(), QImage::Format_ARGB32_Premultiplied);
    calendar.render(&image);
    int step = 1;
    for (auto _ : state) {
        calendar.refreshMarks();
        // Paging back and forth stays among months with entries.
        if (step++ % 24 < 12)
            calendar.showNextMonth();
        else
            calendar.showPreviousMonth();
        calendar.render(&image);
    }
    benchmark::DoNotOptimize(image.bits());
}

// The 365 entries of 2015 to one file.
void exportYear(benchmark::State& state)
{
    const auto format = TExportFormat(state.range(0));
    const QList<TExportEntry> entries = EntriesInRange(journal().docs, journal().docs + "/Backup",
                                                       QDate(2015, 1, 1), QDate(2015, 12, 31));
    QTemporaryDir out;
    TExportSettings settings;
    settings.format = format;
    settings.defaultFont = QFont("Arial", 12);
    settings.title = "2015";
    const QString path = out.filePath("2015." + ExportExtension(format));
    qint64 bytes = 0;
    for (auto _ : state) {
        const TExportReport report = ExportEntries(entries, path, settings);
        if (report.exported != entries.size())
            state.SkipWithError("not every entry was exported");
        bytes = QFileInfo(path).size();
    }
    state.counters["entries"] = double(entries.size());
    state.counters["KB"] = double(bytes) / 1024;
}

} // namespace

BENCHMARK(calendarMonth)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(exportYear)
    ->ArgName("format")
    ->Arg(int(TExportFormat::Pdf))
    ->Arg(int(TExportFormat::Html))
    ->Arg(int(TExportFormat::Odt))
    ->Arg(int(TExportFormat::Text))
    ->Unit(benchmark::kMillisecond)
    ->MinTime(5);

int main(int argc, char** argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
