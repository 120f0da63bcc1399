#include "SpellTestSupport.h"

#include "print/TextFormatter.h"
#include "rtf/RtfWriter.h"
#include "spell/SpellChecker.h"
#include "spell/SpellHighlighter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono_literals;

// Paragraphs of which every third holds a misspelled word ("wrld").
QString paragraphs(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << (i % 3 == 0 ? QStringLiteral("hello wrld world") : QStringLiteral("hello world"));
    return lines.join('\n');
}

// The marks the layout of a paragraph carries, as (start, length).
std::vector<TWordSpan> marks(const QTextBlock& block)
{
    std::vector<TWordSpan> list;
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        EXPECT_EQ(r.format.underlineStyle(), QTextCharFormat::SpellCheckUnderline);
        list.push_back({r.start, r.length});
    }
    return list;
}

int markedParagraphs(const QTextDocument& doc)
{
    int n = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        n += b.layout()->formats().isEmpty() ? 0 : 1;
    return n;
}

bool documentHasSpellFormat(const QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().underlineStyle() == QTextCharFormat::SpellCheckUnderline)
                return true;
    return false;
}

class SpellHighlighterTest : public ::testing::Test
{
protected:
    TinyDictionaries dicts;
    TSpellChecker checker;
    QTextDocument doc;

    void SetUp() override { checker.setDictionaries(dicts.infos({"en_XX"})); }
    TSpellHighlighter* attach()
    {
        return new TSpellHighlighter(&doc, checker); // owned by the document
    }
};

// The paragraphs numbered first to last are on screen.
TSpellHighlighter::VisibleRange showing(const QTextDocument& doc, const int& first, const int& last)
{
    return [&doc, &first, &last] {
        return std::pair{doc.findBlockByNumber(first).position(),
                         doc.findBlockByNumber(last).position()};
    };
}

TEST_F(SpellHighlighterTest, ALoadedDocumentIsCheckedInIdleSlicesNeverWholeAtOnce)
{
    doc.setPlainText(paragraphs(3000));
    TSpellHighlighter* h = attach();
    int first = 0, last = 9;
    h->setVisibleRange(showing(doc, first, last));
    // The pass over every paragraph that a highlighter queues when put on a document with text
    // never runs, and nothing is checked before spelling is switched on.
    QCoreApplication::processEvents();
    EXPECT_EQ(h->drawnParagraphs(), 0);
    EXPECT_EQ(h->checkedParagraphs(), 0);

    h->setActive(true);
    EXPECT_EQ(h->checkedParagraphs(), 0); // not on the way of whoever switched it on
    EXPECT_TRUE(h->hasPendingWork());
    h->runSlice(0ms); // what is on screen, two screens below and one above come first
    EXPECT_EQ(h->checkedParagraphs(), 30);
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_EQ(markedParagraphs(doc), 10);
    EXPECT_NE(h->misspellingsOf(doc.findBlockByNumber(29)), nullptr);
    EXPECT_EQ(h->misspellingsOf(doc.findBlockByNumber(30)), nullptr);

    // The rest is checked, but marked only when it comes into view.
    h->finishPendingWork();
    EXPECT_FALSE(h->hasPendingWork());
    EXPECT_EQ(h->checkedParagraphs(), 3000);
    EXPECT_EQ(*h->misspellingsOf(doc.findBlockByNumber(2997)), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_EQ(markedParagraphs(doc), 10);
    EXPECT_EQ(h->drawnParagraphs(), 10); // only paragraphs with something to mark

    first = 2400;
    last = 2409;
    h->visibleAreaChanged();
    h->runSlice(0ms);
    EXPECT_EQ(h->checkedParagraphs(), 3000); // known already
    EXPECT_EQ(marks(doc.findBlockByNumber(2400)), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_EQ(markedParagraphs(doc), 10 + 13); // 2391, 2394 ... 2427
    EXPECT_TRUE(marks(doc.findBlockByNumber(2430)).empty());
}

TEST_F(SpellHighlighterTest, TypingIsCheckedAtOnceInItsParagraphOnly)
{
    doc.setPlainText(paragraphs(3000));
    TSpellHighlighter* h = attach(); // shown nowhere: all of it counts as in view
    h->setActive(true);
    h->finishPendingWork();
    EXPECT_EQ(markedParagraphs(doc), 1000);
    const qint64 checked = h->checkedParagraphs();

    QTextCursor c(doc.findBlockByNumber(1501));
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(" wrng");
    EXPECT_EQ(h->checkedParagraphs(), checked + 1);
    EXPECT_EQ(marks(doc.findBlockByNumber(1501)), (std::vector<TWordSpan>{{12, 4}}));
    c.insertText("\nhello wrld");
    EXPECT_LE(h->checkedParagraphs(), checked + 3);
    EXPECT_EQ(marks(doc.findBlockByNumber(1502)), (std::vector<TWordSpan>{{6, 4}}));
    c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    EXPECT_TRUE(marks(doc.findBlockByNumber(1502)).empty());
    EXPECT_FALSE(h->hasPendingWork());

    // Text loaded into the same document is one large change: left for idle time.
    const qint64 beforeLoad = h->checkedParagraphs();
    doc.setPlainText(paragraphs(5000));
    const qint64 afterLoad = h->checkedParagraphs();
    EXPECT_LE(afterLoad, beforeLoad + 1); // at most the emptied document's one paragraph
    EXPECT_EQ(h->misspellingsOf(doc.findBlockByNumber(4002)), nullptr);
    QElapsedTimer wait;
    wait.start();
    while (h->hasPendingWork() && wait.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(h->checkedParagraphs(), afterLoad + 5000);
    EXPECT_EQ(markedParagraphs(doc), 1667);
}

TEST_F(SpellHighlighterTest, TheWordBeingTypedIsMarkedOnceTheCaretLeavesIt)
{
    TSpellHighlighter* h = attach();
    QTextCursor caret(&doc);
    h->setCaret([&] { return caret.position(); });
    h->setActive(true);
    auto type = [&](const QString& text) {
        for (const QChar ch : text)
            caret.insertText(QString(ch));
    };
    type("hello wrld");
    EXPECT_EQ(*h->misspellingsOf(doc.begin()), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_TRUE(marks(doc.begin()).empty()); // still being typed
    type(" wrng");
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{6, 4}}));
    caret.deletePreviousChar(); // "wrn", still at the caret
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{6, 4}}));
    caret.setPosition(0);
    h->caretMoved();
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{6, 4}, {11, 3}}));

    // Typing in another paragraph finishes the word left behind in this one.
    caret.movePosition(QTextCursor::End);
    type("\nwrld");
    caret.movePosition(QTextCursor::End);
    type(" hello");
    EXPECT_EQ(marks(doc.lastBlock()), (std::vector<TWordSpan>{{0, 4}}));
    // A word typed wrong in its middle is marked at once: the caret is not at its end.
    caret.setPosition(3);
    type("x");
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{0, 6}, {7, 4}, {12, 3}}));

    // An edit elsewhere, by anything but the caret, finishes the word too; a document
    // emptied and filled again (as a load does, while a word is held back) leaves nothing
    // behind, and the document's cursors keep working.
    caret.movePosition(QTextCursor::End);
    type(" wrn");
    EXPECT_EQ(marks(doc.lastBlock()), (std::vector<TWordSpan>{{0, 4}}));
    QTextCursor(&doc).insertText("hello ");
    EXPECT_EQ(marks(doc.lastBlock()), (std::vector<TWordSpan>{{0, 4}, {11, 3}}));
    caret.movePosition(QTextCursor::End);
    type(" wrn");
    doc.clear(); // as the RTF reader does: announced while the document's cursors are aside
    QTextCursor(&doc).insertText("hello wrld\nworld");
    caret.movePosition(QTextCursor::End);
    type(" wrng ");
    EXPECT_EQ(caret.position(), doc.characterCount() - 1);
    h->finishPendingWork();
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_EQ(marks(doc.lastBlock()), (std::vector<TWordSpan>{{6, 4}}));
}

TEST_F(SpellHighlighterTest, WordsTakenAndDictionariesChangedAreCheckedAgain)
{
    doc.setPlainText("hello wrld\nKaffee gut\nworld\nwrld Kaffee");
    TSpellHighlighter* h = attach();
    h->setActive(true);
    h->finishPendingWork();
    EXPECT_EQ(markedParagraphs(doc), 3);

    // Ignored (or added): its marks go at once, everywhere in the document.
    checker.ignore("wrld");
    h->recheckWord("wrld");
    EXPECT_TRUE(marks(doc.begin()).empty());
    EXPECT_EQ(marks(doc.lastBlock()), (std::vector<TWordSpan>{{5, 6}}));
    EXPECT_FALSE(h->hasPendingWork());

    // Another dictionary: everything is checked again.
    checker.setDictionaries(dicts.infos({"en_XX", "de_XX"}));
    h->recheckAll();
    h->finishPendingWork();
    EXPECT_EQ(markedParagraphs(doc), 0);

    // Off takes every mark away and edits are no longer checked.
    checker.setDictionaries(dicts.infos({"de_XX"}));
    h->recheckAll();
    h->finishPendingWork();
    EXPECT_EQ(markedParagraphs(doc), 2);
    h->setActive(false);
    EXPECT_EQ(markedParagraphs(doc), 0);
    const qint64 checked = h->checkedParagraphs();
    QTextCursor(&doc).insertText("wrong ");
    EXPECT_EQ(h->checkedParagraphs(), checked);
    EXPECT_FALSE(h->hasPendingWork());
    h->setActive(true);
    h->finishPendingWork();
    EXPECT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{0, 5}, {6, 5}}));
    EXPECT_EQ(marks(doc.findBlockByNumber(2)), (std::vector<TWordSpan>{{0, 5}}));
    EXPECT_EQ(markedParagraphs(doc), 2);
}

// What the print layer draws of a document, as an image.
QImage printed(const QTextDocument& doc)
{
    QImage image(700, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TTextFormatter formatter(doc, image);
    QRect area(0, 0, 6 * 1440, 9 * 1440); // twips
    formatter.formatRange(&painter, 0, -1, area);
    return image;
}

// What the editor draws of it.
QImage onScreen(QTextDocument& doc)
{
    QImage image(700, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    doc.setTextWidth(600);
    doc.drawContents(&painter);
    return image;
}

int reddishPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += (c.red() > c.green() + 60 && c.red() > c.blue() + 60) ? 1 : 0;
        }
    return n;
}

TEST_F(SpellHighlighterTest, MarksReachNeitherTheDocumentNorItsFileNorThePrintout)
{
    QTextCursor c(&doc);
    c.insertText("hello ");
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText("wrld", bold);
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    c.insertText(" wrng world", underlined);
    doc.setModified(false);
    const QByteArray rtfBefore = WriteRtf(doc);
    const std::unique_ptr<QTextDocument> unchecked(doc.clone());
    const QImage screenBefore = onScreen(*unchecked);

    TSpellHighlighter* h = attach();
    h->setActive(true);
    h->finishPendingWork();
    ASSERT_EQ(marks(doc.begin()), (std::vector<TWordSpan>{{6, 4}, {11, 4}}));

    EXPECT_FALSE(documentHasSpellFormat(doc));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(WriteRtf(doc), rtfBefore);
    EXPECT_EQ(printed(doc), printed(*unchecked));
    // On screen the marks are there, in red.
    const QImage screen = onScreen(doc);
    EXPECT_NE(screen, screenBefore);
    EXPECT_GT(reddishPixels(screen), 10);
    EXPECT_EQ(reddishPixels(screenBefore), 0);

    // A document without undo history counts every change as a modification; marks are none.
    QTextDocument noUndo;
    noUndo.setUndoRedoEnabled(false);
    noUndo.setPlainText(paragraphs(30));
    noUndo.setModified(false);
    auto* h2 = new TSpellHighlighter(&noUndo, checker);
    h2->setActive(true);
    h2->finishPendingWork();
    EXPECT_EQ(markedParagraphs(noUndo), 10);
    EXPECT_FALSE(noUndo.isModified());
}

} // namespace
