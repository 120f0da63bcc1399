#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// A run of characters in a paragraph, by position and length.
struct TWordSpan
{
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool contains(int position) const { return position >= start && position <= end(); }
    bool operator==(const TWordSpan&) const = default;
};

// The words of a paragraph that a spelling check looks at, in order.
//
// A word is a run of letters; an apostrophe (' or ’) or a hyphen between two letters belongs to
// it ("don't", "it’s", "well-known"), one at either end does not ("'quoted'", "students'").
// Left out, because no dictionary can judge them: words with a digit or an underscore
// ("MP3", "2nd", "snake_case"), words in capitals only ("NASA", "I"), anything in a web or
// e-mail address, and words of scripts written without spaces between words.
std::vector<TWordSpan> CheckableWords(QStringView text);

// The pieces of a hyphenated word between its hyphens, relative to the word; a word without a
// hyphen is its own only piece. Pieces a check would leave out (capitals only) are dropped.
std::vector<TWordSpan> HyphenParts(QStringView word);

// The word as dictionaries spell it: typographic apostrophes become plain ones.
QString NormalizedWord(QStringView word);

// Apostrophes both plain and typographic.
bool IsApostrophe(QChar c);
