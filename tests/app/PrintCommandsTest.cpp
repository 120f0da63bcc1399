#include "AppFixture.h"
#include "print/PdfReader.h"

#include <QAction>
#include <QDir>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// Lines "L001", "L002", ...: about three pages with the default margins on letter or A4 paper.
QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("L%1").arg(i, 3, 10, QLatin1Char('0'));
    return lines.join(QLatin1Char('\n'));
}

struct TDialogSeen
{
    int from = 0, to = 0, min = 0, max = 0;
    QPrintDialog::PrintDialogOptions options;
};

// Answers the print dialog as a user printing to a PDF file would: all pages, or the range
// from..to when from > 0. Keeps what the dialog offered.
std::function<int(QDialog&)> printToFile(const QString& pdf, TDialogSeen* seen, int from = 0,
                                         int to = 0)
{
    return [=](QDialog& d) {
        auto& dialog = dynamic_cast<QPrintDialog&>(d);
        *seen = {dialog.fromPage(), dialog.toPage(), dialog.minPage(), dialog.maxPage(),
                 dialog.options()};
        dialog.printer()->setOutputFileName(pdf);
        if (from > 0) {
            dialog.setPrintRange(QAbstractPrintDialog::PageRange);
            dialog.setFromTo(from, to);
        } else {
            dialog.setPrintRange(QAbstractPrintDialog::AllPages);
        }
        return int(QDialog::Accepted);
    };
}

} // namespace

class PrintCommandsTest : public AppFixture
{
protected:
    void SetUp() override { QDir().mkpath(docs("Backup")); }

    TFormMain& startWithMargins()
    {
        start();
        form->LeftMargin = form->RightMargin = form->TopMargin = form->BottomMargin = 1;
        form->PrintTabNameInHeader = form->PrintPageNumberInFooter = true;
        return *form;
    }

    QString pdf(const QString& name) const { return temp.filePath(name); }
    QString longDate() const { return QLocale().toString(clock.date(), QLocale::LongFormat); }
};

TEST_F(PrintCommandsTest, PrintDialogPrintsTheChosenRangeToAFile)
{
    startWithMargins();
    EXPECT_EQ(form->command("FilePrint")->shortcut(), QKeySequence("Ctrl+P"));
    editor().setPlainText(numberedLines(120));

    TDialogSeen seen;
    prompter.dialogs.push_back(printToFile(pdf("range.pdf"), &seen, 2, 3));
    form->command("FilePrint")->trigger();
    ASSERT_TRUE(prompter.texts("error").isEmpty())
        << prompter.texts("error").join("\n").toStdString();
    ASSERT_EQ(seen.max, 3) << "the document should fill three pages";
    EXPECT_EQ(seen.min, 1);
    EXPECT_EQ(seen.from, 1);
    EXPECT_EQ(seen.to, 3);
    EXPECT_TRUE(seen.options.testFlag(QAbstractPrintDialog::PrintToFile));
    EXPECT_TRUE(seen.options.testFlag(QAbstractPrintDialog::PrintPageRange));
    EXPECT_FALSE(seen.options.testFlag(QAbstractPrintDialog::PrintSelection));

    QStringList pages = pdfPages(pdf("range.pdf"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Page 2"));
    EXPECT_TRUE(pages[1].contains("Page 3"));
    EXPECT_TRUE(pages[1].contains("L120"));
    EXPECT_FALSE(pages.join("").contains("L001"));

    // The next print offers the whole document again, however the last one ended; the printer
    // keeps the range choice, the text counts afresh.
    editor().setPlainText(numberedLines(3));
    prompter.dialogs.push_back(printToFile(pdf("short.pdf"), &seen));
    form->command("FilePrint")->trigger();
    EXPECT_EQ(seen.from, 1);
    EXPECT_EQ(seen.to, 1);
    EXPECT_EQ(seen.max, 1);
    pages = pdfPages(pdf("short.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("L003"));

    // Cancelling prints nothing.
    prompter.dialogs.push_back([](QDialog& d) {
        dynamic_cast<QPrintDialog&>(d).printer()->setOutputFileName(QString());
        return int(QDialog::Rejected);
    });
    form->command("FilePrint")->trigger();
    EXPECT_TRUE(prompter.texts("error").isEmpty());
}

TEST_F(PrintCommandsTest, HeaderNamesTheTabAndTheDiaryDate)
{
    startWithMargins();
    type("Today was long");
    TDialogSeen seen;
    prompter.dialogs.push_back(printToFile(pdf("diary.pdf"), &seen));
    form->command("FilePrint")->trigger();
    QStringList pages = pdfPages(pdf("diary.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].simplified().contains("Diary - " + longDate().simplified()))
        << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains("Today was long"));
    EXPECT_TRUE(pages[0].contains("Page 1"));
    EXPECT_EQ(pdfTitle(pdf("diary.pdf")), "Tarvex's Diary - Diary - " + longDate());

    // A keyword tab: just its name on the page, the date still in the job's title.
    form->OpenKeywordTab("Recipes");
    type("Bread: flour, water, salt");
    prompter.dialogs.push_back(printToFile(pdf("recipes.pdf"), &seen));
    form->command("FilePrint")->trigger();
    pages = pdfPages(pdf("recipes.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("Recipes"));
    EXPECT_FALSE(pages[0].contains("Diary"));
    EXPECT_FALSE(pages[0].simplified().contains(longDate().simplified()));
    EXPECT_TRUE(pages[0].contains("Bread: flour, water, salt"));
    EXPECT_EQ(pdfTitle(pdf("recipes.pdf")), "Tarvex's Diary - Recipes - " + longDate());

    // Both switches off: the body alone.
    form->PrintTabNameInHeader = form->PrintPageNumberInFooter = false;
    prompter.dialogs.push_back(printToFile(pdf("bare.pdf"), &seen));
    form->command("FilePrint")->trigger();
    pages = pdfPages(pdf("bare.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].simplified(), "Bread: flour, water, salt");
}

TEST_F(PrintCommandsTest, PrintingAtOnceWithoutAPrinterSaysSo)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed here";
    startWithMargins();
    type("nothing to print on");
    form->command("FilePrintImmediately")->trigger();
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("No printer is available")) << errors[0].toStdString();
    EXPECT_TRUE(prompter.texts("dialog").isEmpty());

    // The dialog still prints to a file, and printing at once afterwards does not write that
    // file again behind the user's back.
    TDialogSeen seen;
    prompter.dialogs.push_back(printToFile(pdf("chosen.pdf"), &seen));
    form->command("FilePrint")->trigger();
    ASSERT_TRUE(QFile::exists(pdf("chosen.pdf")));
    QFile::remove(pdf("chosen.pdf"));
    prompter.clear();
    form->command("FilePrintImmediately")->trigger();
    EXPECT_EQ(prompter.texts("error").size(), 1);
    EXPECT_FALSE(QFile::exists(pdf("chosen.pdf")));
}

TEST_F(PrintCommandsTest, MarginsWithoutRoomNameThemAndPrintNothing)
{
    startWithMargins();
    type("squeezed");
    form->TopMargin = 6;
    form->BottomMargin = 6; // 12 inches: more than any letter or A4 sheet is high
    TDialogSeen seen;
    prompter.dialogs.push_back(printToFile(pdf("none.pdf"), &seen));
    form->command("FilePrint")->trigger();
    QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("top 6")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("bottom 6"));
    EXPECT_TRUE(prompter.texts("dialog").isEmpty()) << "no dialog for a print that cannot be";
    EXPECT_FALSE(QFile::exists(pdf("none.pdf")));

    // Too wide a sum left and right says the same, naming those.
    prompter.clear();
    form->TopMargin = form->BottomMargin = 1;
    form->LeftMargin = 5;
    form->RightMargin = 4;
    form->command("FilePrint")->trigger();
    errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("left 5, right 4")) << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(pdf("none.pdf")));
}

TEST_F(PrintCommandsTest, NegativeMarginsPrintAsNoneAndStayAsTyped)
{
    startWithMargins();
    type("edge to edge");
    form->LeftMargin = -1;
    form->TopMargin = -3;
    TDialogSeen seen;
    prompter.dialogs.push_back(printToFile(pdf("edge.pdf"), &seen));
    form->command("FilePrint")->trigger();
    EXPECT_TRUE(prompter.texts("error").isEmpty())
        << prompter.texts("error").join("\n").toStdString();
    const QStringList pages = pdfPages(pdf("edge.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("edge to edge"));
    EXPECT_EQ(form->LeftMargin, -1);
    EXPECT_EQ(form->TopMargin, -3);
}
