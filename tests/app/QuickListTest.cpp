#include "AppFixture.h"
#include "app/TQuickListBox.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

class QuickListTest : public AppFixture
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QDir().mkpath(docs("Backup"));
        for (const char* name :
             {"jx20261103.rtf", "jx20261201.rtf", "jx20261207.rtf", "jx20261230.rtf"})
            writeFile(docs(name), rtfWith(QString::fromLatin1(name)));
    }
    QStringList lines()
    {
        return form->ListBoxQL->lines();
    }
    QString selectedLine()
    {
        return form->ListBoxQL->selectedLine();
    }
    void filter(int index)
    {
        form->ComboBoxQL->setCurrentIndex(index);
        form->ComboBoxQLChange();
    }
    static QString longDate(int y, int m, int d)
    {
        return QLocale().toString(QDate(y, m, d), QLocale::LongFormat);
    }
    void choose(int row)
    {
        form->ListBoxQL->setCurrentRow(row);
        form->ListBoxQLClick(row);
    }
};

TEST_F(QuickListTest, FiltersListTheirEntriesOldestFirstAndSelectTheCurrentDate)
{
    start();
    EXPECT_FALSE(form->SideBar->isVisible());
    form->command("GotoQuickList")->trigger();
    EXPECT_TRUE(form->SideBar->isVisible());
    EXPECT_TRUE(form->command("GotoQuickList")->isChecked());
    EXPECT_EQ(form->command("GotoQuickList")->statusTip(), "Hide the Quick List");

    EXPECT_EQ(lines(), QStringList({longDate(2026, 12, 1), longDate(2026, 12, 7), longDate(2026, 12, 30)}));
    EXPECT_EQ(selectedLine(), longDate(2026, 12, 7));
    filter(1);
    EXPECT_EQ(lines().size(), 4);
    EXPECT_EQ(lines().first(), longDate(2026, 11, 3));

    filter(0);
    form->GoToDate(QDate(2027, 1, 4));
    EXPECT_TRUE(lines().isEmpty() || lines() == QStringList{longDate(2027, 1, 4)});
    EXPECT_EQ(lines(), QStringList{longDate(2027, 1, 4)}) << "the day shown is stored while shown";
    form->GoToDate(QDate(2026, 12, 15));
    EXPECT_EQ(lines().size(), 4) << "the 15th is listed while it is shown";
    EXPECT_FALSE(lines().contains(longDate(2027, 1, 4))) << "January's empty day is gone";

    form->command("GotoQuickList")->trigger();
    EXPECT_FALSE(form->SideBar->isVisible());
    EXPECT_EQ(form->command("GotoQuickList")->statusTip(), "Display the Quick List");
    writeFile(docs("jx20261210.rtf"), rtfWith("added while hidden"));
    type("x");
    form->command("FileSave")->trigger();
    EXPECT_TRUE(lines().contains(longDate(2026, 12, 10))) << "saves refresh the list while hidden";
}

TEST_F(QuickListTest, ChoosingLinesOpensEntriesAndKeywords)
{
    writeFile(docs("kw_Work.rtf"), rtfWith("work"));
    writeFile(docs("kw_Home.rtf"), rtfWith("home"));
    writeFile(docs("jx2026120x.rtf"), rtfWith("no date"));
    start();
    form->command("GotoQuickList")->trigger();
    EXPECT_EQ(lines().size(), 3) << "a name without a date is left out";

    type("typed on the 7th ");
    choose(0);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 1));
    EXPECT_TRUE(readFile(docs("jx20261207.rtf")).contains("typed on the 7th")) << "saved first";

    filter(3);
    EXPECT_EQ(lines(), QStringList({"Home", "Work"}));
    EXPECT_EQ(selectedLine(), "Home");
    choose(1);
    EXPECT_EQ(form->selectedCaption(), "Work");
    choose(0);
    choose(1);
    EXPECT_EQ(form->tabRow()->captions(), QStringList({"Diary", "Work", "Home"}));
    EXPECT_EQ(form->selectedCaption(), "Work");

    // The current date's line while a keyword tab is selected leaves the keyword tab.
    filter(0);
    const int row = lines().indexOf(longDate(2026, 12, 1));
    choose(row);
    EXPECT_EQ(form->selectedCaption(), "Work");
}

TEST_F(QuickListTest, AnEmptyFolderListsNothingUnderAnyFilter)
{
    for (const QString& f : QDir(docs()).entryList(QDir::Files))
        QFile::remove(docs(f));
    clock = QDateTime(QDate(2026, 12, 8), QTime(9, 0));
    start();
    form->command("GotoQuickList")->trigger();
    QFile::remove(docs("jx20261208.rtf"));
    for (int f = 0; f < 4; ++f) {
        filter(f);
        EXPECT_TRUE(lines().isEmpty()) << f;
        EXPECT_TRUE(form->ListBoxQL->selectedLine().isEmpty()) << f;
    }
}

TEST_F(QuickListTest, SideBarSettingsSurviveARestart)
{
    start();
    form->command("GotoQuickList")->trigger();
    filter(2);
    stop();
    const QString text = QString::fromUtf8(readFile(ini()));
    EXPECT_TRUE(text.contains("Is Open=1"));
    EXPECT_TRUE(text.contains("Current Filter Index=2"));

    start();
    EXPECT_TRUE(form->SideBar->isVisible());
    EXPECT_EQ(form->ComboBoxQL->currentText(), "All Entries");
    EXPECT_EQ(lines().size(), 4);
}

TEST_F(QuickListTest, CategoriesPageIsHiddenByDefaultAndShowsATreeWhenSwitchedOn)
{
    writeFile(ini(), "[Quick List]\nCurrent Tab=1\nIs Open=1\n");
    start();
    EXPECT_FALSE(form->SideBar->isTabVisible(1));
    EXPECT_EQ(form->SideBar->currentIndex(), 0);
    stop();
    EXPECT_TRUE(QString::fromUtf8(readFile(ini())).contains("Current Tab=0"));

    writeFile(docs("kw_Work.rtf"), rtfWith("w"));
    writeFile(docs("kw_Home.rtf"), rtfWith("h"));
    writeFile(ini(), "[Quick List]\nEnable Categories Tab=1\nCurrent Tab=1\nIs Open=1\n");
    start();
    EXPECT_TRUE(form->SideBar->isTabVisible(1));
    EXPECT_EQ(form->SideBar->currentIndex(), 1);
    EXPECT_FALSE(form->TSCategories->isEnabled());
    ASSERT_EQ(form->TreeViewCategories->topLevelItemCount(), 1);
    QTreeWidgetItem* root = form->TreeViewCategories->topLevelItem(0);
    EXPECT_EQ(root->text(0), "All Files");
    EXPECT_TRUE(root->isExpanded());
    QStringList children;
    for (int i = 0; i < root->childCount(); ++i)
        children << root->child(i)->text(0);
    children.sort();
    EXPECT_EQ(children, QStringList({"Home", "Work"}));
    QTest::keyClicks(form->EditCategorySearch, "abc");
    EXPECT_TRUE(form->EditCategorySearch->text().isEmpty()) << "the page takes no input";

    // The tree's pop-up menu holds "Add Category", which nothing can show or run.
    ASSERT_EQ(form->PopupMenuTreeView->actions().size(), 1);
    QAction* addCategory = form->PopupMenuTreeView->actions().first();
    EXPECT_EQ(addCategory->text(), "&Add Category");
    EXPECT_FALSE(addCategory->isEnabled());
    EXPECT_NE(form->TreeViewCategories->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_TRUE(form->TreeViewCategories->actions().isEmpty());
}
