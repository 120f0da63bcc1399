#include "store/EntryScan.h"

#include "StoreTestSupport.h"
#include "store/EntryNames.h"

namespace {

class EntryScan : public ::testing::Test
{
protected:
    void store(std::initializer_list<QDate> dates)
    {
        for (const QDate d : dates)
            PutFile(JoinPath(dir.path(), EntryFileNameOf(d)));
    }
    TEntryNeighbours scan(QDate current) const
    {
        return ScanEntryNeighbours(dir.path(), EntryFileNameOf(current));
    }

    QTemporaryDir dir;
    const QDate mar1{2026, 3, 1};
    const QDate mar5{2026, 3, 5};
    const QDate mar10{2026, 3, 10};
    const QDate mar20{2026, 3, 20};
};

void expectNeighbours(const TEntryNeighbours& n, std::optional<QDate> prev,
                      std::optional<QDate> next)
{
    EXPECT_EQ(n.hasPrev, prev.has_value());
    EXPECT_EQ(n.hasNext, next.has_value());
    if (prev) {
        EXPECT_EQ(n.prev, *prev);
    }
    if (next) {
        EXPECT_EQ(n.next, *next);
    }
}

} // namespace

TEST_F(EntryScan, NoneOrOneStoredEntryHasNoNeighbours)
{
    expectNeighbours(scan(mar5), std::nullopt, std::nullopt);
    expectNeighbours(ScanEntryNeighbours(dir.path() + "/missing", "jx20260305.rtf"), std::nullopt,
                     std::nullopt);
    store({mar5});
    expectNeighbours(scan(mar5), std::nullopt, std::nullopt);
    // Even when the one stored entry is another day.
    expectNeighbours(scan(mar1), std::nullopt, std::nullopt);
}

TEST_F(EntryScan, FirstMiddleAndLastSkipTheDaysBetween)
{
    store({mar20, mar1, mar5});
    expectNeighbours(scan(mar1), std::nullopt, mar5);
    expectNeighbours(scan(mar5), mar1, mar20);
    expectNeighbours(scan(mar20), mar5, std::nullopt);
    // Across years and with a year below 1000.
    store({QDate(999, 7, 9), QDate(2025, 12, 31)});
    expectNeighbours(scan(mar1), QDate(2025, 12, 31), mar5);
    expectNeighbours(scan(QDate(2025, 12, 31)), QDate(999, 7, 9), mar1);
}

TEST_F(EntryScan, CurrentEntryMissingLeadsNextToTheFirstEntry)
{
    store({mar5, mar20});
    expectNeighbours(scan(mar10), std::nullopt, mar5);
    expectNeighbours(ScanEntryNeighbours(dir.path(), "not an entry"), std::nullopt, mar5);
}

TEST_F(EntryScan, CurrentNameAndStoredNamesMatchIgnoringCase)
{
    PutFile(JoinPath(dir.path(), "JX20260301.RTF"));
    store({mar5, mar20});
    expectNeighbours(ScanEntryNeighbours(dir.path(), "jx20260305.RTF"), mar1, mar20);
    expectNeighbours(ScanEntryNeighbours(dir.path(), "Jx20260301.rtf"), std::nullopt, mar5);
    // The same day under two spellings is one entry.
    PutFile(JoinPath(dir.path(), "jx20260301.rtf"));
    expectNeighbours(scan(mar5), mar1, mar20);
    expectNeighbours(scan(mar1), std::nullopt, mar5);
}

TEST_F(EntryScan, NamesWithoutAValidDateAreLeftOut)
{
    store({mar5});
    for (const char* junk : {"jx20261301.rtf", "jx2026030x.rtf", "jx.rtf", "jx20260307 copy.rtf",
                             "jx20260230.rtf", "jx99999999999999999999.rtf"})
        PutFile(JoinPath(dir.path(), junk));
    PutFile(JoinPath(dir.path(), "kw_jx20260310.rtf"));
    // Still one entry only.
    expectNeighbours(scan(mar5), std::nullopt, std::nullopt);
    store({mar20});
    expectNeighbours(scan(mar5), std::nullopt, mar20);
    expectNeighbours(scan(mar20), mar5, std::nullopt);
}

TEST_F(EntryScan, ListEntryDatesFiltersByPattern)
{
    store({QDate(2026, 12, 24), QDate(2026, 11, 30), QDate(2026, 12, 1), QDate(2025, 12, 5)});
    PutFile(JoinPath(dir.path(), "jx20261299.rtf"));
    EXPECT_EQ(ListEntryDates(dir.path(), "jx202612*.rtf"),
              QList<QDate>({QDate(2026, 12, 1), QDate(2026, 12, 24)}));
    EXPECT_EQ(ListEntryDates(dir.path()).size(), 4);
}
