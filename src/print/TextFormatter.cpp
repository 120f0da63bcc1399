#include "print/TextFormatter.h"

#include "print/PrintGeometry.h"
#include "rtf/RtfObjectHandlers.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextObjectInterface>

#include <algorithm>
#include <cmath>
#include <vector>

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
        fitPicturesToWidth(widthPx);
        // A text width without a page height keeps the layout in one column; pages are cut here.
        m_document->setTextWidth(widthPx);
        m_widthPx = widthPx;
    }
}

namespace {

struct TPicture
{
    int Position;
    QTextImageFormat Format;
    QSizeF Size; // as laid out, in the device's pixels
};

// The pictures from `from` up to, not including, `to` in the block.
std::vector<TPicture> picturesIn(QTextDocument& doc, const QTextBlock& block, int from, int to)
{
    std::vector<TPicture> pictures;
    QTextObjectInterface* handler =
        doc.documentLayout()->handlerForObject(QTextFormat::ImageObject);
    if (!handler)
        return pictures;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.charFormat().isImageFormat())
            continue;
        const QTextImageFormat format = fragment.charFormat().toImageFormat();
        const int end = std::min(fragment.position() + fragment.length(), to);
        for (int position = std::max(fragment.position(), from); position < end; ++position)
            pictures.push_back({position, format, handler->intrinsicSize(&doc, position, format)});
    }
    return pictures;
}

} // namespace

void TTextFormatter::scalePicture(int position, const QTextImageFormat& format, QSizeF size,
                                  double factor)
{
    QTextObjectInterface* handler =
        m_document->documentLayout()->handlerForObject(QTextFormat::ImageObject);
    // A picture's width and height in its format relate to the device's pixels by a factor of
    // the layout's own; a picture of a known size tells it.
    constexpr double Known = 1000;
    QTextImageFormat probe = format;
    probe.setWidth(Known);
    probe.setHeight(Known);
    const double scale = handler->intrinsicSize(m_document.get(), position, probe).height() / Known;
    if (scale <= 0)
        return;
    // Rounded down: the layout rounds the units it is given, and the picture must not grow.
    QTextImageFormat smaller = format;
    smaller.setWidth(std::max(1.0, std::floor(size.width() * factor / scale)));
    smaller.setHeight(std::max(1.0, std::floor(size.height() * factor / scale)));
    QTextCursor edit(m_document.get());
    edit.setPosition(position);
    edit.setPosition(position + 1, QTextCursor::KeepAnchor);
    edit.setCharFormat(smaller);
}

void TTextFormatter::fitPicturesToWidth(double widthPx)
{
    if (widthPx <= 0)
        return;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        for (const TPicture& picture :
             picturesIn(*m_document, block, block.position(), block.position() + block.length()))
            if (picture.Size.width() > widthPx)
                scalePicture(picture.Position, picture.Format, picture.Size,
                             widthPx / picture.Size.width());
}

bool TTextFormatter::fitPicturesToHeight(const QTextBlock& block, int lineIndex, double heightPx)
{
    const QTextLine line = block.layout()->lineAt(lineIndex);
    const int from = block.position() + line.textStart();
    const std::vector<TPicture> pictures =
        picturesIn(*m_document, block, from, from + line.textLength());
    double tallest = 0;
    for (const TPicture& picture : pictures)
        tallest = std::max(tallest, picture.Size.height());
    // The line needs room for more than its tallest picture: the descent of its font, say.
    const double room = heightPx - (line.height() - tallest);
    if (tallest <= 0 || room < 1)
        return false;
    bool smaller = false;
    for (const TPicture& picture : pictures) {
        if (picture.Size.height() > room) {
            scalePicture(picture.Position, picture.Format, picture.Size,
                         room / picture.Size.height());
            smaller = true;
        }
    }
    return smaller;
}

int TTextFormatter::lastCharOfLine(int position) const
{
    if (!m_document)
        return position;
    const QTextBlock block = m_document->findBlock(position);
    if (!block.isValid() || !block.layout())
        return position;
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    if (!line.isValid())
        return position;
    return block.position() + line.textStart() + std::max(line.textLength(), 1) - 1;
}

int TTextFormatter::formatRange(QPainter* painter, int first, int last, QRect& area,
                                int* lineOffset)
{
    ensureWidth(twipsToPixels(area.width(), m_device.logicalDpiX()));
    // Half a twip of slack: a height handed back by an earlier call was rounded to the nearest
    // twip, and the same lines must fit into it again when they are drawn.
    const double heightPx = twipsToPixels(area.height(), m_device.logicalDpiY()) +
                            twipsToPixels(1, m_device.logicalDpiY()) / 2;
    const double skipPx = lineOffset ? twipsToPixels(*lineOffset, m_device.logicalDpiY()) : 0;
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();

    TBand band;
    int next = -1;
    // Set when the band's first line alone is taller than the area.
    QTextBlock tallBlock;
    int tallLine = 0;
    for (bool picturesFitted = false;; picturesFitted = true) {
        band = TBand();
        next = -1;
        tallBlock = QTextBlock();
        bool bandHasLine = false;
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
                    // An area going on inside a line cut at the previous area's bottom; a
                    // cut that rounding put at the line's very end leaves nothing of it.
                    band.Top = band.Bottom = lineTop + std::min(skipPx, line.height());
                }
                if (last >= 0 && lineStart > last) {
                    next = lineStart;
                    break;
                }
                if (lineBottom - band.Top > heightPx) {
                    if (!bandHasLine) {
                        tallBlock = block;
                        tallLine = lineIndex;
                    }
                    next = lineStart;
                    break;
                }
                band.Bottom = qMax(band.Bottom, lineBottom);
                bandHasLine = true;
                if (block == band.TopBlock)
                    band.TopBlockLines = lineIndex - band.TopLine + 1;
            }
        }
        // Pictures are fitted once, when measuring, and the line is laid out again with them
        // smaller; drawing must find the layout it measured.
        if (tallBlock.isValid() && !picturesFitted && !painter &&
            fitPicturesToHeight(tallBlock, tallLine, heightPx))
            continue;
        break;
    }
    if (lineOffset)
        *lineOffset = 0;
    if (tallBlock.isValid() && lineOffset) {
        // Still too tall: this area takes as much of the line as it can hold, to the twip.
        const double slicePx = twipsToPixels(area.height(), m_device.logicalDpiY());
        band.Bottom = band.Top + slicePx;
        band.TopBlockLines = 1;
        *lineOffset = pixelsToTwips(skipPx + slicePx, m_device.logicalDpiY());
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
