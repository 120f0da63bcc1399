#include "RtfTestSupport.h"

#include "rtf/RtfReader.h"

#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace rtftest;

namespace {

std::unique_ptr<QTextDocument> sample(const char* name)
{
    return read(sampleBytes(QString::fromLatin1(name)));
}

QTextBlock blockNumber(const QTextDocument& doc, int n)
{
    return doc.findBlockByNumber(n);
}

int listStyle(const QTextBlock& block)
{
    return block.textList() ? block.textList()->format().style() : 0;
}

} // namespace

TEST(RtfSamples, RichEdit20)
{
    auto d = sample("richedit20.rtf");
    // The trailing NUL after the last brace and the last \par open no paragraph.
    EXPECT_EQ(blocks(*d), "Dear diary,|today was good and long.|milk|bread|blue note");
    EXPECT_EQ(formatAt(*d, "good").fontWeight(), QFont::Bold);
    EXPECT_EQ(family(formatAt(*d, "Dear")), "Arial");
    EXPECT_EQ(formatAt(*d, "Dear").fontPointSize(), 10);
    EXPECT_EQ(listStyle(blockNumber(*d, 2)), QTextListFormat::ListDisc);
    EXPECT_EQ(blockNumber(*d, 2).textList(), blockNumber(*d, 3).textList());
    EXPECT_DOUBLE_EQ(blockNumber(*d, 3).blockFormat().leftMargin(), 10);
    EXPECT_EQ(formatAt(*d, "blue").foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatAt(*d, "blue").underlineStyle(), QTextCharFormat::SingleUnderline);
}

TEST(RtfSamples, MsfteditWithCodePageEscapesAndEffects)
{
    auto d = sample("msftedit41.rtf");
    EXPECT_EQ(blocks(*d), QString::fromUtf8(
                              "Grüße aus München|Titel|rechts|eingerückt € und Я|durch hoch tief"));
    EXPECT_EQ(blockNumber(*d, 1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(blockNumber(*d, 2).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(formatAt(*d, "rechts").background().color(), QColor(255, 255, 0));
    EXPECT_DOUBLE_EQ(blockNumber(*d, 3).blockFormat().leftMargin(), 36);
    EXPECT_DOUBLE_EQ(blockNumber(*d, 3).blockFormat().rightMargin(), 18);
    EXPECT_TRUE(formatAt(*d, "durch").fontStrikeOut());
    EXPECT_EQ(formatAt(*d, "hoch").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatAt(*d, "tief").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(family(formatAt(*d, "Titel")), "Tahoma");
}

TEST(RtfSamples, WordPadOnWindows10)
{
    auto d = sample("wordpad_win10.rtf");
    EXPECT_EQ(blocks(*d), QString::fromUtf8("Monday|Green bold|first|second|one|two|Smile ☺"));
    EXPECT_EQ(formatAt(*d, "Green").foreground().color(), QColor(0, 176, 80));
    EXPECT_EQ(formatAt(*d, "Smile").foreground().style(), Qt::NoBrush);
    EXPECT_EQ(listStyle(blockNumber(*d, 2)), QTextListFormat::ListDisc);
    EXPECT_EQ(listStyle(blockNumber(*d, 4)), QTextListFormat::ListDecimal);
    EXPECT_EQ(blockNumber(*d, 4).textList(), blockNumber(*d, 5).textList());
    EXPECT_NE(blockNumber(*d, 3).textList(), blockNumber(*d, 4).textList());
    EXPECT_DOUBLE_EQ(blockNumber(*d, 0).blockFormat().bottomMargin(), 10);
}

TEST(RtfSamples, Word2003WithListsFieldsTablesAndPictures)
{
    auto d = sample("word2003.rtf");
    const QString text = d->toPlainText();
    EXPECT_FALSE(text.contains("Header")) << text.toStdString();
    EXPECT_FALSE(text.contains("Footer"));
    EXPECT_FALSE(text.contains("Normal"));
    EXPECT_FALSE(text.contains("Diary"));
    EXPECT_FALSE(text.contains("HYPERLINK"));
    EXPECT_EQ(family(formatAt(*d, "Word heading")), "Tahoma");
    EXPECT_EQ(listStyle(blockNumber(*d, 1)), QTextListFormat::ListDisc);
    EXPECT_EQ(blockNumber(*d, 1).text(), "apples");
    EXPECT_EQ(blockNumber(*d, 2).textList(), blockNumber(*d, 1).textList());
    EXPECT_EQ(listStyle(blockNumber(*d, 3)), QTextListFormat::ListDecimal);
    EXPECT_EQ(blockNumber(*d, 3).text(), "step");
    EXPECT_EQ(blockNumber(*d, 4).text(), "See example page 1.");
    EXPECT_EQ(formatAt(*d, "example").anchorHref(), "http://www.example.com/");
    EXPECT_EQ(formatAt(*d, "example").foreground().color(), QColor(0, 0, 255));

    QTextTable* table = nullptr;
    for (QTextFrame* frame : d->rootFrame()->childFrames())
        table = table ? table : qobject_cast<QTextTable*>(frame);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(table->cellAt(1, 0).firstCursorPosition().block().text(), "Monday");
    EXPECT_EQ(formatAt(*d, "fine").fontWeight(), QFont::Bold);
    // One picture: the PNG; the metafile fallback is skipped.
    EXPECT_EQ(text.count(QChar::ObjectReplacementCharacter), 1);
    EXPECT_TRUE(text.endsWith(QString("Picture: ") + QChar::ObjectReplacementCharacter));
}

TEST(RtfSamples, LibreOffice)
{
    auto d = sample("libreoffice.rtf");
    EXPECT_EQ(
        blocks(*d),
        QString::fromUtf8(
            "Centred bold|Plain italic red struck|Link: https://libreoffice.org/|Chinese: 中文"));
    EXPECT_EQ(blockNumber(*d, 0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(formatAt(*d, "Centred").fontWeight(), QFont::Bold);
    EXPECT_EQ(family(formatAt(*d, "Plain")), "Liberation Serif");
    EXPECT_TRUE(formatAt(*d, "italic").fontItalic());
    EXPECT_EQ(formatAt(*d, "red s").foreground().color(), QColor(201, 33, 30));
    EXPECT_TRUE(formatAt(*d, "struck").fontStrikeOut());
    EXPECT_EQ(formatAt(*d, "https").anchorHref(), "https://libreoffice.org/");
}

TEST(RtfSamples, MacTextEdit)
{
    auto d = sample("textedit_mac.rtf");
    // A backslash before the line end is a paragraph.
    EXPECT_EQ(blocks(*d),
              QString::fromUtf8("Café notes – Tuesday||Bold line|Red text|centred code"));
    EXPECT_EQ(family(formatAt(*d, "Caf")), "Helvetica");
    EXPECT_EQ(formatAt(*d, "Bold line").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(*d, "Red").foreground().color(), QColor(251, 2, 7));
    EXPECT_EQ(blockNumber(*d, 4).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
}

TEST(RtfSamples, RussianAndJapaneseCodePages)
{
    auto ru = sample("russian_cp1251.rtf");
    EXPECT_EQ(blocks(*ru), QString::fromUtf8("Привет, дневник!|Сегодня хороший день."));
    // {\*\fname} names the real font.
    EXPECT_EQ(family(formatAt(*ru, QString::fromUtf8("Привет"))), "Arial");
    EXPECT_EQ(formatAt(*ru, QString::fromUtf8("хороший")).fontWeight(), QFont::Bold);

    auto ja = sample("japanese_cp932.rtf");
    EXPECT_EQ(blocks(*ja), QString::fromUtf8("日記 ソフトok アル"));
    EXPECT_EQ(family(formatAt(*ja, QString::fromUtf8("日記"))),
              QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(family(formatAt(*ja, "ok")), "Arial");
}

TEST(RtfSamples, DamagedFilesLoadWhatCanBeRead)
{
    auto truncated = sample("damaged_truncated.rtf");
    EXPECT_EQ(blocks(*truncated), QString::fromUtf8("First paragraph survives.|Second red é"));
    EXPECT_EQ(formatAt(*truncated, "red").foreground().color(), QColor(255, 0, 0));
    auto binary = sample("damaged_binary.rtf");
    EXPECT_TRUE(binary->toPlainText().startsWith("kept")) << binary->toPlainText().toStdString();
}
