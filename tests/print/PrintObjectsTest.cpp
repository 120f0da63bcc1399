#include "PdfReader.h"
#include "PrintFixture.h"

#include "rtf/RtfReader.h"

// Pictures and objects kept from RTF files print as the editor shows them: an object the
// program cannot draw as a box of its size saying what it is.
TEST_F(PrintTest, KeptObjectsPrintAsTheirPlaceholderAtTheirSize)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    // A metafile three inches wide and one high between two words.
    ASSERT_TRUE(ReadRtf("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}\\f0 Above\\par "
                        "{\\pict\\wmetafile8\\picwgoal4320\\pichgoal1440 "
                        "0100090000030c0000000000030000000000030000000000}\\par Below\\par}",
                        doc));
    auto printer = pdfPrinter("objects.pdf");
    TDocumentPrinter p(doc, *printer, options());
    p.PaginateDocument();
    p.PrintPages(0);
    const QList<TPdfWord> words = pdfWords(path("objects.pdf"));
    QRectF above, below, label;
    for (const TPdfWord& w : words) {
        if (w.Text == "Above")
            above = w.Box;
        else if (w.Text == "Below")
            below = w.Box;
        else if (w.Text == "Windows")
            label = w.Box;
    }
    ASSERT_FALSE(label.isNull()) << "the placeholder says \"Windows metafile\"";
    ASSERT_FALSE(above.isNull());
    ASSERT_FALSE(below.isNull());
    // The object takes its inch between the lines (PDF points: 72 an inch).
    EXPECT_GT(below.top() - above.bottom(), 70);
    EXPECT_LT(below.top() - above.bottom(), 90);
    EXPECT_GT(label.top(), above.bottom());
    EXPECT_LT(label.bottom(), below.top());
}
