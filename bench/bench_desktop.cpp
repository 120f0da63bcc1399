// What start-up adds for the desktop: finding the longest long date of the locale (the date
// control and the Quick List are sized by it) and deciding where the journal lives.
// Run: scripts/bench.sh bench_desktop
#include "BenchMain.h"
#include "app/LongestDate.h"
#include "app/TEnvironment.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_LongestLongDate(benchmark::State& state, QLocale::Language language,
                        QLocale::Country country)
{
    const QLocale locale(language, country);
    const QFontMetrics metrics(QApplication::font());
    for (auto _ : state)
        benchmark::DoNotOptimize(LongestLongDate(locale, metrics));
}
BENCHMARK_CAPTURE(BM_LongestLongDate, english, QLocale::English, QLocale::UnitedKingdom)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LongestLongDate, german, QLocale::German, QLocale::Germany)
    ->Unit(benchmark::kMillisecond);

// The write test in the program folder and the look for an installed tree, once per start.
void BM_EnvironmentFor(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/jornix";
    for (auto _ : state)
        benchmark::DoNotOptimize(EnvironmentFor(program, dir.path(), dir.path() + "/data"));
}
BENCHMARK(BM_EnvironmentFor)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
