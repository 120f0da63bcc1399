#include "search/SearchQuery.h"

#include "search/SearchText.h"

#include <algorithm>
#include <vector>

namespace {

// The words of a piece of the query, as the index will split it.
QStringList wordsOf(QStringView piece)
{
    QStringList words;
    TSearchWordReader reader(piece, true);
    TSearchWord word;
    while (reader.next(word))
        words << piece.sliced(word.start, word.end - word.start).toString();
    return words;
}

QString quoted(const QStringList& words, bool prefix)
{
    QString joined = words.join(QLatin1Char(' '));
    joined.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + joined + QLatin1Char('"') +
           (prefix ? QStringLiteral("*") : QString());
}

bool isSpace(QChar c)
{
    return c.isSpace();
}

} // namespace

TSearchQuery TSearchQuery::parse(const QString& text, TQueryOptions options)
{
    TSearchQuery query;
    query.opts = options;
    const bool defaultPrefix = !options.wholeWords;

    // An unclosed quote leaves the query without a meaning of its own: its words are searched.
    const bool balanced = text.count(QLatin1Char('"')) % 2 == 0;
    if (balanced) {
        const qsizetype n = text.size();
        qsizetype i = 0;
        while (i < n) {
            while (i < n && isSpace(text[i]))
                ++i;
            if (i >= n)
                break;
            TQueryTerm term;
            if (text[i] == u'-' && i + 1 < n && !isSpace(text[i + 1])) {
                term.excluded = true;
                ++i;
            }
            bool phrase = false;
            QStringView piece;
            if (text[i] == u'"') {
                const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
                piece = QStringView(text).sliced(i + 1, close - i - 1);
                i = close + 1;
                phrase = true;
            } else {
                const qsizetype from = i;
                while (i < n && !isSpace(text[i]) && text[i] != u'"')
                    ++i;
                piece = QStringView(text).sliced(from, i - from);
            }
            bool star = false;
            if (phrase) {
                while (i < n && text[i] == u'*') {
                    star = true;
                    ++i;
                }
            } else {
                while (piece.endsWith(u'*')) {
                    star = true;
                    piece.chop(1);
                }
            }
            term.words = wordsOf(piece);
            if (term.words.isEmpty())
                continue;
            term.prefix = star || (!phrase && defaultPrefix);
            query.termList << term;
        }
    }
    const bool anyWanted = std::any_of(query.termList.cbegin(), query.termList.cend(),
                                       [](const TQueryTerm& t) { return !t.excluded; });
    if (!balanced || (!anyWanted && !query.termList.isEmpty())) {
        query.literal = true;
        query.termList.clear();
        for (const QString& word : wordsOf(text))
            query.termList << TQueryTerm{{word}, defaultPrefix, false};
    }
    return query;
}

bool TSearchQuery::isEmpty() const
{
    return std::none_of(termList.cbegin(), termList.cend(),
                        [](const TQueryTerm& t) { return !t.excluded; });
}

QString TSearchQuery::matchExpression() const
{
    if (isEmpty())
        return {};
    QStringList wanted;
    QStringList unwanted;
    for (const TQueryTerm& term : termList) {
        if (!term.excluded)
            wanted << quoted(term.words, term.prefix);
        else if (!opts.matchCase)
            unwanted << quoted(term.words, term.prefix);
    }
    QString expression = wanted.join(QLatin1Char(' '));
    if (!unwanted.isEmpty())
        expression = QLatin1Char('(') + expression + QLatin1Char(')');
    for (const QString& term : std::as_const(unwanted))
        expression += QStringLiteral(" NOT ") + term;
    return expression;
}

QString TSearchQuery::literalMatchExpression() const
{
    QStringList words;
    for (const TQueryTerm& term : termList)
        if (!term.excluded)
            for (const QString& word : term.words)
                words << quoted({word}, false);
    return words.join(QLatin1Char(' '));
}

// ---------------------------------------------------------------------------------------------

namespace {

enum class TScanGoal { All, First, Accept };

struct TFoundAt
{
    qsizetype firstWord;
    qsizetype start;
    qsizetype end;
};

} // namespace

struct TQueryMatcher::TScan
{
    TScanGoal goal = TScanGoal::All;
    std::vector<TSearchWord> words;
    std::vector<TFoundAt> found;
    std::vector<bool> patternSeen;
    bool rejected = false;
};

TQueryMatcher::TQueryMatcher(const TSearchQuery& query) : keepCase(query.options().matchCase)
{
    for (const TQueryTerm& term : query.terms()) {
        TPattern pattern;
        for (const QString& word : term.words)
            pattern.folded << FoldSearchWord(word, keepCase);
        pattern.prefix = term.prefix;
        pattern.excluded = term.excluded;
        longest = std::max(longest, pattern.folded.size());
        patterns << pattern;
    }
}

void TQueryMatcher::scan(QStringView text, TScan& state) const
{
    state.patternSeen.assign(patterns.size(), false);
    const bool anyExcluded = std::any_of(patterns.cbegin(), patterns.cend(),
                                         [](const TPattern& p) { return p.excluded; });
    TSearchWordReader reader(text, keepCase);
    TSearchWord word;
    qsizetype earliest = -1; // first word of the earliest match so far (goal First)
    while (reader.next(word)) {
        state.words.push_back(word);
        const qsizetype last = qsizetype(state.words.size()) - 1;
        for (qsizetype p = 0; p < patterns.size(); ++p) {
            const TPattern& pattern = patterns[p];
            const qsizetype length = pattern.folded.size();
            const qsizetype first = last - length + 1;
            if (first < 0)
                continue;
            bool ok = true;
            for (qsizetype k = 0; k < length && ok; ++k) {
                const QString& have = state.words[size_t(first + k)].folded;
                const QString& want = pattern.folded[k];
                ok = (k == length - 1 && pattern.prefix) ? have.startsWith(want) : have == want;
            }
            if (!ok)
                continue;
            state.patternSeen[size_t(p)] = true;
            if (pattern.excluded) {
                if (state.goal == TScanGoal::Accept) {
                    state.rejected = true;
                    return;
                }
                continue;
            }
            const TSearchWord& lastWord = state.words[size_t(last)];
            qsizetype end = lastWord.end;
            if (pattern.prefix && lastWord.folded.size() > pattern.folded.last().size())
                end = lastWord.start +
                      EndOfFoldedPrefix(text.sliced(lastWord.start, lastWord.end - lastWord.start),
                                        pattern.folded.last().size(), keepCase);
            state.found.push_back({first, state.words[size_t(first)].start, end});
            if (earliest < 0 || first < earliest)
                earliest = first;
        }
        if (state.goal == TScanGoal::First && earliest >= 0 && last - longest + 1 >= earliest)
            return;
        // Without exclusions, a text is accepted as soon as every term has been seen.
        if (state.goal == TScanGoal::Accept && !anyExcluded &&
            std::find(state.patternSeen.begin(), state.patternSeen.end(), false) ==
                state.patternSeen.end())
            return;
    }
}

QList<TTextMatch> TQueryMatcher::matches(QStringView text) const
{
    TScan state;
    scan(text, state);
    std::sort(state.found.begin(), state.found.end(), [](const TFoundAt& a, const TFoundAt& b) {
        return a.start < b.start || (a.start == b.start && a.end > b.end);
    });
    QList<TTextMatch> merged;
    qsizetype end = -1;
    for (const TFoundAt& f : state.found) {
        if (!merged.isEmpty() && f.start < end) {
            if (f.end > end) {
                end = f.end;
                merged.last().length = end - merged.last().start;
            }
            continue;
        }
        merged << TTextMatch{f.start, f.end - f.start};
        end = f.end;
    }
    return merged;
}

std::optional<TTextMatch> TQueryMatcher::firstMatch(QStringView text) const
{
    TScan state;
    state.goal = TScanGoal::First;
    scan(text, state);
    if (state.found.empty())
        return std::nullopt;
    // The earliest start; of those, the longest.
    const TFoundAt best = *std::min_element(
        state.found.begin(), state.found.end(), [](const TFoundAt& a, const TFoundAt& b) {
            return a.start < b.start || (a.start == b.start && a.end > b.end);
        });
    return TTextMatch{best.start, best.end - best.start};
}

bool TQueryMatcher::accepts(QStringView text) const
{
    TScan state;
    state.goal = TScanGoal::Accept;
    scan(text, state);
    if (state.rejected)
        return false;
    for (qsizetype p = 0; p < patterns.size(); ++p)
        if (!patterns[p].excluded && !state.patternSeen[size_t(p)])
            return false;
    return !patterns.isEmpty();
}
