#include "app/CurrentPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>

TCurrentPrinter::TCurrentPrinter(QObject* parent)
    : QObject(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

TCurrentPrinter::~TCurrentPrinter() = default;

bool TCurrentPrinter::anyPrinterInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QPrinter* TCurrentPrinter::printerForPrintingAtOnce()
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (installed.isEmpty())
        return nullptr;
    if (m_printer->outputFormat() != QPrinter::NativeFormat ||
        !m_printer->outputFileName().isEmpty()) {
        m_printer->setOutputFileName(QString());
        m_printer->setOutputFormat(QPrinter::NativeFormat);
    }
    // The printer picked in the dialog may have been removed since.
    if (!installed.contains(m_printer->printerName())) {
        const QString fallback = QPrinterInfo::defaultPrinterName();
        m_printer->setPrinterName(fallback.isEmpty() ? installed.first() : fallback);
    }
    return m_printer.get();
}
