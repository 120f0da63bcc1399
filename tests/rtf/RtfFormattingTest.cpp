#include "RtfTestSupport.h"

#include "rtf/RtfObjects.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace rtftest;

namespace {

const QByteArray Head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
                        "{\\f1\\fswiss Arial;}{\\f2\\fmodern Courier New;}"
                        "{\\f3\\fnil\\fcharset2 Symbol;}{\\f4\\fnil\\fcharset2 Wingdings;}}"
                        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

QTextBlock blockWith(const QTextDocument& doc, const QString& text)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.text() == text)
            return b;
    ADD_FAILURE() << "no paragraph " << text.toStdString();
    return {};
}

QTextTable* firstTable(const QTextDocument& doc)
{
    for (QTextFrame* frame : doc.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    return nullptr;
}

QString cellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, u'|');
}

} // namespace

TEST(RtfFormatting, StylesGiveTheirFormattingWithInheritanceAndExplicitWordsWin)
{
    auto d = read(Head + "{\\stylesheet{\\ql\\f0\\fs24 Normal;}"
                         "{\\s1\\sbasedon0\\snext0\\qc\\sb240\\f1\\fs32\\b Heading 1;}"
                         "{\\s2\\sbasedon1\\i\\cf1 Heading 2;}"
                         "{\\*\\cs10\\additive\\ul\\cf2 Link;}"
                         "{\\s3\\sbasedon4 Loop A;}{\\s4\\sbasedon3\\fs40 Loop B;}"
                         "{\\s5{\\*\\keycode \\shift n}\\f2 Code;}}"
                         "\\pard\\plain\\s1 Title\\par"
                         "\\pard\\plain\\s2 Sub\\par"
                         "\\pard\\plain\\s2\\ql\\b0\\fs20 Explicit\\par"
                         "\\pard\\plain\\s0 Body {\\cs10 linked} text\\par"
                         "\\pard\\plain\\s3 Looped\\par"
                         "\\pard\\plain\\s5 code()\\par"
                         "\\pard\\plain\\s99 Unknown\\par}");
    EXPECT_EQ(blocks(*d), "Title|Sub|Explicit|Body linked text|Looped|code()|Unknown");
    // Heading 1: its own formatting over Normal's.
    const QTextCharFormat title = formatAt(*d, "Title");
    EXPECT_EQ(family(title), "Arial");
    EXPECT_EQ(title.fontPointSize(), 16);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(blockWith(*d, "Title").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(blockWith(*d, "Title").blockFormat().topMargin(), 12);
    // Heading 2 is based on Heading 1 and adds italic and red.
    const QTextCharFormat sub = formatAt(*d, "Sub");
    EXPECT_EQ(family(sub), "Arial");
    EXPECT_EQ(sub.fontWeight(), QFont::Bold);
    EXPECT_TRUE(sub.fontItalic());
    EXPECT_EQ(sub.foreground().color(), QColor(255, 0, 0));
    // What the paragraph says itself comes after the style and wins.
    const QTextCharFormat explicitly = formatAt(*d, "Explicit");
    EXPECT_NE(explicitly.fontWeight(), QFont::Bold);
    EXPECT_EQ(explicitly.fontPointSize(), 10);
    EXPECT_TRUE(explicitly.fontItalic());
    EXPECT_EQ(blockWith(*d, "Explicit").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    // A character style on a run only.
    EXPECT_EQ(formatAt(*d, "linked").underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatAt(*d, "linked").foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatAt(*d, " text").underlineStyle(), QTextCharFormat::NoUnderline);
    EXPECT_EQ(family(formatAt(*d, "Body")), "Times New Roman");
    // Styles based on each other end; a key code group says nothing; unknown styles do nothing.
    EXPECT_EQ(formatAt(*d, "Looped").fontPointSize(), 20);
    EXPECT_EQ(family(formatAt(*d, "code()")), "Courier New");
    EXPECT_EQ(formatAt(*d, "Unknown").fontPointSize(), 12);
}

TEST(RtfFormatting, LibreOfficeFilesKeepTheirStylesParagraphFormattingOnly)
{
    // LibreOffice puts every character property into the text and reads its own files so;
    // styles there give paragraphs their form, characters nothing.
    auto d = read("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Liberation Serif;}"
                  "{\\f1\\fswiss Liberation Sans;}}"
                  "{\\stylesheet{\\s0\\f0\\fs24 Normal;}{\\s1\\sbasedon0\\qc\\f0\\fs36\\b Title;}}"
                  "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64}"
                  "\\pard\\plain\\s1{\\loch Heading}\\par}");
    EXPECT_EQ(blockWith(*d, "Heading").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(family(formatAt(*d, "Heading")), "Liberation Sans");
    EXPECT_NE(formatAt(*d, "Heading").fontWeight(), QFont::Bold);
}

TEST(RtfFormatting, NestedListLevelsBulletShapesAndRestartedNumbering)
{
    auto d =
        read(Head + "{\\*\\listtable{\\list\\listtemplateid1"
                    "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f3\\fi-360\\li720}"
                    "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}\\f2\\fi-360\\li1440}"
                    "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3929 ?;}\\f4\\fi-360\\li2160}"
                    "\\listid10}"
                    "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
                    "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01);}}\\listid20}"
                    "{\\list{\\listlevel\\levelnfc255{\\leveltext\\'00;}}\\listid30}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid10\\ls1}"
                    "{\\listoverride\\listid20\\ls2}{\\listoverride\\listid30\\ls3}}"
                    "\\pard\\ls1\\ilvl0\\fi-360\\li720 disc\\par"
                    "\\pard\\ls1\\ilvl1\\fi-360\\li1440 circle\\par"
                    "\\pard\\ls1\\ilvl2\\fi-360\\li2160 square\\par"
                    "\\pard\\ls1\\ilvl0\\fi-360\\li720 disc again\\par"
                    "\\pard\\ls2\\ilvl0 one\\par\\pard\\ls2\\ilvl1 a\\par\\pard\\ls2\\ilvl1 b\\par"
                    "\\pard\\ls2\\ilvl0 two\\par\\pard\\ls2\\ilvl1 a again\\par"
                    "\\pard\\ls3\\ilvl0\\b Outline heading\\par}");
    auto list = [&](const char* text) { return blockWith(*d, text).textList(); };
    ASSERT_NE(list("disc"), nullptr);
    EXPECT_EQ(list("disc")->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(list("disc")->format().indent(), 1);
    EXPECT_EQ(list("circle")->format().style(), QTextListFormat::ListCircle);
    EXPECT_EQ(list("circle")->format().indent(), 2);
    EXPECT_EQ(list("square")->format().style(), QTextListFormat::ListSquare);
    EXPECT_EQ(list("square")->format().indent(), 3);
    EXPECT_EQ(list("disc again"), list("disc"));
    EXPECT_EQ(list("one")->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(list("a")->format().style(), QTextListFormat::ListLowerAlpha);
    EXPECT_EQ(list("two"), list("one"));
    EXPECT_EQ(list("two")->itemNumber(blockWith(*d, "two")), 1);
    // A new item of the level above starts the level below again.
    EXPECT_EQ(list("b"), list("a"));
    EXPECT_NE(list("a again"), list("a"));
    EXPECT_EQ(list("a again")->itemNumber(blockWith(*d, "a again")), 0);
    // A list without markers (LibreOffice's outline) shows no marker but stays known.
    const QTextBlock heading = blockWith(*d, "Outline heading");
    EXPECT_EQ(heading.textList(), nullptr);
    EXPECT_EQ(heading.blockFormat().intProperty(rtf::UnmarkedListLevel), 1);

    const QByteArray written = WriteRtf(*d);
    QTextDocument again;
    ASSERT_TRUE(ReadRtf(written, again));
    for (const char* text : {"disc", "circle", "square", "one", "a", "a again"}) {
        SCOPED_TRACE(text);
        const QTextList* before = list(text);
        const QTextList* after = blockWith(again, text).textList();
        ASSERT_NE(after, nullptr);
        EXPECT_EQ(after->format().style(), before->format().style());
        EXPECT_EQ(after->format().indent(), before->format().indent());
        EXPECT_EQ(after->itemNumber(blockWith(again, text)),
                  before->itemNumber(blockWith(*d, text)));
    }
    EXPECT_EQ(blockWith(again, "Outline heading").blockFormat().intProperty(rtf::UnmarkedListLevel),
              1);
    // The first level in bullets and numbers keeps the form rich-edit readers know.
    EXPECT_TRUE(written.contains("{\\*\\pn\\pnlvlblt")) << written.toStdString();
    EXPECT_TRUE(written.contains("\\ilvl1")) << written.toStdString();
}

TEST(RtfFormatting, TabStopsAndLineSpacingGoBothWays)
{
    auto d = read(Head + "\\pard\\tx1440\\tqc\\tx4320\\tqr\\tx8640\\tqdec\\tx9000\\tb\\tx9500 "
                         "a\\tab b\\tab c\\par"
                         "\\pard\\sl360\\slmult1 half again\\par"
                         "\\pard\\sl-300\\slmult0 exactly\\par"
                         "\\pard\\sl400\\slmult0 at least\\par"
                         "\\pard\\sl240\\slmult1 single\\par}");
    const QList<QTextOption::Tab> tabs = d->begin().blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 5);
    EXPECT_DOUBLE_EQ(tabs[0].position, 72);
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_EQ(tabs[1].type, QTextOption::CenterTab);
    EXPECT_EQ(tabs[2].type, QTextOption::RightTab);
    EXPECT_EQ(tabs[3].type, QTextOption::DelimiterTab);
    EXPECT_EQ(tabs[4].type, QTextOption::LeftTab);
    auto spacing = [&](const char* text) {
        const QTextBlockFormat f = blockWith(*d, text).blockFormat();
        return std::make_pair(f.lineHeightType(), f.lineHeight());
    };
    EXPECT_EQ(spacing("half again"),
              std::make_pair(int(QTextBlockFormat::ProportionalHeight), qreal(150)));
    EXPECT_EQ(spacing("exactly"), std::make_pair(int(QTextBlockFormat::FixedHeight), qreal(15)));
    EXPECT_EQ(spacing("at least"), std::make_pair(int(QTextBlockFormat::MinimumHeight), qreal(20)));
    EXPECT_EQ(spacing("single").first, int(QTextBlockFormat::SingleHeight));

    const QByteArray written = WriteRtf(*d);
    EXPECT_TRUE(written.contains("\\tx1440\\tqc\\tx4320\\tqr\\tx8640\\tqdec\\tx9000\\tx9500"))
        << written.toStdString();
    EXPECT_TRUE(written.contains("\\sl360\\slmult1"));
    EXPECT_TRUE(written.contains("\\sl-300\\slmult0"));
    EXPECT_TRUE(written.contains("\\sl400\\slmult0"));
}

TEST(RtfFormatting, TablesKeepColumnWidthsBordersAndMergedCells)
{
    // Row 1: one cell over two columns (by its edge), one over the third. Row 2: three cells,
    // the first starting a vertical merge. Row 3: the first continues it; the other two are
    // merged the old way (\clmgf, \clmrg).
    auto d = read(Head + "\\trowd\\trleft0\\clbrdrt\\brdrs\\brdrw20\\brdrcf1"
                         "\\clbrdrb\\brdrdb\\brdrw10\\cellx4000\\clcbpat2\\cellx6000"
                         "\\pard\\intbl across\\cell down\\cell\\row"
                         "\\trowd\\trleft0\\clvmgf\\cellx2000\\cellx4000\\cellx6000"
                         "\\pard\\intbl tall\\cell b2\\cell c2\\cell\\row"
                         "\\trowd\\trleft0\\clvmrg\\cellx2000\\clmgf\\cellx4000\\clmrg\\cellx6000"
                         "\\pard\\intbl\\cell wide\\cell\\cell\\row\\pard after\\par}");
    QTextTable* table = firstTable(*d);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 3);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 100);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 100);
    EXPECT_DOUBLE_EQ(widths[2].rawValue(), 100);
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(cellText(table, 0, 0), "across");
    EXPECT_EQ(cellText(table, 0, 2), "down");
    EXPECT_EQ(table->cellAt(1, 0).rowSpan(), 2);
    EXPECT_EQ(cellText(table, 1, 0), "tall");
    EXPECT_EQ(table->cellAt(2, 1).columnSpan(), 2);
    EXPECT_EQ(cellText(table, 2, 1), "wide");
    // Borders and shading belong to their cells.
    const QTextTableCellFormat bordered = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(bordered.topBorder(), 1);
    EXPECT_EQ(bordered.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(bordered.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_EQ(bordered.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_FALSE(bordered.hasProperty(QTextFormat::TableCellLeftBorder));
    EXPECT_EQ(table->cellAt(0, 2).format().background().color(), QColor(0, 0, 255));
    EXPECT_EQ(table->format().border(), 0);

    // Written and read again, the table is the same.
    const QByteArray written = WriteRtf(*d);
    EXPECT_TRUE(written.contains("\\clvmgf")) << written.toStdString();
    EXPECT_TRUE(written.contains("\\clvmrg"));
    EXPECT_TRUE(written.contains("\\clbrdrt\\brdrs\\brdrw20\\brdrcf1"));
    QTextDocument again;
    ASSERT_TRUE(ReadRtf(written, again));
    QTextTable* reread = firstTable(again);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->format().columnWidthConstraints(), widths);
    for (auto [row, column] : {std::pair{0, 0}, {0, 2}, {1, 0}, {2, 1}}) {
        EXPECT_EQ(reread->cellAt(row, column).rowSpan(), table->cellAt(row, column).rowSpan());
        EXPECT_EQ(reread->cellAt(row, column).columnSpan(),
                  table->cellAt(row, column).columnSpan());
        EXPECT_EQ(cellText(reread, row, column), cellText(table, row, column));
    }
    EXPECT_EQ(reread->cellAt(0, 0).format(), table->cellAt(0, 0).format());
    EXPECT_EQ(WriteRtf(again), written);
}

TEST(RtfFormatting, NestedTablesAsWordAndLibreOfficeWriteThem)
{
    auto d = read(Head + "\\trowd\\cellx3000\\cellx6000"
                         "\\pard\\intbl outer a\\cell"
                         "\\pard\\intbl before\\par"
                         "\\pard\\intbl\\itap2 x1\\nestcell x2\\nestcell"
                         "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
                         "{\\nonesttables\\par}"
                         "\\pard\\intbl\\itap2 y1\\nestcell y2\\nestcell"
                         "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
                         "{\\nonesttables\\par}"
                         "\\pard\\intbl after inner\\cell\\row\\pard end\\par}");
    QTextTable* outer = firstTable(*d);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->rows(), 1);
    EXPECT_EQ(outer->columns(), 2);
    EXPECT_EQ(cellText(outer, 0, 0), "outer a");
    const QTextTableCell cell = outer->cellAt(0, 1);
    QTextTable* inner = nullptr;
    for (QTextFrame* frame : outer->childFrames())
        inner = inner ? inner : qobject_cast<QTextTable*>(frame);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->rows(), 2);
    EXPECT_EQ(inner->columns(), 2);
    EXPECT_EQ(cellText(inner, 1, 1), "y2");
    EXPECT_GT(inner->firstPosition(), cell.firstPosition());
    EXPECT_LT(inner->lastPosition(), cell.lastPosition());
    EXPECT_EQ(d->toPlainText().count("nonesttables"), 0);
    EXPECT_TRUE(d->toPlainText().endsWith("end"));

    const QByteArray written = WriteRtf(*d);
    EXPECT_TRUE(written.contains("\\pard\\intbl\\itap2")) << written.toStdString();
    EXPECT_TRUE(written.contains("\\nestcell"));
    EXPECT_TRUE(written.contains("{\\*\\nesttableprops\\trowd"));
    EXPECT_TRUE(written.contains("\\nestrow}{\\nonesttables\\par}"));
    QTextDocument again;
    ASSERT_TRUE(ReadRtf(written, again));
    EXPECT_EQ(blocks(again), blocks(*d));
    EXPECT_EQ(WriteRtf(again), written);
}

TEST(RtfFormatting, FontNamesOfTheFileStayBesideTheFamilyShown)
{
    auto d = read("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset204{\\*\\fname Arial;}Arial CYR;}}"
                  "\\f0 Privet\\par}");
    EXPECT_EQ(family(formatAt(*d, "Privet")), "Arial");
    const QByteArray written = WriteRtf(*d);
    EXPECT_TRUE(written.contains("{\\*\\fname Arial;}Arial CYR;}")) << written.toStdString();
    // Once the user picks another font, the old name goes.
    QTextCursor cursor(d.get());
    cursor.select(QTextCursor::Document);
    QTextCharFormat times;
    times.setFontFamilies({"Times New Roman"});
    cursor.mergeCharFormat(times);
    EXPECT_FALSE(WriteRtf(*d).contains("Arial CYR"));
}

TEST(RtfFormatting, DamagedTablesAndStylesStayInBounds)
{
    // Merges that line up with nothing, edges out of order, tables nested deeper than kept.
    QByteArray deep = Head + "\\pard\\intbl\\itap30 deep\\nestcell\\nestrow\\pard out\\par";
    for (int i = 0; i < 50; ++i)
        deep += "{\\stylesheet{\\s1\\sbasedon1 Self;}}\\s1";
    deep += "\\trowd\\clvmrg\\cellx5000\\clmrg\\cellx3000\\cellx-20\\pard\\intbl a\\cell b\\cell "
            "c\\cell\\row\\trowd\\clvmrg\\clmrg\\cellx100\\pard\\intbl d\\cell\\row}";
    auto d = read(deep);
    const QString text = d->toPlainText();
    for (const char* word : {"deep", "out", "a", "b", "c", "d"})
        EXPECT_TRUE(text.contains(word)) << word;
    QTextDocument again;
    ASSERT_TRUE(ReadRtf(WriteRtf(*d), again));
    EXPECT_EQ(again.toPlainText(), text);
}
