#include "search/SearchQuery.h"
#include "search/SearchIndex.h"
#include "search/Snippet.h"

#include "SearchTestSupport.h"

#include <gtest/gtest.h>

namespace {

TQueryOptions wholeWords()
{
    return {false, true};
}
TQueryOptions matchCase()
{
    return {true, false};
}

QList<TTextMatch> matchesOf(const QString& query, const QString& text, TQueryOptions o = {})
{
    return TQueryMatcher(TSearchQuery::parse(query, o)).matches(text);
}

QStringList matchedTexts(const QString& query, const QString& text, TQueryOptions o = {})
{
    QStringList out;
    for (const TTextMatch& m : matchesOf(query, text, o))
        out << text.mid(m.start, m.length);
    return out;
}

} // namespace

TEST(SearchQuery, WordsPhrasesPrefixesAndExclusionsBecomeAQuotedExpression)
{
    const TSearchQuery q = TSearchQuery::parse(u"cat \"Black  dog\" jour* -mouse -\"old hat\""_qs);
    ASSERT_EQ(q.terms().size(), 5);
    EXPECT_EQ(q.terms()[0], (TQueryTerm{{"cat"}, true, false}));
    EXPECT_EQ(q.terms()[1], (TQueryTerm{{"Black", "dog"}, false, false}));
    EXPECT_EQ(q.terms()[2], (TQueryTerm{{"jour"}, true, false}));
    EXPECT_EQ(q.terms()[3], (TQueryTerm{{"mouse"}, true, true}));
    EXPECT_EQ(q.terms()[4], (TQueryTerm{{"old", "hat"}, false, true}));
    EXPECT_FALSE(q.isLiteral());
    EXPECT_EQ(q.matchExpression(),
              u"(\"cat\"* \"Black dog\" \"jour\"*) NOT \"mouse\"* NOT \"old hat\""_qs);

    // Whole words: only an explicit star looks for the starts of words.
    EXPECT_EQ(TSearchQuery::parse(u"cat jour* \"new yo\"*"_qs, wholeWords()).matchExpression(),
              u"\"cat\" \"jour\"* \"new yo\"*"_qs);
    // With match case the index only narrows down (it ignores case); exclusions are judged on
    // each text, or "-Paris" would throw out every text with "paris".
    EXPECT_EQ(TSearchQuery::parse(u"Rome -Paris"_qs, matchCase()).matchExpression(),
              u"\"Rome\"*"_qs);
    // A word the index splits is a phrase of its parts.
    EXPECT_EQ(TSearchQuery::parse(u"e-mail"_qs, wholeWords()).matchExpression(), u"\"e mail\""_qs);
}

TEST(SearchQuery, WhatDoesNotParseIsSearchedAsPlainWords)
{
    const TSearchQuery unclosed = TSearchQuery::parse(u"\"summer holiday -rain"_qs, wholeWords());
    EXPECT_TRUE(unclosed.isLiteral());
    EXPECT_EQ(unclosed.matchExpression(), u"\"summer\" \"holiday\" \"rain\""_qs);

    const TSearchQuery onlyExcluded = TSearchQuery::parse(u"-rain -snow"_qs, wholeWords());
    EXPECT_TRUE(onlyExcluded.isLiteral());
    EXPECT_EQ(onlyExcluded.matchExpression(), u"\"rain\" \"snow\""_qs);

    // The index's own operators and punctuation are nothing but words or separators here.
    EXPECT_EQ(
        TSearchQuery::parse(u"NEAR(a b) OR c:d ^e +f AND NOT"_qs, wholeWords()).matchExpression(),
        u"\"NEAR a\" \"b\" \"OR\" \"c d\" \"e\" \"f\" \"AND\" \"NOT\""_qs);
    EXPECT_TRUE(TSearchQuery::parse(u"  !!! ... * - \"\" "_qs).isEmpty());
    EXPECT_TRUE(TSearchQuery::parse(QString()).matchExpression().isEmpty());
    EXPECT_EQ(TSearchQuery::parse(u"\"\" -  tea"_qs, wholeWords()).matchExpression(),
              u"\"tea\""_qs);
}

TEST(SearchQuery, MatcherFindsWordsPhrasesAndPrefixesIgnoringCaseAndAccents)
{
    const QString text = u"Le Café de Paris. Un cafe noir, CAFÉS et cafetière; black  dog!"_qs;
    EXPECT_EQ(matchedTexts(u"cafe"_qs, text, wholeWords()), QStringList({"Café", "cafe"}));
    // Without whole words a word finds the words it begins, and only its own part is marked.
    EXPECT_EQ(matchedTexts(u"cafe"_qs, text), QStringList({"Café", "cafe", "CAFÉ", "cafe"}));
    EXPECT_EQ(matchedTexts(u"café*"_qs, text, wholeWords()),
              QStringList({"Café", "cafe", "CAFÉ", "cafe"}));
    EXPECT_EQ(matchedTexts(u"\"Black dog\""_qs, text), QStringList({"black  dog"}));
    EXPECT_TRUE(matchedTexts(u"\"dog black\""_qs, text).isEmpty());
    // Overlapping finds are one place.
    EXPECT_EQ(matchedTexts(u"paris \"de paris\""_qs, text), QStringList({"de Paris"}));
    // Match case keeps ignoring accents.
    EXPECT_EQ(matchedTexts(u"Cafe"_qs, text, {true, true}), QStringList({"Café"}));
    EXPECT_EQ(matchesOf(u"noir"_qs, text).first(), (TTextMatch{26, 4}));
}

TEST(SearchQuery, MatcherAcceptsTextsByAllWantedAndNoExcludedTerm)
{
    auto accepts = [](const QString& query, const QString& text, TQueryOptions o = {}) {
        return TQueryMatcher(TSearchQuery::parse(query, o)).accepts(text);
    };
    EXPECT_TRUE(accepts(u"rain umbrella"_qs, u"The umbrella kept the rain off."_qs));
    EXPECT_FALSE(accepts(u"rain umbrella"_qs, u"The rain."_qs));
    EXPECT_FALSE(accepts(u"rain -cold"_qs, u"Rain, and cold."_qs));
    EXPECT_TRUE(accepts(u"rain -cold"_qs, u"Rain, and colder."_qs, wholeWords()));
    EXPECT_FALSE(accepts(u"rain -cold"_qs, u"Rain, and colder."_qs));
    // Match case decides on each text: exact case wanted, exact case excluded.
    EXPECT_TRUE(accepts(u"Rome -Paris"_qs, u"Rome, not paris."_qs, matchCase()));
    EXPECT_FALSE(accepts(u"Rome -Paris"_qs, u"Rome and Paris."_qs, matchCase()));
    EXPECT_FALSE(accepts(u"Rome"_qs, u"rome"_qs, matchCase()));
    EXPECT_FALSE(accepts(QString(), u"anything"_qs));
}

TEST(SearchQuery, FirstMatchIsTheEarliestEvenWhenALongerPhraseStartsBefore)
{
    const TQueryMatcher matcher(TSearchQuery::parse(u"c \"a b c d\""_qs, wholeWords()));
    const QString text = u"a b c d c"_qs;
    ASSERT_TRUE(matcher.firstMatch(text));
    EXPECT_EQ(*matcher.firstMatch(text), (TTextMatch{0, 7}));
    EXPECT_FALSE(TQueryMatcher(TSearchQuery::parse(u"zzz"_qs)).firstMatch(text));
}

TEST(Snippet, ShowsTheLineOfTheFirstMatchWithTheMatchNearItsStart)
{
    const QString text = u"First line without it.\n"
                         "A long second line where, after many words of no interest at all, "
                         "the\tword   appears and goes on for quite a while longer than that.\n"
                         "Third line with word."_qs;
    const TSnippet s =
        MakeSnippet(text, TQueryMatcher(TSearchQuery::parse(u"word"_qs, wholeWords())), 40);
    EXPECT_EQ(s.text, u"…at all, the word appears and goes on…"_qs);
    ASSERT_EQ(s.marks.size(), 1);
    EXPECT_EQ(s.text.mid(s.marks[0].start, s.marks[0].length), "word");

    // Nothing found (the index and the matcher disagree): the first words of the text.
    const TSnippet none =
        MakeSnippet(u"\n\n  Opening words\nmore"_qs, TQueryMatcher(TSearchQuery::parse(u"x"_qs)));
    EXPECT_EQ(none.text, "Opening words");
    EXPECT_TRUE(none.marks.isEmpty());

    const TSnippet marks =
        MakeSnippet(u"Tea, tea and TEA."_qs, TQueryMatcher(TSearchQuery::parse(u"tea"_qs)));
    EXPECT_EQ(marks.marks, (QList<TTextMatch>{{0, 3}, {5, 3}, {13, 3}}));
}

// The expressions the queries make, run on a real index.
class QueryOnIndex : public ::testing::Test
{
protected:
    TSearchIndex index;
    void SetUp() override
    {
        index.openMemory(TSearchIndex::newMemoryName());
        index.begin();
        add("jx20260101.rtf", u"New year. Café au lait with Anna in Paris."_qs);
        add("jx20260102.rtf", u"Rain all day; the cafeteria was closed."_qs);
        add("jx20260103.rtf", u"Paris again, rain and a black dog."_qs);
        add("kw_Recipes.rtf", u"Black coffee, dog biscuits."_qs);
        index.commit();
    }
    void add(const char* name, const QString& text)
    {
        const auto what = DocumentNameOf(QString::fromLatin1(name));
        ASSERT_TRUE(what);
        index.put({QString::fromLatin1(name), *what, {qint64(text.size()), 1000}, true, text});
    }
    QStringList find(const QString& query, TQueryOptions o = {}, TSearchFilter f = {})
    {
        QStringList names;
        for (const TIndexHit& hit : index.find(TSearchQuery::parse(query, o).matchExpression(), f))
            names << hit.name;
        return names;
    }
};

TEST_F(QueryOnIndex, ExpressionsFindWhatTheQuerySays)
{
    EXPECT_EQ(find(u"cafe"_qs, wholeWords()), QStringList({"jx20260101.rtf"}));
    EXPECT_EQ(find(u"CAFÉ"_qs), QStringList({"jx20260102.rtf", "jx20260101.rtf"}));
    EXPECT_EQ(find(u"paris rain"_qs), QStringList({"jx20260103.rtf"}));
    EXPECT_EQ(find(u"paris -rain"_qs), QStringList({"jx20260101.rtf"}));
    EXPECT_EQ(find(u"\"black dog\""_qs), QStringList({"jx20260103.rtf"}));
    // Newest first: keyword files count by the day they were last changed (long ago here).
    EXPECT_EQ(find(u"black dog"_qs), QStringList({"jx20260103.rtf", "kw_Recipes.rtf"}));
    EXPECT_EQ(find(u"black"_qs, {}, {TSearchFilter::Scope::Keywords, {}, {}}),
              QStringList({"kw_Recipes.rtf"}));
    EXPECT_EQ(find(u"black"_qs, {}, {TSearchFilter::Scope::Entries, {}, {}}),
              QStringList({"jx20260103.rtf"}));
    EXPECT_EQ(find(u"rain"_qs, {}, {TSearchFilter::Scope::Everything, QDate(2026, 1, 3), {}}),
              QStringList({"jx20260103.rtf"}));
    EXPECT_EQ(find(u"paris"_qs, {}, {TSearchFilter::Scope::Everything, {}, QDate(2026, 1, 2)}),
              QStringList({"jx20260101.rtf"}));

    // Nothing a user types reaches the index as its own syntax or as SQL.
    for (const QString& hostile : {u"\"unclosed"_qs, u"NEAR(paris rain)"_qs, u"body:paris"_qs,
                                   u"paris OR"_qs, u"'; DROP TABLE documents; --"_qs,
                                   u"* - ( ) ^ : \" \""_qs, u"-paris"_qs, u"\"a\"\"b\""_qs}) {
        EXPECT_NO_THROW(find(hostile)) << hostile.toStdString();
        EXPECT_NO_THROW(find(hostile, {true, true})) << hostile.toStdString();
    }
    EXPECT_EQ(find(u"-paris"_qs), QStringList({"jx20260103.rtf", "jx20260101.rtf"}));
    EXPECT_EQ(index.documentCount(), 4);
}
