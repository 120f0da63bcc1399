#include "app/TFormMain.h"

#include "app/CurrentPrinter.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "print/DocumentPrinter.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrinter>

void TFormMain::buildPrintCommands()
{
    makeCommand("FilePrint", &TFormMain::FilePrintExecute);
    makeCommand("FilePrintImmediately", &TFormMain::FilePrintImmediatelyExecute);
}

TCurrentPrinter& TFormMain::currentPrinter()
{
    // Looking for printers takes a moment; a session that never prints should not pay for it.
    if (!CurrentPrinter)
        CurrentPrinter = new TCurrentPrinter(this);
    return *CurrentPrinter;
}

TPrintOptions TFormMain::printOptions() const
{
    TPrintOptions options;
    options.LeftMargin = LeftMargin;
    options.RightMargin = RightMargin;
    options.TopMargin = TopMargin;
    options.BottomMargin = BottomMargin;
    options.PrintTabNameInHeader = PrintTabNameInHeader;
    options.PrintPageNumberInFooter = PrintPageNumberInFooter;
    const QString caption = selectedCaption();
    options.PageHeaderText = PageHeaderText(caption, Journal->CurrentDate);
    options.PrintJobTitle = PrintJobTitle(ProductName, caption, Journal->CurrentDate);
    return options;
}

void TFormMain::FilePrintExecute()
{
    PrintWithDialog();
}

void TFormMain::PrintWithDialog()
{
    QPrinter& printer = currentPrinter().printer();
    const TPrintOptions options = printOptions();
    TDocumentPrinter documentPrinter(*Editor->document(), printer, options);
    // Margins without room for a line stop here, before the dialog offers anything.
    const int pageCount = int(documentPrinter.PaginateDocument().size());

    // The dialog proposes a file named after the job when printing to a file.
    printer.setDocName(options.PrintJobTitle);
    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, pageCount);
    dialog.setFromTo(1, pageCount);
    if (prompter->execDialog(dialog) != QDialog::Accepted)
        return;
    if (dialog.printRange() == QAbstractPrintDialog::PageRange)
        documentPrinter.PrintPages(dialog.fromPage() - 1, dialog.toPage() - 1);
    else
        documentPrinter.PrintPages(0, pageCount - 1);
}

void TFormMain::FilePrintImmediatelyExecute()
{
    QPrinter* printer = currentPrinter().printerForPrintingAtOnce();
    if (!printer) {
        showError(QStringLiteral("No printer is available, so the document cannot be printed at "
                                 "once. \"Print...\" on the File menu can print it to a PDF "
                                 "file instead."));
        return;
    }
    TDocumentPrinter(*Editor->document(), *printer, printOptions()).PrintPages(0);
}
