#include "app/TTabRow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QShortcut>

TTabRow::TTabRow(QWidget* parent) : QTabBar(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setExpanding(false);
    setDrawBase(true);
    setMovable(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);

    // Window-wide, so that they work while the editor has the focus; the editor would otherwise
    // take Ctrl+Tab for a tab character. Shift+Tab arrives as Backtab on most keyboards.
    auto addKeys = [this](const QList<QKeySequence>& keys, int step) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] { stepByUser(step); });
    };
    addKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    addKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            -1);
}

void TTabRow::stepByUser(int step)
{
    if (count() < 2)
        return;
    const int from = currentIndex() < 0 ? 0 : currentIndex();
    selectByUser(((from + step) % count() + count()) % count());
}

void TTabRow::selectSilently(int index)
{
    const QSignalBlocker block(this);
    setCurrentIndex(index);
}

int TTabRow::findCaption(const QString& caption) const
{
    for (int i = 0; i < count(); ++i)
        if (tabText(i).compare(caption, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TTabRow::findKeywordTab(const QString& caption) const
{
    for (int i = 1; i < count(); ++i)
        if (tabText(i).compare(caption, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList TTabRow::captions() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << tabText(i);
    return list;
}

void TTabRow::swapTabs(int a, int b)
{
    const QString captionA = tabText(a);
    setTabText(a, tabText(b));
    setTabText(b, captionA);
}

void TTabRow::selectByUser(int index)
{
    if (index < 0 || index == currentIndex())
        return;
    changeRefused = false;
    emit changing();
    if (changeRefused)
        return;
    selectSilently(index);
    emit changed();
}

void TTabRow::mousePressEvent(QMouseEvent* event)
{
    const int index = tabAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        emit rightPressed(index);
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    selectByUser(index);
    // Only the tab that is now selected may be dragged, so that a drop always moves the
    // document that the editor shows.
    dragIndex = (index > 0 && index == currentIndex()) ? index : -1;
    pressPos = event->position().toPoint();
    dragging = false;
    event->accept();
}

void TTabRow::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || dragIndex <= 0)
        return;
    if (!dragging &&
        (event->position().toPoint() - pressPos).manhattanLength() >= QApplication::startDragDistance())
        dragging = true;
    if (dragging) {
        const int over = tabAt(event->position().toPoint());
        setCursor(over > 0 ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    }
}

void TTabRow::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging && event->button() == Qt::LeftButton) {
        unsetCursor();
        dragging = false;
        const int target = tabAt(event->position().toPoint());
        if (target > 0 && dragIndex > 0)
            emit tabDropped(dragIndex, target);
    }
    dragIndex = -1;
    event->accept();
}

void TTabRow::wheelEvent(QWheelEvent* event)
{
    // A wheel turn over the tabs must not switch documents behind the user's back.
    event->ignore();
}

void TTabRow::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}
