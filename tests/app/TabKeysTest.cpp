// Switching tabs from the keyboard: the same road as a click, whatever has the focus.
#include "AppFixture.h"

#include "app/TQuickListBox.h"
#include "store/AtomicFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>

class TabKeysTest : public AppFixture
{
protected:
    void SetUp() override { QDir().mkpath(docs("Backup")); }

    void startWithTabs()
    {
        writeFile(docs("startup.txt"), "Garden\r\nRecipes\r\n");
        writeFile(docs("kw_Garden.rtf"), rtfWith("garden notes"));
        writeFile(docs("kw_Recipes.rtf"), rtfWith("recipe notes"));
        start();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ASSERT_EQ(form->tabRow()->captions(), (QStringList{"Diary", "Garden", "Recipes"}));
        ASSERT_EQ(form->selectedCaption(), "Diary");
    }

    // The key as the focused control receives it, shortcuts first, as a keyboard's would.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keyClick(target, key, modifiers);
    }
};

TEST_F(TabKeysTest, NextAndPreviousTabGoRoundTheRowAndShowEachDocument)
{
    startWithTabs();
    editor().setFocus();

    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Garden");
    EXPECT_TRUE(plainText().contains("garden notes"));
    EXPECT_FALSE(plainText().contains('\t')) << "Ctrl+Tab never reaches the editor as a tab";
    EXPECT_TRUE(editor().hasFocus());

    press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Recipes");
    EXPECT_TRUE(plainText().contains("recipe notes"));
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Diary") << "after the last tab comes the first";

    press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Recipes") << "before the first tab comes the last";
    // Shift+Tab arrives as Backtab from most keyboards, as Tab from some.
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->selectedCaption(), "Garden");
    press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->selectedCaption(), "Diary");
    EXPECT_FALSE(plainText().contains('\t'));

    // From the Quick List the keys work all the same.
    form->command("GotoQuickList")->trigger();
    form->ListBoxQL->setFocus();
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Garden");
    EXPECT_TRUE(prompter.texts("error").isEmpty());
}

TEST_F(TabKeysTest, TheDocumentIsSavedFirstAndAFailedSaveKeepsTheTab)
{
    startWithTabs();
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(form->selectedCaption(), "Garden");
    replaceText("planted the tulips");
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Recipes");
    EXPECT_TRUE(readFile(docs("kw_Garden.rtf")).contains("planted the tulips"));
    EXPECT_TRUE(readFile(backup("kw_Garden.rtf")).contains("garden notes"));

    replaceText("bread with seeds");
    AtomicFile::setFaultInjector([](AtomicFile::Stage stage, const QString& path) {
        return stage == AtomicFile::Stage::Rename && path.endsWith("kw_Recipes.rtf");
    });
    press(Qt::Key_PageUp, Qt::ControlModifier);
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_EQ(form->selectedCaption(), "Recipes") << "the text that could not be saved stays";
    EXPECT_TRUE(plainText().contains("bread with seeds"));
    EXPECT_TRUE(editor().isModified());
    const QStringList errors = prompter.texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(docs("kw_Recipes.rtf"))) << errors[0].toStdString();

    press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Garden");
    EXPECT_TRUE(readFile(docs("kw_Recipes.rtf")).contains("bread with seeds"));
}

TEST_F(TabKeysTest, WithTheDiaryAloneTheKeysChangeNothing)
{
    start();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    type("today");
    press(Qt::Key_Tab, Qt::ControlModifier);
    press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form->selectedCaption(), "Diary");
    EXPECT_EQ(plainText(), "today");
    EXPECT_TRUE(editor().isModified()) << "nothing was saved or reloaded";
}
