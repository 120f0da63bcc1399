#pragma once

#include "search/SearchQuery.h"

#include <QList>
#include <QString>

// One line of a document around its first match, for the result list.
struct TSnippet
{
    QString text;
    QList<TTextMatch> marks; // the matched words within text

    friend bool operator==(const TSnippet&, const TSnippet&) = default;
};

// The line (paragraph) of text that holds the first match of matcher, cut to about maxLength
// characters with the match near its start (a narrow side bar shows only the start), marked
// "…" where it was cut, its runs of blanks shown as one space. A text in which the matcher finds
// nothing gives its first line.
TSnippet MakeSnippet(QStringView text, const TQueryMatcher& matcher, qsizetype maxLength = 160);
