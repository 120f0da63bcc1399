#include "SpellTestSupport.h"

#include "spell/SpellChecker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QStringList wrongWords(const TSpellChecker& checker, const QString& text)
{
    QStringList list;
    for (const TWordSpan& w : checker.misspellings(text))
        list << text.mid(w.start, w.length);
    return list;
}

class SpellCheckerTest : public ::testing::Test
{
protected:
    TinyDictionaries dicts;
    TSpellChecker checker;
};

TEST_F(SpellCheckerTest, AWordIsRightWhenAnyChosenDictionaryKnowsIt)
{
    EXPECT_TRUE(checker.setDictionaries(dicts.infos({"en_XX"})).isEmpty());
    const QString text = "Hello world, Kaffee gut. Helo wrld!";
    EXPECT_EQ(wrongWords(checker, text), (QStringList{"Kaffee", "gut", "Helo", "wrld"}));

    EXPECT_TRUE(checker.setDictionaries(dicts.infos({"en_XX", "de_XX"})).isEmpty());
    EXPECT_EQ(checker.dictionaries(), (QStringList{"en_XX", "de_XX"}));
    EXPECT_EQ(wrongWords(checker, text), (QStringList{"Helo", "wrld"}));
    EXPECT_EQ(checker.misspellingAt(text, 26), (TWordSpan{25, 4}));
    EXPECT_EQ(checker.misspellingAt(text, 29), (TWordSpan{25, 4})); // caret right after it
    EXPECT_FALSE(checker.misspellingAt(text, 2).has_value());

    // Affixes work as the dictionary defines them; capitals at a sentence's start too.
    EXPECT_TRUE(checker.isCorrect(u"Worlds"));
    EXPECT_FALSE(checker.isCorrect(u"Kaffees"));

    // Hyphenated words: whole when a dictionary knows the pieces, otherwise only the wrong
    // piece is marked, and pieces may come from different languages.
    EXPECT_EQ(wrongWords(checker, "well-known Kaffee-check Kaffe-check hello-wrld-Haus"),
              (QStringList{"Kaffe", "wrld"}));

    // Apostrophes typed as typography are spelled as the dictionary has them.
    EXPECT_EQ(wrongWords(checker, u"don't don\u2019t dont\u2019"_qs), (QStringList{"dont"}));
}

TEST_F(SpellCheckerTest, SuggestionsComeFromEveryDictionaryWithoutRepeats)
{
    checker.setDictionaries(dicts.infos({"en_XX", "de_XX"}));
    const QStringList forHelo = checker.suggestions("helo");
    ASSERT_FALSE(forHelo.isEmpty());
    EXPECT_EQ(forHelo.first(), "hello");
    EXPECT_EQ(QStringList(forHelo).removeDuplicates(), 0);
    EXPECT_TRUE(checker.suggestions("Kafee").contains("Kaffee"));
    EXPECT_LE(checker.suggestions("e", 7).size(), 7);
    EXPECT_LE(checker.suggestions("hel", 2).size(), 2);
    // A word typed with a typographic apostrophe gets it back in its suggestions.
    const QStringList forDont = checker.suggestions(u"dn\u2019t"_qs);
    EXPECT_TRUE(forDont.contains(u"don\u2019t"_qs)) << forDont.join(' ').toStdString();
}

TEST_F(SpellCheckerTest, WordsAreConvertedToEachDictionarysEncoding)
{
    ASSERT_TRUE(checker.setDictionaries(dicts.infos({"fr_XX"})).isEmpty());
    EXPECT_TRUE(checker.isCorrect(u"caf\u00e9"));
    EXPECT_TRUE(checker.isCorrect(u"\u00e9t\u00e9"));
    EXPECT_FALSE(checker.isCorrect(u"cafe"));
    // Suggestions come back from the dictionary's encoding intact.
    EXPECT_TRUE(checker.suggestions("cafe").contains(u"caf\u00e9"_qs));
    // A word with a character the encoding lacks is unknown to that dictionary, not mangled
    // into one it knows ("?" for "œ" must not make "c?fé" match anything).
    EXPECT_FALSE(checker.isCorrect(u"caf\u0153"));
    EXPECT_FALSE(checker.isCorrect(u"\u20acuro"));
    // With a UTF-8 dictionary beside it, each is asked in its own encoding.
    checker.setDictionaries(dicts.infos({"de_XX", "fr_XX"}));
    EXPECT_EQ(wrongWords(checker, u"Stra\u00dfe caf\u00e9 Strasse"_qs), (QStringList{"Strasse"}));
}

TEST_F(SpellCheckerTest, AMissingDictionaryIsReportedAndTheOthersStillWork)
{
    TDictionaryInfo missing{"xx_YY", dicts.dir() + "/xx_YY.aff", dicts.dir() + "/xx_YY.dic"};
    EXPECT_EQ(checker.setDictionaries({missing}), (QStringList{"xx_YY"}));
    EXPECT_FALSE(checker.hasDictionaries());
    // Without a dictionary nothing is marked and nothing is offered.
    EXPECT_TRUE(checker.misspellings(u"qwrtz zxcv").empty());
    EXPECT_TRUE(checker.isCorrect(u"qwrtz"));

    // A dictionary whose files went away between finding and loading.
    std::vector<TDictionaryInfo> list = dicts.infos({"en_XX", "de_XX"});
    QFile::remove(list[1].dicPath);
    EXPECT_EQ(checker.setDictionaries(list), (QStringList{"de_XX"}));
    EXPECT_EQ(checker.dictionaries(), (QStringList{"en_XX"}));
    EXPECT_EQ(wrongWords(checker, "hello Haus"), (QStringList{"Haus"}));
}

TEST_F(SpellCheckerTest, PersonalWordsAndIgnoredWordsAreRight)
{
    checker.setDictionaries(dicts.infos({"en_XX"}));
    EXPECT_FALSE(checker.isCorrect(u"zorblat"));
    checker.addPersonalWords({"zorblat", "  ", "Tarvex"});
    EXPECT_TRUE(checker.isCorrect(u"zorblat"));
    EXPECT_TRUE(checker.isCorrect(u"Zorblat")); // at a sentence's start
    EXPECT_TRUE(checker.isCorrect(u"Tarvex"));
    EXPECT_FALSE(checker.isCorrect(u"tarvex")); // a name keeps its capital
    EXPECT_TRUE(checker.suggestions("zorblatt").contains("zorblat"));
    // Words added before the dictionaries change stay right with the new ones.
    checker.setDictionaries(dicts.infos({"de_XX", "fr_XX"}));
    EXPECT_TRUE(checker.isCorrect(u"zorblat"));

    checker.ignore("Qwrt");
    EXPECT_TRUE(checker.isCorrect(u"Qwrt"));
    EXPECT_FALSE(checker.isCorrect(u"qwrt"));
    EXPECT_TRUE(wrongWords(checker, "Qwrt zorblat").isEmpty());
}

TEST_F(SpellCheckerTest, ADictionaryReachedThroughALinkIsLoadedOnce)
{
    const QString dir = dicts.dir();
    ASSERT_TRUE(QFile::link(dir + "/en_XX.aff", dir + "/en_YY.aff"));
    ASSERT_TRUE(QFile::link(dir + "/en_XX.dic", dir + "/en_YY.dic"));
    checker.setDictionaries(dicts.infos({"en_XX", "en_YY", "de_XX"}));
    EXPECT_EQ(checker.dictionaries(), (QStringList{"en_XX", "de_XX"}));
    EXPECT_EQ(checker.suggestions("helo").count("hello"), 1);
    const int generation = checker.generation();
    checker.setDictionaries(dicts.infos({"de_XX"}));
    EXPECT_NE(checker.generation(), generation);
    EXPECT_FALSE(checker.isCorrect(u"hello")); // no verdict of the old set survives
}

// The dictionaries the project's set-up installs, as the program finds them.
TEST(SystemDictionaries, EnglishAndGermanTogether)
{
    std::vector<TDictionaryInfo> chosen;
    for (const TDictionaryInfo& d : FindDictionaries(SystemDictionaryDirs()))
        if (d.code == "en_US" || d.code == "de_DE")
            chosen.push_back(d);
    if (chosen.size() < 2)
        GTEST_SKIP() << "hunspell-en-us and hunspell-de-de are not installed";
    TSpellChecker checker;
    ASSERT_TRUE(checker.setDictionaries(chosen).isEmpty());
    const QString text = u"Today I drank Kaffee on the Stra\u00dfe; it wasn\u2019t bad. "
                         u"Tommorow I will wrte more."_qs;
    EXPECT_EQ(wrongWords(checker, text), (QStringList{"Tommorow", "wrte"}));
    EXPECT_TRUE(checker.suggestions("Tommorow").contains("Tomorrow"));
}

} // namespace
