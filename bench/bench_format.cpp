#include "BenchMain.h"
#include "app/TRichEditor.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

// 20,000 lines of diary prose, one italic word in each: 40,000 runs of two formats, about
// 1 MB of text, in a shown editor.
void fillWithRuns(TRichEditor& editor)
{
    editor.clear();
    QTextCursor cursor(editor.document());
    QTextCharFormat plain;
    QTextCharFormat italic;
    italic.setFontItalic(true);
    editor.document()->setUndoRedoEnabled(false);
    for (int i = 0; i < 20000; ++i) {
        cursor.insertText(QStringLiteral("Walked along the river and found "), plain);
        cursor.insertText(QStringLiteral("something"), italic);
        cursor.insertText(QStringLiteral(" in the hay.\n"), plain);
    }
    editor.document()->setUndoRedoEnabled(true);
}

// Times bold applied by makeBold to the whole of a document of many runs, selected as Ctrl+A
// selects it. The layout is brought up to date as the shown editor would before its next paint.
template <typename MakeBold> void timeBoldOverEverything(benchmark::State& state, MakeBold makeBold)
{
    TRichEditor editor;
    editor.resize(700, 500);
    editor.show();
    for (auto _ : state) {
        state.PauseTiming();
        fillWithRuns(editor);
        editor.selectAll();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        makeBold(editor);
        QCoreApplication::processEvents();
    }
}

// Bold as Ctrl+B does it: every run keeps its own other attributes, so each is formatted on
// its own.
void boldEverything(benchmark::State& state)
{
    timeBoldOverEverything(
        state, [](TRichEditor& editor) { editor.setEffect(TRichEditor::Effect::Bold, true); });
}

// For comparison: one merge of the weight over the same selection, the edit control's own way,
// which cannot keep what each run had besides.
void mergeBoldEverything(benchmark::State& state)
{
    timeBoldOverEverything(state, [](TRichEditor& editor) {
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        editor.mergeCurrentCharFormat(bold);
    });
}

} // namespace

BENCHMARK(boldEverything)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(mergeBoldEverything)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
