#include "search/SearchText.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

#include <map>

namespace {

QStringList words(const QString& text, bool keepCase = false)
{
    QStringList out;
    TSearchWordReader reader(text, keepCase);
    TSearchWord word;
    while (reader.next(word))
        out << word.folded;
    return out;
}

} // namespace

TEST(SearchText, WordsAreSplitAndFoldedAsTheIndexDoes)
{
    EXPECT_EQ(words(u"Le Café, c'est l'été!"_qs),
              QStringList({"le", "cafe", "c", "est", "l", "ete"}));
    // Underscores, hyphens and apostrophes separate; digits and letters of any script belong.
    EXPECT_EQ(words(u"e-mail a_b 3.14 x²"_qs),
              QStringList({"e", "mail", "a", "b", "3", "14", "x²"}));
    // Only Latin letters lose their accents; Greek and Cyrillic keep theirs, as the index does.
    EXPECT_EQ(words(u"ÉLAN Ελληνικά Ёж Øre straße ǅemal İstanbul"_qs),
              QStringList({"elan", "ελληνικά", "ёж", "øre", "straße", "ǆemal", "istanbul"}));
    // A decomposed accent is part of its word and dropped; other combining marks separate.
    EXPECT_EQ(words(u"cafe\u0301s na\u0308ive"_qs), QStringList({"cafes", "naive"}));
    EXPECT_EQ(words(u"हिन्दी"_qs), QStringList({"ह", "न", "द"}));
    // Letters beyond the first plane are letters; emoji are not.
    EXPECT_EQ(words(u"\U0001D400bc \U0001F600 ok"_qs), QStringList({u"\U0001D400bc"_qs, "ok"}));
    EXPECT_TRUE(words(u" ,.;!?  \t\n"_qs).isEmpty());

    // Match case keeps letter case but still drops accents.
    EXPECT_EQ(words(u"Café ÉTÉ"_qs, true), QStringList({"Cafe", "ETE"}));
    EXPECT_EQ(FoldSearchWord(u"Ünïcödé", true), "Unicode");
    EXPECT_EQ(FoldSearchWord(u"Ünïcödé"), "unicode");
}

TEST(SearchText, WordPositionsAndPrefixEndsPointIntoTheText)
{
    const QString text = u"  Crème brûlée\nend"_qs;
    TSearchWordReader reader(text, false);
    TSearchWord word;
    ASSERT_TRUE(reader.next(word));
    EXPECT_EQ(text.mid(word.start, word.end - word.start), u"Crème"_qs);
    ASSERT_TRUE(reader.next(word));
    EXPECT_EQ(text.mid(word.start, word.end - word.start), u"brûlée"_qs);
    ASSERT_TRUE(reader.next(word));
    EXPECT_EQ(word.folded, "end");
    EXPECT_FALSE(reader.next(word));

    // "bru" found in the folded "brulee" ends after the accented letter in the text.
    EXPECT_EQ(EndOfFoldedPrefix(u"brûlée", 3, false), 3);
    // A decomposed accent after the last letter of the prefix belongs to the prefix.
    EXPECT_EQ(EndOfFoldedPrefix(u"cafe\u0301s", 4, false), 5);
    EXPECT_EQ(EndOfFoldedPrefix(u"word", 10, false), 4);
}

namespace {

QString between(char32_t c)
{
    return QString(u'x') + QString::fromUcs4(&c, 1) + u'y';
}

} // namespace

// Every character of the first two planes (the second holds emoji), put between two letters, must
// come out of our word reader as it comes out of the index's own tokenizer: either one word (the
// character belongs to words, and folds to the same thing) or two.
TEST(SearchText, EveryCharacterAgreesWithTheIndexTokenizer)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bmp"));
    {
        db.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE VIRTUAL TABLE t USING fts5(body, tokenize='unicode61 "
                           "remove_diacritics 2')"));
        ASSERT_TRUE(q.exec("CREATE VIRTUAL TABLE v USING fts5vocab(t, 'instance')"));
        ASSERT_TRUE(db.transaction());
        QSqlQuery insert(db);
        ASSERT_TRUE(insert.prepare("INSERT INTO t(rowid, body) VALUES(?, ?)"));
        for (char32_t c = 0x21; c <= 0x1FFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            insert.addBindValue(qlonglong(c));
            insert.addBindValue(between(c));
            ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
        }
        ASSERT_TRUE(db.commit());
        std::map<qlonglong, QStringList> terms;
        ASSERT_TRUE(q.exec("SELECT doc, term FROM v ORDER BY doc, offset"));
        while (q.next())
            terms[q.value(0).toLongLong()] << q.value(1).toString();

        int mismatches = 0;
        for (const auto& [code, indexWords] : terms) {
            const QStringList ours = words(between(char32_t(code)));
            if (ours != indexWords && ++mismatches <= 20)
                ADD_FAILURE() << "U+" << std::hex << code << ": index "
                              << indexWords.join('|').toStdString() << ", ours "
                              << ours.join('|').toStdString();
        }
        EXPECT_EQ(mismatches, 0);
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bmp"));
}
