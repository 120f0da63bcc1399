#include "app/ToolTipSwitch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

TToolTipSwitch::TToolTipSwitch(QWidget* watched) : QObject(watched), area(watched)
{
    // Tooltip events go to the buttons inside the area, so they are caught on their way there.
    QCoreApplication::instance()->installEventFilter(this);
}

bool TToolTipSwitch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !tooltipsShown) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == area || area->isAncestorOf(widget)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
