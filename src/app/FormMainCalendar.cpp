#include "app/TFormMain.h"

#include "app/TEntryCalendar.h"
#include "store/EntryDays.h"

#include <QDateEdit>

void TFormMain::installEntryCalendar()
{
    EntryCalendar = makeEntryCalendar();
    EntryCalendar->setParent(DateTimePicker);
    DateTimePicker->setCalendarWidget(EntryCalendar);
}

TEntryCalendar* TFormMain::makeEntryCalendar()
{
    return new TEntryCalendar([this](int year, int month) { return markedDays(year, month); },
                              [this] { return env.today(); });
}

quint32 TFormMain::markedDays(int year, int month) const
{
    quint32 days = EntryDaysOfMonth(Journal->DocsDir, year, month);
    // The day shown without any text has a file only while it is shown: no entry to mark.
    const QDate shown = Journal->CurrentDate;
    if (shown.year() == year && shown.month() == month && Journal->currentIsUntouchedPlaceholder())
        days &= ~(quint32(1) << shown.day());
    return days;
}
