#include "EditingFixture.h"
#include "app/SearchPage.h"
#include "search/JournalSearch.h"
#include "search/SearchResultModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>

// Lets GoogleTest show the texts it compares.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString EndOfDocument = QStringLiteral("End of document reached.");

class SearchJournalTest : public EditingFixture
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QDir().mkpath(docs("Backup"));
        writeFile(docs("jx20250101.rtf"),
                  rtfWith("Sailing to the island. The island was green.\\par Another island, "
                          "and the lighthouse."));
        writeFile(docs("jx20250102.rtf"), rtfWith("Rain all day. Rome on the news."));
        writeFile(docs("jx20250103.rtf"), rtfWith("rome again, small letters"));
        writeFile(docs("kw_Travel.rtf"), rtfWith("Ferries to the island leave at nine."));
        EditingFixture::SetUp();
        waitForIndex();
    }
    void TearDown() override
    {
        EditingFixture::TearDown();
        QLocale::setDefault(QLocale::c());
    }
    void waitForIndex()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return form->JournalSearch && form->JournalSearch->isReady() &&
                       !form->JournalSearch->isBuilding() &&
                       !form->JournalSearch->hasPendingUpdates();
            },
            20000));
    }
    TSearchPage& page() { return *form->SearchPage; }
    // Searches as the user would and waits for the whole list.
    QStringList search(const QString& text)
    {
        run("EditSearchJournal");
        page().EditSearch->setText(text);
        page().runSearch();
        EXPECT_TRUE(QTest::qWaitFor(
            [this] {
                return !page().results().isFilling() && !page().status().startsWith("Searching");
            },
            5000));
        QStringList titles;
        for (int row = 0; row < page().results().rowCount(); ++row)
            titles << page().results().result(row).title;
        return titles;
    }
    void choose(int row)
    {
        page().choose(row);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    static QString day(int y, int m, int d)
    {
        return QLocale().toString(QDate(y, m, d), QLocale::LongFormat);
    }
    void pressF3(bool back = false)
    {
        focusEditor();
        run(back ? "EditFindPrevious" : "EditFindNext");
    }
};

} // namespace

TEST_F(SearchJournalTest, SearchJournalIsInTheEditMenuAndToolBarAndOpensTheSideBarPage)
{
    QAction* command = form->command("EditSearchJournal");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->text(), "Search &Journal...");
    EXPECT_EQ(command->shortcut(), QKeySequence("Ctrl+Shift+J"));
    EXPECT_EQ(form->command("FormatFont")->shortcut(), QKeySequence("Ctrl+Shift+F"));
    EXPECT_EQ(form->command("EditFindPrevious")->shortcut(), QKeySequence("Shift+F3"));

    QMenu* edit = nullptr;
    for (QAction* menu : form->menuBar()->actions())
        if (menu->text() == "&Edit")
            edit = menu->menu();
    ASSERT_TRUE(edit);
    QStringList names;
    for (QAction* a : edit->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    const qsizetype find = names.indexOf("EditFind");
    EXPECT_EQ(names.mid(find, 6), QStringList({"EditFind", "EditFindNext", "EditFindPrevious",
                                               "EditReplace", "EditSearchJournal", "-"}));
    EXPECT_TRUE(form->findChild<QToolBar*>("ToolBar2")->actions().contains(command));
    EXPECT_FALSE(command->icon().isNull());

    EXPECT_FALSE(form->SideBar->isVisible());
    focusEditor();
    run("EditSearchJournal");
    EXPECT_TRUE(form->SideBar->isVisible());
    EXPECT_TRUE(form->QuickListOpen);
    EXPECT_TRUE(form->SideBar->currentWidget()->isAncestorOf(form->SearchPage));
    EXPECT_EQ(form->SideBar->tabText(2), "Search");
    EXPECT_TRUE(page().EditSearch->hasFocus());

    // A word selected in the editor is searched at once, in the document shown too (which is
    // saved first).
    setText("an island far away");
    select(3, 6);
    run("EditSearchJournal");
    EXPECT_EQ(page().EditSearch->text(), "island");
    ASSERT_TRUE(QTest::qWaitFor([this] { return page().results().rowCount() == 3; }, 5000));
    EXPECT_EQ(page().results().result(1).date, QDate(2026, 12, 7));
}

TEST_F(SearchJournalTest, AResultOpensItsEntrySelectsTheMatchAndF3WalksTheMatches)
{
    // The keyword file was changed today, after the entry's day: it comes first.
    EXPECT_EQ(search("ISLAND"), QStringList({"Travel", day(2025, 1, 1)}));
    EXPECT_TRUE(page().status().contains("2 documents found")) << page().status().toStdString();
    choose(1);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2025, 1, 1));
    EXPECT_TRUE(form->diaryTabSelected());
    const QString text = plainText();
    EXPECT_EQ(editor().selectionStart(), text.indexOf("island"));
    EXPECT_EQ(selection(), "island");

    pressF3();
    EXPECT_EQ(editor().selectionStart(), text.indexOf("island", text.indexOf("island") + 1));
    pressF3();
    EXPECT_EQ(editor().selectionStart(), text.lastIndexOf("island"));
    prompter.clear();
    pressF3();
    EXPECT_EQ(notices(), QStringList{EndOfDocument});
    EXPECT_EQ(editor().selectionStart(), text.lastIndexOf("island"));
    pressF3(true);
    pressF3(true);
    EXPECT_EQ(editor().selectionStart(), text.indexOf("island"));

    // The keyword file's result opens its tab, with its match selected.
    choose(0);
    EXPECT_EQ(form->selectedCaption(), "Travel");
    EXPECT_EQ(selection(), "island");

    // A search from the Find dialog takes F3 back.
    form->FindDialog->setFindText("nine");
    form->FindDialogFind();
    EXPECT_EQ(selection(), "nine");
    select(0, 0);
    pressF3();
    EXPECT_EQ(selection(), "nine");
}

TEST_F(SearchJournalTest, TheDayShownUnderAKeywordTabIsOpenedOnTheDiaryTab)
{
    form->GoToDate(QDate(2025, 1, 2));
    form->OpenKeywordTab("Travel");
    ASSERT_EQ(form->selectedCaption(), "Travel");
    EXPECT_EQ(search("rome"), QStringList({day(2025, 1, 3), day(2025, 1, 2)}));
    choose(1);
    EXPECT_TRUE(form->diaryTabSelected());
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2025, 1, 2));
    EXPECT_EQ(selection(), "Rome");
}

TEST_F(SearchJournalTest, WhatIsTypedIsSavedAndFoundAndChangesOfEveryKindFollow)
{
    // Today's entry, typed but not saved yet: a search saves it first.
    focusEditor();
    type("Zebras crossing");
    EXPECT_EQ(search("zebra"), QStringList({day(2026, 12, 7)}));
    EXPECT_FALSE(editor().isModified());
    EXPECT_TRUE(QFile::exists(docs("jx20261207.rtf")));

    // Emptied, the entry's file goes, and so does the result.
    replaceText(QString());
    form->SaveCurrentDocument();
    waitForIndex();
    EXPECT_TRUE(search("zebra").isEmpty());
    EXPECT_EQ(page().status(), "Nothing found.");

    // A keyword file deleted through the program.
    form->OpenKeywordTab("Travel");
    prompter.answers.push_back(true);
    run("FileDeleteKeywordFile");
    waitForIndex();
    EXPECT_EQ(search("island"), QStringList({day(2025, 1, 1)}));

    // A result whose file went after the search opens nothing.
    EXPECT_EQ(search("rain"), QStringList({day(2025, 1, 2)}));
    QFile::remove(docs("jx20250102.rtf"));
    const QDate shown = form->journal()->CurrentDate;
    choose(0);
    EXPECT_EQ(form->journal()->CurrentDate, shown);
    EXPECT_FALSE(QFile::exists(docs("jx20250102.rtf")));

    // A file another program put into the folder while the window is open.
    writeFile(docs("jx20240229.rtf"), rtfWith("A leap day on the island"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return search("leap").size() == 1; }, 10000));
}

TEST_F(SearchJournalTest, OptionsAndFiltersNarrowTheResults)
{
    page().CheckBoxMatchCase->setChecked(true);
    EXPECT_EQ(search("Rome"), QStringList({day(2025, 1, 2)}));
    page().CheckBoxMatchCase->setChecked(false);

    EXPECT_EQ(search("isl"), QStringList({"Travel", day(2025, 1, 1)}));
    page().CheckBoxWholeWords->setChecked(true);
    EXPECT_TRUE(search("isl").isEmpty());
    EXPECT_EQ(search("isl*"), QStringList({"Travel", day(2025, 1, 1)}));

    page().ComboBoxSearchScope->setCurrentIndex(2);
    EXPECT_EQ(search("island"), QStringList({"Travel"}));
    page().ComboBoxSearchScope->setCurrentIndex(1);
    EXPECT_EQ(search("island"), QStringList({day(2025, 1, 1)}));
    page().ComboBoxSearchScope->setCurrentIndex(3);
    EXPECT_TRUE(page().DateSearchFrom->isVisibleTo(&page()));
    page().DateSearchFrom->setDate(QDate(2025, 1, 3));
    page().DateSearchTo->setDate(QDate(2025, 1, 2));
    EXPECT_EQ(search("rome"), QStringList({day(2025, 1, 3), day(2025, 1, 2)}));
    page().DateSearchTo->setDate(QDate(2025, 1, 10));
    EXPECT_EQ(search("rome"), QStringList({day(2025, 1, 3)}));

    // Syntax that does not parse is searched as words, never shown as an error.
    page().ComboBoxSearchScope->setCurrentIndex(0);
    EXPECT_EQ(search("\"rain all"), QStringList({day(2025, 1, 2)}));
    EXPECT_EQ(search("island -lighthouse"), QStringList({"Travel"}));
    EXPECT_TRUE(prompter.texts("error").isEmpty());
}
