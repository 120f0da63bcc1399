#include "app/BackgroundLayout.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimerEvent>

TBackgroundLayout::TBackgroundLayout(QObject* parent) : QObject(parent)
{
}

void TBackgroundLayout::follow(QTextDocument* doc)
{
    if (layout)
        layout->removeEventFilter(this);
    document = doc;
    layout = doc ? doc->documentLayout() : nullptr;
    frontier = 0;
    if (layout)
        layout->installEventFilter(this);
}

bool TBackgroundLayout::finished() const
{
    if (!document)
        return true;
    for (QTextBlock block = document->lastBlock(); block.isValid(); block = block.previous()) {
        if (block.isVisible())
            return block.layout() && block.layout()->lineCount() > 0;
    }
    return true;
}

bool TBackgroundLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == layout && event->type() == QEvent::Timer &&
        isSteppingTimer(static_cast<QTimerEvent*>(event)->timerId()))
        return layOutSlice();
    return QObject::eventFilter(watched, event);
}

bool TBackgroundLayout::isSteppingTimer(int timerId) const
{
    // The layout has one other timer, the notice that its size changed, which runs at 0 ms and
    // must get through; the stepping timer runs every few milliseconds.
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher)
        return false;
    const auto timers = dispatcher->registeredTimers(layout);
    for (const QAbstractEventDispatcher::TimerInfo& timer : timers) {
        if (timer.timerId == timerId)
            return timer.interval > 0;
    }
    return false;
}

bool TBackgroundLayout::layOutSlice()
{
    if (!document || !layout)
        return false;
    QElapsedTimer clock;
    clock.start();
    bool laidOut = false;
    QTextBlock block = document->findBlock(frontier);
    while (block.isValid()) {
        if (block.isVisible() && block.layout()->lineCount() == 0) {
            // Asking where a paragraph stands lays out everything before it too, in the
            // layout's own chunks of a screen or two.
            layout->blockBoundingRect(block);
            if (block.layout()->lineCount() == 0)
                return laidOut; // no page size yet: nothing can be laid out
            laidOut = true;
        }
        frontier = block.position() + block.length();
        block = block.next();
        if (clock.nsecsElapsed() >= SliceNanoseconds)
            break;
    }
    // Once there is nothing left, the layout's own step runs: it finds its work done and stops
    // its timer.
    return laidOut || block.isValid();
}
