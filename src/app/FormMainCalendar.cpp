#include "app/TFormMain.h"

#include "app/TEntryCalendar.h"
#include "store/EntryDays.h"
#include "store/ExternalChange.h"

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
    quint32 days = EntryDaysOfMonth(DocsDir, year, month);
    // The day shown without any text has a file only while it is shown: no entry to mark.
    if (entryPlaceholder && CurrentDate.year() == year && CurrentDate.month() == month &&
        StampOf(EntryPath) == placeholderStamp)
        days &= ~(quint32(1) << CurrentDate.day());
    return days;
}
