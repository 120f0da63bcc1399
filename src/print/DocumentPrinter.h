#pragma once

#include "print/PageOffset.h"
#include "print/PrintTexts.h"

#include <QList>
#include <QString>

#include <memory>
#include <stdexcept>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QTextDocument;
class TTextFormatter;

struct TPrintOptions
{
    int LeftMargin = 1, RightMargin = 1, TopMargin = 1, BottomMargin = 1; // whole inches
    bool PrintTabNameInHeader = true, PrintPageNumberInFooter = true;
    QString PageHeaderText; // built by the caller
    QString PrintJobTitle;  // built by the caller
};

class TPrintError : public std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Cuts the document into pages for the printer and prints a range of them with the header
// and footer. Both passes lay the text out anew, since the printer may have changed between.
class TDocumentPrinter
{
public:
    TDocumentPrinter(const QTextDocument& document, QPrinter& printer, TPrintOptions options);
    ~TDocumentPrinter();
    TDocumentPrinter(const TDocumentPrinter&) = delete;
    TDocumentPrinter& operator=(const TDocumentPrinter&) = delete;

    // Never empty: an empty document still has its one page. Throws TPrintError when the
    // margins leave no room on the sheet at all. Negative margins count as 0. A picture taller
    // than the body is printed as high as the body, a line still taller over several pages.
    QList<tagTPageOffset> PaginateDocument();

    // Prints pages first..last (indexes from 0; -1: the last page). A range running past the
    // pages measured on this printer stops at the last of them. Throws TPrintError before
    // anything is printed when the range or the margins cannot be printed, or the printer
    // cannot be opened.
    void PrintPages(int first, int last = -1);

private:
    QPrinter& m_printer;
    TPrintOptions m_options;
    std::unique_ptr<TTextFormatter> m_formatter;
};

// Lays documents out one after another on the pages of one paged device (a printer, a PDF
// writer), each from a new page, as printing lays out one: the same body, header and footer,
// with page numbers running on across the documents.
class TPageSeries
{
public:
    // The device's page layout gives the sheet; options give the margins and the switches.
    TPageSeries(QPagedPaintDevice& device, TPrintOptions options);
    ~TPageSeries();
    TPageSeries(const TPageSeries&) = delete;
    TPageSeries& operator=(const TPageSeries&) = delete;

    // Adds every page of document, headed by headerText when the header is switched on.
    // Throws TPrintError when the margins leave no room or the device cannot be painted on.
    void addDocument(const QTextDocument& document, const QString& headerText);
    int pageCount() const { return m_pageCount; }
    // Ends the device's output; a series without a document still gets its one empty page.
    void finish();

private:
    QPagedPaintDevice& m_device;
    TPrintOptions m_options;
    std::unique_ptr<QPainter> m_painter;
    int m_pageCount = 0;
};
