#pragma once

#include <QStringView>
#include <vector>

struct TSearchOptions
{
    bool wholeWord = false;
    bool matchCase = false;
};

// Letters, digits, combining marks and the underscore make up words for whole-word matching.
bool IsWordCharacter(QChar c);

// First match of what starting at or after from, or -1. An empty what never matches.
qsizetype FindForward(QStringView text, QStringView what, qsizetype from, TSearchOptions options);
// Last match that ends at or before end, or -1.
qsizetype FindBackward(QStringView text, QStringView what, qsizetype end, TSearchOptions options);

// The matches that replacing every match from position from onwards would replace, one after
// the other, each search starting after the text just put in: positions in text, ascending and
// not overlapping. A whole-word match that directly follows a replaced one is judged by the
// character the replacement left before it. Linear in the length of text for the usual case.
std::vector<qsizetype> PlanReplaceAll(QStringView text, qsizetype from, QStringView what,
                                      QStringView replacement, TSearchOptions options);
