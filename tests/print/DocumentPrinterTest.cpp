#include "PdfReader.h"
#include "PrintFixture.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QTextBlockFormat>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextListFormat>
#include <QUrl>

namespace {

// The first word of the given text on the page, or an empty box.
QRectF boxOf(const QList<TPdfWord>& words, int page, const QString& text)
{
    for (const TPdfWord& w : words)
        if (w.Page == page && w.Text == text)
            return w.Box;
    return {};
}

int pageCount(const QString& pdf)
{
    return int(pdfPages(pdf).size());
}

} // namespace

TEST_F(PrintTest, EmptyDocumentPrintsOnePageWithHeaderAndFooter)
{
    QTextDocument doc;
    auto printer = pdfPrinter("empty.pdf");
    TDocumentPrinter p(doc, *printer, options("Recipes"));
    const QList<tagTPageOffset> pages = p.PaginateDocument();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].FirstChar, 0);
    EXPECT_EQ(pages[0].LastChar, -1);

    p.PrintPages(0);
    const QStringList text = pdfPages(path("empty.pdf"));
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(text[0].simplified(), "Recipes Page 1");
}

TEST_F(PrintTest, PrintsTheChosenRangeOfPages)
{
    auto doc = numberedLines(120);
    auto measuring = pdfPrinter("unused.pdf");
    ASSERT_EQ(TDocumentPrinter(*doc, *measuring, options()).PaginateDocument().size(), 3)
        << "the document should fill three pages";

    // Pages 2 to 3: two sheets, numbered as in the document, and page 1's text is not on them.
    auto printer = pdfPrinter("range.pdf");
    TDocumentPrinter(*doc, *printer, options()).PrintPages(1, 2);
    QStringList text = pdfPages(path("range.pdf"));
    ASSERT_EQ(text.size(), 2);
    EXPECT_TRUE(text[0].contains("Page 2"));
    EXPECT_TRUE(text[1].contains("Page 3"));
    EXPECT_FALSE(text.join("").contains("L0001"));
    EXPECT_FALSE(text.join("").contains("Page 1"));
    EXPECT_TRUE(text[1].contains("L0120"));

    printer = pdfPrinter("first.pdf");
    TDocumentPrinter(*doc, *printer, options()).PrintPages(0, 0);
    text = pdfPages(path("first.pdf"));
    ASSERT_EQ(text.size(), 1);
    EXPECT_TRUE(text[0].contains("L0001"));
    EXPECT_TRUE(text[0].contains("Page 1"));

    // Printing at once: every page, the first numbered 1.
    printer = pdfPrinter("all.pdf");
    TDocumentPrinter(*doc, *printer, options()).PrintPages(0);
    text = pdfPages(path("all.pdf"));
    ASSERT_EQ(text.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(text[i].contains(QStringLiteral("Page %1").arg(i + 1))) << i;

    // A range counted on another printer stops at the last page this one has.
    printer = pdfPrinter("beyond.pdf");
    TDocumentPrinter(*doc, *printer, options()).PrintPages(1, 9);
    EXPECT_EQ(pageCount(path("beyond.pdf")), 2);

    // A range starting past the end prints nothing at all.
    printer = pdfPrinter("past.pdf");
    EXPECT_THROW(TDocumentPrinter(*doc, *printer, options()).PrintPages(5, 6), TPrintError);
    EXPECT_FALSE(QFile::exists(path("past.pdf")));
}

TEST_F(PrintTest, HeaderNamesTheTabAndTheDiaryDate)
{
    const QDate date(2024, 3, 5);
    const QString longDate = QLocale().toString(date, QLocale::LongFormat);
    EXPECT_EQ(PageHeaderText("Diary", date), "Diary - " + longDate);
    EXPECT_EQ(PageHeaderText("Recipes", date), "Recipes");
    EXPECT_EQ(PageHeaderText("diary", date), "diary"); // only the Diary tab itself
    EXPECT_EQ(PrintJobTitle("Tarvex's Diary", "Recipes", date),
              "Tarvex's Diary - Recipes - " + longDate);

    auto doc = numberedLines(60);
    auto printer = pdfPrinter("diary.pdf");
    TPrintOptions o = options();
    o.PageHeaderText = PageHeaderText("Diary", date);
    o.PrintJobTitle = PrintJobTitle("Tarvex's Diary", "Diary", date);
    TDocumentPrinter(*doc, *printer, o).PrintPages(0);
    const QStringList text = pdfPages(path("diary.pdf"));
    ASSERT_EQ(text.size(), 2);
    for (const QString& page : text)
        EXPECT_TRUE(page.simplified().contains(o.PageHeaderText.simplified()))
            << page.toStdString();
    EXPECT_EQ(pdfTitle(path("diary.pdf")), o.PrintJobTitle);
}

TEST_F(PrintTest, SwitchesLeaveOutHeaderAndFooterButNotTheBody)
{
    auto doc = numberedLines(5);
    auto printer = pdfPrinter("on.pdf");
    TDocumentPrinter(*doc, *printer, options("Recipes")).PrintPages(0);

    TPrintOptions off = options("Recipes");
    off.PrintTabNameInHeader = false;
    off.PrintPageNumberInFooter = false;
    printer = pdfPrinter("off.pdf");
    TDocumentPrinter(*doc, *printer, off).PrintPages(0);

    const QStringList text = pdfPages(path("off.pdf"));
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(text[0].simplified(), "L0001 L0002 L0003 L0004 L0005");
    const QRectF on = boxOf(pdfWords(path("on.pdf")), 0, "L0001");
    ASSERT_FALSE(on.isNull());
    EXPECT_EQ(boxOf(pdfWords(path("off.pdf")), 0, "L0001"), on);
}

TEST_F(PrintTest, EveryCharacterIsPrintedExactlyOnce)
{
    // Short lines, then one paragraph long enough to be cut by page breaks, then more short
    // lines, the last without a line break after it.
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QTextCursor cursor(doc.get());
    QStringList expected;
    auto line = [&](const QString& word, bool lastOne = false) {
        expected << word;
        cursor.insertText(lastOne ? word : word + '\n');
    };
    for (int i = 1; i <= 70; ++i)
        line(QStringLiteral("A%1").arg(i, 4, 10, QLatin1Char('0')));
    QString paragraph;
    for (int i = 1; i <= 1500; ++i) {
        const QString word = QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0'));
        expected << word;
        paragraph += word + ' ';
    }
    cursor.insertText(paragraph.trimmed() + '\n');
    const int paragraphEnd = cursor.position();
    // A numbered item cut by a page break: its number belongs to its first page only.
    const int itemStart = cursor.position();
    cursor.createList(QTextListFormat::ListDecimal);
    expected << "1.";
    for (int i = 1; i <= 500; ++i) {
        const QString word = QStringLiteral("Q%1").arg(i, 4, 10, QLatin1Char('0'));
        expected << word;
        cursor.insertText(word + ' ');
    }
    const int itemEnd = cursor.position();
    cursor.insertBlock(QTextBlockFormat());
    for (int i = 1; i <= 80; ++i)
        line(QStringLiteral("Z%1").arg(i, 4, 10, QLatin1Char('0')), i == 80);

    auto printer = pdfPrinter("once.pdf");
    TPrintOptions o = options();
    o.PrintTabNameInHeader = o.PrintPageNumberInFooter = false;
    TDocumentPrinter p(*doc, *printer, o);
    const QList<tagTPageOffset> pages = p.PaginateDocument();
    ASSERT_GE(pages.size(), 4);
    EXPECT_EQ(pages.first().FirstChar, 0);
    EXPECT_EQ(pages.last().LastChar, doc->characterCount() - 2);
    bool paragraphCut = false, itemCut = false;
    for (qsizetype i = 1; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].FirstChar, pages[i - 1].LastChar + 1) << i;
        paragraphCut |= pages[i].FirstChar > 70 * 6 && pages[i].FirstChar < paragraphEnd;
        itemCut |= pages[i].FirstChar > itemStart && pages[i].FirstChar < itemEnd;
    }
    ASSERT_TRUE(paragraphCut && itemCut) << "the long paragraphs should cross page breaks";

    p.PrintPages(0);
    QHash<QString, int> seen;
    int lastPage = -1;
    for (const TPdfWord& w : pdfWords(path("once.pdf"))) {
        ++seen[w.Text];
        lastPage = qMax(lastPage, w.Page);
    }
    EXPECT_EQ(lastPage + 1, pages.size());
    EXPECT_EQ(seen.size(), expected.size());
    for (const QString& word : expected)
        EXPECT_EQ(seen.value(word), 1) << word.toStdString();
}

TEST_F(PrintTest, PlacesHeaderBodyAndFooterOnTheSheet)
{
    auto doc = numberedLines(100);
    TPrintOptions o = options("Recipes");
    o.TopMargin = 2;
    o.BottomMargin = 1;
    const double tolerance = 1.5; // points; poppler and Qt read the font's ascent differently

    // The printable area covers the sheet: header top 1 inch down, footer top 10 inches down,
    // body from 2 inches down to at most 1 inch above the bottom edge (11 inches).
    auto printer = pdfPrinter("sheet.pdf");
    TDocumentPrinter(*doc, *printer, o).PrintPages(0, 0);
    QList<TPdfWord> words = pdfWords(path("sheet.pdf"));
    QRectF header = boxOf(words, 0, "Recipes");
    QRectF footer = boxOf(words, 0, "Page");
    QRectF body = boxOf(words, 0, "L0001");
    EXPECT_NEAR(header.top(), 72, tolerance);
    EXPECT_NEAR(header.left(), 72, tolerance);
    EXPECT_NEAR(footer.top(), 720, tolerance);
    EXPECT_NEAR(body.top(), 144, tolerance);
    EXPECT_NEAR(body.left(), 72, tolerance);
    double bodyBottom = 0;
    for (const TPdfWord& w : words)
        if (w.Text.startsWith('L'))
            bodyBottom = qMax(bodyBottom, w.Box.bottom());
    EXPECT_LE(bodyBottom, 720 + tolerance);
    EXPECT_GE(bodyBottom, 720 - 2 * body.height()); // the page is filled, not cut short

    // A printer that cannot print the outer half inch: header and footer move with its
    // printable area, the body stays where the margins put it on the sheet.
    printer = pdfPrinter("offset.pdf", 0.5);
    TDocumentPrinter(*doc, *printer, o).PrintPages(0, 0);
    words = pdfWords(path("offset.pdf"));
    header = boxOf(words, 0, "Recipes");
    footer = boxOf(words, 0, "Page");
    body = boxOf(words, 0, "L0001");
    EXPECT_NEAR(header.top(), 36 + 72, tolerance);
    EXPECT_NEAR(header.left(), 36 + 72, tolerance);
    EXPECT_NEAR(footer.top(), 36 + 720, tolerance);
    EXPECT_NEAR(body.top(), 144, tolerance);
    EXPECT_NEAR(body.left(), 72, tolerance);
}

TEST_F(PrintTest, MarginsWithoutRoomStopBeforeAnythingIsPrinted)
{
    auto doc = numberedLines(10);
    auto expectRefused = [&](TPrintOptions o, const std::string& mentions) {
        auto printer = pdfPrinter("refused.pdf");
        TDocumentPrinter p(*doc, *printer, o);
        try {
            p.PrintPages(0);
            ADD_FAILURE() << "printed with margins " << mentions;
        } catch (const TPrintError& e) {
            EXPECT_NE(std::string(e.what()).find(mentions), std::string::npos) << e.what();
        }
        EXPECT_THROW(p.PaginateDocument(), TPrintError);
        EXPECT_FALSE(QFile::exists(path("refused.pdf")));
    };
    TPrintOptions o = options();
    o.TopMargin = 6;
    o.BottomMargin = 5; // together the sheet's height
    expectRefused(o, "top 6, bottom 5");
    o = options();
    o.LeftMargin = 5;
    o.RightMargin = 4;
    expectRefused(o, "left 5, right 4");
    o = options();
    o.TopMargin = -1; // counts as none, which leaves no more room with this bottom margin
    o.BottomMargin = 11;
    expectRefused(o, "top -1, bottom 11");
}

TEST_F(PrintTest, NegativeMarginsPrintAsNone)
{
    auto doc = numberedLines(5);
    TPrintOptions none = options();
    none.LeftMargin = none.TopMargin = 0;
    auto printer = pdfPrinter("none.pdf");
    TDocumentPrinter(*doc, *printer, none).PrintPages(0);

    TPrintOptions negative = options();
    negative.LeftMargin = -2;
    negative.TopMargin = -1;
    printer = pdfPrinter("negative.pdf");
    TDocumentPrinter p(*doc, *printer, negative);
    ASSERT_NO_THROW(p.PrintPages(0));
    const QList<TPdfWord> words = pdfWords(path("negative.pdf"));
    const QList<TPdfWord> expected = pdfWords(path("none.pdf"));
    ASSERT_EQ(words.size(), expected.size());
    for (qsizetype i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i].Text, expected[i].Text);
        EXPECT_EQ(words[i].Box, expected[i].Box) << words[i].Text.toStdString();
    }
    const QRectF body = boxOf(words, 0, "L0001");
    EXPECT_NEAR(body.left(), 0, 1.5);
    EXPECT_NEAR(body.top(), 0, 1.5);
}

TEST_F(PrintTest, APictureTallerThanTheBodyIsPrintedAsHighAsTheBody)
{
    // A picture 4 by 20 inches between two lines, and one 20 by 2 inches after them.
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QImage tall(400, 2000, QImage::Format_RGB32);
    tall.fill(Qt::darkBlue);
    QImage wide(2000, 200, QImage::Format_RGB32);
    wide.fill(Qt::darkRed);
    doc->addResource(QTextDocument::ImageResource, QUrl("tall.png"), tall);
    doc->addResource(QTextDocument::ImageResource, QUrl("wide.png"), wide);
    QTextCursor cursor(doc.get());
    cursor.insertText("Before\n");
    QTextImageFormat picture;
    picture.setName("tall.png");
    picture.setWidth(4 * 96); // the layout's units: 96 a screen inch
    picture.setHeight(20 * 96);
    cursor.insertImage(picture);
    cursor.insertText("\nBetween\n");
    picture.setName("wide.png");
    picture.setWidth(20 * 96);
    picture.setHeight(2 * 96);
    cursor.insertImage(picture);
    cursor.insertText("\nAfter");

    auto printer = pdfPrinter("pictures.pdf");
    TPrintOptions o = options();
    o.PrintTabNameInHeader = o.PrintPageNumberInFooter = false;
    TDocumentPrinter p(*doc, *printer, o);
    QList<tagTPageOffset> pages;
    ASSERT_NO_THROW(pages = p.PaginateDocument());
    EXPECT_EQ(pages.size(), 3) << "one page before the picture, one for it, one after";
    p.PrintPages(0);
    const QStringList text = pdfPages(path("pictures.pdf"));
    ASSERT_EQ(text.size(), 3);
    EXPECT_EQ(text[0].simplified(), "Before");
    EXPECT_EQ(text[1].simplified(), "");
    EXPECT_EQ(text[2].simplified(), "Between After");

    // Letter with one-inch margins: the body is 6.5 by 9 inches. Each picture is as large as
    // that allows, keeping its proportions. (The sizes are read back through whole pixels per
    // inch, so they are a few hundredths of an inch off either way.)
    const QList<TPdfImage> images = pdfImages(path("pictures.pdf"));
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].Page, 1);
    EXPECT_LE(images[0].SizeInches.height(), 9.05);
    EXPECT_GE(images[0].SizeInches.height(), 8.5) << "as high as the body less its line's descent";
    EXPECT_NEAR(images[0].SizeInches.width() / images[0].SizeInches.height(), 0.2, 0.01);
    EXPECT_EQ(images[1].Page, 2);
    EXPECT_NEAR(images[1].SizeInches.width(), 6.5, 0.02);
    EXPECT_NEAR(images[1].SizeInches.height(), 0.65, 0.02);

    // The editor's document keeps its pictures' sizes.
    QTextCursor first(doc.get());
    first.setPosition(8);
    EXPECT_DOUBLE_EQ(first.charFormat().toImageFormat().height(), 20 * 96);
}

TEST_F(PrintTest, ALineTallerThanTheBodyIsCutAcrossPages)
{
    // One inch of body, and a line of 150-point type between two short ones.
    auto doc = numberedLines(1, true);
    QTextCursor cursor(doc.get());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat huge;
    huge.setFontPointSize(150);
    cursor.insertText("Huge", huge);
    cursor.insertText("\nL0002", QTextCharFormat());
    TPrintOptions o = options();
    o.TopMargin = o.BottomMargin = 5;
    o.PrintTabNameInHeader = o.PrintPageNumberInFooter = false;
    auto printer = pdfPrinter("cut.pdf");
    TDocumentPrinter p(*doc, *printer, o);
    QList<tagTPageOffset> pages;
    ASSERT_NO_THROW(pages = p.PaginateDocument());
    ASSERT_GE(pages.size(), 4);
    // Page 1 holds the first line; the huge one starts page 2 and goes on over the next ones,
    // each taking the body's height of it, until the rest of it and the last line.
    const int hugeStart = 6, hugeEnd = 9;
    EXPECT_EQ(pages[0].LastChar, hugeStart - 1);
    int slices = 0;
    for (qsizetype i = 1; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].FirstChar, hugeStart) << i;
        EXPECT_EQ(pages[i].LineOffset, (i - 1) * 1440) << i;
        if (i + 1 < pages.size()) {
            EXPECT_EQ(pages[i].LastChar, hugeEnd) << i;
            EXPECT_EQ(pages[i].TextArea.height(), 1440) << i;
            ++slices;
        }
    }
    EXPECT_GE(slices, 2) << "150 points are more than two inches";
    EXPECT_EQ(pages.last().LastChar, doc->characterCount() - 2);

    p.PrintPages(0);
    const QStringList text = pdfPages(path("cut.pdf"));
    ASSERT_EQ(text.size(), pages.size());
    EXPECT_TRUE(text[0].contains("L0001"));
    EXPECT_TRUE(text.last().contains("L0002"));
    // Every page showing a slice of the huge line has ink in its body, and only there.
    for (qsizetype i = 1; i < pages.size(); ++i) {
        const QImage sheet = pdfPageImage(path("cut.pdf"), int(i), 30);
        ASSERT_FALSE(sheet.isNull());
        const int bodyTop = 5 * 30, bodyBottom = sheet.height() - 5 * 30;
        int inside = 0, outside = 0;
        for (int y = 0; y < sheet.height(); ++y)
            for (int x = 0; x < sheet.width(); ++x)
                if (qGray(sheet.pixel(x, y)) < 128)
                    ++(y >= bodyTop - 1 && y <= bodyBottom ? inside : outside);
        EXPECT_GT(inside, 50) << "page " << i + 1;
        EXPECT_EQ(outside, 0) << "page " << i + 1;
    }
}

TEST_F(PrintTest, LeavesTheEditorsDocumentAsItWas)
{
    auto doc = numberedLines(80);
    doc->setDocumentMargin(4);
    const QString before = doc->toHtml();
    const int revision = doc->revision();
    auto printer = pdfPrinter("untouched.pdf");
    TDocumentPrinter(*doc, *printer, options()).PrintPages(0);
    EXPECT_EQ(doc->toHtml(), before);
    EXPECT_EQ(doc->revision(), revision);
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->documentMargin(), 4);
    EXPECT_EQ(pageCount(path("untouched.pdf")), 2);
}
