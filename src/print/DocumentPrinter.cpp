#include "print/DocumentPrinter.h"

#include "print/PrintGeometry.h"
#include "print/TextFormatter.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace {

// A margin below 0 would put the body off the sheet; it prints as none. The setting itself
// stays as the user typed it.
TMargins marginsOf(const TPrintOptions& options)
{
    return {qMax(options.LeftMargin, 0), qMax(options.RightMargin, 0), qMax(options.TopMargin, 0),
            qMax(options.BottomMargin, 0)};
}

QString marginsText(const TPrintOptions& o)
{
    return QStringLiteral("left %1, right %2, top %3, bottom %4 inches")
        .arg(o.LeftMargin)
        .arg(o.RightMargin)
        .arg(o.TopMargin)
        .arg(o.BottomMargin);
}

[[noreturn]] void throwNoRoom(const TPrintOptions& o)
{
    throw TPrintError(QStringLiteral("The print margins (%1) leave no room on the page for a "
                                     "line of text. Please make them smaller.")
                          .arg(marginsText(o))
                          .toStdString());
}

void checkMargins(const TPrintOptions& o, const TPageGeometry& g)
{
    if (g.LayoutRect.width() <= 0 || g.LayoutRect.height() <= 0)
        throwNoRoom(o);
}

// Places the text's top-left corner at pos; drawText itself wants the baseline.
void drawTextAt(QPainter& painter, QPoint pos, const QString& text)
{
    painter.drawText(QPointF(pos.x(), pos.y() + painter.fontMetrics().ascent()), text);
}

QString pagesText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(count);
}

// Cuts the formatter's text into pages of the geometry's body.
QList<tagTPageOffset> paginate(TTextFormatter& formatter, const TPageGeometry& geometry,
                               const TPrintOptions& options)
{
    checkMargins(options, geometry);

    // The printer may have changed since the last pass (another one picked in the dialog).
    formatter.clearCache();
    const int length = formatter.textLength();
    QList<tagTPageOffset> pages;
    int start = 0;
    int offset = 0;
    for (;;) {
        QRect area = geometry.LayoutRect;
        int nextOffset = offset;
        const int next = formatter.formatRange(nullptr, start, -1, area, &nextOffset);
        // Every page takes at least a slice of a line; anything else would repeat for ever.
        if (next >= 0 && (next < start || (next == start && nextOffset <= offset)))
            throwNoRoom(options);
        const bool done = next < 0 || next >= length;
        // The last page ends with the text's last character even when the formatter only says
        // "all of it", so that character is printed too. A page ending inside a line that goes
        // on over the next page ends with that line.
        const int lastChar = done             ? length - 1
                             : nextOffset > 0 ? formatter.lastCharOfLine(next)
                                              : next - 1;
        pages.append({start, lastChar, area, offset});
        if (done)
            break;
        start = next;
        offset = nextOffset;
    }
    return pages;
}

// Header, footer and body of one page; the painter is on that page, untransformed.
void drawPage(QPainter& painter, const TPageGeometry& geometry, const TPrintOptions& options,
              const QString& headerText, int pageNumber, TTextFormatter& formatter,
              const tagTPageOffset& page)
{
    if (options.PrintTabNameInHeader)
        drawTextAt(painter, geometry.HeaderPos, headerText);
    if (options.PrintPageNumberInFooter)
        drawTextAt(painter, geometry.FooterPos, QStringLiteral("Page %1").arg(pageNumber));
    painter.translate(geometry.BodyOrigin);
    QRect area = page.TextArea;
    int offset = page.LineOffset;
    formatter.formatRange(&painter, page.FirstChar, page.LastChar, area, &offset);
}

} // namespace

TDocumentPrinter::TDocumentPrinter(const QTextDocument& document, QPrinter& printer,
                                   TPrintOptions options)
    : m_printer(printer), m_options(std::move(options)),
      m_formatter(std::make_unique<TTextFormatter>(document, printer))
{
}

TDocumentPrinter::~TDocumentPrinter() = default;

QList<tagTPageOffset> TDocumentPrinter::PaginateDocument()
{
    const TPageGeometry geometry =
        pageGeometry(readPrinterMetrics(m_printer), marginsOf(m_options));
    return paginate(*m_formatter, geometry, m_options);
}

void TDocumentPrinter::PrintPages(int first, int last)
{
    const QList<tagTPageOffset> pages = PaginateDocument();
    const int lastPage = int(pages.size()) - 1;
    first = qMax(first, 0);
    if (first > lastPage)
        throw TPrintError(QStringLiteral("There is no page %1 to print: on this printer the "
                                         "document has %2.")
                              .arg(first + 1)
                              .arg(pagesText(pages.size()))
                              .toStdString());
    // The dialog's range was counted on the printer chosen before it; a printer that needs
    // fewer pages ends the job at its own last page.
    if (last < 0 || last > lastPage)
        last = lastPage;
    if (last < first)
        throw TPrintError(QStringLiteral("The page range %1 to %2 holds no page.")
                              .arg(first + 1)
                              .arg(last + 1)
                              .toStdString());

    const TPageGeometry geometry =
        pageGeometry(readPrinterMetrics(m_printer), marginsOf(m_options));
    m_printer.setDocName(m_options.PrintJobTitle);
    QPainter painter;
    if (!painter.begin(&m_printer))
        throw TPrintError(QStringLiteral("The printer \"%1\" could not be opened.")
                              .arg(m_printer.outputFileName().isEmpty()
                                       ? m_printer.printerName()
                                       : m_printer.outputFileName())
                              .toStdString());
    for (int i = first; i <= last; ++i) {
        painter.resetTransform();
        if (i != first && !m_printer.newPage())
            throw TPrintError("The printer did not accept another page.");
        drawPage(painter, geometry, m_options, m_options.PageHeaderText, i + 1, *m_formatter,
                 pages[i]);
    }
    painter.end();
}

TPageSeries::TPageSeries(QPagedPaintDevice& device, TPrintOptions options)
    : m_device(device), m_options(std::move(options))
{
}

TPageSeries::~TPageSeries()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void TPageSeries::addDocument(const QTextDocument& document, const QString& headerText)
{
    const TPageGeometry geometry = pageGeometry(readDeviceMetrics(m_device), marginsOf(m_options));
    TTextFormatter formatter(document, m_device);
    // Measured before the first page is opened, so margins without room leave nothing behind.
    const QList<tagTPageOffset> pages = paginate(formatter, geometry, m_options);
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(&m_device))
            throw TPrintError("The pages could not be drawn: the output could not be opened.");
    }
    for (const tagTPageOffset& page : pages) {
        m_painter->resetTransform();
        if (m_pageCount > 0 && !m_device.newPage())
            throw TPrintError("The output did not accept another page.");
        ++m_pageCount;
        drawPage(*m_painter, geometry, m_options, headerText, m_pageCount, formatter, page);
    }
}

void TPageSeries::finish()
{
    if (!m_painter) {
        // One blank page, as printing an empty document gives.
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(&m_device))
            throw TPrintError("The pages could not be drawn: the output could not be opened.");
    }
    if (m_painter->isActive())
        m_painter->end();
}
