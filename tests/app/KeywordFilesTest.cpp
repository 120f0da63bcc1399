#include "AppFixture.h"

#include "dialogs/TFormKeywordFile.h"
#include "dialogs/TFormOpenKeyWord.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>

namespace {

// A dialog script that types a keyword name and presses OK; a refused name leaves the dialog
// open, which the script reports as a cancel after trying.
std::function<int(QDialog&)> answerName(const QString& name, QString* proposed = nullptr)
{
    return [name, proposed](QDialog& dialog) {
        auto& form = dynamic_cast<TFormKeywordFile&>(dialog);
        if (proposed)
            *proposed = form.Keyword->text();
        form.Keyword->setText(name);
        form.accept();
        return form.result() == QDialog::Accepted ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
}

} // namespace

class KeywordFilesTest : public AppFixture
{
protected:
    void SetUp() override { QDir().mkpath(docs("Backup")); }
};

TEST_F(KeywordFilesTest, NewKeywordProposesNumberedNamesAndWritesOnlyWithText)
{
    start();
    QString first, second;
    prompter.dialogs.push_back([&](QDialog& d) {
        first = dynamic_cast<TFormKeywordFile&>(d).Keyword->text();
        return int(QDialog::Rejected);
    });
    form->command("FileNewKeywordFile")->trigger();
    prompter.dialogs.push_back(answerName("Plans", &second));
    form->command("FileNewKeywordFile")->trigger();
    EXPECT_EQ(first, "untitled0");
    EXPECT_EQ(second, "untitled1");
    EXPECT_EQ(form->selectedCaption(), "Plans");

    form->tabRow()->selectSilently(0);
    form->TabControlChange();
    EXPECT_FALSE(QFile::exists(docs("kw_Plans.rtf"))) << "an empty new keyword leaves no file";

    form->tabRow()->selectSilently(1);
    form->TabControlChange();
    type("the plan");
    emit form->tabRow()->changing();
    form->tabRow()->selectSilently(0);
    emit form->tabRow()->changed();
    EXPECT_TRUE(readFile(docs("kw_Plans.rtf")).contains("the plan"));
}

TEST_F(KeywordFilesTest, TheNameCheckRefusesWhatCannotBeStored)
{
    start();
    QStringList refused;
    for (const QString& bad : {QString(), QString("a*b"), QString("a\\b"), QString("a/b"),
                               QString("a:b"), QString("a?b"), QString("a\"b"), QString("a<b"),
                               QString("a>b"), QString("a|b"), QString("a") + QChar(0xA6),
                               QString("diary"), QString("DIARY"), QString(260, 'x')}) {
        prompter.clear();
        prompter.dialogs.push_back(answerName(bad));
        form->command("FileNewKeywordFile")->trigger();
        EXPECT_EQ(form->tabRow()->count(), 1) << bad.toStdString();
        EXPECT_EQ(prompter.texts("information").size(), 1) << bad.toStdString();
        refused << prompter.texts("information").value(0);
    }
    EXPECT_EQ(refused[0], "You must enter a Keyword name!");
    EXPECT_EQ(refused[1], "Invalid Keyword name!\nA Keyword name cannot contain the following "
                          "characters: \\ / : ? \" > < |");
    EXPECT_EQ(refused[10], refused[1]);
}

TEST_F(KeywordFilesTest, OpeningIgnoresLetterCaseAndRestoresFromBackup)
{
    writeFile(docs("kw_Recipes.rtf"), rtfWith("bread"));
    writeFile(backup("kw_Lost.rtf"), rtfWith("kept copy"));
    writeFile(docs("kw_Empty.rtf"), QByteArray());
    writeFile(backup("kw_Empty.rtf"), rtfWith("empty restored"));
    start();

    prompter.dialogs.push_back(answerName("recipes"));
    form->command("FileNewKeywordFile")->trigger();
    EXPECT_TRUE(plainText().contains("bread"));

    form->OpenKeywordTab("Lost");
    EXPECT_EQ(prompter.texts("information").last(), "Lost has been restored from backup");
    EXPECT_TRUE(plainText().contains("kept copy"));
    EXPECT_FALSE(QFile::exists(docs("kw_Lost.rtf"))) << "nothing is written back on open";

    form->OpenKeywordTab("Empty");
    EXPECT_EQ(prompter.texts("information").last(), "Restored from backup");

    QStringList listed;
    prompter.dialogs.push_back([&](QDialog& d) {
        auto& open = dynamic_cast<TFormOpenKeyWord&>(d);
        for (int i = 0; i < open.ListBox->count(); ++i)
            listed << open.ListBox->item(i)->text();
        open.ListBox->setCurrentRow(1);
        return int(QDialog::Accepted);
    });
    form->command("FileOpen")->trigger();
    EXPECT_EQ(listed, QStringList({"Empty", "Recipes"}));
    EXPECT_EQ(form->selectedCaption(), "recipes") << "the open tab is selected, not a new one";
}

TEST_F(KeywordFilesTest, RenameMovesTheDocumentAndRefusesNamesInUse)
{
    writeFile(docs("kw_Ideas.rtf"), rtfWith("my ideas"));
    writeFile(backup("kw_Ideas.rtf"), rtfWith("older ideas"));
    writeFile(docs("kw_Taken.rtf"), rtfWith("another keyword"));
    writeFile(docs("startup.txt"), "Ideas\r\n");
    start();
    form->OpenKeywordTab("Ideas");

    prompter.dialogs.push_back(answerName("taken"));
    form->command("FileRenameKeyword")->trigger();
    EXPECT_EQ(form->selectedCaption(), "Ideas");
    EXPECT_TRUE(readFile(docs("kw_Taken.rtf")).contains("another keyword"));

    prompter.dialogs.push_back(answerName("IDEAS"));
    form->command("FileRenameKeyword")->trigger();
    EXPECT_EQ(form->selectedCaption(), "IDEAS");
    EXPECT_TRUE(QDir(docs()).entryList({"kw_*"}).contains("kw_IDEAS.rtf"));
    EXPECT_TRUE(readFile(docs("kw_IDEAS.rtf")).contains("my ideas")) << "same file: nothing lost";

    prompter.dialogs.push_back(answerName("Plans"));
    form->command("FileRenameKeyword")->trigger();
    EXPECT_TRUE(readFile(docs("kw_Plans.rtf")).contains("my ideas"));
    EXPECT_FALSE(QFile::exists(docs("kw_IDEAS.rtf")));
    EXPECT_FALSE(QFile::exists(backup("kw_IDEAS.rtf")));
    EXPECT_FALSE(QFile::exists(backup("kw_Ideas.rtf")));
    stop();
    EXPECT_EQ(readFile(docs("startup.txt")), "Plans\r\n");
}

TEST_F(KeywordFilesTest, CloseKeepsTheFileAndDeleteAsksFirst)
{
    writeFile(docs("kw_Home.rtf"), rtfWith("home"));
    writeFile(backup("kw_Home.rtf"), rtfWith("home before"));
    writeFile(docs("kw_Work.rtf"), rtfWith("work"));
    writeFile(docs("startup.txt"), "Work\r\nHome\r\n");
    start();
    ASSERT_EQ(form->tabRow()->captions(), QStringList({"Diary", "Work", "Home"}));

    form->tabRow()->selectSilently(1);
    form->TabControlChange();
    form->command("FileCloseTab")->trigger();
    EXPECT_EQ(form->tabRow()->captions(), QStringList({"Diary", "Home"}));
    EXPECT_EQ(form->selectedCaption(), "Diary");
    EXPECT_TRUE(QFile::exists(docs("kw_Work.rtf")));

    form->tabRow()->selectSilently(1);
    form->TabControlChange();
    prompter.answers = {false};
    form->command("FileDeleteKeywordFile")->trigger();
    EXPECT_EQ(prompter.shown.back().title, "Delete Keyword File");
    EXPECT_EQ(prompter.shown.back().text,
              "Are you sure that you wish to delete \"Home\"?\nWarning! This action is irrevocable!");
    EXPECT_TRUE(QFile::exists(docs("kw_Home.rtf")));

    prompter.answers = {true};
    form->command("FileDeleteKeywordFile")->trigger();
    EXPECT_FALSE(QFile::exists(docs("kw_Home.rtf")));
    EXPECT_FALSE(QFile::exists(backup("kw_Home.rtf")));
    EXPECT_EQ(readFile(docs("startup.txt")), "Work\r\n");
    EXPECT_EQ(form->tabRow()->captions(), QStringList({"Diary"}));
    form->refreshCommandStates();
    for (const char* name : {"FileRenameKeyword", "FileCloseTab", "FileCloseKeywordFile",
                             "FileDeleteKeywordFile", "FileLoadAtStartup"})
        EXPECT_FALSE(form->command(name)->isEnabled()) << name;
}

TEST_F(KeywordFilesTest, LoadAtStartupMarksTabsAndDraggingReordersTheList)
{
    start();
    for (const char* name : {"Work", "Home", "Notes"})
        form->OpenKeywordTab(name);
    form->tabRow()->selectSilently(1);
    form->command("FileLoadAtStartup")->trigger();
    form->tabRow()->selectSilently(2);
    form->command("FileLoadAtStartup")->trigger();
    EXPECT_EQ(readFile(docs("startup.txt")), "Work\r\nHome\r\n");
    form->refreshCommandStates();
    EXPECT_TRUE(form->command("FileLoadAtStartup")->isChecked());

    // Drag Home (selected, index 2) onto Work with real mouse events on the tab bar.
    TTabRow* row = form->tabRow();
    const QPoint from = row->tabRect(2).center();
    const QPoint to = row->tabRect(1).center();
    QTest::mousePress(row, Qt::LeftButton, {}, from);
    QTest::mouseMove(row, from + QPoint(-10, 0));
    QTest::mouseMove(row, to);
    QTest::mouseRelease(row, Qt::LeftButton, {}, to);
    EXPECT_EQ(row->captions(), QStringList({"Diary", "Home", "Work", "Notes"}));
    EXPECT_EQ(row->currentIndex(), 1);
    EXPECT_EQ(readFile(docs("startup.txt")), "Home\r\nWork\r\n");

    // A drop on the Diary tab, and a drag that starts on the Diary tab, change nothing.
    const QPoint diary = row->tabRect(0).center();
    QTest::mousePress(row, Qt::LeftButton, {}, row->tabRect(1).center());
    QTest::mouseMove(row, row->tabRect(1).center() + QPoint(-10, 0));
    QTest::mouseRelease(row, Qt::LeftButton, {}, diary);
    QTest::mousePress(row, Qt::LeftButton, {}, diary);
    QTest::mouseMove(row, diary + QPoint(10, 0));
    QTest::mouseRelease(row, Qt::LeftButton, {}, row->tabRect(3).center());
    EXPECT_EQ(row->captions(), QStringList({"Diary", "Home", "Work", "Notes"}));
    EXPECT_EQ(row->currentIndex(), 0);

    stop();
    start();
    EXPECT_EQ(form->tabRow()->captions(), QStringList({"Diary", "Home", "Work"}));
}
