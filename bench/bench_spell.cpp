// Spelling as you type, on a 5 MB diary of varied prose (16,000 paragraphs of some 330
// characters, one word in fifty misspelled), with the system's American English dictionary.
// Run: scripts/bench.sh bench_spell
#include "BenchMain.h"
#include "app/EditorSpelling.h"
#include "app/TRichEditor.h"
#include "rtf/DocumentFile.h"
#include "rtf/RtfWriter.h"
#include "spell/SpellChecker.h"
#include "spell/SpellHighlighter.h"
#include "store/AtomicFile.h"
#include "store/Paths.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

const TDictionaryInfo English{"en_US", "/usr/share/hunspell/en_US.aff",
                              "/usr/share/hunspell/en_US.dic"};

bool haveEnglish()
{
    return QFile::exists(English.dicPath);
}

// Words of the dictionary itself, without their affix flags: a vocabulary as wide as a
// journal's, so that the verdicts cache does not make every look-up free.
QStringList vocabulary()
{
    QFile f(English.dicPath);
    QStringList words;
    if (!f.open(QIODevice::ReadOnly))
        return words;
    f.readLine(); // the count
    QRandomGenerator pick(7);
    while (!f.atEnd()) {
        const QString word =
            QString::fromUtf8(f.readLine()).section(QLatin1Char('/'), 0, 0).trimmed();
        if (word.size() >= 2 && pick.bounded(10) == 0)
            words << word;
    }
    return words;
}

QString paragraph(QRandomGenerator& random, const QStringList& words)
{
    QString text;
    while (text.size() < 330) {
        QString word = words[int(random.bounded(qsizetype(words.size())))];
        if (random.bounded(50) == 0 && word.size() > 3)
            std::swap(word[1], word[2]); // a typo
        text += word;
        text += random.bounded(12) == 0 ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    return text;
}

const QString& fiveMegabytes()
{
    static const QString text = [] {
        const QStringList words = vocabulary();
        QRandomGenerator random(42);
        QString all;
        while (all.size() < 5 * 1000 * 1000) {
            all += paragraph(random, words);
            all += QLatin1Char('\n');
        }
        return all;
    }();
    return text;
}

// A shown editor with spelling on (or off), the American dictionary loaded.
struct ShownEditor
{
    QTemporaryDir dir;
    TRichEditor editor;
    std::unique_ptr<TEditorSpelling> spelling;

    explicit ShownEditor(bool spellingOn)
    {
        editor.resize(700, 500);
        editor.show();
        spelling = std::make_unique<TEditorSpelling>(
            editor, QStringList{"/usr/share/hunspell"},
            QLocale(QLocale::English, QLocale::UnitedStates), dir.filePath("jornix.dic"));
        spelling->applySettings({true, spellingOn, {"en_US"}});
        spelling->loadDictionaries();
        QCoreApplication::processEvents();
    }
    // The document laid out and checked through, as it is once the user has read a while.
    void settle()
    {
        editor.document()->size();
        if (TSpellHighlighter* h = spelling->highlighter())
            h->finishPendingWork();
        QCoreApplication::processEvents();
    }
};

void type(QWidget& widget, QChar c)
{
    const int key = c == u' ' ? int(Qt::Key_Space) : int(Qt::Key_A) + (c.unicode() - u'a');
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(&widget, &press);
    QCoreApplication::sendEvent(&widget, &release);
}

// One paragraph checked again after a key, as the edit path does: the verdicts are known.
void BM_RecheckParagraph(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    TSpellChecker checker;
    checker.setDictionaries({English});
    QRandomGenerator random(1);
    const QString text = paragraph(random, vocabulary());
    checker.misspellings(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(checker.misspellings(text));
    state.counters["chars"] = double(text.size());
}
BENCHMARK(BM_RecheckParagraph)->Unit(benchmark::kMicrosecond);

// The same paragraph met for the first time: every word goes to Hunspell.
void BM_CheckNewParagraph(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    TSpellChecker checker;
    checker.setDictionaries({English});
    const QStringList words = vocabulary();
    QRandomGenerator random(2);
    for (auto _ : state) {
        state.PauseTiming();
        checker.setDictionaries({English}); // forgets the verdicts, keeps the dictionary
        const QString text = paragraph(random, words);
        state.ResumeTiming();
        benchmark::DoNotOptimize(checker.misspellings(text));
    }
}
BENCHMARK(BM_CheckNewParagraph)->Unit(benchmark::kMicrosecond);

// Reading a dictionary, as at the first idle moment after start-up.
void BM_LoadDictionary(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    for (auto _ : state) {
        TSpellChecker checker;
        checker.setDictionaries({English});
    }
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond)->Iterations(5);

// A key typed in the middle of the 5 MB document, spelling off (0) and on (1). The editor
// itself repositions every paragraph below the changed one; spelling adds its check of the
// typed paragraph to that. Every fourth key is a space, which finishes a misspelled word.
void BM_TypeIn5MB(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    ShownEditor shown(state.range(0) != 0);
    shown.editor.setPlainText(fiveMegabytes());
    shown.settle();
    QTextCursor middle(
        shown.editor.document()->findBlockByNumber(shown.editor.document()->blockCount() / 2));
    middle.movePosition(QTextCursor::EndOfBlock);
    shown.editor.setTextCursor(middle);
    shown.editor.ensureCursorVisible();
    QCoreApplication::processEvents();
    const QString keys = QStringLiteral("qzx ");
    int i = 0;
    for (auto _ : state)
        type(shown.editor, keys[i++ % keys.size()]);
}
BENCHMARK(BM_TypeIn5MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(40);

// Opening the 5 MB document, spelling off (0) and on (1): the check is not on the way.
void BM_Open5MB(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    ShownEditor shown(state.range(0) != 0);
    const QString path = shown.dir.filePath("jx20260101.rtf");
    {
        QTextDocument doc;
        doc.setPlainText(fiveMegabytes());
        AtomicFile::write(path, WriteRtf(doc));
    }
    for (auto _ : state) {
        state.PauseTiming();
        shown.editor.clearContent();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        // As the window opens a file: read off screen, then shown.
        std::unique_ptr<QTextDocument> read = shown.editor.newDocument();
        LoadDocumentBytes(ReadWholeFile(path), *read);
        shown.editor.showDocument(std::move(read), false);
    }
}
BENCHMARK(BM_Open5MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The longest the program is busy with spelling at once while it checks the 5 MB document
// in the background: one idle slice (the paragraphs near the view, then 5 ms of the rest).
void BM_IdleSliceIn5MB(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    ShownEditor shown(true);
    shown.editor.setPlainText(fiveMegabytes());
    shown.editor.document()->size();
    TSpellHighlighter& h = *shown.spelling->highlighter();
    qint64 slices = 0;
    for (auto _ : state) {
        if (!h.hasPendingWork()) {
            state.PauseTiming();
            shown.spelling->checker().setDictionaries({English});
            h.recheckAll();
            state.ResumeTiming();
        }
        h.runSlice(std::chrono::milliseconds(5));
        ++slices;
    }
    state.counters["paragraphs_per_slice"] =
        double(h.checkedParagraphs()) / double(std::max<qint64>(1, slices));
}
BENCHMARK(BM_IdleSliceIn5MB)->Unit(benchmark::kMillisecond)->Iterations(200);

// Checking all of the 5 MB document, slice after slice, from a cold start.
void BM_CheckAll5MB(benchmark::State& state)
{
    if (!haveEnglish())
        return state.SkipWithError("hunspell-en-us is not installed");
    ShownEditor shown(true);
    shown.editor.setPlainText(fiveMegabytes());
    shown.editor.document()->size();
    TSpellHighlighter& h = *shown.spelling->highlighter();
    for (auto _ : state) {
        state.PauseTiming();
        shown.spelling->checker().setDictionaries({English});
        h.recheckAll();
        state.ResumeTiming();
        while (h.hasPendingWork())
            h.runSlice(std::chrono::milliseconds(5));
    }
}
BENCHMARK(BM_CheckAll5MB)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
