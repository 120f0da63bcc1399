// The editor's own layout must put every line where Qt's layout puts it, while laying out only
// what is asked for.
#include "app/BackgroundLayout.h"
#include "app/FlowLayout.h"
#include "app/TRichEditor.h"
#include "rtf/RtfObjectHandlers.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr qreal PageWidth = 420;

// Paragraph formats of every kind a journal holds: margins that meet, indents, lists, a
// first-line indent, alignments, line heights, right-to-left text, a word wider than the page.
const char* const Formats = R"(
<p>A plain first paragraph that is long enough to wrap onto a second and a third line at the
width of the page it is laid out in, with a few more words.</p>
<p style="margin-top:12px; margin-bottom:20px">Margins above and below.</p>
<p style="margin-top:6px">A smaller top margin meets the larger bottom margin above it.</p>
<p style="margin-left:30px; margin-right:40px; text-indent:25px">Indented on both sides, its
first line further still, long enough to wrap so the second line shows where it starts.</p>
<ul><li>A bullet</li><li>Another bullet that is long enough to wrap onto a second line at this
width of page</li></ul>
<ol><li>One</li><li>Two</li></ol>
<p align="center">Centred text</p>
<p align="right">Right-aligned text</p>
<p align="justify">Justified text that runs over more than one line so that the spaces of its
first line are stretched to the full width of the page.</p>
<p style="line-height:150%">One and a half lines apart, and long enough to wrap once at the
least at this page width.</p>
<p dir="rtl">שלום עולם, a paragraph written from right to left</p>
<p></p>
<p>Averyveryveryveryveryveryveryveryveryveryveryveryveryveryveryverylongwordwithoutanyspaces</p>
<p><span style="font-size:24pt">Large</span> and <span style="font-size:7pt">small</span> text</p>
<p>The last paragraph.</p>
)";

std::unique_ptr<QTextDocument> documentOf(const QString& html)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setHtml(html);
    return doc;
}

QString manyParagraphs(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("Paragraph %1 of a long day, with enough words to wrap once or "
                               "twice at the width of this page.\n")
                    .arg(i);
    return text;
}

void type(QWidget& widget, const QString& text)
{
    QTest::keyClicks(&widget, text);
}

int laidOutCount(const QTextDocument& doc)
{
    int count = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        count += b.layout() && b.layout()->lineCount() > 0;
    return count;
}

// Qt's layout of the same document, laid out whole.
std::unique_ptr<QTextDocument> qtLaidOut(const QTextDocument& doc)
{
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->setPageSize(QSizeF(PageWidth, -1));
    copy->documentLayout()->documentSize();
    return copy;
}

TFlowLayout* flowOn(QTextDocument& doc)
{
    TFlowLayout* flow = TFlowLayout::installOn(doc);
    doc.setPageSize(QSizeF(PageWidth, -1));
    return flow;
}

void expectSameLayout(QTextDocument& ours, QTextDocument& theirs)
{
    ASSERT_EQ(ours.blockCount(), theirs.blockCount());
    QAbstractTextDocumentLayout* our = ours.documentLayout();
    QAbstractTextDocumentLayout* their = theirs.documentLayout();
    for (QTextBlock a = ours.begin(), b = theirs.begin(); a.isValid(); a = a.next(), b = b.next()) {
        SCOPED_TRACE(a.text().left(30).toStdString());
        EXPECT_EQ(our->blockBoundingRect(a), their->blockBoundingRect(b));
        ASSERT_EQ(a.layout()->lineCount(), b.layout()->lineCount());
        for (int i = 0; i < a.layout()->lineCount(); ++i) {
            EXPECT_EQ(a.layout()->lineAt(i).position(), b.layout()->lineAt(i).position());
            EXPECT_EQ(a.layout()->lineAt(i).textStart(), b.layout()->lineAt(i).textStart());
        }
    }
    EXPECT_EQ(our->documentSize().height(), their->documentSize().height());
    // Clicks anywhere, in the margins and gaps too, land on the same position.
    const qreal height = their->documentSize().height();
    for (qreal y = -5; y < height + 10; y += 3.5) {
        for (qreal x : {0.0, 3.0, 20.0, 150.0, PageWidth - 10, PageWidth + 30}) {
            ASSERT_EQ(our->hitTest({x, y}, Qt::FuzzyHit), their->hitTest({x, y}, Qt::FuzzyHit))
                << x << "," << y;
            ASSERT_EQ(our->hitTest({x, y}, Qt::ExactHit), their->hitTest({x, y}, Qt::ExactHit))
                << x << "," << y;
        }
    }
}

} // namespace

TEST(FlowLayout, PutsEveryLineWhereQtsOwnLayoutPutsIt)
{
    auto doc = documentOf(QString::fromUtf8(Formats));
    ASSERT_NE(flowOn(*doc), nullptr);
    auto theirs = qtLaidOut(*doc);
    static_cast<TFlowLayout*>(doc->documentLayout())->layOutWhole();
    expectSameLayout(*doc, *theirs);

    // Edited here and there (typing, a paragraph split, a margin changed, a paragraph
    // joined), it still does.
    QTextCursor c(doc.get());
    c.setPosition(10);
    c.insertText(QStringLiteral("typed words that make the first paragraph longer "));
    c.movePosition(QTextCursor::NextBlock);
    c.movePosition(QTextCursor::EndOfWord);
    c.insertBlock();
    QTextBlockFormat wide;
    wide.setBottomMargin(30);
    c.mergeBlockFormat(wide);
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::StartOfBlock);
    c.deletePreviousChar();
    auto after = qtLaidOut(*doc);
    static_cast<TFlowLayout*>(doc->documentLayout())->layOutWhole();
    expectSameLayout(*doc, *after);
}

TEST(FlowLayout, AFarParagraphIsPlacedWithoutLayingOutThoseAboveIt)
{
    QTextDocument doc;
    doc.setPlainText(manyParagraphs(20000));
    TFlowLayout* flow = flowOn(doc);
    ASSERT_NE(flow, nullptr);
    flow->setNeighbourhood(600);
    EXPECT_EQ(laidOutCount(doc), 0);
    // Asking where the last paragraph stands (as Ctrl+End does) lays out a screen of them.
    const QRectF last = flow->blockBoundingRect(doc.lastBlock());
    EXPECT_LT(laidOutCount(doc), 100);
    EXPECT_GT(last.top(), 20000 * 15) << "the paragraphs above have their estimated heights";
    EXPECT_NEAR(last.bottom() + doc.documentMargin(), flow->documentSize().height(), 1);
    // A click on the last line finds the last paragraph.
    EXPECT_EQ(doc.findBlock(flow->hitTest(last.center(), Qt::FuzzyHit)).blockNumber(),
              doc.blockCount() - 1);
    EXPECT_FALSE(flow->laidOutWhole());

    // Laid out in slices, the estimates give way to the real heights, and the end stands
    // where Qt's layout has it.
    int slices = 0;
    while (!flow->layOutFor(2'000'000))
        ++slices;
    EXPECT_GT(slices, 1);
    EXPECT_EQ(laidOutCount(doc), doc.blockCount());
    auto theirs = qtLaidOut(doc);
    EXPECT_EQ(flow->blockBoundingRect(doc.lastBlock()),
              theirs->documentLayout()->blockBoundingRect(theirs->lastBlock()));
    EXPECT_EQ(flow->documentSize(), theirs->documentLayout()->documentSize());
}

TEST(FlowLayout, AChangeOverManyParagraphsLeavesThemToBeLaidOutWhenShown)
{
    QTextDocument doc;
    doc.setPlainText(manyParagraphs(3000));
    TFlowLayout* flow = flowOn(doc);
    flow->layOutWhole();
    const qreal height = flow->documentSize().height();

    // As Replace All does: one edit over every paragraph.
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (QTextBlock b = doc.lastBlock(); b.isValid(); b = b.previous()) {
        if (b.length() < 10)
            continue;
        c.setPosition(b.position());
        c.setPosition(b.position() + 9, QTextCursor::KeepAnchor);
        c.insertText(QStringLiteral("Passage"));
    }
    c.endEditBlock();
    EXPECT_LT(laidOutCount(doc), 100) << "nothing was laid out that nobody looks at";
    EXPECT_EQ(flow->documentSize().height(), height) << "each keeps its height meanwhile";
    EXPECT_EQ(doc.findBlock(flow->hitTest({50, height - 8}, Qt::FuzzyHit)).blockNumber(),
              doc.blockCount() - 1);

    flow->layOutWhole();
    auto theirs = qtLaidOut(doc);
    expectSameLayout(doc, *theirs);
}

TEST(FlowLayout, ATableOrAFrameIsLeftToQtsOwnLayout)
{
    QTextDocument withTable;
    QTextCursor(&withTable).insertTable(2, 2);
    EXPECT_FALSE(TFlowLayout::canShow(withTable));
    EXPECT_EQ(TFlowLayout::installOn(withTable), nullptr);

    // A document that already has a layout keeps it: replacing it would drop every
    // paragraph's layout.
    QTextDocument laidOut;
    laidOut.documentLayout();
    EXPECT_EQ(TFlowLayout::installOn(laidOut), nullptr);

    // A table that comes in later says so, and the document goes over to Qt's layout whole.
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Before\nAfter"));
    TFlowLayout* flow = flowOn(doc);
    QSignalSpy spy(flow, &TFlowLayout::cannotShowDocument);
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    c.insertTable(1, 2);
    EXPECT_GE(spy.count(), 1);
    TFlowLayout::giveUp(doc);
    EXPECT_EQ(qobject_cast<TFlowLayout*>(doc.documentLayout()), nullptr);
    EXPECT_GT(doc.documentLayout()->documentSize().height(), 0);
}

// Pastes as the clipboard would.
struct PastingEditor : TRichEditor
{
    using TRichEditor::insertFromMimeData;
};

TEST(FlowLayout, TheEditorKeepsItsViewWhileTheEstimatesAboveGiveWay)
{
    PastingEditor editor;
    editor.resize(500, 400);
    editor.show();
    auto doc = editor.newDocument();
    doc->setPlainText(manyParagraphs(20000));
    editor.showDocument(std::move(doc), false);
    QCoreApplication::processEvents();
    ASSERT_NE(qobject_cast<TFlowLayout*>(editor.document()->documentLayout()), nullptr);

    // A jump far down, as a find makes, shows the paragraph at once...
    editor.setTextCursor(QTextCursor(editor.document()->findBlockByNumber(15000)));
    editor.ensureCursorVisible();
    QCoreApplication::processEvents();
    const QRect before = editor.cursorRect();
    EXPECT_TRUE(editor.viewport()->rect().contains(before));
    EXPECT_FALSE(editor.backgroundLayout().finished());
    // ...and keeps it in its place while every paragraph above is laid out for real.
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.backgroundLayout().finished(); }, 60000));
    EXPECT_EQ(editor.cursorRect(), before);
    type(editor, "found ");
    EXPECT_TRUE(editor.document()->findBlockByNumber(15000).text().startsWith("found Paragraph"));
    EXPECT_EQ(editor.displayedLines().size(), 20000 * 2) << "each paragraph wraps once";

    // A table pasted in hands the document to Qt's layout, which shows it with its pictures.
    auto html = std::make_unique<QMimeData>();
    html->setHtml(QStringLiteral("<table border=1><tr><td>cell</td><td>other</td></tr></table>"));
    editor.insertFromMimeData(html.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(qobject_cast<TFlowLayout*>(editor.document()->documentLayout()), nullptr);
    EXPECT_TRUE(rtf::HasObjectHandlers(*editor.document()));
    EXPECT_TRUE(editor.viewport()->rect().contains(editor.cursorRect()));
    EXPECT_TRUE(editor.document()->toPlainText().contains(QStringLiteral("Paragraph 15000 of a long day")));
}
