#include "app/FlowLayout.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPaintDevice>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTimerEvent>

#include <private/qtextdocument_p.h>
#include <private/qtextdocumentlayout_p.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

// Positions and heights are kept in 1/64 pixels and rounded the way Qt's own layout rounds
// them, so that a paragraph stands exactly where that layout would put it.
int fixed(qreal value)
{
    return int(value * 64);
}

qreal real(int value)
{
    return value / 64.0;
}

// Changes touching more paragraphs than this (a Replace All, a long paste) leave the
// paragraphs to be laid out when they are shown.
constexpr int LaidOutAtOnce = 64;

// Wrapping leaves the end of most lines empty; an estimate that ignored it would come out short.
constexpr qreal FilledShareOfLine = 0.9;

constexpr qreal Unbounded = qreal(INT_MAX);

QTextLayout* existingLayout(const QTextBlock& block)
{
    const QTextDocumentPrivate* priv = QTextDocumentPrivate::get(block);
    return priv ? priv->blockMap().fragment(block.fragmentIndex())->layout : nullptr;
}

} // namespace

TFlowLayout::TFlowLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc)
{
    takeFrame();
}

bool TFlowLayout::canShow(const QTextDocument& document)
{
    return document.rootFrame()->childFrames().isEmpty() && document.pageSize().height() <= 0;
}

TFlowLayout* TFlowLayout::installOn(QTextDocument& document)
{
    if (QTextDocumentPrivate::get(&document)->layout() || !canShow(document))
        return nullptr;
    auto* layout = new TFlowLayout(&document);
    document.setDocumentLayout(layout);
    return layout;
}

TFlowLayout* TFlowLayout::of(const QTextDocument& document)
{
    return qobject_cast<TFlowLayout*>(document.documentLayout());
}

void TFlowLayout::giveUp(QTextDocument& document)
{
    if (of(document))
        document.setDocumentLayout(new QTextDocumentLayout(&document));
}

qreal TFlowLayout::scale() const
{
    const QPaintDevice* device = paintDevice();
    return device ? qreal(device->logicalDpiY()) / 96.0 : 1.0;
}

void TFlowLayout::takeFrame()
{
    // The root frame's margins, border and padding, and the page's width: they change only
    // with a change the document tells of, and every paragraph laid out needs them.
    const QTextFrameFormat f = document()->rootFrame()->frameFormat();
    frame.top = fixed(f.topMargin()) + fixed(f.border()) + fixed(f.padding());
    frame.bottom = fixed(f.bottomMargin()) + fixed(f.border()) + fixed(f.padding());
    frame.left = fixed(f.leftMargin()) + fixed(f.border()) + fixed(f.padding());
    frame.right = fixed(document()->pageSize().width()) - fixed(f.rightMargin()) -
                  fixed(f.border()) - fixed(f.padding());
    frame.leftMargin = f.leftMargin();
    frame.rightMargin = f.rightMargin();
    frame.rightEdge = f.rightMargin() + f.border() + f.padding();
}

int TFlowLayout::gapBetween(qreal bottomMarginAbove, qreal topMargin) const
{
    // The larger of the upper paragraph's bottom margin and the lower one's top margin.
    qreal margin = std::max(topMargin, bottomMarginAbove);
    if (margin > 0)
        margin *= scale();
    return fixed(margin);
}

int TFlowLayout::gapAbove(const QTextBlock& block, const QTextBlockFormat& format) const
{
    // The first paragraph of the document has none.
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return 0;
    return gapBetween(previous.blockFormat().bottomMargin(), format.topMargin());
}

int TFlowLayout::blockIndent(const QTextBlockFormat& format) const
{
    qreal indent = format.indent();
    if (const QTextObject* object = document()->objectForFormat(format))
        indent += object->format().toListFormat().indent();
    if (qFuzzyIsNull(indent))
        return 0;
    return fixed(indent * scale() * document()->indentWidth());
}

bool TFlowLayout::isLaidOut(const QTextBlock& block)
{
    if (!block.isVisible())
        return true;
    const QTextLayout* layout = existingLayout(block);
    return layout && layout->lineCount() > 0;
}

int TFlowLayout::extentTop(const QTextBlock& block) const
{
    return block.firstLineNumber();
}

QTextBlock TFlowLayout::blockAtY(int y) const
{
    if (y <= 0)
        return document()->firstBlock();
    const QTextBlock block = document()->findBlockByLineNumber(y);
    return block.isValid() ? block : document()->lastBlock();
}

void TFlowLayout::setExtent(const QTextBlock& block, int height) const
{
    QTextBlock writable = block;
    writable.setLineCount(height);
}

const TFlowLayout::Metrics& TFlowLayout::metricsOf(int charFormatIndex) const
{
    auto found = metrics.find(charFormatIndex);
    if (found != metrics.end())
        return *found;
    const QTextCharFormat format =
        QTextDocumentPrivate::get(document())->formatCollection()->charFormat(charFormatIndex);
    const QFontMetricsF fm(format.font().resolve(document()->defaultFont()));
    Metrics m;
    m.averageCharWidth = fm.averageCharWidth();
    m.lineHeight = fixed(std::ceil(fm.ascent() + fm.descent() + std::max<qreal>(fm.leading(), 0)));
    return *metrics.insert(charFormatIndex, m);
}

int TFlowLayout::estimate(const QTextBlock& block, int gap) const
{
    if (!block.isVisible())
        return 0;
    const Metrics& m = metricsOf(block.charFormatIndex());
    const qreal width = real(frame.right - frame.left) * FilledShareOfLine;
    const int characters = block.length() - 1;
    int lines = 1;
    if (characters > 0 && width > 0)
        lines = std::max(1, int(std::ceil(characters * m.averageCharWidth / width)));
    return gap + lines * m.lineHeight;
}

void TFlowLayout::layOut(const QTextBlock& block) const
{
    if (!block.isVisible()) {
        setExtent(block, 0);
        return;
    }
    QTextLayout* layout = block.layout();
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = block.textDirection();
    const QTextOption defaults = document()->defaultTextOption();

    QTextOption option = defaults;
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    Qt::Alignment alignment = defaults.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        alignment = format.alignment();
    option.setAlignment(QStyle::visualAlignment(direction, alignment));
    if (format.nonBreakableLines() || document()->pageSize().width() < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    layout->setTextOption(option);
    const bool wrapsAnywhereToo = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    int extra = 0;
    if (defaults.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        extra = fixed(QFontMetricsF(block.charFormat().font()).horizontalAdvance(QChar(0x21B5)));
    const bool rightToLeft = direction == Qt::RightToLeft;
    const int indent = blockIndent(format);
    const int totalLeft = fixed(format.leftMargin()) + (rightToLeft ? extra : indent);
    const int totalRight = fixed(format.rightMargin()) + (rightToLeft ? indent : extra);
    const int lineLeft = frame.left + totalLeft;
    const int lineRight = frame.right - totalRight;
    const qreal scaling = scale();
    const bool fixedOrMinimum = format.lineHeightType() == QTextBlockFormat::FixedHeight ||
                                format.lineHeightType() == QTextBlockFormat::MinimumHeight;

    int y = 0;
    int bottom = 0;
    bool firstLine = true;
    layout->beginLayout();
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        int from = lineLeft;
        int to = lineRight;
        if (firstLine) {
            const int textIndent = fixed(format.textIndent());
            if (rightToLeft)
                to -= textIndent;
            else
                from += textIndent;
            firstLine = false;
        }
        line.setLineWidth(real(to - from));
        // Something that cannot be broken (a picture) is wider than the line: it gets a line
        // as wide as itself, and the rest of the paragraph wraps at word boundaries only.
        if (fixed(line.naturalTextWidth()) > to - from) {
            if (wrapsAnywhereToo) {
                option.setWrapMode(QTextOption::WrapAnywhere);
                layout->setTextOption(option);
            }
            line.setLineWidth(std::max(line.naturalTextWidth(), real(to - from)));
            if (wrapsAnywhereToo) {
                option.setWrapMode(QTextOption::WordWrap);
                layout->setTextOption(option);
            }
        }

        const qreal rawHeight = std::ceil(line.ascent() + line.descent() + line.leading());
        const int lineHeight = fixed(format.lineHeight(rawHeight, scaling));
        const int lineBottom = fixed(format.lineHeight(line.height(), scaling));
        int adjustment = 0;
        if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
            adjustment = fixed(line.ascent() + std::max<qreal>(line.leading(), 0)) -
                         (lineHeight * 4) / 5;
        else if (fixedOrMinimum)
            adjustment = fixed(line.height()) - lineHeight;

        line.setPosition(QPointF(real(from - frame.left), real(y - adjustment)));
        bottom = y + lineBottom;
        y += lineHeight;
        widestLine = std::max(widestLine, line.x() + line.naturalTextWidth() + real(totalRight));
    }
    layout->endLayout();
    y = std::max(y, bottom);

    setExtent(block, gapAbove(block, format) + y);
}

void TFlowLayout::place(const QTextBlock& block) const
{
    QTextLayout* layout = block.layout();
    const int top = frame.top + extentTop(block) + gapAbove(block, block.blockFormat());
    layout->setPosition(QPointF(real(frame.left), real(top)));
}

QRectF TFlowLayout::textRect(const QTextBlock& block) const
{
    const QTextLayout* layout = block.layout();
    return layout->boundingRect().translated(layout->position());
}

void TFlowLayout::layOutAround(const QTextBlock& block) const
{
    layOut(block);
    const int reach = fixed(neighbourhood);
    const auto layOutToward = [&](QTextBlock b, QTextBlock (QTextBlock::*step)() const) {
        for (int covered = 0; b.isValid() && covered < reach; b = (b.*step)()) {
            if (!isLaidOut(b))
                layOut(b);
            covered += b.lineCount();
        }
    };
    layOutToward(block.previous(), &QTextBlock::previous);
    layOutToward(block.next(), &QTextBlock::next);
    sizeChanged();
}

void TFlowLayout::estimateAll(bool keepHeights)
{
    // Only the two margins of a paragraph format matter here; documents use few formats.
    QHash<int, std::pair<qreal, qreal>> margins;
    auto marginsOf = [&](const QTextBlock& block) {
        const int index = block.blockFormatIndex();
        auto found = margins.find(index);
        if (found == margins.end()) {
            const QTextBlockFormat f = block.blockFormat();
            found = margins.insert(index, {f.topMargin(), f.bottomMargin()});
        }
        return *found;
    };
    qreal previousBottom = -1;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const auto [top, bottom] = marginsOf(block);
        const int gap = previousBottom >= 0 ? gapBetween(previousBottom, top) : 0;
        previousBottom = bottom;
        // Whatever made the whole document change (another text direction, a new width)
        // changes its lines; at the same width the heights they had are the best estimate.
        block.clearLayout();
        if (!keepHeights || block.lineCount() <= 1)
            setExtent(block, estimate(block, gap));
    }
    firstNotLaidOut = 0;
}

void TFlowLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    takeFrame();
    if (!canShow(*document()))
        emit cannotShowDocument();
    const QSizeF page = document()->pageSize();
    const bool whole = charsRemoved == 0 && charsAdded == document()->characterCount();
    if (page.isNull()) {
        // Nothing is shown: the paragraphs are laid out once there is a width to lay them out in.
        laidWidth = -1;
        return;
    }
    if (whole) {
        const bool sameWidth = page.width() == laidWidth;
        laidWidth = page.width();
        if (!sameWidth)
            widestLine = 0;
        // A new default font (or any change to the document as a whole) can change what a
        // format's font is.
        metrics.clear();
        estimateAll(sameWidth);
        sizeChanged();
        emit update(QRectF(0, 0, Unbounded, Unbounded));
        return;
    }

    QTextBlock first = document()->findBlock(from);
    if (!first.isValid())
        first = document()->lastBlock();
    QTextBlock last = document()->findBlock(std::max(0, from + charsAdded - 1));
    if (!last.isValid())
        last = document()->lastBlock();
    // The paragraph after the change stands below a gap that the changed one's bottom margin
    // decides.
    if (last.next().isValid())
        last = last.next();
    const int count = last.blockNumber() - first.blockNumber() + 1;
    const QTextBlock end = last.next();
    if (count <= LaidOutAtOnce) {
        for (QTextBlock block = first; block.isValid() && block != end; block = block.next())
            layOut(block);
    } else {
        // A paragraph that had a height keeps it as its estimate: a Replace All seldom changes
        // how many lines a paragraph takes.
        for (QTextBlock block = first; block.isValid() && block != end; block = block.next()) {
            const int height = block.lineCount();
            block.clearLayout();
            if (height <= 1)
                setExtent(block, estimate(block, gapAbove(block, block.blockFormat())));
        }
        firstNotLaidOut = std::min(firstNotLaidOut, first.blockNumber());
    }
    sizeChanged();
    emit update(QRectF(0, real(frame.top + extentTop(first)), Unbounded, Unbounded));
}

void TFlowLayout::sizeChanged() const
{
    // Not from inside a paint: the editor would set its scroll bars up while painting.
    if (drawing) {
        if (!sizeTimer.isActive())
            sizeTimer.start(0, const_cast<TFlowLayout*>(this));
        return;
    }
    const QSizeF size = documentSize();
    if (size == reportedSize)
        return;
    reportedSize = size;
    emit const_cast<TFlowLayout*>(this)->documentSizeChanged(size);
}

void TFlowLayout::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != sizeTimer.timerId()) {
        QAbstractTextDocumentLayout::timerEvent(event);
        return;
    }
    sizeTimer.stop();
    sizeChanged();
}

QSizeF TFlowLayout::documentSize() const
{
    const QSizeF page = document()->pageSize();
    if (page.isNull())
        return QSizeF();
    const qreal contentRight = real(frame.left) + widestLine + frame.rightEdge;
    const qreal width = std::max(page.width(), contentRight);
    return QSizeF(width, real(frame.top + document()->lineCount() + frame.bottom));
}

int TFlowLayout::pageCount() const
{
    return 1;
}

QRectF TFlowLayout::frameBoundingRect(QTextFrame* frame) const
{
    if (frame != document()->rootFrame() || document()->pageSize().isNull())
        return QRectF();
    return QRectF(QPointF(0, 0), documentSize());
}

QRectF TFlowLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (document()->pageSize().isNull() || !block.isValid() || !block.isVisible())
        return QRectF();
    if (!isLaidOut(block))
        layOutAround(block);
    place(block);
    // The paragraph's rectangle starts where the paragraph is placed, whatever the indent of
    // its lines (so Qt's layout has it, and the editor's caret and scrolling rely on it).
    const QTextLayout* layout = block.layout();
    QRectF rect = layout->boundingRect();
    rect.moveTopLeft(layout->position());
    return rect;
}

void TFlowLayout::setNeighbourhood(qreal pixels)
{
    neighbourhood = pixels;
}

bool TFlowLayout::layOutFor(qint64 nanoseconds)
{
    if (document()->pageSize().isNull())
        return laidOutWhole();
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = document()->findBlockByNumber(firstNotLaidOut);
    for (; block.isValid(); block = block.next()) {
        if (isLaidOut(block))
            continue;
        layOut(block);
        if (clock.nsecsElapsed() >= nanoseconds)
            break;
    }
    firstNotLaidOut = block.isValid() ? block.blockNumber() : document()->blockCount();
    sizeChanged();
    return !block.isValid() || laidOutWhole();
}

void TFlowLayout::layOutWhole()
{
    while (!layOutFor(std::numeric_limits<qint64>::max())) {
    }
}

bool TFlowLayout::laidOutWhole() const
{
    for (QTextBlock block = document()->findBlockByNumber(firstNotLaidOut); block.isValid();
         block = block.next()) {
        if (!isLaidOut(block)) {
            firstNotLaidOut = block.blockNumber();
            return false;
        }
    }
    firstNotLaidOut = document()->blockCount();
    return true;
}

void TFlowLayout::draw(QPainter* painter, const PaintContext& context)
{
    if (document()->pageSize().isNull())
        return;
    drawing = true;
    const QRectF clip =
        context.clip.isValid() ? context.clip : QRectF(0, 0, Unbounded, Unbounded);
    const QBrush background = document()->rootFrame()->frameFormat().background();
    if (background != Qt::NoBrush)
        painter->fillRect(clip, background);
    // Text is kept inside the frame's margins (a line wider than the page is cut there).
    const QRectF frameRect = QRectF(QPointF(0, 0), documentSize())
                                 .adjusted(frame.leftMargin, 0, -frame.rightMargin, 0);
    const QRectF textClip = context.clip.isValid() ? (context.clip & frameRect) : frameRect;

    const int fromY = fixed(clip.top()) - frame.top;
    for (QTextBlock block = blockAtY(fromY); block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        if (!isLaidOut(block))
            layOut(block);
        place(block);
        const QRectF r = textRect(block);
        if (r.top() > clip.bottom())
            break;
        if (r.bottom() < clip.top())
            continue;
        drawBlock(painter, context, block, textClip);
    }
    drawing = false;
}

void TFlowLayout::drawBlock(QPainter* painter, const PaintContext& context,
                            const QTextBlock& block, const QRectF& clip) const
{
    const QTextLayout* layout = block.layout();
    const QRectF r = textRect(block);
    const QTextBlockFormat format = block.blockFormat();

    const QBrush background = format.background();
    if (background != Qt::NoBrush) {
        painter->save();
        painter->setBrushOrigin(r.topLeft());
        painter->fillRect(r, background);
        painter->restore();
    }

    QList<QTextLayout::FormatRange> selections;
    const int start = block.position();
    const int length = block.length();
    const QTextCharFormat* selectionFormat = nullptr;
    for (const Selection& range : context.selections) {
        const int selStart = range.cursor.selectionStart() - start;
        const int selEnd = range.cursor.selectionEnd() - start;
        if (selStart < length && selEnd > 0 && selEnd > selStart) {
            selections.append({selStart, selEnd - selStart, range.format});
        } else if (!range.cursor.hasSelection() &&
                   range.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(range.cursor.position())) {
            // A full-width selection marks the whole line of its position.
            const QTextLine line = layout->lineForTextPosition(range.cursor.position() - start);
            QTextLayout::FormatRange o{line.textStart(), line.textLength(), range.format};
            if (o.start + o.length == length - 1)
                ++o.length;
            selections.append(o);
        }
        if (selStart < 0 && selEnd >= 1)
            selectionFormat = &range.format;
    }

    const QTextObject* object = document()->objectForFormat(format);
    if (object && object->format().toListFormat().style() != QTextListFormat::ListStyleUndefined)
        drawListMarker(painter, context, block, selectionFormat);

    const QPen oldPen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    layout->draw(painter, QPointF(), selections, clip);

    if ((context.cursorPosition >= start && context.cursorPosition < start + length) ||
        (context.cursorPosition < -1 && !layout->preeditAreaText().isEmpty())) {
        int position = context.cursorPosition;
        if (position < -1)
            position = layout->preeditAreaPosition() - (position + 2);
        else
            position -= start;
        const QVariant width = property("cursorWidth");
        layout->drawCursor(painter, QPointF(), position, width.isValid() ? width.toInt() : 1);
    }

    if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
        const qreal width =
            format.lengthProperty(QTextFormat::BlockTrailingHorizontalRulerWidth).value(r.width());
        painter->setPen(context.palette.color(QPalette::Dark));
        const qreal y = block.length() == 1 ? r.top() + r.height() / 2 : r.bottom();
        const qreal middle = r.left() + r.width() / 2;
        painter->drawLine(QLineF(middle - width / 2, y, middle + width / 2, y));
    }
    painter->setPen(oldPen);
}

void TFlowLayout::drawListMarker(QPainter* painter, const PaintContext& context,
                                 const QTextBlock& block,
                                 const QTextCharFormat* selectionFormat) const
{
    const QTextBlockFormat blockFormat = block.blockFormat();
    const QTextCharFormat charFormat = QTextCursor(block).charFormat();
    QFont font(charFormat.font());
    if (paintDevice())
        font = QFont(font, paintDevice());
    const QFontMetrics fm(font);
    auto* list = qobject_cast<QTextList*>(document()->objectForFormat(blockFormat));
    if (!list)
        return;
    int style = list->format().style();
    if (blockFormat.hasProperty(QTextFormat::ListStyle))
        style = blockFormat.intProperty(QTextFormat::ListStyle);

    const QTextLayout* layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const Qt::LayoutDirection direction = block.textDirection();
    QPointF pos = layout->position().toPoint();
    const QRectF firstLine = layout->lineAt(0).naturalTextRect();
    pos += firstLine.topLeft().toPoint();
    if (direction == Qt::RightToLeft)
        pos.rx() += firstLine.width();

    QString itemText;
    QSizeF size;
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        itemText = list->itemText(block);
        size = QSizeF(fm.horizontalAdvance(itemText), fm.height());
        break;
    case QTextListFormat::ListSquare:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListDisc:
        size = QSizeF(fm.lineSpacing() / 3, fm.lineSpacing() / 3);
        break;
    default:
        return;
    }

    QRectF r(pos, size);
    qreal offset = fm.horizontalAdvance(QLatin1Char(' '));
    if (direction == Qt::LeftToRight)
        offset = -offset - size.width();
    r.translate(offset, (fm.height() / 2) - (size.height() / 2));

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selectionFormat) {
        painter->setPen(QPen(selectionFormat->foreground(), 0));
        painter->fillRect(r, selectionFormat->background());
    } else {
        QBrush foreground = charFormat.foreground();
        if (foreground == Qt::NoBrush)
            foreground = context.palette.text();
        painter->setPen(QPen(foreground, 0));
    }
    const QBrush brush = context.palette.brush(QPalette::Text);
    switch (style) {
    case QTextListFormat::ListSquare:
        painter->fillRect(r, brush);
        break;
    case QTextListFormat::ListCircle:
        painter->setPen(QPen(brush, 0));
        painter->drawEllipse(r.translated(0.5, 0.5));
        break;
    case QTextListFormat::ListDisc:
        painter->setBrush(brush);
        painter->setPen(Qt::NoPen);
        painter->drawEllipse(r);
        break;
    default: {
        QTextLayout text(itemText, font, paintDevice());
        text.setCacheEnabled(true);
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setTextDirection(direction);
        text.setTextOption(option);
        text.beginLayout();
        QTextLine line = text.createLine();
        if (line.isValid())
            line.setLeadingIncluded(true);
        text.endLayout();
        text.draw(painter, QPointF(r.left(), pos.y()));
        break;
    }
    }
    painter->restore();
}

int TFlowLayout::hitTestBlock(const QTextBlock& block, const QPointF& point,
                              Qt::HitTestAccuracy accuracy, bool* exact) const
{
    const QTextLayout* layout = block.layout();
    const QPointF pos = point - layout->position();
    int offset = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF lr = line.naturalTextRect();
        if (lr.top() > pos.y()) {
            offset = std::min(offset, line.textStart());
        } else if (lr.bottom() <= pos.y()) {
            offset = std::max(offset, line.textStart() + line.textLength());
        } else {
            *exact = lr.left() <= pos.x() && lr.right() >= pos.x();
            offset = line.xToCursor(pos.x(), accuracy == Qt::ExactHit
                                                 ? QTextLine::CursorOnCharacter
                                                 : QTextLine::CursorBetweenCharacters);
            break;
        }
    }
    return block.position() + offset;
}

int TFlowLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    if (document()->pageSize().isNull())
        return accuracy == Qt::ExactHit ? -1 : 0;
    // The paragraph at the point and its neighbours: a point on the border between two
    // paragraphs belongs to the upper one. Laying one out changes its height, and so which
    // paragraph stands at the point: they are looked for again until all three are laid out.
    QTextBlock block;
    bool laidOutAny = true;
    while (laidOutAny) {
        block = blockAtY(fixed(point.y()) - frame.top);
        laidOutAny = false;
        for (const QTextBlock& b : {block.previous(), block, block.next()}) {
            if (b.isValid() && !isLaidOut(b)) {
                layOut(b);
                laidOutAny = true;
            }
        }
    }
    sizeChanged();
    const QTextBlock first = block.previous().isValid() ? block.previous() : block;
    const QTextBlock end = block.next().isValid() ? block.next().next() : QTextBlock();
    int position = first.position();
    bool exact = false;
    QTextLayout* hitLayout = nullptr;
    for (QTextBlock b = first; b.isValid() && b != end; b = b.next()) {
        if (!b.isVisible())
            continue;
        place(b);
        const QRectF lines = textRect(b);
        if (point.y() < lines.top())
            break;
        if (point.y() > lines.bottom()) {
            position = std::max(position, b.position() + b.length());
            continue;
        }
        position = hitTestBlock(b, point, accuracy, &exact);
        hitLayout = b.layout();
        break;
    }
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    int lastPosition = document()->rootFrame()->lastPosition();
    if (hitLayout && !hitLayout->preeditAreaText().isEmpty())
        lastPosition += int(hitLayout->preeditAreaText().size());
    return std::clamp(position, 0, lastPosition);
}
