#include "BenchMain.h"
#include "print/DocumentPrinter.h"

#include <QFont>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

// Prose paragraphs in a 12-point font; about 37 lines of 12 words fill a letter page with
// one-inch margins, so this is roughly pages × 470 words.
std::unique_ptr<QTextDocument> pagesOfProse(int pages)
{
    static const QStringList words = {"the",    "quiet",    "morning", "walk",     "along",
                                      "river",  "brought",  "back",    "memories", "of",
                                      "summer", "evenings", "spent",   "writing",  "letters"};
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QString text;
    const int total = pages * 470;
    for (int i = 0; i < total; ++i) {
        text += words[i % words.size()];
        text += (i % 90 == 89) ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    QTextCursor(doc.get()).insertText(text);
    return doc;
}

void paginate(benchmark::State& state)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("bench.pdf"));
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    auto doc = pagesOfProse(int(state.range(0)));
    TDocumentPrinter p(*doc, printer, TPrintOptions{});
    qsizetype pages = 0;
    for (auto _ : state)
        pages = p.PaginateDocument().size();
    state.counters["pages"] = double(pages);
}

} // namespace

BENCHMARK(paginate)->Arg(500)->Unit(benchmark::kMillisecond)->MinTime(3);

int main(int argc, char** argv)
{
    return RunBenchmarks<QGuiApplication>(argc, argv);
}
