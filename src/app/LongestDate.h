#pragma once

#include <QString>

class QFontMetrics;
class QLocale;

// The long date of the locale that takes the most room in the given font, for controls that
// must show every date in full. Within one year every month meets every weekday on a
// two-digit day, so that year's dates stand for all of them.
QString LongestLongDate(const QLocale& locale, const QFontMetrics& metrics);
