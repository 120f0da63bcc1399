#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

struct TQueryOptions
{
    // Letter case must be as typed (accents are still ignored).
    bool matchCase = false;
    // A word only finds itself; otherwise it also finds the words it begins ("jour" finds
    // "journey"), as the index can look words up by their start but not by their middle.
    bool wholeWords = false;
};

// One part of a query: a word, or several words that must stand together in this order.
struct TQueryTerm
{
    QStringList words;   // as typed, one entry per word the index sees
    bool prefix = false; // the last word may be the start of a longer word
    bool excluded = false;

    friend bool operator==(const TQueryTerm&, const TQueryTerm&) = default;
};

// What the user typed into the search field, understood: words (all must occur), "a phrase",
// prefix*, -excluded. Anything that does not parse as that is searched as its plain words.
class TSearchQuery
{
public:
    static TSearchQuery parse(const QString& text, TQueryOptions options = {});

    // Nothing to look for (no words, or only punctuation).
    bool isEmpty() const;
    // The typing did not parse (an unclosed quote, nothing but exclusions), so its words are
    // searched as they stand.
    bool isLiteral() const { return literal; }
    const QList<TQueryTerm>& terms() const { return termList; }
    const TQueryOptions& options() const { return opts; }

    // The expression for the index's MATCH, every word quoted, so that nothing typed can be read
    // as the index's own syntax. With match case the index only narrows the candidates (it
    // ignores case) and exclusions are left to the check of each text. Empty when isEmpty().
    QString matchExpression() const;
    // The same query with every word of it searched plainly: the last resort when the index
    // refuses an expression.
    QString literalMatchExpression() const;

private:
    QList<TQueryTerm> termList;
    TQueryOptions opts;
    bool literal = false;
};

struct TTextMatch
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TTextMatch&, const TTextMatch&) = default;
};

// Finds a query's words in a text with the index's own word rules, for the check of match case,
// the snippets and the selections in the editor.
class TQueryMatcher
{
public:
    explicit TQueryMatcher(const TSearchQuery& query);

    // Every place where a wanted term occurs, in text order; overlapping places are merged.
    QList<TTextMatch> matches(QStringView text) const;
    // The first of matches(), found without reading the rest of a long text.
    std::optional<TTextMatch> firstMatch(QStringView text) const;
    // All wanted terms occur and no excluded one does.
    bool accepts(QStringView text) const;

private:
    struct TPattern
    {
        QStringList folded;
        bool prefix = false;
        bool excluded = false;
    };
    struct TScan;
    void scan(QStringView text, TScan& state) const;

    QList<TPattern> patterns;
    bool keepCase = false;
    qsizetype longest = 1;
};
