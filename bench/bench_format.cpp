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

// Bold over the whole document, as Ctrl+A then Ctrl+B does it: every run keeps its own other
// attributes, so each is formatted on its own. The layout is brought up to date as the shown
// editor would before its next paint.
void boldEverything(benchmark::State& state)
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
        editor.setEffect(TRichEditor::Effect::Bold, true);
        QCoreApplication::processEvents();
    }
}

// For comparison: one merge of the weight over the same selection, the edit control's own way,
// which cannot keep what each run had besides.
void mergeBoldEverything(benchmark::State& state)
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
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        editor.mergeCurrentCharFormat(bold);
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(boldEverything)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(mergeBoldEverything)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
