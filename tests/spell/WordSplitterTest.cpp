#include "SpellTestSupport.h"

#include "spell/WordSplitter.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList words(const QString& text)
{
    QStringList list;
    for (const TWordSpan& w : CheckableWords(text))
        list << text.mid(w.start, w.length);
    return list;
}

TEST(WordSplitter, ApostrophesBetweenLettersBelongToTheWord)
{
    EXPECT_EQ(words(u"don't it\u2019s rock'n'roll O'Brien"_qs),
              (QStringList{"don't", u"it\u2019s"_qs, "rock'n'roll", "O'Brien"}));
    // At either end they are quotes or a plural's mark, not part of the word.
    EXPECT_EQ(words(u"'quoted' \u2019single\u2019 students' ''double''"_qs),
              (QStringList{"quoted", "single", "students", "double"}));
    EXPECT_EQ(NormalizedWord(u"it\u2019s"), "it's");

    // Positions are those of the paragraph, so marks land on the right characters.
    const std::vector<TWordSpan> spans = CheckableWords(u"  'ab', cd\u2019e.");
    EXPECT_EQ(spans, (std::vector<TWordSpan>{{3, 2}, {8, 4}}));
}

TEST(WordSplitter, HyphensJoinLettersOnlyAndSplitIntoPieces)
{
    EXPECT_EQ(words(u"well-known mother-in-law co\u2010op"_qs),
              (QStringList{"well-known", "mother-in-law", u"co\u2010op"_qs}));
    // A dash between words, a hyphen at a line's start or end, and digits do not join.
    EXPECT_EQ(words("dash - here -lead trail- 3-D x--y"),
              (QStringList{"dash", "here", "lead", "trail", "x", "y"}));

    EXPECT_EQ(HyphenParts(u"mother-in-law"), (std::vector<TWordSpan>{{0, 6}, {7, 2}, {10, 3}}));
    EXPECT_EQ(HyphenParts(u"plain"), (std::vector<TWordSpan>{{0, 5}}));
    // A piece in capitals is an acronym and is not checked on its own.
    EXPECT_EQ(HyphenParts(u"NATO-led"), (std::vector<TWordSpan>{{5, 3}}));
}

TEST(WordSplitter, LeavesOutWhatNoDictionaryCanJudge)
{
    // Digits, underscores and capitals only.
    EXPECT_EQ(words("MP3 2nd abc123 snake_case NASA I A-OK ok"), (QStringList{"ok"}));
    // Mixed case is a word like any other.
    EXPECT_EQ(words("iPhone McDonald Hello"), (QStringList{"iPhone", "McDonald", "Hello"}));
    // Web and e-mail addresses as a whole, brackets and punctuation around them included.
    EXPECT_EQ(words("see https://exmaple.com/some-pathh, (www.exmaple.org) or "
                    "<mailto:jon@exmaple.com> or jon.doe@exmaple.co.uk. ftp://hots/x end"),
              (QStringList{"see", "or", "or", "end"}));
    // A word that merely starts with "@" is still a word.
    EXPECT_EQ(words("@mention a@"), (QStringList{"mention", "a"}));
    // Scripts written without spaces cannot be split into words by a dictionary; those with
    // spaces and without letter case are checked.
    EXPECT_EQ(words(u"\u65e5\u672c\u8a9e word \u0645\u0631\u062d\u0628\u0627"_qs),
              (QStringList{"word", u"\u0645\u0631\u062d\u0628\u0627"_qs}));
    // Accented letters and combining marks are letters.
    EXPECT_EQ(words(u"caf\u00e9 cafe\u0301 na\u00efve"_qs),
              (QStringList{u"caf\u00e9"_qs, u"cafe\u0301"_qs, u"na\u00efve"_qs}));
    EXPECT_TRUE(CheckableWords(u"").empty());
    EXPECT_TRUE(CheckableWords(u" \t\u2028 ... 42 ").empty());
}

} // namespace
