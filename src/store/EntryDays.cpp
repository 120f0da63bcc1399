#include "store/EntryDays.h"

#include "store/EntryNames.h"
#include "store/Paths.h"

#include <algorithm>

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

quint32 EntryDaysOfMonth(const QString& docsDir, int year, int month)
{
    if (year < 0 || year > 9999 || month < 1 || month > 12)
        return 0;
    const QString pattern =
        QStringLiteral("jx%1%2*.rtf").arg(year, 4, 10, QLatin1Char('0')).arg(twoDigits(month));
    quint32 days = 0;
    for (const QByteArray& name : ListDirectoryBytes(docsDir, pattern)) {
        // The pattern lets through names that only start like an entry ("jx20261201 copy.rtf").
        if (const std::optional<QDate> date = DateOfEntryFileBytes(name))
            days |= quint32(1) << date->day();
    }
    return days;
}

QList<QDate> EntriesOnThisDay(const QString& docsDir, QDate date)
{
    QList<QDate> dates;
    if (!date.isValid())
        return dates;
    QList<int> days{date.day()};
    if (date.month() == 2 && date.day() == 28 && !QDate::isLeapYear(date.year()))
        days << 29;
    for (const int day : days) {
        const QString pattern =
            QStringLiteral("jx*%1%2.rtf").arg(twoDigits(date.month()), twoDigits(day));
        for (const QByteArray& name : ListDirectoryBytes(docsDir, pattern)) {
            const std::optional<QDate> stored = DateOfEntryFileBytes(name);
            if (stored && stored->month() == date.month() && stored->day() == day &&
                stored->year() < date.year())
                dates.append(*stored);
        }
    }
    std::sort(dates.begin(), dates.end(), std::greater<>());
    // Names that differ only in letter case are one entry.
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}
