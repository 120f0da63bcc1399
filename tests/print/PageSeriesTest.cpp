#include "PdfReader.h"
#include "PrintFixture.h"

#include <QPdfWriter>

namespace {

QList<TPdfWord> wordsOn(const QList<TPdfWord>& words, int page)
{
    QList<TPdfWord> on;
    for (const TPdfWord& w : words)
        if (w.Page == page)
            on << w;
    return on;
}

} // namespace

// A series on a PDF writer lays every page out as printing the same document does: the same
// words at the same places, whatever margins the writer itself was given.
TEST_F(PrintTest, SeriesOnAWriterLaysPagesOutAsPrintingDoes)
{
    auto doc = numberedLines(130);
    TPrintOptions o = options("Recipes");
    o.TopMargin = 2;
    auto printer = pdfPrinter("printed.pdf");
    TDocumentPrinter(*doc, *printer, o).PrintPages(0);

    QPdfWriter writer(path("series.pdf"));
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
    TPageSeries series(writer, o);
    series.addDocument(*doc, "Recipes");
    series.finish();
    const int pages = int(pdfPages(path("printed.pdf")).size());
    ASSERT_GE(pages, 3);
    EXPECT_EQ(series.pageCount(), pages);
    ASSERT_EQ(pdfPages(path("series.pdf")).size(), pages);

    const QList<TPdfWord> printed = pdfWords(path("printed.pdf"));
    const QList<TPdfWord> written = pdfWords(path("series.pdf"));
    for (int page = 0; page < pages; ++page) {
        const QList<TPdfWord> a = wordsOn(printed, page), b = wordsOn(written, page);
        ASSERT_EQ(a.size(), b.size()) << page;
        for (qsizetype i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].Text, b[i].Text);
            // Header and footer sit in the writer's printable area, as on a printer whose
            // area starts half an inch in; the body keeps its place on the sheet.
            const bool margin = a[i].Text == "Recipes" || a[i].Text == "Page" ||
                                a[i].Text == QString::number(page + 1);
            const double shift = margin ? 36 : 0;
            EXPECT_NEAR(a[i].Box.top() + shift, b[i].Box.top(), 1.0) << a[i].Text.toStdString();
            EXPECT_NEAR(a[i].Box.left() + shift, b[i].Box.left(), 1.0) << a[i].Text.toStdString();
        }
    }
}

// Documents follow one another from a new page each, with their own header, and the page
// numbers run on.
TEST_F(PrintTest, SeriesStartsEveryDocumentOnANewPageAndNumbersPagesOn)
{
    auto first = numberedLines(60);
    QTextDocument second;
    second.setPlainText("Second document");
    QTextDocument empty;

    QPdfWriter writer(path("two.pdf"));
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    TPageSeries series(writer, options());
    series.addDocument(*first, "One");
    series.addDocument(second, "Two");
    series.addDocument(empty, "Three");
    series.finish();

    const QStringList pages = pdfPages(path("two.pdf"));
    ASSERT_EQ(pages.size(), 4);
    EXPECT_TRUE(pages[0].contains("One") && pages[0].contains("Page 1"));
    EXPECT_TRUE(pages[1].contains("One") && pages[1].contains("L0060") &&
                pages[1].contains("Page 2"));
    EXPECT_FALSE(pages[1].contains("Second"));
    EXPECT_TRUE(pages[2].contains("Two") && pages[2].contains("Second document") &&
                pages[2].contains("Page 3"));
    EXPECT_TRUE(pages[3].contains("Three") && pages[3].contains("Page 4"))
        << "an empty document still has its page";
}
