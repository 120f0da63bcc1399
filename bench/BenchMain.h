#pragma once

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <functional>

// The whole of a benchmark program's main: an offscreen application of the kind it needs (the
// window's benchmarks a QApplication), every benchmark asked for on the command line, then
// teardown while the application still exists (a window kept between benchmarks goes there).
template <class Application>
int RunBenchmarks(int argc, char** argv, const std::function<void()>& teardown = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (teardown)
        teardown();
    benchmark::Shutdown();
    return 0;
}
