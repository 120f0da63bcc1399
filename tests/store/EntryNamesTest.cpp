#include "store/EntryNames.h"

#include "StoreTestSupport.h"

TEST(EntryNames, FileNameOfDateIsZeroPadded)
{
    EXPECT_EQ(EntryFileNameOf(QDate(2009, 3, 15)), "jx20090315.rtf");
    EXPECT_EQ(EntryFileNameOf(QDate(2010, 1, 1)), "jx20100101.rtf");
    EXPECT_EQ(EntryFileNameOf(QDate(999, 7, 9)), "jx09990709.rtf");
    EXPECT_EQ(EntryFileNameOf(QDate(9999, 12, 31)), "jx99991231.rtf");
    EXPECT_EQ(EntryFileNameOf(QDate(10000, 1, 2)), "jx100000102.rtf");
}

TEST(EntryNames, DateOfFileNameReadsOnlyRealDays)
{
    EXPECT_EQ(DateOfEntryFileName("jx20090315.rtf"), QDate(2009, 3, 15));
    EXPECT_EQ(DateOfEntryFileName("jx09990709.rtf"), QDate(999, 7, 9));
    EXPECT_EQ(DateOfEntryFileName("JX20240229.RTF"), QDate(2024, 2, 29));
    // Round trip over a span of years, leap days included.
    // The names as text and as the file system's bytes read alike.
    for (QDate d(1999, 12, 25); d < QDate(2001, 3, 5); d = d.addDays(1)) {
        ASSERT_EQ(DateOfEntryFileName(EntryFileNameOf(d)), d) << Std(d.toString());
        ASSERT_EQ(DateOfEntryFileBytes(EntryFileNameOf(d).toUtf8()), d) << Std(d.toString());
    }
    EXPECT_EQ(DateOfEntryFileBytes("JX20240229.RTF"), QDate(2024, 2, 29));

    for (const char* bad :
         {"jx20230229.rtf", "jx20261301.rtf", "jx20260100.rtf", "jx00000101.rtf", "jx2026010a.rtf",
          "jx 2026010.rtf", "jx-0260101.rtf", "jx20260101 copy.rtf", "jx20260101.rtf.bak",
          "jx2026011.rtf", "jx202601011.rtf", "jx20260101.txt", "kw_x.rtf", "jx.rtf", "",
          "jx20260101"}) {
        EXPECT_FALSE(DateOfEntryFileName(QString::fromUtf8(bad)).has_value()) << bad;
        EXPECT_FALSE(DateOfEntryFileBytes(bad).has_value()) << bad;
    }
    // Digits of another script are no date either.
    EXPECT_FALSE(DateOfEntryFileName(QStringLiteral("jx\u0662\u0660\u0662\u0666\u0660\u0661"
                                                    "\u0660\u0661.rtf"))
                     .has_value());
    EXPECT_FALSE(DateOfEntryFileBytes(QStringLiteral("jx\u0662\u0660\u0662\u0666\u0660\u0661"
                                                     "\u0660\u0661.rtf")
                                          .toUtf8())
                     .has_value());
}

TEST(EntryNames, KeywordFileNamesRoundTrip)
{
    EXPECT_EQ(KeywordFileName("Recipes"), "kw_Recipes.rtf");
    EXPECT_EQ(KeywordOfFileName("kw_Recipes.rtf"), "Recipes");
    EXPECT_EQ(KeywordOfFileName("kw_My Plans.rtf"), "My Plans");
    // Cut at the first ".rtf", exact letter case; the whole rest when there is none.
    EXPECT_EQ(KeywordOfFileName("kw_a.rtf.rtf"), "a");
    EXPECT_EQ(KeywordOfFileName("kw_Notes.RTF"), "Notes.RTF");
    EXPECT_EQ(KeywordOfFileName("kw_.rtf"), "");
    EXPECT_EQ(KeywordOfFileName(KeywordFileName(QStringLiteral("Tagebuch \u00fcber \u00c4"))),
              QStringLiteral("Tagebuch \u00fcber \u00c4"));
}

TEST(EntryNames, KeywordFilePathFindsTheFileWhateverItsLetterCase)
{
    QTemporaryDir dir;
    PutFile(JoinPath(dir.path(), "kw_Recipes.rtf"));
    EXPECT_EQ(KeywordFilePath(dir.path(), "recipes"), JoinPath(dir.path(), "kw_Recipes.rtf"));
    EXPECT_EQ(KeywordFilePath(dir.path(), "RECIPES"), JoinPath(dir.path(), "kw_Recipes.rtf"));
    // A new keyword is created with the name as typed.
    EXPECT_EQ(KeywordFilePath(dir.path(), "Plans"), JoinPath(dir.path(), "kw_Plans.rtf"));
}

TEST(EntryNames, KeywordNameCheck)
{
    const QString invalid = QStringLiteral("Invalid Keyword name!\nA Keyword name cannot contain "
                                           "the following characters: \\ / : ? \" > < |");
    EXPECT_EQ(KeywordNameProblem(""), QStringLiteral("You must enter a Keyword name!"));

    // Every forbidden character, at the start, in the middle and at the end; "*" and the
    // broken bar are refused although the message does not list them.
    for (const QChar c : QStringLiteral("\\/:*?\"<>|\u00a6")) {
        for (const QString& name : {QString(c), QStringLiteral("ab") + c + QStringLiteral("cd"),
                                    QStringLiteral("abc") + c}) {
            EXPECT_EQ(KeywordNameProblem(name), invalid) << Std(name);
        }
    }
    // Line breaks would split the name in startup.txt.
    for (const QString& name :
         {QStringLiteral("a\nb"), QStringLiteral("a\rb"), QStringLiteral("a\tb"),
          QStringLiteral("a") + QChar(0) + QStringLiteral("b")}) {
        const auto problem = KeywordNameProblem(name);
        ASSERT_TRUE(problem.has_value()) << Std(name);
        EXPECT_TRUE(problem->startsWith("Invalid Keyword name!\n")) << Std(*problem);
    }

    for (const char* diary : {"Diary", "diary", "DIARY", "dIaRy"}) {
        const auto problem = KeywordNameProblem(diary);
        ASSERT_TRUE(problem.has_value()) << diary;
        EXPECT_TRUE(problem->contains(diary)) << Std(*problem);
    }

    // kw_ + name + .rtf must fit 255 bytes of UTF-8.
    EXPECT_EQ(KeywordNameProblem(QString(248, QLatin1Char('a'))), std::nullopt);
    const auto tooLong = KeywordNameProblem(QString(249, QLatin1Char('a')));
    ASSERT_TRUE(tooLong.has_value());
    EXPECT_TRUE(tooLong->contains("too long")) << Std(*tooLong);
    EXPECT_EQ(KeywordNameProblem(QString(124, QChar(0x00e4))), std::nullopt); // 248 bytes
    EXPECT_TRUE(KeywordNameProblem(QString(125, QChar(0x00e4))).has_value()); // 250 bytes

    for (const char* fine :
         {"Recipes", "untitled0", "My Plans", "Diary 2", "a.b", " x ", "Tagebuch-\xc3\xbc"}) {
        EXPECT_EQ(KeywordNameProblem(QString::fromUtf8(fine)), std::nullopt) << fine;
    }
}
