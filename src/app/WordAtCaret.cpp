#include "app/WordAtCaret.h"

#include <algorithm>

bool IsWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'.':
    case u',':
    case u':':
    case u';':
    case u'\r':
    case u'\n':
        return true;
    default:
        return false;
    }
}

TTextRange WordAtCaret(QStringView text, int selStart, int selLength, bool widen)
{
    const int n = int(text.size());
    if (selLength > 0)
        return {selStart, selLength};
    int start = std::clamp(selStart, 0, n);
    // The character after the caret; none at the end of the text.
    int length = start < n ? 1 : 0;
    if (!widen)
        return {start, length};

    // Back to the start of the word: stop at the text's start or just after a separator.
    while (start > 0) {
        if (length == 1 && IsWordSeparator(text[start])) {
            ++start;
            length = 0;
            break;
        }
        --start;
        length = 1;
    }
    length = start < n ? 1 : 0;
    if (length == 0)
        return {start, 0};

    // On to the end of the word.
    for (;;) {
        if (IsWordSeparator(text[start + length - 1])) {
            --length;
            break;
        }
        if (start + length >= n)
            break;
        ++length;
    }
    return {start, length};
}
