#include "app/TDatePicker.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

TDatePicker::TDatePicker(QWidget* parent) : QDateEdit(parent)
{
    setKeyboardTracking(false);
    connect(this, &QDateEdit::dateChanged, this, [this] {
        // Typing is reported when it is finished (editingFinished); a step or a pick in the
        // calendar is a finished choice already.
        if (!silent && (stepping || calendarShown()))
            report();
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (!silent)
            report();
    });
}

void TDatePicker::setDateSilently(QDate value)
{
    const QScopedValueRollback<bool> quiet(silent, true);
    setDate(value);
    reported = date();
}

void TDatePicker::report()
{
    if (date() == reported)
        return;
    reported = date();
    emit dateChosen(reported);
}

bool TDatePicker::calendarShown() const
{
    // The pop-up reports its pick while it is still on screen, and closes after.
    if (!calendarPopup())
        return false;
    const QCalendarWidget* calendar = calendarWidget();
    return calendar && calendar->window()->isVisible();
}

void TDatePicker::stepBy(int steps)
{
    const QScopedValueRollback<bool> mark(stepping, true);
    QDateEdit::stepBy(steps);
}

void TDatePicker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Return on the date already shown is a choice too: it sends the user to the editor.
        const QDate before = reported;
        QDateEdit::keyPressEvent(event);
        if (reported == before && !silent)
            emit dateChosen(date());
        return;
    }
    // Typing into the day of a long date renames the weekday in front of it ("Monday, 7" becomes
    // "Wednesday, 2"), and the caret would stay at its old place inside the weekday, so that the
    // second digit went astray. The caret keeps its place relative to what follows it instead.
    QLineEdit* line = lineEdit();
    const QString before = line->text();
    const int start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    const int end = line->hasSelectedText() ? start + int(line->selectedText().size()) : start;
    QDateEdit::keyPressEvent(event);
    const QString after = line->text();
    if (!event->text().isEmpty() && after.size() != before.size() &&
        QStringView(after).left(start) != QStringView(before).left(start)) {
        const QSignalBlocker quiet(line);
        line->setCursorPosition(int(after.size()) - (int(before.size()) - end));
    }
}
