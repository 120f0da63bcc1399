#include "print/TextFormatter.h"

#include "print/PrintGeometry.h"
#include "rtf/RtfObjectHandlers.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

TTextFormatter::TTextFormatter(const QTextDocument& source, QPaintDevice& device)
    : m_source(source), m_device(device)
{
}

TTextFormatter::~TTextFormatter() = default;

int TTextFormatter::textLength() const
{
    const QTextDocument& doc = m_document ? *m_document : m_source;
    return doc.characterCount() - 1; // the last paragraph's break is not the user's
}

void TTextFormatter::clearCache()
{
    m_document.reset();
    m_widthPx = -1;
}

void TTextFormatter::ensureWidth(double widthPx)
{
    if (!m_document) {
        // A private copy: the editor's document stays as the user left it, and the copy can be
        // laid out at the printer's resolution without disturbing the screen's layout.
        m_document.reset(m_source.clone());
        m_document->setUndoRedoEnabled(false);
        // Pictures and kept objects print as the editor shows them.
        rtf::InstallObjectHandlers(*m_document);
        // The margins are ours; the editor's padding would shift the body off them. Set before
        // the copy has a layout, which would otherwise be redone at once in full.
        m_document->setDocumentMargin(0);
        m_document->documentLayout()->setPaintDevice(&m_device);
        m_widthPx = -1;
    }
    if (widthPx != m_widthPx) {
        // A text width without a page height keeps the layout in one column; pages are cut here.
        m_document->setTextWidth(widthPx);
        m_widthPx = widthPx;
    }
}

int TTextFormatter::formatRange(QPainter* painter, int first, int last, QRect& area)
{
    ensureWidth(twipsToPixels(area.width(), m_device.logicalDpiX()));
    // Half a twip of slack: a height handed back by an earlier call was rounded to the nearest
    // twip, and the same lines must fit into it again when they are drawn.
    const double heightPx = twipsToPixels(area.height(), m_device.logicalDpiY()) +
                            twipsToPixels(1, m_device.logicalDpiY()) / 2;
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();

    TBand band;
    int next = -1;
    for (QTextBlock block = m_document->findBlock(qMax(0, first)); block.isValid() && next < 0;
         block = block.next()) {
        if (!block.isVisible())
            continue;
        // Asking for the block's place makes the layout reach it.
        const QPointF origin = layout->blockBoundingRect(block).topLeft();
        const QTextLayout* lines = block.layout();
        int lineIndex = 0;
        if (!band.TopBlock.isValid()) {
            const QTextLine startLine = lines->lineForTextPosition(first - block.position());
            lineIndex = startLine.isValid() ? startLine.lineNumber() : 0;
        }
        for (; lineIndex < lines->lineCount(); ++lineIndex) {
            const QTextLine line = lines->lineAt(lineIndex);
            const int lineStart = block.position() + line.textStart();
            const double lineTop = origin.y() + line.y();
            const double lineBottom = lineTop + line.height();
            if (!band.TopBlock.isValid()) {
                band.TopBlock = block;
                band.TopLine = lineIndex;
                band.Top = band.Bottom = lineTop;
            }
            if ((last >= 0 && lineStart > last) || lineBottom - band.Top > heightPx) {
                next = lineStart;
                break;
            }
            band.Bottom = qMax(band.Bottom, lineBottom);
            if (block == band.TopBlock)
                band.TopBlockLines = lineIndex - band.TopLine + 1;
        }
    }
    area.setHeight(pixelsToTwips(band.Bottom - band.Top, m_device.logicalDpiY()));
    if (painter && band.Bottom > band.Top)
        drawBand(*painter, band);
    return next;
}

void TTextFormatter::drawBand(QPainter& painter, const TBand& band)
{
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();
    painter.save();
    // Text may run past the right margin (a word longer than the line); only the page's upper
    // and lower cut are clipped.
    const double w = qMax(m_widthPx, 1.0);
    painter.setClipRect(QRectF(-w, 0, 3 * w, band.Bottom - band.Top), Qt::IntersectClip);
    painter.translate(0, -band.Top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    // The layout's own drawing culls lines by the clip, but in a paragraph cut at the page's
    // top it also sends the line just above the cut: hidden by the clip, yet its text would be
    // in the printout twice (a PDF finds and copies it twice). So the remainder of such a
    // paragraph is drawn line by line, and the layout draws only from the next paragraph on.
    double drawnTo = band.Top;
    if (band.TopLine > 0) {
        const QPointF origin = layout->blockBoundingRect(band.TopBlock).topLeft();
        const QTextLayout* lines = band.TopBlock.layout();
        painter.setPen(context.palette.color(QPalette::Text));
        for (int i = band.TopLine; i < band.TopLine + band.TopBlockLines; ++i) {
            const QTextLine line = lines->lineAt(i);
            line.draw(&painter, origin);
            drawnTo = origin.y() + line.y() + line.height();
        }
    }
    // Lines touching a cut from outside belong to the neighbouring page; keeping the clip a
    // hair inside the band leaves them out.
    const double hair = qMin(0.5, (band.Bottom - band.Top) / 4);
    if (band.Bottom - drawnTo > 2 * hair) {
        context.clip = QRectF(-w, drawnTo + hair, 3 * w, band.Bottom - drawnTo - 2 * hair);
        layout->draw(&painter, context);
    }
    painter.restore();
}
