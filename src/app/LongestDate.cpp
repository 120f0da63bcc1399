#include "app/LongestDate.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>

QString LongestLongDate(const QLocale& locale, const QFontMetrics& metrics)
{
    QString longest;
    int widest = -1;
    for (QDate date(2026, 1, 1); date.year() == 2026; date = date.addDays(1)) {
        const QString text = locale.toString(date, QLocale::LongFormat);
        const int width = metrics.horizontalAdvance(text);
        if (width > widest) {
            widest = width;
            longest = text;
        }
    }
    return longest;
}
