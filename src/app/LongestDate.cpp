#include "app/LongestDate.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>

QString LongestLongDate(const QLocale& locale, const QFontMetrics& metrics)
{
    QString longest;
    int widest = -1;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) {
            const QString text = locale.toString(QDate(2026, month, day), QLocale::LongFormat);
            const int width = metrics.horizontalAdvance(text);
            if (width > widest) {
                widest = width;
                longest = text;
            }
        }
    }
    return longest;
}
