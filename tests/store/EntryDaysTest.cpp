#include "store/EntryDays.h"

#include "StoreTestSupport.h"
#include "store/EntryNames.h"

namespace {

class EntryDays : public ::testing::Test
{
protected:
    void store(std::initializer_list<QDate> dates)
    {
        for (const QDate d : dates)
            PutFile(JoinPath(dir.path(), EntryFileNameOf(d)));
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(EntryDays, MonthBitsHoldTheStoredDaysOfThatMonthOnly)
{
    store({QDate(2026, 11, 30), QDate(2026, 12, 1), QDate(2026, 12, 7), QDate(2026, 12, 31),
           QDate(2027, 1, 1), QDate(2025, 12, 7)});
    PutFile(JoinPath(dir.path(), "JX20261215.RTF"));      // letter case is no matter
    PutFile(JoinPath(dir.path(), "jx20261220 copy.rtf")); // a copy is no entry
    PutFile(JoinPath(dir.path(), "jx20261232.rtf"));      // no such day
    QDir(dir.path()).mkdir("jx20261225.rtf");             // a folder is no entry

    const quint32 bits = EntryDaysOfMonth(dir.path(), 2026, 12);
    EXPECT_EQ(bits, (1u << 1) | (1u << 7) | (1u << 15) | (1u << 31));
    EXPECT_EQ(EntryDaysOfMonth(dir.path(), 2026, 11), 1u << 30);
    EXPECT_EQ(EntryDaysOfMonth(dir.path(), 2026, 10), 0u);
    EXPECT_EQ(EntryDaysOfMonth(dir.path() + "/missing", 2026, 12), 0u);
    EXPECT_EQ(EntryDaysOfMonth(dir.path(), 2026, 13), 0u);
}

TEST_F(EntryDays, OnThisDayListsEarlierYearsNewestFirst)
{
    store({QDate(2019, 3, 14), QDate(2025, 3, 14), QDate(2021, 3, 14), QDate(2026, 3, 14),
           QDate(2027, 3, 14), QDate(2025, 3, 15), QDate(2025, 4, 14)});
    EXPECT_EQ(EntriesOnThisDay(dir.path(), QDate(2026, 3, 14)),
              QList<QDate>({QDate(2025, 3, 14), QDate(2021, 3, 14), QDate(2019, 3, 14)}))
        << "neither this year's day nor later years', nor neighbouring days";
    EXPECT_TRUE(EntriesOnThisDay(dir.path(), QDate(2019, 3, 14)).isEmpty());
    EXPECT_TRUE(EntriesOnThisDay(dir.path(), QDate()).isEmpty());
}

TEST_F(EntryDays, TheTwentyNinthOfFebruaryComesBackOnThe28thOfOtherYears)
{
    store({QDate(2024, 2, 29), QDate(2024, 2, 28), QDate(2023, 2, 28), QDate(2020, 2, 29)});
    EXPECT_EQ(EntriesOnThisDay(dir.path(), QDate(2026, 2, 28)),
              QList<QDate>({QDate(2024, 2, 29), QDate(2024, 2, 28), QDate(2023, 2, 28),
                            QDate(2020, 2, 29)}));
    // In a leap year the 28th is only the 28th, and the 29th has its own day.
    EXPECT_EQ(EntriesOnThisDay(dir.path(), QDate(2028, 2, 28)),
              QList<QDate>({QDate(2024, 2, 28), QDate(2023, 2, 28)}));
    EXPECT_EQ(EntriesOnThisDay(dir.path(), QDate(2028, 2, 29)),
              QList<QDate>({QDate(2024, 2, 29), QDate(2020, 2, 29)}));
}
