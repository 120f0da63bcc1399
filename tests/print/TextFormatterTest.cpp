#include "PrintFixture.h"

#include "print/TextFormatter.h"

namespace {

constexpr int BodyWidth = 6 * 1440; // twips
constexpr int Tall = 100 * 1440;

} // namespace

TEST_F(PrintTest, FormatRangeCutsAtLinesAndReportsWhatFitted)
{
    auto doc = numberedLines(10); // "L0001" and its break: six positions a line
    auto printer = pdfPrinter("unused.pdf");
    TTextFormatter formatter(*doc, *printer);
    EXPECT_EQ(formatter.textLength(), 59);

    // Everything fits: -1, and the bottom rises to the text's bottom.
    QRect all(0, 0, BodyWidth, Tall);
    EXPECT_EQ(formatter.formatRange(nullptr, 0, -1, all), -1);
    const int lineHeight = all.height() / 10;
    EXPECT_GT(lineHeight, 200); // a 12-point line is 240 twips give or take the leading
    EXPECT_NEAR(all.height(), 10 * lineHeight, 10);

    // Room for three lines and a half: the fourth line is the first that did not fit.
    QRect three(0, 0, BodyWidth, lineHeight * 7 / 2);
    EXPECT_EQ(formatter.formatRange(nullptr, 0, -1, three), 18);
    EXPECT_NEAR(three.height(), 3 * lineHeight, 2);
    // The height handed back takes the same lines again.
    QRect again = three;
    EXPECT_EQ(formatter.formatRange(nullptr, 0, -1, again), 18);
    EXPECT_EQ(again, three);

    // The range's end stops the layout after the line holding it.
    QRect bounded(0, 0, BodyWidth, Tall);
    EXPECT_EQ(formatter.formatRange(nullptr, 6, 13, bounded), 18);
    EXPECT_NEAR(bounded.height(), 2 * lineHeight, 2);

    // From the middle to the end; past the end nothing is laid out.
    QRect rest(0, 0, BodyWidth, Tall);
    EXPECT_EQ(formatter.formatRange(nullptr, 54, -1, rest), -1);
    EXPECT_NEAR(rest.height(), lineHeight, 2);
    QRect none(0, 0, BodyWidth, Tall);
    EXPECT_EQ(formatter.formatRange(nullptr, 500, -1, none), -1);
    EXPECT_EQ(none.height(), 0);

    // Less than a line: nothing fits, the start comes back.
    QRect sliver(0, 0, BodyWidth, lineHeight / 2);
    EXPECT_EQ(formatter.formatRange(nullptr, 6, -1, sliver), 6);
    EXPECT_EQ(sliver.height(), 0);
}

TEST_F(PrintTest, FormatRangeWrapsToTheAreasWidth)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QTextCursor(doc.get()).insertText(QString("word ").repeated(200).trimmed());
    auto printer = pdfPrinter("unused.pdf");
    TTextFormatter formatter(*doc, *printer);

    QRect wide(0, 0, BodyWidth, Tall);
    formatter.formatRange(nullptr, 0, -1, wide);
    QRect narrow(0, 0, BodyWidth / 2, Tall);
    formatter.formatRange(nullptr, 0, -1, narrow);
    EXPECT_GT(narrow.height(), wide.height() * 3 / 2);

    // After the cache is cleared the text is laid out again, with the same result.
    formatter.clearCache();
    QRect fresh(0, 0, BodyWidth / 2, Tall);
    formatter.formatRange(nullptr, 0, -1, fresh);
    EXPECT_EQ(fresh, narrow);
}
