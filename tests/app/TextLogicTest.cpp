#include "app/TextSearch.h"
#include "app/TextStatistics.h"
#include "app/WordAtCaret.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <string_view>

namespace {

QString selected(const QString& text, int caret, bool widen = true)
{
    const TTextRange r = WordAtCaret(text, caret, 0, widen);
    return text.mid(r.start, r.length);
}

// Replace All done the slow way, one replacement and one search after the other, as a user
// pressing Replace again and again would; the fast plan has to give the same text.
QString replaceStepByStep(QString text, qsizetype from, const QString& what, const QString& with,
                          TSearchOptions options)
{
    for (qsizetype at = FindForward(text, what, from, options); at >= 0;
         at = FindForward(text, what, from, options)) {
        text.replace(at, what.size(), with);
        from = at + with.size();
    }
    return text;
}

QString applyPlan(QString text, const std::vector<qsizetype>& matches, qsizetype length,
                  const QString& with)
{
    for (auto it = matches.rbegin(); it != matches.rend(); ++it)
        text.replace(*it, length, with);
    return text;
}

} // namespace

TEST(TextLogicTest, StatisticsCountRunsOfNonBlanksAndLineFeedsAndStopAtNul)
{
    EXPECT_EQ(CountTextStatistics(u"Hello, world!"), (TTextStatistics{2, 0, 12}));
    EXPECT_EQ(CountTextStatistics(u""), (TTextStatistics{0, 0, 0}));
    EXPECT_EQ(CountTextStatistics(u"a b\r\nc\r\n"), (TTextStatistics{3, 2, 3}));
    // Punctuation belongs to words; tab, CR and LF separate like a space.
    EXPECT_EQ(CountTextStatistics(u"e-mail x,y"), (TTextStatistics{2, 0, 9}));
    EXPECT_EQ(CountTextStatistics(u"\tone\rtwo\nthree  "), (TTextStatistics{3, 1, 11}));
    // A lone CR is no line; a word runs on over a vertical tab, which is no blank.
    EXPECT_EQ(CountTextStatistics(u"a\rb\vc"), (TTextStatistics{2, 0, 4}));
    const QString withNul = QStringLiteral("ab cd") + QChar(0) + QStringLiteral(" ef\n");
    EXPECT_EQ(CountTextStatistics(withNul), (TTextStatistics{2, 0, 4}));

    EXPECT_EQ(WordCountMessage(true, {2, 0, 12}),
              "Statistics for Selection:\n\nNumber of Words: 2\nNumber of Characters: 12");
    EXPECT_EQ(WordCountMessage(false, {12345, 7, 1234567}),
              "Statistics for File:\n\nNumber of Words: 12345\nNumber of Lines: 7\n"
              "Number of Characters: 1234567");
}

TEST(TextLogicTest, WordAtCaretWidensToTheWordAroundTheCaret)
{
    EXPECT_EQ(selected("the cat sat", 5), "cat");
    EXPECT_EQ(selected("the cat sat", 4), "cat") << "caret at the start of a word";
    EXPECT_EQ(selected("one two", 3), "two") << "caret right before a separator";
    EXPECT_EQ(selected("in 2009 we", 5), "2009");
    EXPECT_EQ(selected("a,b;c", 2), "b");
    EXPECT_EQ(selected("e-mail me", 2), "e-mail") << "a hyphen is no separator";
    EXPECT_EQ(selected("first\nsecond", 8), "second");
    EXPECT_EQ(selected("first\r\nsecond", 2), "first");
    EXPECT_EQ(selected("the cat", 7), "cat") << "caret at the end of the last word";
    EXPECT_EQ(selected("the cat", 0), "the") << "caret at the start of the text";
    EXPECT_EQ(selected("cat", 1), "cat");
    // No character starts the word: nothing is selected.
    EXPECT_EQ(WordAtCaret(u"", 0, 0, true), (TTextRange{0, 0}));
    EXPECT_EQ(WordAtCaret(u"cat ", 4, 0, true), (TTextRange{4, 0}));
    EXPECT_EQ(selected("cat. ", 5), "");
    // Without widening: the one character after the caret, none at the end.
    EXPECT_EQ(selected("the x", 4, false), "x");
    EXPECT_EQ(selected("the cat", 5, false), "a");
    EXPECT_EQ(WordAtCaret(u"abc", 3, 0, false), (TTextRange{3, 0}));
    // A selection is taken as it is.
    EXPECT_EQ(WordAtCaret(u"the cat sat", 2, 5, true), (TTextRange{2, 5}));
    for (const char16_t c : std::u16string_view(u" .,:;\r\n"))
        EXPECT_TRUE(IsWordSeparator(QChar(c)));
    for (const char16_t c : std::u16string_view(u"0-!?_'\"\t"))
        EXPECT_FALSE(IsWordSeparator(QChar(c))) << char(c);
}

TEST(TextLogicTest, SearchHonoursWholeWordMatchCaseAndDirection)
{
    const QString text = QStringLiteral("Cat concat cat_ cat. CAT");
    EXPECT_EQ(FindForward(text, u"cat", 0, {}), 0);
    EXPECT_EQ(FindForward(text, u"cat", 0, {false, true}), 7);
    EXPECT_EQ(FindForward(text, u"cat", 1, {true, false}), 16) << "concat and cat_ are no words";
    EXPECT_EQ(FindForward(text, u"cat", 17, {true, false}), 21);
    EXPECT_EQ(FindForward(text, u"cat", 17, {true, true}), -1);
    EXPECT_EQ(FindForward(text, u"cat", 22, {}), -1);
    EXPECT_EQ(FindForward(text, u"", 0, {}), -1) << "an empty find text never matches";
    EXPECT_EQ(FindForward(text, u"cat", text.size() + 5, {}), -1);
    EXPECT_EQ(FindForward(u"Straße", u"STRASSE", 0, {}), -1) << "lengths never change";
    EXPECT_EQ(FindForward(u"ÄRGER ärger", u"ärger", 0, {}), 0);

    EXPECT_EQ(FindBackward(text, u"cat", text.size(), {}), 21);
    EXPECT_EQ(FindBackward(text, u"cat", 21, {}), 16) << "the match must end before the start";
    EXPECT_EQ(FindBackward(text, u"cat", 16, {true, false}), 0);
    EXPECT_EQ(FindBackward(text, u"cat", 2, {}), -1);
    EXPECT_EQ(FindBackward(text, u"CAT", text.size(), {true, true}), 21);
    EXPECT_EQ(FindBackward(text, u"cat", text.size(), {true, true}), 16);
}

TEST(TextLogicTest, ReplaceAllPlanEqualsReplacingOneMatchAfterTheOther)
{
    // The worked example: 'a' by 'aa' in 'a a' is not found again inside its own replacement.
    const auto plan = PlanReplaceAll(u"a a", 0, u"a", u"aa", {});
    EXPECT_EQ(plan, (std::vector<qsizetype>{0, 2}));
    EXPECT_EQ(applyPlan("a a", plan, 1, "aa"), "aa aa");
    EXPECT_TRUE(PlanReplaceAll(u"abc", 0, u"", u"x", {}).empty());
    // A whole-word match right after a replaced one is judged by what the replacement left.
    EXPECT_EQ(PlanReplaceAll(u"aa", 0, u"a", u"b", {true, false}), std::vector<qsizetype>{});
    EXPECT_EQ(PlanReplaceAll(u"x.a", 2, u"a", u"", {true, false}), std::vector<qsizetype>{2});

    // Random texts over a small alphabet make matches touch, overlap and sit at word edges.
    QRandomGenerator random(20261207);
    const QString alphabet = QStringLiteral("aAb _.");
    auto randomText = [&](int maxLength) {
        QString s;
        const int n = int(random.bounded(maxLength + 1));
        for (int i = 0; i < n; ++i)
            s += alphabet[int(random.bounded(alphabet.size()))];
        return s;
    };
    for (int round = 0; round < 4000; ++round) {
        const QString text = randomText(24);
        QString what = randomText(3);
        if (what.isEmpty())
            what = QStringLiteral("a");
        const QString with = randomText(3);
        const TSearchOptions options{random.bounded(2) == 1, random.bounded(2) == 1};
        const qsizetype from = random.bounded(int(text.size()) + 1);
        const auto matches = PlanReplaceAll(text, from, what, with, options);
        ASSERT_EQ(applyPlan(text, matches, what.size(), with),
                  replaceStepByStep(text, from, what, with, options))
            << "text '" << text.toStdString() << "' find '" << what.toStdString() << "' with '"
            << with.toStdString() << "' from " << from << " whole " << options.wholeWord << " case "
            << options.matchCase;
    }
}
