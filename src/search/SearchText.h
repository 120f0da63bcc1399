#pragma once

#include <QString>
#include <QStringView>

// Words as the full-text index sees them. The index splits text into words and folds them
// (letter case, and the accents of Latin letters) with SQLite's "unicode61 remove_diacritics 2"
// rules; the editor's highlighting and the result snippets must find the very words the index
// found, so the same rules are written out here.

// Whether a character belongs to a word (letters, digits, private use characters and the
// combining accents that folding removes). Everything else separates words.
bool IsSearchWordCharacter(char32_t c);

// The folded form of one word: accents of Latin letters removed, and letter case folded unless
// keepCase (which is how "match case" compares).
QString FoldSearchWord(QStringView word, bool keepCase = false);

// One word of a text: where it stands (UTF-16 positions, end exclusive) and its folded form.
struct TSearchWord
{
    qsizetype start = 0;
    qsizetype end = 0;
    QString folded;
};

// Walks the words of a text one by one, so that a caller looking for the first match need not
// fold a whole long document.
class TSearchWordReader
{
public:
    TSearchWordReader(QStringView text, bool keepCase);
    // The next word into word (its folded buffer is reused); false at the end of the text.
    bool next(TSearchWord& word);

private:
    QStringView text;
    qsizetype pos = 0;
    bool keepCase;
};

// The end (in the text) of the shortest start of word whose folded form is at least
// foldedLength units long: where a prefix match that was found on folded forms ends in the text.
qsizetype EndOfFoldedPrefix(QStringView word, qsizetype foldedLength, bool keepCase);
