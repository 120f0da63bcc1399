#include "app/BackgroundLayout.h"

#include "app/FlowLayout.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimerEvent>

#include <algorithm>

namespace {

// Below every paragraph of any document, and still a valid position in the layout's fixed-point
// coordinates.
constexpr qreal ParkedY = 3.0e7;

} // namespace

TBackgroundLayout::TBackgroundLayout(QTextEdit* textEdit) : QObject(textEdit), editor(textEdit)
{
}

void TBackgroundLayout::follow(QTextDocument* doc)
{
    if (layout) {
        layout->removeEventFilter(this);
        disconnect(layout, nullptr, this, nullptr);
    }
    document = doc;
    layout = doc ? doc->documentLayout() : nullptr;
    if (!layout)
        return;
    if (TFlowLayout* flow = TFlowLayout::of(*doc)) {
        connect(flow, &QAbstractTextDocumentLayout::update, this, [this] { startSlices(); });
        startSlices();
        return;
    }
    layout->installEventFilter(this);
    // Every change the layout hears of (an edit, a new width) may leave paragraphs to lay out,
    // and an edit may have ended the run: it is started again before anyone asks the layout
    // where something is.
    connect(layout, &QAbstractTextDocumentLayout::update, this, [this] {
        if (!runUnderWay() && !finished() && !document->pageSize().isNull())
            restartRun();
        startSlices();
    });
    frontier = firstBlockNotLaidOut().blockNumber();
    parkFrom(firstBlockNotLaidOut());
    startSlices();
}

void TBackgroundLayout::parkFrom(QTextBlock block)
{
    for (; block.isValid(); block = block.next()) {
        if (!TFlowLayout::isLaidOut(block))
            block.layout()->setPosition(QPointF(0, ParkedY));
    }
}

bool TBackgroundLayout::finished() const
{
    if (!document)
        return true;
    if (const TFlowLayout* flow = TFlowLayout::of(*document))
        return flow->laidOutWhole();
    for (QTextBlock block = document->lastBlock(); block.isValid(); block = block.previous()) {
        if (block.isVisible())
            return TFlowLayout::isLaidOut(block);
    }
    return true;
}

void TBackgroundLayout::startSlices()
{
    if (!slices.isActive() && !finished())
        slices.start(1, Qt::PreciseTimer, this);
}

bool TBackgroundLayout::eventFilter(QObject* watched, QEvent* event)
{
    // The layout's own steps never run: the slices do their work in smaller pieces.
    if (watched == layout && event->type() == QEvent::Timer &&
        isSteppingTimer(static_cast<QTimerEvent*>(event)->timerId())) {
        startSlices();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TBackgroundLayout::isSteppingTimer(int timerId) const
{
    // The layout has one other timer, the notice that its size changed, which runs at 0 ms and
    // must get through; the stepping timer runs every few milliseconds.
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher || !layout)
        return false;
    const auto timers = dispatcher->registeredTimers(layout);
    for (const QAbstractEventDispatcher::TimerInfo& timer : timers) {
        if (timer.timerId == timerId)
            return timer.interval > 0;
    }
    return false;
}

bool TBackgroundLayout::runUnderWay() const
{
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher || !layout)
        return false;
    const auto timers = dispatcher->registeredTimers(layout);
    return std::any_of(timers.cbegin(), timers.cend(),
                       [](const QAbstractEventDispatcher::TimerInfo& t) { return t.interval > 0; });
}

QTextBlock TBackgroundLayout::firstBlockNotLaidOut() const
{
    // The layout works from the top down, so what is laid out is always a run from the start.
    int low = 0;
    int high = document->blockCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (TFlowLayout::isLaidOut(document->findBlockByNumber(middle)))
            low = middle + 1;
        else
            high = middle;
    }
    return document->findBlockByNumber(low);
}

void TBackgroundLayout::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != slices.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    // Laid out at any other width, the work would be done again once the editor shows.
    if (!document || !layout || finished() || !editor->isVisible() ||
        document->pageSize().isNull()) {
        slices.stop();
        return;
    }
    if (TFlowLayout* flow = TFlowLayout::of(*document)) {
        layOutFlowSlice(*flow);
        return;
    }
    if (!runUnderWay())
        restartRun();
    // A new width starts the layout afresh: what it laid out before is to be laid out again.
    const QTextBlock next = firstBlockNotLaidOut();
    if (next.blockNumber() < frontier)
        parkFrom(next);
    layOutSlice();
    frontier = firstBlockNotLaidOut().blockNumber();
}

void TBackgroundLayout::layOutFlowSlice(TFlowLayout& flow)
{
    QScrollBar* bar = editor->verticalScrollBar();
    const int scrolled = bar->value();
    QTextBlock anchor;
    qreal offset = 0;
    if (scrolled > 0) {
        anchor = document->findBlock(flow.hitTest(QPointF(0, scrolled), Qt::FuzzyHit));
        offset = scrolled - flow.blockBoundingRect(anchor).top();
    }
    flow.layOutFor(SliceNanoseconds);
    if (!anchor.isValid())
        return;
    const int anchored = qRound(flow.blockBoundingRect(anchor).top() + offset);
    if (anchored == scrolled)
        return;
    bar->setValue(anchored);
    // What is shown stands where it stood on screen: the view is painted again, not moved.
    editor->viewport()->update();
}

void TBackgroundLayout::layOutSlice()
{
    QElapsedTimer clock;
    clock.start();
    do {
        const QTextBlock next = firstBlockNotLaidOut();
        if (!next.isValid())
            return;
        // Asking where a paragraph stands lays out everything before it too, in the layout's
        // own pieces of a screen or two.
        layout->blockBoundingRect(next);
        if (!TFlowLayout::isLaidOut(next))
            return;
    } while (clock.nsecsElapsed() < SliceNanoseconds);
}

void TBackgroundLayout::restartRun()
{
    // A new run starts at the top; what the view shows is laid out again at once (the same
    // lines, so nothing moves on screen) and the scroll bar is left as it is meanwhile, or the
    // view would jump to the top of a document that seems to end where the run has got to.
    QScrollBar* bar = editor->verticalScrollBar();
    const int scrolled = bar->value();
    const qreal bottom = qreal(scrolled + editor->viewport()->height());
    {
        const QSignalBlocker quiet(layout);
        document->setPageSize(document->pageSize());
        layout->hitTest(QPointF(0, bottom), Qt::FuzzyHit);
    }
    bar->setValue(scrolled);
    parkFrom(firstBlockNotLaidOut());
}
