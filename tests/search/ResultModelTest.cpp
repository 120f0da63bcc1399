#include "search/JournalSearch.h"
#include "search/SearchResultModel.h"

#include "SearchTestSupport.h"

#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class ResultModelTest : public ::testing::Test
{
protected:
    QTemporaryDir docs;
    std::unique_ptr<TJournalSearch> search;
    TSearchResultModel model;

    void start()
    {
        search = std::make_unique<TJournalSearch>(docs.path());
        search->start();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return search->isReady() && !search->isBuilding(); }, 20000));
    }
    void file(const QString& name, const QByteArray& text) { put(docs.path() + '/' + name, text); }
    QStringList titles() const
    {
        QStringList out;
        for (int row = 0; row < model.rowCount(); ++row)
            out << model.index(row).data(TSearchResultModel::TitleRole).toString();
        return out;
    }
    void runAndFill(const QString& query, TQueryOptions options = {}, TSearchFilter filter = {})
    {
        QSignalSpy filled(&model, &TSearchResultModel::filled);
        model.run(*search, TSearchQuery::parse(query, options), filter);
        ASSERT_TRUE(filled.count() == 1 || filled.wait(10000));
    }
};

TEST_F(ResultModelTest, ResultsAreNewestFirstWithTitlesAndMarkedSnippets)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    file("jx20250310.rtf", "Spring. We walked along the river with the dog.");
    file("jx20261201.rtf", "Winter river walk, the river was frozen.");
    file("jx20240101.rtf", "Nothing about water.");
    file("kw_Places.rtf", "River Thames\nRiver Cam");
    start();
    runAndFill("river", {false, true}, {TSearchFilter::Scope::Entries, {}, {}});
    EXPECT_EQ(titles(), QStringList({QLocale().toString(QDate(2026, 12, 1), QLocale::LongFormat),
                                     QLocale().toString(QDate(2025, 3, 10), QLocale::LongFormat)}));
    EXPECT_EQ(model.result(0).snippet.text, "Winter river walk, the river was frozen.");
    EXPECT_EQ(model.index(0).data(TSearchResultModel::MarksRole).value<QList<int>>(),
              QList<int>({7, 5, 23, 5}));
    EXPECT_EQ(model.result(1).name, "jx20250310.rtf");
    EXPECT_EQ(model.result(1).date, QDate(2025, 3, 10));

    runAndFill("river", {false, true}, {TSearchFilter::Scope::Keywords, {}, {}});
    EXPECT_EQ(titles(), QStringList({"Places"}));
    EXPECT_EQ(model.result(0).kind, TDocumentKind::Keyword);
    EXPECT_EQ(model.result(0).snippet.text, "River Thames");

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    QLocale::setDefault(QLocale::c());
}

TEST_F(ResultModelTest, MatchCaseHasTheLastWordOnEachText)
{
    file("jx20260101.rtf", "Meeting in Rome.");
    file("jx20260102.rtf", "rome, lower case only.");
    file("jx20260103.rtf", "ROME and Rome.");
    start();
    runAndFill("Rome", {true, true});
    EXPECT_EQ(model.candidateCount(), 3);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.result(0).name, "jx20260103.rtf");
    EXPECT_EQ(model.result(0).snippet.marks, (QList<TTextMatch>{{9, 4}}));
    EXPECT_EQ(model.result(1).name, "jx20260101.rtf");
}

TEST_F(ResultModelTest, AWordInEveryEntryFillsTheListInBatchesBetweenEvents)
{
    const int entries = TSearchResultModel::BatchSize * 3 + 7;
    for (int i = 0; i < entries; ++i)
        file(QStringLiteral("jx%1.rtf").arg(QDate(2020, 1, 1).addDays(i).toString("yyyyMMdd")),
             "the same word " + QByteArray::number(i));
    start();
    QSignalSpy filled(&model, &TSearchResultModel::filled);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.run(*search, TSearchQuery::parse("same"), {});
    // The first batch is there at once; the rest comes while events are handled.
    EXPECT_EQ(model.rowCount(), TSearchResultModel::BatchSize);
    EXPECT_TRUE(model.isFilling());
    EXPECT_EQ(filled.count(), 0);
    ASSERT_TRUE(filled.wait(10000));
    EXPECT_EQ(model.rowCount(), entries);
    EXPECT_EQ(inserted.count(), 4);
    EXPECT_FALSE(model.isFilling());

    // A new search drops the old one's batches still to come.
    model.run(*search, TSearchQuery::parse("same"), {});
    model.run(*search, TSearchQuery::parse("nothing-like-it"), {});
    QTest::qWait(50);
    EXPECT_EQ(model.rowCount(), 0);
}
