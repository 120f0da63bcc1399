#include "print/DocumentPrinter.h"

#include "print/PrintGeometry.h"
#include "print/TextFormatter.h"

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
    checkMargins(m_options, geometry);

    // The printer may have changed since the last pass (another one picked in the dialog).
    m_formatter->clearCache();
    const int length = m_formatter->textLength();
    QList<tagTPageOffset> pages;
    int start = 0;
    int offset = 0;
    for (;;) {
        QRect area = geometry.LayoutRect;
        int nextOffset = offset;
        const int next = m_formatter->formatRange(nullptr, start, -1, area, &nextOffset);
        // Every page takes at least a slice of a line; anything else would repeat for ever.
        if (next >= 0 && (next < start || (next == start && nextOffset <= offset)))
            throwNoRoom(m_options);
        const bool done = next < 0 || next >= length;
        // The last page ends with the text's last character even when the formatter only says
        // "all of it", so that character is printed too. A page ending inside a line that goes
        // on over the next page ends with that line.
        const int lastChar = done             ? length - 1
                             : nextOffset > 0 ? m_formatter->lastCharOfLine(next)
                                              : next - 1;
        pages.append({start, lastChar, area, offset});
        if (done)
            break;
        start = next;
        offset = nextOffset;
    }
    return pages;
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
        if (m_options.PrintTabNameInHeader)
            drawTextAt(painter, geometry.HeaderPos, m_options.PageHeaderText);
        if (m_options.PrintPageNumberInFooter)
            drawTextAt(painter, geometry.FooterPos, QStringLiteral("Page %1").arg(i + 1));
        painter.translate(geometry.BodyOrigin);
        QRect area = pages[i].TextArea;
        int offset = pages[i].LineOffset;
        m_formatter->formatRange(&painter, pages[i].FirstChar, pages[i].LastChar, area, &offset);
    }
    painter.end();
}
