#include "BenchMain.h"
#include "app/DocumentReplace.h"
#include "app/TRichEditor.h"
#include "app/TextSearch.h"
#include "app/TextStatistics.h"

#include <QApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

// About 5 MB of diary prose in lines of some 50 characters, each holding the word "needle"
// once: 100,000 matches for Replace All.
QString fiveMegabytes()
{
    static const QString line =
        QStringLiteral("Walked along the river, found a needle in the hay.");
    QString text;
    text.reserve(100000 * (line.size() + 1));
    for (int i = 0; i < 100000; ++i) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

// The work of Replace All: plan the matches on the plain text, then replace them in the
// document in one change. What the editor then spends laying the changed paragraphs out again
// is measured below on its own.
void replaceAll(benchmark::State& state)
{
    const QString text = fiveMegabytes();
    for (auto _ : state) {
        state.PauseTiming();
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        document.setPlainText(text);
        state.ResumeTiming();
        const auto matches =
            PlanReplaceAll(document.toPlainText(), 0, u"needle", u"pin", {true, false});
        ReplaceRanges(document, matches, 6, QStringLiteral("pin"));
        if (matches.size() != 100000)
            state.SkipWithError("wrong number of matches");
    }
}

// Hands the editor a document holding text, as the program hands it every document it reads.
void showText(TRichEditor& editor, const QString& text)
{
    auto doc = editor.newDocument();
    doc->setPlainText(text);
    editor.showDocument(std::move(doc), false);
}

// Times step on a shown editor freshly given the 5 MB text, caret at the start.
template <typename Step> void inShownEditor(benchmark::State& state, Step step)
{
    const QString text = fiveMegabytes();
    TRichEditor editor;
    editor.resize(700, 500);
    editor.show();
    for (auto _ : state) {
        state.PauseTiming();
        showText(editor, text);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        step(editor);
    }
}

// The same in the shown editor, ending as the command does with the caret after the last
// replacement scrolled into view.
void replaceAllShown(benchmark::State& state)
{
    inShownEditor(state, [](TRichEditor& editor) {
        const auto matches =
            PlanReplaceAll(editor.toPlainText(), 0, u"needle", u"pin", {true, false});
        editor.replaceRangesKeepingNoUndo(matches, 6, QStringLiteral("pin"));
        editor.ensureCursorVisible();
    });
}

// Taking the caret to the end of the same shown document (Ctrl+End).
void jumpToEndShown(benchmark::State& state)
{
    inShownEditor(state, [](TRichEditor& editor) {
        editor.moveCursor(QTextCursor::End);
        editor.ensureCursorVisible();
    });
}

void countWords(benchmark::State& state)
{
    const QString text = fiveMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(CountTextStatistics(text));
    state.SetBytesProcessed(state.iterations() * text.size() * qint64(sizeof(QChar)));
}

// The whole word count of a 5 MB file: the lines the editor shows, joined, then counted. The
// first round lays the document out whole (the count is of the lines as shown).
void countWordsOfShownFile(benchmark::State& state)
{
    TRichEditor editor;
    editor.resize(700, 500);
    editor.show();
    showText(editor, fiveMegabytes());
    for (auto _ : state) {
        QString joined;
        for (const QString& line : editor.displayedLines())
            joined += line + QStringLiteral("\r\n");
        benchmark::DoNotOptimize(CountTextStatistics(joined));
    }
}

} // namespace

BENCHMARK(replaceAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(replaceAllShown)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(jumpToEndShown)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(countWords)->Unit(benchmark::kMillisecond);
BENCHMARK(countWordsOfShownFile)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
