#include "RtfTestSupport.h"

#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

#include <gtest/gtest.h>

using namespace rtftest;

TEST(RtfWriter, RichEditHeaderTablesAndLineEnds)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 11));
    QTextCursor cursor(&doc);
    cursor.insertText("one");
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontFamilies({"DejaVu Sans Mono"});
    cursor.insertText("two", red);
    cursor.insertBlock();
    cursor.insertText("three");
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.startsWith(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl"
        "{\\f0\\fswiss\\fcharset0 DejaVu Sans;}{\\f1\\fmodern\\fcharset0 DejaVu Sans Mono;}}"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("{\\*\\generator "));
    EXPECT_TRUE(rtf.contains("\\viewkind4\\uc1 \r\n\\pard"));
    // Text typed into an empty document has no family of its own; the file names the font.
    EXPECT_TRUE(rtf.contains("\\pard\\f0\\fs22 one\\f1\\cf1 two\\par\r\n")) << rtf.toStdString();
    EXPECT_TRUE(rtf.endsWith("three\\par\r\n}\r\n"));
    EXPECT_EQ(rtf.count("\\par"), rtf.count("\\par\r\n") + rtf.count("\\pard"));
}

TEST(RtfWriter, CharactersOutsideAsciiAndSpecials)
{
    QTextDocument doc;
    QTextCursor(&doc).insertText(QString::fromUtf8("é€ Я 😀 {\\}\t") + QChar(QChar::LineSeparator) +
                                 QChar(0xA0) + "x");
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains(
        "\\'e9\\'80 \\u1071\\'3f \\u-10179\\'3f\\u-8704\\'3f \\{\\\\\\}\\tab\\line\\~x"))
        << rtf.toStdString();
}

TEST(RtfWriter, CharacterFormattingIsRepeatedAfterEveryPard)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 12));
    QTextCursor cursor(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontItalic(true);
    cursor.insertText("first", bold);
    cursor.insertBlock();
    cursor.insertText("second", bold);
    cursor.insertBlock();
    cursor.insertText("third", QTextCharFormat());
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(
        rtf.contains("\\pard\\f0\\fs24\\b\\i first\\par\r\n\\pard\\f0\\fs24\\b\\i second\\par\r\n"
                     "\\pard\\f0\\fs24\\b0\\i0 third\\par"))
        << rtf.toStdString();
}

TEST(RtfWriter, BulletsAndNumbersInTheWord6Form)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 12));
    QTextCursor cursor(&doc);
    QTextBlockFormat indented;
    indented.setLeftMargin(10);
    cursor.setBlockFormat(indented);
    cursor.createList(QTextListFormat::ListDisc);
    cursor.insertText("a");
    cursor.insertBlock();
    cursor.insertText("b");
    cursor.insertBlock(QTextBlockFormat());
    cursor.createList(QTextListFormat::ListDecimal);
    cursor.insertText("n");
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains("\\pard{\\pntext\\f1\\'B7\\tab}{\\*"
                             "\\pn\\pnlvlblt\\pnf1\\pnindent0\\pnstart1{\\pntxtb\\'B7}}"
                             "\\fi-200\\li200\\f0\\fs24 a\\par\r\n{\\pntext\\f1\\'B7\\tab}b\\par"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("{\\f1\\ftech\\fcharset2 Symbol;}"));
    EXPECT_TRUE(rtf.contains(
        "{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnf0\\pnindent0\\pnstart1{\\pntxta.}}"));

    // Read back: the bullet paragraphs keep 10 pt of left indent and stay one list.
    auto back = read(rtf);
    const QTextBlock first = back->begin();
    ASSERT_NE(first.textList(), nullptr);
    EXPECT_EQ(first.textList(), first.next().textList());
    EXPECT_DOUBLE_EQ(first.blockFormat().leftMargin(), 10);
    EXPECT_NE(first.next().next().textList(), first.textList());
}

TEST(RtfWriter, LinksImagesAndTables)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 12));
    QTextCursor cursor(&doc);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref("https://example.org/a b\"c");
    cursor.insertText("see", link);
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    doc.addResource(QTextDocument::ImageResource, QUrl("mem:pic"), image);
    QTextImageFormat picture;
    picture.setName("mem:pic");
    picture.setWidth(30);
    picture.setHeight(15);
    cursor.insertImage(picture);
    cursor.insertTable(1, 2);
    cursor.insertText("cell");
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains(
        "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a%20b%22c\"}}{\\fldrslt{"))
        << rtf.toStdString();
    EXPECT_TRUE(
        rtf.contains("{\\pict\\pngblip\\picw2\\pich2\\picwgoal600\\pichgoal300\r\n89504e47"));
    // A table made here has Qt's border, grey and raised, which each cell carries in the file.
    const QByteArray border = "\\brdroutset\\brdrw20\\brdrcf1";
    EXPECT_TRUE(rtf.contains("\\trowd\\trgaph108\\trleft-108\\clbrdrt" + border + "\\clbrdrl" +
                             border + "\\clbrdrb" + border + "\\clbrdrr" + border + "\\cellx4680"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\cellx9360\r\n\\pard\\intbl"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red128\\green128\\blue128;}"));
    EXPECT_TRUE(rtf.contains(" cell\\cell\r\n\\pard\\intbl\\f0\\fs24\\cell\r\n\\row\r\n"))
        << rtf.toStdString();
}
