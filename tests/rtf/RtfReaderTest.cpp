#include "RtfTestSupport.h"

#include "rtf/DocumentFile.h"
#include "rtf/RtfReader.h"
#include "rtf/TextDirection.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace rtftest;

namespace {

const QByteArray Fonts =
    "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\fswiss\\fcharset0 Arial;}"
    "{\\f2\\fnil\\fcharset2 Symbol;}{\\f3\\fnil\\fcharset204 Times Cyr;}"
    "{\\f4\\fnil\\fcharset128 MS Gothic;}}";

QByteArray doc(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0" + Fonts +
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" + body + "}";
}

} // namespace

TEST(RtfReader, RefusesWhatIsNotRtfAndLeavesTheDocument)
{
    QTextDocument document;
    document.setPlainText("kept");
    EXPECT_FALSE(ReadRtf("hello {\\rtf1 x}", document));
    EXPECT_FALSE(ReadRtf("", document));
    EXPECT_EQ(document.toPlainText(), "kept");
    EXPECT_TRUE(ReadRtf("{\\rtf1 new}", document));
    EXPECT_EQ(document.toPlainText(), "new");
    EXPECT_FALSE(document.isModified());
}

TEST(RtfReader, ManyShortRunsKeepTheirOrderAndFormatAndTheDocumentEditsAsAnyOther)
{
    // The shape a rich-edit control writes: every word a run of its own.
    QByteArray body;
    QString expected;
    for (int paragraph = 0; paragraph < 20; ++paragraph) {
        for (int word = 0; word < 100; ++word) {
            body +=
                (word % 2 ? "\\b " : "\\b0 ") + QByteArray::number(paragraph * 100 + word) + " ";
            expected += QString::number(paragraph * 100 + word) + u' ';
        }
        body += "\\par\r\n";
        expected += u'|';
    }
    expected.chop(1);
    auto d = read(doc(body));
    ASSERT_EQ(blocks(*d), expected);
    int runs = 0;
    for (QTextBlock block = d->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool bold = fragment.text().split(u' ', Qt::SkipEmptyParts).first().toInt() % 2;
            EXPECT_EQ(fragment.charFormat().fontWeight(), bold ? QFont::Bold : QFont::Normal)
                << fragment.text().toStdString();
            ++runs;
        }
    }
    EXPECT_EQ(runs, 20 * 100);
    // Reading leaves nothing to undo, and what is typed afterwards undoes as usual.
    EXPECT_FALSE(d->isUndoAvailable());
    d->setUndoRedoEnabled(true);
    QTextCursor cursor(d.get());
    cursor.setPosition(blocks(*d).indexOf(QStringLiteral("150 ")));
    cursor.insertText(QStringLiteral("new "));
    EXPECT_TRUE(d->toPlainText().contains(QStringLiteral("149 new 150 ")));
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold); // it took the format before it
    d->undo();
    EXPECT_EQ(blocks(*d), expected);
}

TEST(RtfReader, ParagraphsBreaksAndSpecialCharacters)
{
    auto d = read(doc("one\\par\r\ntwo\\line three\\tab four\\\r\nfive\\par\n"
                      "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_\\'"
                      "e9\\{\\}\\\\\\par"));
    EXPECT_EQ(blocks(*d),
              QString::fromUtf8("one|two\u2028three\tfour|five|—–•‘’“”\u00a0\u00ad\u2011é{}\\"));
}

TEST(RtfReader, GroupsPlainAndPardFollowTheRules)
{
    auto d = read(doc("\\f1\\fs40\\b bold{\\i italic\\plain plain}back\\pard still\\par"));
    EXPECT_EQ(formatAt(*d, "bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(family(formatAt(*d, "bold")), "Arial");
    EXPECT_EQ(formatAt(*d, "bold").fontPointSize(), 20);
    EXPECT_TRUE(formatAt(*d, "italic").fontItalic());
    // \plain: the \deff font at 12 pt, no effects.
    const QTextCharFormat plain = formatAt(*d, "plain");
    EXPECT_EQ(family(plain), "Calibri");
    EXPECT_EQ(plain.fontPointSize(), 12);
    EXPECT_NE(plain.fontWeight(), QFont::Bold);
    // The group restores what was before it, and \pard leaves character formatting alone.
    EXPECT_EQ(formatAt(*d, "back").fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatAt(*d, "back").fontItalic());
    EXPECT_EQ(formatAt(*d, "still").fontWeight(), QFont::Bold);
}

TEST(RtfReader, ParagraphTakesThePropertiesInForceAtItsPar)
{
    auto d = read(doc("\\pard\\qc\\li720\\ri360\\fi-180\\sb120\\sa240 first\\qr\\par "
                      "second{\\qj\\par}third\\par"));
    const QTextBlock first = d->begin();
    EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(first.blockFormat().leftMargin(), 36);
    EXPECT_DOUBLE_EQ(first.blockFormat().rightMargin(), 18);
    EXPECT_DOUBLE_EQ(first.blockFormat().textIndent(), -9);
    EXPECT_DOUBLE_EQ(first.blockFormat().topMargin(), 6);
    EXPECT_DOUBLE_EQ(first.blockFormat().bottomMargin(), 12);
    EXPECT_EQ(first.next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_EQ(first.next().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(blocks(*d), "first|second|third");
}

TEST(RtfReader, CharacterFormatting)
{
    auto d =
        read(doc("\\ul under\\ulnone{\\uldb dbl}{\\uld dot}{\\ul0 none}{\\strike st}{\\super sup}"
                 "{\\sub sb\\nosupersub ns}{\\cf1 red}{\\cf1\\cf0 auto}{\\highlight2 hl}{\\cb1 bg}"
                 "{\\highlight0 nohl}{\\v hidden}shown\\par"));
    EXPECT_EQ(formatAt(*d, "under").underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatAt(*d, "dbl").underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatAt(*d, "dot").underlineStyle(), QTextCharFormat::DotLine);
    EXPECT_EQ(formatAt(*d, "none").underlineStyle(), QTextCharFormat::NoUnderline);
    EXPECT_TRUE(formatAt(*d, "st").fontStrikeOut());
    EXPECT_EQ(formatAt(*d, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatAt(*d, "sb").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatAt(*d, "ns").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(formatAt(*d, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(*d, "auto").foreground().style(), Qt::NoBrush);
    EXPECT_EQ(formatAt(*d, "hl").background().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatAt(*d, "bg").background().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(*d, "nohl").background().style(), Qt::NoBrush);
    EXPECT_FALSE(d->toPlainText().contains("hidden"));
    EXPECT_TRUE(d->toPlainText().contains("shown"));
}

TEST(RtfReader, ColourIndexZeroIsAutomaticEvenWhenTheTableNamesIt)
{
    auto d = read(
        "{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green128\\blue0;}\\cf0 a\\cf1 b\\cf7 c}");
    EXPECT_EQ(formatAt(*d, "a").foreground().style(), Qt::NoBrush);
    EXPECT_EQ(formatAt(*d, "b").foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(formatAt(*d, "c").foreground().style(), Qt::NoBrush);
}

TEST(RtfReader, CodePagesFromFontsAndDocument)
{
    // Cyrillic through the font's charset, Japanese double-byte with an ASCII trail byte (0x835C
    // is "ソ", 0x8341 is "ア"), Symbol's bullet, and the document's \ansicpg for fonts without one.
    auto d = read(doc(
        "{\\f3 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}{\\f4 \\'83\\\\\\'83A\\'82\\'a0}{\\f2 \\'b7}\\par"));
    EXPECT_EQ(d->toPlainText(), QString::fromUtf8("Приветソアあ•"));
    auto greek = read("{\\rtf1\\ansi\\ansicpg1253{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset0\\cpg1251 "
                      "X;}}\\f0 \\'e1{\\f1 \\'e1}}");
    EXPECT_EQ(greek->toPlainText(), QString::fromUtf8("αб"));
    auto gbk = read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 "
                    "\\'d6\\'d0\\'ce\\'c4}");
    EXPECT_EQ(gbk->toPlainText(), QString::fromUtf8("中文"));
    EXPECT_EQ(family(formatAt(*gbk, QString::fromUtf8("中"))), QString::fromUtf8("宋体"));
}

TEST(RtfReader, UnicodeWithFallbackSkipping)
{
    auto d = read("{\\rtf1\\uc1 a\\u8364?b\\u-10179\\'3f\\u-8704\\'3fc\\uc2\\u1488\\'e0\\'e0d"
                  "{\\uc3\\u1489 x}\\uc1 e\\u1490\\par f}");
    // A brace stops the skipping; a control word counts as one unit.
    EXPECT_EQ(blocks(*d), QString::fromUtf8("a€b😀cאdבeגf"));
}

TEST(RtfReader, DestinationsAreSkippedAndWhatHeldContentIsReported)
{
    TRtfReadReport report;
    QTextDocument d;
    ASSERT_TRUE(
        ReadRtf(doc("{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}{\\header head}"
                    "{\\footnote note}{\\*\\unknown{x}y}{\\*\\generator Msftedit;}"
                    "{\\themedata ab}{\\*\\datastore cd}"
                    "{\\*\\xmlnstbl {\\xmlns1 http://x}}{\\nonshppict{\\pict\\wmetafile8 0102}}body"
                    "{\\*\\bin5 {{{{}after\\par"),
                d, &report));
    EXPECT_EQ(d.toPlainText(), "bodyafter");
    EXPECT_EQ(report.dropped, QStringList({"a header", "a footnote"}));
    EXPECT_TRUE(report.lossy());
}

TEST(RtfReader, BinSkipsExactlyItsBytesEvenInsideSkippedGroups)
{
    auto d = read("{\\rtf1 a{\\*\\foo \\bin4 }}{x}b\\bin3 {}}c}");
    EXPECT_EQ(d->toPlainText(), "abc");
}

TEST(RtfReader, FieldsShowTheirResultAndHyperlinksBecomeLinks)
{
    auto d = read(doc("{\\field{\\*\\fldinst{HYPERLINK "
                      "\"https://example.org/a?b=1\"}}{\\fldrslt{\\ul\\cf1 site}}}"
                      " {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}} "
                      "{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt up}}\\par"));
    EXPECT_EQ(d->toPlainText(), "site 7 up");
    const QTextCharFormat link = formatAt(*d, "site");
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), "https://example.org/a?b=1");
    EXPECT_EQ(link.foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(formatAt(*d, "7").isAnchor());
    EXPECT_EQ(formatAt(*d, "up").anchorHref(), "#top");
}

TEST(RtfReader, Word6Lists)
{
    auto d = read(doc("\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{"
                      "\\pntxtb\\'B7}}\\fi-200\\li200 one\\par"
                      "{\\pntext\\f2\\'B7\\tab}two\\par"
                      "\\pard{\\pntext "
                      "1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}"
                      "\\fi-360\\li720 n1\\par"
                      "{\\pntext 2.\\tab}n2\\par"
                      "\\pard{\\pntext iv.\\tab}{\\*\\pn\\pnlvlbody\\pnlcrm}roman\\par"
                      "\\pard{\\pntext * }plain\\par"));
    EXPECT_EQ(blocks(*d), "one|two|n1|n2|roman|* plain");
    QTextBlock b = d->begin();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDisc);
    // The bullet keeps its left indent; the hanging \fi is the marker's room.
    EXPECT_DOUBLE_EQ(b.blockFormat().leftMargin(), 10);
    EXPECT_DOUBLE_EQ(b.blockFormat().textIndent(), 0);
    EXPECT_EQ(b.next().textList(), b.textList());
    b = b.next().next();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(b.next().textList(), b.textList());
    EXPECT_EQ(b.textList()->count(), 2);
    EXPECT_DOUBLE_EQ(b.blockFormat().leftMargin(), 36);
    b = b.next().next();
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListLowerRoman);
    EXPECT_EQ(b.next().textList(), nullptr);
}

TEST(RtfReader, ListTableLists)
{
    auto d =
        read(doc("{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'"
                 "01\\u8226 ?;}}"
                 "{\\listname "
                 ";}\\listid7}{\\list{\\listlevel\\levelnfc4{\\leveltext\\'02\\'00.;}}\\listid8}}"
                 "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
                 "{\\listoverride\\listid8\\listoverridecount0\\ls2}}"
                 "{\\listtext\\pard\\plain \\'b7\\tab}\\pard\\ls1\\ilvl0\\li720\\fi-360 a\\par"
                 "{\\listtext\\pard\\plain a.\\tab}\\pard\\ls2 b\\par\\pard gap\\par"
                 "{\\listtext\\pard\\plain b.\\tab}\\pard\\ls2 c\\par"));
    EXPECT_EQ(blocks(*d), "a|b|gap|c");
    const QTextBlock a = d->begin();
    ASSERT_NE(a.textList(), nullptr);
    EXPECT_EQ(a.textList()->format().style(), QTextListFormat::ListDisc);
    const QTextBlock b = a.next();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListLowerAlpha);
    // The same \ls keeps counting after another paragraph.
    EXPECT_EQ(b.next().next().textList(), b.textList());
    EXPECT_EQ(b.textList()->itemNumber(b.next().next()), 1);
}

TEST(RtfReader, TablesBecomeTextTables)
{
    auto d = read(
        doc("before\\par\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx6000"
            "\\pard\\intbl\\qc{\\b a1}\\cell\\pard\\intbl b1\\par b1b\\cell\\pard\\intbl\\cell\\row"
            "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a2\\cell b2\\cell\\row\\pard after\\par"));
    EXPECT_EQ(blocks(*d), "before|a1|b1|b1b||a2|b2||after");
    QTextTable* table = nullptr;
    for (QTextFrame* frame : d->rootFrame()->childFrames())
        table = qobject_cast<QTextTable*>(frame);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().block().text(), "a1");
    EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().blockFormat().alignment() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(formatAt(*d, "a1").fontWeight(), QFont::Bold);
    EXPECT_EQ(table->cellAt(1, 1).firstCursorPosition().block().text(), "b2");
    // "before" ends right before the table, "after" follows it.
    EXPECT_EQ(d->begin().text(), "before");
}

TEST(RtfReader, PicturesBecomeImagesAtTheirGoalSize)
{
    // A 1x1 PNG.
    const QByteArray png =
        QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwA"
                               "FBQIAX8jx0gAAAABJRU5ErkJggg==");
    auto d =
        read(doc("x{\\*\\shppict{\\pict\\pngblip\\picw1\\pich1\\picwgoal400\\pichgoal200 " +
                 png.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8 0102}}{\\pict\\pngblip\\bin" +
                 QByteArray::number(png.size()) + " " + png + "}y\\par"));
    const QString text = d->toPlainText();
    // The metafile is the same picture for readers without PNG.
    EXPECT_EQ(text, QString("x") + QChar::ObjectReplacementCharacter +
                        QChar::ObjectReplacementCharacter + "y");
    QTextCursor cursor(d.get());
    cursor.setPosition(2);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    ASSERT_TRUE(image.isValid());
    EXPECT_DOUBLE_EQ(image.width(), 20);
    EXPECT_DOUBLE_EQ(image.height(), 10);
    // The picture stays encoded until it is drawn.
    const QVariant resource = d->resource(QTextDocument::ImageResource, QUrl(image.name()));
    ASSERT_EQ(resource.userType(), QMetaType::QByteArray);
    EXPECT_EQ(resource.toByteArray(), png);
}

TEST(RtfReader, DamagedInputLoadsWhatCanBeRead)
{
    // Unbalanced braces, truncation, bad hex, huge numbers, \bin past the end, deep nesting.
    EXPECT_EQ(read("{\\rtf1 a}}}b")->toPlainText(), "ab");
    EXPECT_EQ(read("{\\rtf1 {\\b a{\\i b")->toPlainText(), "ab");
    EXPECT_EQ(read("{\\rtf1 x\\'zz\\'4")->toPlainText(), "xzz");
    auto big = read("{\\rtf1\\fs999999999999999999 \\li-99999999999 big\\par\\u99999999999 }");
    EXPECT_TRUE(big->toPlainText().startsWith("big"));
    EXPECT_LE(formatAt(*big, "big").fontPointSize(), 1638);
    EXPECT_EQ(read("{\\rtf1 a\\bin999999999 bc")->toPlainText(), "a");
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " end}";
    EXPECT_EQ(read(deep)->toPlainText(), "deep end");
    EXPECT_EQ(read("{\\rtf1\\")->toPlainText(), "");
    EXPECT_EQ(read("{\\rtf")->toPlainText(), "");
}

TEST(RtfReader, LargeAndRaggedTablesStayInProportion)
{
    QByteArray rtf = "{\\rtf1 ";
    for (int row = 0; row < 20000; ++row)
        rtf += "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\r\n";
    rtf += "}";
    QElapsedTimer timer;
    timer.start();
    auto d = read(rtf);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(d->blockCount(), 40002);

    // One full row of 64 cells, then thousands of rows that claim 64 columns and fill one:
    // the file is small, so must the document be.
    QByteArray ragged = "{\\rtf1\\trowd";
    for (int c = 1; c <= 64; ++c)
        ragged += "\\cellx" + QByteArray::number(c * 100);
    ragged += "\\pard\\intbl ";
    for (int c = 0; c < 64; ++c)
        ragged += "x\\cell ";
    ragged += "\\row";
    for (int row = 0; row < 20000; ++row)
        ragged += "\\intbl y\\cell\\row";
    ragged += "}";
    auto r = read(ragged);
    EXPECT_LT(r->blockCount(), 60000);
    EXPECT_EQ(r->toPlainText().count(u'y'), 20000);
    EXPECT_EQ(r->toPlainText().count(u'x'), 64);
}

// Whether any text read runs right to left, however it was written in the file; text that is
// not kept (a hidden run, a footnote) does not count.
TEST(RtfReader, TheReportTellsWhetherAnyTextReadRunsRightToLeft)
{
    const auto rightToLeft = [](const QByteArray& bytes) {
        QTextDocument doc;
        TRtfReadReport report;
        report.rightToLeft = true; // a report from an earlier read
        LoadDocumentBytes(bytes, doc, &report);
        return report.rightToLeft;
    };
    const QByteArray head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard ";
    EXPECT_FALSE(rightToLeft(head + "caf\\'e9, \\u1046?\\u1080?, \\u20013?\\u25991?, 42\\par}"));
    EXPECT_TRUE(rightToLeft(head + "words, then \\u1513?\\u1500?\\u1493?\\u1501?\\par}"));
    EXPECT_TRUE(rightToLeft("{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0 Arial;}}\\pard "
                            "\\'d3\\'e1\\'c7\\'e3\\par}"));
    EXPECT_TRUE(rightToLeft(head + "{\\b bold \\u1575?\\u1604?}\\par}"));
    EXPECT_FALSE(rightToLeft(head + "{\\v \\u1513?\\u1500?}{\\footnote \\u1513?}seen\\par}"));
    EXPECT_TRUE(rightToLeft(QStringLiteral("plain text with \u0633\u0644\u0627\u0645").toUtf8()));
    EXPECT_FALSE(rightToLeft("plain text"));

    EXPECT_TRUE(HoldsRightToLeft(u"x \U00010C80 y")) << "beyond the first plane";
    EXPECT_FALSE(HoldsRightToLeft(u"an emoji \U0001F600 only"));
}
