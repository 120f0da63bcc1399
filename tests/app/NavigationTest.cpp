#include "AppFixture.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>

class NavigationTest : public AppFixture
{
protected:
    void SetUp() override
    {
        QDir().mkpath(docs("Backup"));
        for (const char* name : {"jx20260301.rtf", "jx20260305.rtf", "jx20260320.rtf"})
            writeFile(docs(name), rtfWith(QString::fromLatin1(name)));
    }
    // A date typed into the date control and confirmed with Return.
    void chooseDate(QDate date)
    {
        form->datePicker()->setDate(date);
        QTest::keyClick(form->datePicker(), Qt::Key_Return);
    }
    bool prevEnabled() { return form->command("GotoPrevDate")->isEnabled(); }
    bool nextEnabled() { return form->command("GotoNextDate")->isEnabled(); }
};

TEST_F(NavigationTest, JumpsSkipTheDaysBetweenAndStopAtTheEnds)
{
    clock = QDateTime(QDate(2026, 3, 10), QTime(9, 0));
    start();
    EXPECT_TRUE(QFile::exists(docs("jx20260310.rtf"))) << "the day shown counts as stored";
    EXPECT_EQ(form->journal()->PrevEntryDate, QDate(2026, 3, 5));
    EXPECT_EQ(form->journal()->NextEntryDate, QDate(2026, 3, 20));

    form->command("GotoPrevDate")->trigger();
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 3, 5));
    EXPECT_FALSE(QFile::exists(docs("jx20260310.rtf"))) << "a day left without typing leaves no file";
    EXPECT_EQ(form->datePicker()->date(), QDate(2026, 3, 5));
    EXPECT_TRUE(plainText().contains("jx20260305"));

    form->command("GotoPrevDate")->trigger();
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 3, 1));
    EXPECT_FALSE(prevEnabled());
    EXPECT_TRUE(nextEnabled());

    form->command("GotoNextDate")->trigger();
    form->command("GotoNextDate")->trigger();
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 3, 20));
    EXPECT_TRUE(prevEnabled());
    EXPECT_FALSE(nextEnabled());
    form->command("GotoNextDate")->trigger(); // disabled: nothing happens
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 3, 20));
}

TEST_F(NavigationTest, TheScanIgnoresNamesWithoutADateAndNeedsTwoEntries)
{
    writeFile(docs("jx2026xx01.rtf"), rtfWith("not a date"));
    writeFile(docs("JX20260302.RTF"), rtfWith("upper case name"));
    clock = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
    start();
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_EQ(form->journal()->NextEntryDate, QDate(2026, 3, 2));
    form->command("GotoNextDate")->trigger();
    EXPECT_TRUE(plainText().contains("upper case name")) << "entry names match ignoring case";
    stop();

    for (const QString& f : QDir(docs()).entryList({"*.rtf", "*.RTF"}, QDir::Files))
        QFile::remove(docs(f));
    start();
    EXPECT_FALSE(prevEnabled());
    EXPECT_FALSE(nextEnabled());
}

TEST_F(NavigationTest, PickingADateSavesTheKeywordTabAndShowsTheDiary)
{
    clock = QDateTime(QDate(2026, 3, 5), QTime(9, 0));
    start();
    form->OpenKeywordTab("Ideas");
    type("an idea");
    chooseDate(QDate(2026, 3, 5)); // the date shown: only the focus moves
    EXPECT_EQ(form->selectedCaption(), "Ideas");
    chooseDate(QDate(2026, 3, 20));
    EXPECT_TRUE(readFile(docs("kw_Ideas.rtf")).contains("an idea"));
    EXPECT_EQ(form->selectedCaption(), "Diary");
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 3, 20));
    EXPECT_TRUE(plainText().contains("jx20260320"));
}
