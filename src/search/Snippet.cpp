#include "search/Snippet.h"

#include <vector>

namespace {

constexpr qsizetype ContextBefore = 20;
const QChar Ellipsis(0x2026);

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

TSnippet MakeSnippet(QStringView text, const TQueryMatcher& matcher, qsizetype maxLength)
{
    const std::optional<TTextMatch> first = matcher.firstMatch(text);
    const qsizetype at = first ? first->start : 0;
    qsizetype lineStart = at;
    while (lineStart > 0 && !isLineBreak(text[lineStart - 1]))
        --lineStart;
    qsizetype lineEnd = at;
    while (lineEnd < text.size() && !isLineBreak(text[lineEnd]))
        ++lineEnd;
    // A document that starts with blank lines still shows its first words.
    if (!first) {
        while (lineStart < text.size() &&
               (isLineBreak(text[lineStart]) || text[lineStart].isSpace()))
            ++lineStart;
        lineEnd = lineStart;
        while (lineEnd < text.size() && !isLineBreak(text[lineEnd]))
            ++lineEnd;
    }
    const QStringView line = text.sliced(lineStart, lineEnd - lineStart);
    const qsizetype atInLine = at - lineStart;

    qsizetype from = 0;
    if (atInLine > ContextBefore) {
        from = atInLine - ContextBefore;
        // Start at a word, not in the middle of one.
        while (from < atInLine && !line[from].isSpace())
            ++from;
        while (from < atInLine && line[from].isSpace())
            ++from;
    }
    qsizetype to = std::min(line.size(), from + maxLength);
    if (to < line.size()) {
        // End after a whole word, unless that would cut into the match.
        const qsizetype matchEnd = first ? atInLine + first->length : 0;
        qsizetype cut = to;
        while (cut > matchEnd && !line[cut].isSpace())
            --cut;
        while (cut > matchEnd && line[cut - 1].isSpace())
            --cut;
        if (cut > matchEnd)
            to = cut;
    }

    TSnippet snippet;
    std::vector<qsizetype> outAt(size_t(to - from + 1), 0);
    if (from > 0)
        snippet.text += Ellipsis;
    bool lastBlank = false;
    for (qsizetype i = from; i < to; ++i) {
        outAt[size_t(i - from)] = snippet.text.size();
        const QChar c = line[i];
        if (c.isSpace()) {
            if (!lastBlank)
                snippet.text += QLatin1Char(' ');
            lastBlank = true;
        } else {
            snippet.text += c;
            lastBlank = false;
        }
    }
    outAt[size_t(to - from)] = snippet.text.size();
    if (to < line.size())
        snippet.text += Ellipsis;

    if (first) {
        for (const TTextMatch& m : matcher.matches(line)) {
            const qsizetype s = std::max(m.start, from);
            const qsizetype e = std::min(m.start + m.length, to);
            if (s >= e)
                continue;
            const qsizetype outStart = outAt[size_t(s - from)];
            snippet.marks << TTextMatch{outStart, outAt[size_t(e - from)] - outStart};
        }
    }
    return snippet;
}
