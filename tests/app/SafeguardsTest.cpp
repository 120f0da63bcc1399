#include "AppFixture.h"

#include "dialogs/TFormKeywordFile.h"
#include "store/AtomicFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>

namespace {

const char* const Today = "jx20261207.rtf";
const QByteArray Junk("\x00\x00\x00\x00 lost in a power cut \x00", 26);

} // namespace

class SafeguardsTest : public AppFixture
{
protected:
    void SetUp() override { QDir().mkpath(docs("Backup")); }
    QStringList backupNames(const QString& pattern) const
    {
        return QDir(docs("Backup")).entryList({pattern}, QDir::Files, QDir::Name);
    }
    void failWrites(bool on)
    {
        if (on)
            AtomicFile::setFaultInjector([](AtomicFile::Stage stage, const QString&) {
                return stage == AtomicFile::Stage::Rename;
            });
        else
            AtomicFile::setFaultInjector(nullptr);
    }
    void TearDown() override
    {
        failWrites(false);
        AppFixture::TearDown();
    }
};

TEST_F(SafeguardsTest, TypingADateOpensItOnlyWhenFinished)
{
    start();
    QApplication::setActiveWindow(form.get());
    TDatePicker* picker = form->datePicker();
    picker->setDisplayFormat("dddd, d MMMM yyyy");
    picker->setFocus();
    // Where a click on the day's number puts the caret: the number selected.
    auto* line = picker->findChild<QLineEdit*>();
    line->setSelection(line->text().indexOf(" 7 ") + 1, 1);
    QTest::keyClick(picker, Qt::Key_2);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 7)) << "half a date opened";
    EXPECT_FALSE(editor().hasFocus());
    QTest::keyClick(picker, Qt::Key_5);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 7));
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 25));
    EXPECT_TRUE(editor().hasFocus()) << "a finished choice sends the user to the editor";
    EXPECT_FALSE(QFile::exists(docs("jx20261202.rtf")));

    // One step of the arrows is a whole choice: it opens the day and leaves the user there.
    picker->setFocus();
    line->setSelection(line->text().indexOf(" 25 ") + 1, 2);
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 26));
    EXPECT_TRUE(picker->hasFocus());
}

TEST_F(SafeguardsTest, AKeywordNamedDiaryHasItsOwnTab)
{
    writeFile(docs("kw_diary.rtf"), rtfWith("not a day"));
    start();
    type("today's words");
    form->SaveCurrentDocument();
    form->OpenKeywordTab("diary");
    EXPECT_EQ(form->tabRow()->count(), 2);
    EXPECT_EQ(form->tabRow()->currentIndex(), 1);
    EXPECT_FALSE(form->diaryTabSelected());
    EXPECT_TRUE(plainText().contains("not a day"));
    editor().moveCursor(QTextCursor::End);
    type(" edited");
    form->command("FileSave")->trigger();
    EXPECT_TRUE(readFile(docs("kw_diary.rtf")).contains("not a day edited"));
    EXPECT_TRUE(readFile(docs(Today)).contains("today's words"));
    EXPECT_FALSE(readFile(docs(Today)).contains("not a day"));
}

TEST_F(SafeguardsTest, AnUnreadableKeywordIsNotRenamed)
{
    writeFile(docs("kw_Old.rtf"), Junk);
    start();
    form->guarded([&] { form->OpenKeywordTab("Old"); });
    prompter.clear();
    form->command("FileRenameKeyword")->trigger();
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("cannot be renamed"));
    EXPECT_TRUE(prompter.texts("dialog").isEmpty()) << "no name is asked for";
    EXPECT_EQ(readFile(docs("kw_Old.rtf")), Junk);
    EXPECT_EQ(form->selectedCaption(), "Old");
}

TEST_F(SafeguardsTest, ADamagedDayIsRestoredOnlyWhenTheUserSaysSo)
{
    writeFile(docs(Today), Junk);
    writeFile(backup(Today), rtfWith("the backup's words"));

    // No: the file stays as it is and the damage is told once.
    start();
    ASSERT_EQ(prompter.texts("question").size(), 1);
    EXPECT_TRUE(prompter.texts("question")[0].startsWith(docs(Today) + " is damaged."));
    EXPECT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(editor().isReadOnly());
    stop();
    EXPECT_EQ(readFile(docs(Today)), Junk);

    // Yes: the backup copy takes its place and the damaged file is kept beside the copies.
    prompter.clear();
    prompter.answers = {true};
    start();
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_FALSE(editor().isReadOnly());
    EXPECT_TRUE(plainText().contains("the backup's words"));
    ASSERT_EQ(backupNames("jx20261207.damaged-*").size(), 1);
    EXPECT_EQ(readFile(backup(backupNames("jx20261207.damaged-*")[0])), Junk);
}

TEST_F(SafeguardsTest, JumpsTellWhatWentWrongOnceAndKeepTheText)
{
    writeFile(docs("jx20261201.rtf"), Junk);
    writeFile(docs("jx20261205.rtf"), rtfWith("the fifth"));
    start();

    // A failed save: told once, the day and the text stay.
    type("unsaved words");
    failWrites(true);
    form->command("GotoPrevDate")->trigger();
    failWrites(false);
    ASSERT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(prompter.texts("error")[0].contains(docs(Today)));
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 7));
    EXPECT_EQ(form->datePicker()->date(), QDate(2026, 12, 7));
    EXPECT_TRUE(plainText().contains("unsaved words"));

    // A day that cannot be read: told once, with its path.
    prompter.clear();
    form->GoToDate(QDate(2026, 12, 1));
    ASSERT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(prompter.texts("error")[0].contains(docs("jx20261201.rtf")));
    EXPECT_TRUE(readFile(docs(Today)).contains("unsaved words"));
}

TEST_F(SafeguardsTest, AClosedWindowNeverTakesUnsavedTextWithIt)
{
    start();
    type("words that must not be lost");
    failWrites(true);

    // Cancel: the window stays.
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompter.texts("saveFailed").size(), 1);
    EXPECT_TRUE(prompter.texts("saveFailed")[0].contains(docs(Today)));

    // Save a Copy As...: the copy holds the text, and the window may close.
    const QString copy = temp.path() + "/rescued.rtf";
    prompter.saveFailures = {TPrompter::SaveFailureChoice::SaveCopy};
    prompter.saveFiles = {copy};
    failWrites(false);
    AtomicFile::setFaultInjector([copy](AtomicFile::Stage stage, const QString& path) {
        return stage == AtomicFile::Stage::Rename && path != copy;
    });
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(readFile(copy).contains("words that must not be lost"));
    failWrites(false);
    stop();

    // Retry after the disk came back: saved in place.
    start();
    type("more words ");
    failWrites(true);
    prompter.saveFailures = {TPrompter::SaveFailureChoice::Retry};
    prompter.clear();
    form->Exit1Click();
    EXPECT_FALSE(form->isHidden()) << "the retry failed too, so the window stays";
    failWrites(false);
    prompter.saveFailures = {TPrompter::SaveFailureChoice::Retry};
    form->Exit1Click();
    EXPECT_TRUE(readFile(docs(Today)).contains("more words"));
}

TEST_F(SafeguardsTest, TheSessionEndSavesWithoutAskingAnyone)
{
    start();
    type("written just before the log-out");
    form->EndSession(false);
    EXPECT_TRUE(readFile(docs(Today)).contains("written just before the log-out"));
    EXPECT_TRUE(QFile::exists(ini()));

    // When the document cannot be saved in its place, a copy is kept and no one is asked.
    type(" and more");
    failWrites(true);
    AtomicFile::setFaultInjector([this](AtomicFile::Stage stage, const QString& path) {
        return stage == AtomicFile::Stage::Rename && path == docs(Today);
    });
    prompter.clear();
    form->EndSession(true);
    failWrites(false);
    EXPECT_TRUE(prompter.shown.empty());
    const QStringList copies = backupNames("jx20261207.unsaved-*");
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(readFile(backup(copies[0])).contains("and more"));
}
