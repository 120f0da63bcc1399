#include "app/TextSearch.h"

#include <QStringMatcher>
#include <optional>

bool IsWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

namespace {

Qt::CaseSensitivity caseOf(TSearchOptions options)
{
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool isWordChar(std::optional<QChar> c)
{
    return c && IsWordCharacter(*c);
}

std::optional<QChar> charBefore(QStringView text, qsizetype pos)
{
    if (pos <= 0)
        return std::nullopt;
    return text[pos - 1];
}

std::optional<QChar> charAt(QStringView text, qsizetype pos)
{
    if (pos >= text.size())
        return std::nullopt;
    return text[pos];
}

} // namespace

qsizetype FindForward(QStringView text, QStringView what, qsizetype from, TSearchOptions options)
{
    if (what.isEmpty() || from < 0 || from > text.size())
        return -1;
    const QStringMatcher matcher(what.data(), what.size(), caseOf(options));
    for (qsizetype at = matcher.indexIn(text, from); at >= 0; at = matcher.indexIn(text, at + 1)) {
        if (!options.wholeWord)
            return at;
        if (!isWordChar(charBefore(text, at)) && !isWordChar(charAt(text, at + what.size())))
            return at;
    }
    return -1;
}

qsizetype FindBackward(QStringView text, QStringView what, qsizetype end, TSearchOptions options)
{
    if (what.isEmpty() || end > text.size())
        return -1;
    for (qsizetype at = end - what.size(); at >= 0; --at) {
        at = text.lastIndexOf(what, at, caseOf(options));
        if (at < 0)
            return -1;
        if (!options.wholeWord)
            return at;
        if (!isWordChar(charBefore(text, at)) && !isWordChar(charAt(text, at + what.size())))
            return at;
    }
    return -1;
}

std::vector<qsizetype> PlanReplaceAll(QStringView text, qsizetype from, QStringView what,
                                      QStringView replacement, TSearchOptions options)
{
    std::vector<qsizetype> matches;
    if (what.isEmpty() || from < 0 || from > text.size())
        return matches;
    const QStringMatcher matcher(what.data(), what.size(), caseOf(options));
    // What stands before position resumeAt once the earlier matches are replaced: the
    // replacement's last character, or for an empty replacement whatever stood before the match.
    std::optional<QChar> before = charBefore(text, from);
    qsizetype resumeAt = from;
    for (qsizetype at = matcher.indexIn(text, from); at >= 0;) {
        const std::optional<QChar> left = at == resumeAt ? before : charBefore(text, at);
        if (options.wholeWord && (isWordChar(left) || isWordChar(charAt(text, at + what.size())))) {
            at = matcher.indexIn(text, at + 1);
            continue;
        }
        matches.push_back(at);
        before = replacement.isEmpty() ? left : std::optional<QChar>(replacement.back());
        resumeAt = at + what.size();
        at = matcher.indexIn(text, resumeAt);
    }
    return matches;
}
