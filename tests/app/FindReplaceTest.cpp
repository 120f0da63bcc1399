#include "EditingFixture.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>

namespace {

const QString EndOfDocument = QStringLiteral("End of document reached.");

class FindReplaceTest : public EditingFixture
{
protected:
    void SetUp() override
    {
        EditingFixture::SetUp();
        form->FindAtCursor = true;
    }
    TFindDialog& findDialog() { return *form->FindDialog; }
    TReplaceDialog& replaceDialog() { return *form->ReplaceDialog; }
    void replace(const QString& what, const QString& with, bool all)
    {
        replaceDialog().EditFindText->setText(what);
        replaceDialog().EditReplaceText->setText(with);
        (all ? replaceDialog().ButtonReplaceAll : replaceDialog().ButtonReplace)->click();
    }
};

} // namespace

TEST_F(FindReplaceTest, EditFindTakesTheWordAtTheCaretAndClosingPutsTheCaretBack)
{
    setText("the cat sat");
    select(5, 0);
    run("EditFind");
    EXPECT_EQ(selection(), "cat");
    EXPECT_TRUE(findDialog().isVisible());
    EXPECT_EQ(findDialog().EditFindText->text(), "cat");
    EXPECT_EQ(form->FindStart, 5);

    // Closed without a search: the caret is back where it was, nothing selected.
    findDialog().close();
    EXPECT_FALSE(findDialog().isVisible());
    EXPECT_EQ(editor().selectionStart(), 5);
    EXPECT_EQ(editor().selectionLength(), 0);

    // A search from the dialog runs from after 'cat', finds nothing and leaves 'cat' selected.
    run("EditFind");
    findDialog().ButtonFindNext->click();
    EXPECT_EQ(notices(), QStringList{EndOfDocument});
    EXPECT_EQ(prompter.shown.back().title, "Tarvex's Diary");
    EXPECT_FALSE(findDialog().isVisible()) << "the dialog closes after every search";
    EXPECT_EQ(form->FindStart, -1);
    EXPECT_EQ(editor().selectionStart(), 4);
    EXPECT_EQ(selection(), "cat");
}

TEST_F(FindReplaceTest, EditFindFillsTheDialogFromTheCaretTheSettingAndTheSelection)
{
    const struct
    {
        const char* text;
        int caret;
        bool widen;
        const char* expected;
    } cases[] = {
        {"one two", 3, true, "two"}, {"in 2009 we", 5, true, "2009"}, {"a,b;c", 2, true, "b"},
        {"the x", 4, false, "x"},    {"the x", 5, false, ""},         {"", 0, true, ""},
        {"tail. ", 6, true, ""},
    };
    for (const auto& c : cases) {
        setText(QString::fromUtf8(c.text));
        form->FindAtCursor = c.widen;
        select(c.caret, 0);
        run("EditFind");
        EXPECT_EQ(findDialog().findText(), QString::fromUtf8(c.expected)) << c.text;
        EXPECT_EQ(findDialog().EditFindText->text(), QString::fromUtf8(c.expected)) << c.text;
        EXPECT_FALSE(findDialog().ButtonFindNext->isEnabled() && !*c.expected)
            << "no search with an empty find text";
        findDialog().close();
    }

    // A long selection gives its first 255 characters.
    setText(QString(300, QLatin1Char('x')));
    select(0, 300);
    run("EditFind");
    EXPECT_EQ(findDialog().findText(), QString(255, QLatin1Char('x')));
    EXPECT_EQ(findDialog().EditFindText->text().size(), 255);

    // Edit Find while the dialog is open: the field keeps what it shows, F3 uses the new text.
    setText("red green red green");
    select(0, 3);
    findDialog().setFindText("blue");
    run("EditFind");
    EXPECT_EQ(findDialog().EditFindText->text(), QString(255, QLatin1Char('x')));
    EXPECT_EQ(findDialog().findText(), "red");
    focusEditor();
    run("EditFindNext");
    EXPECT_EQ(editor().selectionStart(), 10);
    EXPECT_EQ(selection(), "red");
}

TEST_F(FindReplaceTest, FindNextGoesDownOrUpWithoutWrappingAndOnlyFromTheEditor)
{
    setText("cat cat");
    select(0, 3);
    run("EditFind");
    findDialog().ButtonFindNext->click();
    EXPECT_EQ(editor().selectionStart(), 4);
    EXPECT_EQ(selection(), "cat");
    EXPECT_TRUE(notices().isEmpty());
    focusEditor();
    run("EditFindNext");
    EXPECT_EQ(notices(), QStringList{EndOfDocument});
    EXPECT_EQ(editor().selectionStart(), 4) << "no wrap: the last match stays selected";

    // Up: backwards from the selection's start, towards the beginning, then the notice.
    prompter.clear();
    findDialog().RadioUp->setChecked(true);
    run("EditFindNext");
    EXPECT_EQ(editor().selectionStart(), 0);
    EXPECT_EQ(editor().selectionLength(), 3);
    run("EditFindNext");
    EXPECT_EQ(notices(), QStringList{EndOfDocument});
    EXPECT_EQ(editor().selectionStart(), 0);
    findDialog().RadioDown->setChecked(true);

    // Whole word and match case from the dialog's ticks.
    prompter.clear();
    setText("Cat concat cat CAT cat");
    select(0, 0);
    findDialog().CheckWholeWord->setChecked(true);
    findDialog().CheckMatchCase->setChecked(true);
    run("EditFindNext");
    EXPECT_EQ(editor().selectionStart(), 11);
    run("EditFindNext");
    EXPECT_EQ(editor().selectionStart(), 19);

    // F3 does nothing while another control has the focus.
    select(0, 0);
    form->datePicker()->setFocus();
    QCoreApplication::processEvents();
    ASSERT_FALSE(editor().hasFocus());
    run("EditFindNext");
    EXPECT_EQ(editor().selectionStart(), 0);
    EXPECT_EQ(editor().selectionLength(), 0);
}

TEST_F(FindReplaceTest, FindNextWithoutAFindTextOpensTheFindDialog)
{
    setText("alpha beta");
    select(6, 0);
    focusEditor();
    ASSERT_TRUE(findDialog().findText().isEmpty());
    run("EditFindNext");
    EXPECT_TRUE(findDialog().isVisible());
    EXPECT_EQ(findDialog().EditFindText->text(), "beta");
    EXPECT_TRUE(notices().isEmpty());
}

TEST_F(FindReplaceTest, ReplaceReplacesTheSelectionWhateverItHoldsThenSelectsTheNextMatch)
{
    setText("x cat cat");
    select(0, 1);
    run("EditReplace");
    EXPECT_TRUE(replaceDialog().isVisible());
    EXPECT_EQ(form->FindStart, -1) << "Replace does not touch FindStart";
    replace("cat", "dog", false);
    EXPECT_EQ(plainText(), "dog cat cat");
    EXPECT_EQ(editor().selectionStart(), 4);
    EXPECT_EQ(selection(), "cat");
    EXPECT_FALSE(replaceDialog().isVisible());

    // The replacement cannot be undone.
    run("EditReplace");
    replace("cat", "dog", false);
    EXPECT_EQ(plainText(), "dog dog cat");
    editor().undo();
    EXPECT_EQ(plainText(), "dog dog cat");

    // Find Next of the replace dialog only searches.
    select(0, 0);
    run("EditReplace");
    replaceDialog().ButtonFindNext->click();
    EXPECT_EQ(editor().selectionStart(), 8);
    EXPECT_EQ(plainText(), "dog dog cat");
    EXPECT_FALSE(replaceDialog().isVisible());
}

TEST_F(FindReplaceTest, ReplaceAllEndsWithOneNoticeAndNeverFindsItsOwnReplacement)
{
    setText("a a");
    select(0, 0);
    run("EditReplace");
    replace("a", "aa", true);
    EXPECT_EQ(plainText(), "aa aa");
    EXPECT_EQ(notices(), QStringList{EndOfDocument});
    EXPECT_EQ(editor().selectionStart(), 5);
    EXPECT_EQ(editor().selectionLength(), 0);

    // Match case: only the matches of the same case.
    prompter.clear();
    setText("A a A a");
    select(0, 0);
    run("EditReplace");
    replaceDialog().CheckMatchCase->setChecked(true);
    replace("a", "b", true);
    EXPECT_EQ(plainText(), "A b A b");
    EXPECT_EQ(notices(), QStringList{EndOfDocument});
    replaceDialog().CheckMatchCase->setChecked(false);

    // A selection that is no match is replaced first, then every match after it; none before.
    prompter.clear();
    setText("cat x cat cat");
    select(4, 1);
    run("EditReplace");
    replace("cat", "dog", true);
    EXPECT_EQ(plainText(), "cat dog dog dog");
    EXPECT_EQ(notices(), QStringList{EndOfDocument});

    // Formatting around and inside the replaced text survives.
    prompter.clear();
    setText("one cat two");
    select(0, 11);
    form->command("FormatBold")->trigger();
    select(0, 0);
    run("EditReplace");
    replace("cat", "lion", true);
    EXPECT_EQ(plainText(), "one lion two");
    select(5, 1);
    EXPECT_TRUE(editor().effects().bold);
    editor().undo();
    EXPECT_EQ(plainText(), "one lion two");
}
