// RTF bytes into a QTextDocument and back, on generated rich-edit-style documents of 1 and 5 MB
// with mixed formatting, bullets and code-page escapes.
//   build-bench/bench/bench_rtf
// Counters: MB/s over the file size, and for reading the peak resident memory the load added,
// as a multiple of the file size.

#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

QByteArray generatedRtf(qsizetype targetBytes)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{"
        "\\f0\\fnil\\fcharset0 Calibri;}"
        "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fswiss\\fcharset204 Arial;}{\\f3\\fnil\\fcharset0 "
        "Courier New;}}\r\n"
        "{\\colortbl "
        ";\\red255\\green0\\blue0;\\red0\\green176\\blue80;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n";
    rtf.reserve(targetBytes + 4096);
    static const char* const words[] = {
        "today", "we",         "walked", "along",    "the",  "river", "and", "talked",
        "about", "everything", "that",   "happened", "last", "week",  "at",  "work"};
    int paragraph = 0;
    while (rtf.size() < targetBytes) {
        const int kind = paragraph % 7;
        if (kind == 3 || kind == 4) {
            if (kind == 3)
                rtf += "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{"
                       "\\pntxtb\\'B7}}\\fi-360\\li720"
                       "\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
            else
                rtf += "{\\pntext\\f1\\'B7\\tab}";
        } else {
            rtf += kind == 5 ? "\\pard\\qc\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 "
                             : "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
        }
        for (int w = 0; w < 60; ++w) {
            const int pick = (paragraph * 31 + w * 7) % 16;
            switch ((paragraph + w) % 23) {
            case 2:
                rtf += "\\b ";
                rtf += words[pick];
                rtf += "\\b0 ";
                break;
            case 5:
                rtf += "\\i ";
                rtf += words[pick];
                rtf += "\\i0 ";
                break;
            case 8:
                rtf += "\\cf1 ";
                rtf += words[pick];
                rtf += "\\cf0 ";
                break;
            case 11:
                rtf += "caf\\'e9 cr\\'e8me ";
                break;
            case 13:
                rtf += "{\\f2\\lang1049 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2} ";
                break;
            case 16:
                rtf += "\\ul ";
                rtf += words[pick];
                rtf += "\\ulnone ";
                break;
            case 19:
                rtf += "\\u8364\\'80 \\u1071\\'3f ";
                break;
            case 21:
                rtf += "{\\f3\\fs20 code()} ";
                break;
            default:
                rtf += words[pick];
                rtf += ' ';
                break;
            }
        }
        rtf += "\\par\r\n";
        ++paragraph;
    }
    rtf += "}\r\n";
    return rtf;
}

const QByteArray& sample(int megabytes)
{
    static QByteArray one = generatedRtf(1 << 20);
    static QByteArray five = generatedRtf(5 << 20);
    return megabytes == 1 ? one : five;
}

long statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// The peak resident memory one load adds, measured after resetting the high-water mark.
double loadPeakOverFileSize(const QByteArray& rtf)
{
    {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    const long before = statusKilobytes("VmRSS");
    QTextDocument doc;
    ReadRtf(rtf, doc);
    const long peak = statusKilobytes("VmHWM");
    return double(peak - before) * 1024.0 / double(rtf.size());
}

void readRtf(benchmark::State& state)
{
    const QByteArray& rtf = sample(int(state.range(0)));
    for (auto _ : state) {
        auto* doc = new QTextDocument;
        ReadRtf(rtf, *doc);
        state.PauseTiming();
        delete doc;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["peak_x_file"] = loadPeakOverFileSize(rtf);
    state.counters["file_MB"] = double(rtf.size()) / (1 << 20);
}

void writeRtf(benchmark::State& state)
{
    const QByteArray& rtf = sample(int(state.range(0)));
    QTextDocument doc;
    ReadRtf(rtf, doc);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray out = WriteRtf(doc);
        written = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * written);
    state.counters["out_MB"] = double(written) / (1 << 20);
}

} // namespace

BENCHMARK(readRtf)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(writeRtf)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
