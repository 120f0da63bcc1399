#pragma once

#include <QDateEdit>

// The date control of the date panel. It reports a date (dateChosen) only once the user has
// finished choosing one: Return, leaving the field, a pick in the calendar, or one step of the
// arrow keys, the wheel or the page keys. Typing "25" into the day never reports the 2nd on the
// way, and a date set by the program is never reported at all.
class TDatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit TDatePicker(QWidget* parent = nullptr);

    // Shows date without reporting it.
    void setDateSilently(QDate date);
    // The date being reported came from a step (arrow keys, wheel, page keys): the user is
    // still at the control and may step on, so the focus stays here.
    bool isStepping() const { return stepping; }

    void stepBy(int steps) override;

signals:
    void dateChosen(QDate date);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void report();
    bool calendarShown() const;

    bool stepping = false;
    bool silent = false;
    QDate reported;
};
