#pragma once

#include <QString>
#include <QStringView>

// What the word count reports: words are runs of non-blank characters, characters the
// non-blank ones, lines the line feeds. Blanks are exactly space, tab, CR and LF.
struct TTextStatistics
{
    qint64 words = 0;
    qint64 lines = 0;
    qint64 characters = 0;
    bool operator==(const TTextStatistics&) const = default;
};

// One pass over text, stopping at its end or at the first NUL.
TTextStatistics CountTextStatistics(QStringView text);

// The text of the word count box, for a selection (no line count) or for the whole file.
QString WordCountMessage(bool forSelection, const TTextStatistics& stats);
