#pragma once

#include <QString>

class QFontMetrics;
class QLocale;

// The long date of the locale that takes the most room in the given font, for controls that
// must show every date in full. Seven days in a row meet every weekday, so the 22nd to the 28th
// of each month (two-digit days all) stand for every date.
QString LongestLongDate(const QLocale& locale, const QFontMetrics& metrics);
