#pragma once

#include <QStringView>

// The characters that end a word for Edit Find: space . , : ; CR LF. Everything else, digits
// and other punctuation included, belongs to a word.
bool IsWordSeparator(QChar c);

struct TTextRange
{
    int start = 0;
    int length = 0;
    bool operator==(const TTextRange&) const = default;
};

// The selection Edit Find takes its text from, given the text and the current selection. A
// non-empty selection is kept. Otherwise the character after the caret, or with widen set the
// word around the caret: a caret inside or at the start of a word gives that word, one right
// before a separator the word after the separator, one at the end of the text the last word.
// Where no character starts the word (empty text, caret after a trailing separator) the result
// is empty, so the find text is empty.
TTextRange WordAtCaret(QStringView text, int selStart, int selLength, bool widen);
