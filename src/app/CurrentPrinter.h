#pragma once

#include <QObject>

#include <memory>

class QPrinter;

// The printer the window prints on: the one last chosen in the print dialog during this run,
// else the system's default. It lives as long as the window, so that what the dialog settled
// (printer, all pages or a range, the file) is offered again the next time.
class TCurrentPrinter : public QObject
{
public:
    explicit TCurrentPrinter(QObject* parent);
    ~TCurrentPrinter() override;

    // For the print dialog, and for measuring the pages it offers.
    QPrinter& printer() { return *m_printer; }

    // For printing without a dialog: always a real printer, never the file the dialog last
    // wrote to (printing again at once must not overwrite it unasked). Null when no printer
    // is installed at all.
    QPrinter* printerForPrintingAtOnce();

    static bool anyPrinterInstalled();

private:
    std::unique_ptr<QPrinter> m_printer;
};
