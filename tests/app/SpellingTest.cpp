#include "AppFixture.h"

#include "app/EditorSpelling.h"
#include "dialogs/TFormPreferences.h"
#include "spell/SpellHighlighter.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTextBlock>
#include <QTextLayout>

namespace {

class SpellingTest : public AppFixture
{
protected:
    QTemporaryDir dictionaries;

    SpellingTest()
    {
        // Dictionaries of our own under the codes a real system has, so that verdicts and
        // suggestions never depend on the machine.
        writeFile(dictionaries.filePath("en_US.aff"),
                  "SET UTF-8\nTRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ'\n"
                  "SFX S Y 1\nSFX S 0 s .\n");
        writeFile(dictionaries.filePath("en_US.dic"),
                  "7\nhello/S\nworld/S\nspelling/S\ncheck/S\nthe\nword/S\nbold\n");
        writeFile(dictionaries.filePath("de_DE.aff"), "SET UTF-8\nTRY esianrtolcdugmph\n");
        writeFile(dictionaries.filePath("de_DE.dic"), "3\nKaffee\ngut\nHaus\n");
        dictionaryDirs = {dictionaries.path()};
    }

    void startChecking(const QByteArray& spelling = "Check As You Type=1\nDictionaries=en_US\n")
    {
        writeFile(ini(), "[Spelling]\n" + spelling);
        start();
        form->Spelling->loadDictionaries();
    }
    TSpellHighlighter& marks() { return *form->Spelling->highlighter(); }
    std::vector<TWordSpan> marksOf(int paragraph)
    {
        std::vector<TWordSpan> list;
        const QTextBlock block = editor().document()->findBlockByNumber(paragraph);
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            list.push_back({r.start, r.length});
        return list;
    }

    // Asks for the pop-up menu from the keyboard with the caret at position, or with the mouse
    // over it; returns the items' names ("-" for a separator) and texts.
    QStringList menuAt(int position, bool mouse = false)
    {
        QMenu& menu = *form->PopupMenuEditor;
        menu.hide();
        if (mouse) {
            QTextCursor c(editor().document());
            c.setPosition(position);
            const QPoint at = editor().cursorRect(c).center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                                    editor().viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(editor().viewport(), &event);
        } else {
            editor().setSelection(position, 0);
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QPoint());
            QCoreApplication::sendEvent(&editor(), &event);
        }
        EXPECT_TRUE(menu.isVisible());
        QStringList items;
        for (QAction* a : menu.actions())
            items << (a->isSeparator() ? QStringLiteral("-")
                                       : a->objectName() + QLatin1Char(':') + a->text());
        return items;
    }
    void choose(const QString& name)
    {
        form->PopupMenuEditor->hide();
        for (QAction* a : form->PopupMenuEditor->actions())
            if (a->objectName() + QLatin1Char(':') + a->text() == name) {
                a->trigger();
                return;
            }
        ADD_FAILURE() << "no menu item " << name.toStdString();
    }
    static QStringList standardItems()
    {
        return {"EditCut:Cu&t",
                "EditCopy:&Copy",
                "EditPaste:&Paste",
                "EditPasteAsText:Paste as &Text",
                "-",
                "EditSelectAll:Select &All"};
    }
};

TEST_F(SpellingTest, TheMenuOnAMisspelledWordOffersSuggestionsAddAndIgnore)
{
    startChecking();
    type("hello ");
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    editor().textCursor().insertText("wrld", bold);
    type(" world");
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{6, 4}}));

    // From the keyboard, the caret inside the word, or right after it.
    const QStringList items = menuAt(8);
    ASSERT_GE(items.size(), 10) << items.join(' ').toStdString();
    EXPECT_EQ(items.first(), "SpellingSuggestion:world");
    EXPECT_EQ(items.mid(items.size() - 9), QStringList({"SpellingAddToDictionary:Add to Dictionary",
                                                        "SpellingIgnore:Ignore", "-"}) +
                                               standardItems());
    EXPECT_LE(items.size() - 9, 7); // at most seven suggestions
    EXPECT_EQ(menuAt(10).first(), "SpellingSuggestion:world");
    // With the mouse, over the word; the caret stays where it was.
    editor().setSelection(0, 0);
    EXPECT_EQ(menuAt(7, true).first(), "SpellingSuggestion:world");
    EXPECT_EQ(editor().selectionStart(), 0);

    // On a right word, or with nothing there, the menu is the editor's own.
    EXPECT_EQ(menuAt(2), standardItems());
    EXPECT_EQ(menuAt(5), standardItems());

    // A suggestion replaces the word as one edit, in the word's formatting.
    menuAt(8);
    choose("SpellingSuggestion:world");
    EXPECT_EQ(plainText(), "hello world world");
    QTextCursor c(editor().document());
    c.setPosition(8);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    c.setPosition(11);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(marksOf(0).empty());
    EXPECT_TRUE(editor().isModified());
    editor().undo();
    EXPECT_EQ(plainText(), "hello wrld world");
    editor().redo();
    EXPECT_EQ(plainText(), "hello world world");

    // Shift+F10 opens it too.
    form->PopupMenuEditor->hide();
    editor().setFocus();
    QTest::keyClick(&editor(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(form->PopupMenuEditor->isVisible());
    form->PopupMenuEditor->hide();

    // A document that could not be read is never changed, not even through the menu.
    replaceText("wrld");
    editor().setReadOnly(true);
    EXPECT_EQ(menuAt(2), standardItems());
    editor().setReadOnly(false);
}

TEST_F(SpellingTest, AddedWordsStayRightIgnoredOnesForTheSessionOnly)
{
    startChecking();
    type("wrld zorb wrld");
    QTest::keyClick(&editor(), Qt::Key_Return);
    type("zorb");
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{0, 4}, {5, 4}, {10, 4}}));

    menuAt(1);
    choose("SpellingAddToDictionary:Add to Dictionary");
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{5, 4}})); // every one of them, at once
    EXPECT_EQ(readFile(programDir() + "/jornix.dic"), "wrld\n");
    menuAt(6);
    choose("SpellingIgnore:Ignore");
    EXPECT_TRUE(marksOf(0).empty());
    EXPECT_TRUE(marksOf(1).empty());
    EXPECT_EQ(readFile(programDir() + "/jornix.dic"), "wrld\n");

    // Next session: the added word is still right, the ignored one is wrong again.
    stop();
    start();
    form->Spelling->loadDictionaries();
    marks().finishPendingWork();
    EXPECT_EQ(plainText(), "wrld zorb wrld\nzorb");
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{5, 4}}));
    EXPECT_EQ(marksOf(1), (std::vector<TWordSpan>{{0, 4}}));
}

TEST_F(SpellingTest, AWordListThatCannotBeReadIsReportedAndNeverWrittenOver)
{
    ASSERT_TRUE(QDir().mkdir(programDir() + "/jornix.dic"));
    startChecking();
    ASSERT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(prompter.texts("error")[0].contains("personal word list"));
    prompter.clear();
    type("wrld");
    marks().finishPendingWork();
    menuAt(1);
    choose("SpellingAddToDictionary:Add to Dictionary");
    EXPECT_TRUE(marksOf(0).empty()); // right for this session
    ASSERT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(prompter.texts("error")[0].contains("this session only"));
    EXPECT_TRUE(QFileInfo(programDir() + "/jornix.dic").isDir());
}

TEST_F(SpellingTest, MarksFollowTheDocumentTheEditorShowsAndNeverReachTheFile)
{
    startChecking();
    type("hello wrld");
    editor().moveCursor(QTextCursor::Start);
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{6, 4}}));
    form->SaveCurrentDocument();
    const QByteArray saved = readFile(docs("jx20261207.rtf"));
    EXPECT_TRUE(saved.contains("hello wrld"));
    EXPECT_FALSE(saved.contains("\\ul")) << saved.toStdString();

    // Another document handed to the editor is checked from then on; the old one is left.
    QTextDocument* old = editor().document();
    old->setParent(&editor()); // kept when another document comes
    TSpellHighlighter* oldMarks = &marks();
    auto* other = new QTextDocument(&editor());
    other->setPlainText("Kaffee wrld world");
    editor().setDocument(other);
    ASSERT_EQ(marks().document(), other);
    EXPECT_FALSE(oldMarks->isActive());
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{0, 6}, {7, 4}}));
    type("x");
    EXPECT_NE(marks().misspellingsOf(other->begin()), nullptr);

    // Back to the first one: what was marked there is checked again.
    editor().setDocument(old);
    EXPECT_EQ(&marks(), oldMarks);
    EXPECT_TRUE(oldMarks->isActive());
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{6, 4}}));
}

TEST_F(SpellingTest, EveryDayOpenedIsMarkedAsTheFirstWas)
{
    QDir().mkpath(docs());
    writeFile(docs("jx20261201.rtf"), rtfWith("world wrld"));
    startChecking();
    type("hello wrld");
    form->command("GotoPrevDate")->trigger();
    ASSERT_TRUE(plainText().startsWith("world wrld"));
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{6, 4}}));
    form->command("GotoNextDate")->trigger();
    ASSERT_TRUE(plainText().startsWith("hello wrld"));
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{6, 4}}));
}

TEST_F(SpellingTest, ALargeEntryOpensUncheckedAndIsMarkedAroundTheViewFirst)
{
    QString body;
    for (int i = 0; i < 600; ++i)
        body += QStringLiteral("hello wrld world\\par\r\n");
    QDir().mkpath(docs());
    writeFile(docs("jx20261201.rtf"), rtfWith(body));
    startChecking();
    type("wrld ");
    const qint64 before = marks().checkedParagraphs();

    // Opening it is one large change: nothing of it is checked on the way.
    form->GoToDate(QDate(2026, 12, 1));
    ASSERT_EQ(editor().document()->blockCount(), 601);
    EXPECT_LT(marks().checkedParagraphs(), before + 5); // the emptied document at most
    EXPECT_TRUE(marks().hasPendingWork());

    // The first idle slice checks and marks what is on screen and near it.
    marks().runSlice(std::chrono::milliseconds(0));
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_TRUE(marksOf(500).empty());
    EXPECT_EQ(marks().misspellingsOf(editor().document()->findBlockByNumber(500)), nullptr);
    marks().finishPendingWork();
    EXPECT_EQ(*marks().misspellingsOf(editor().document()->findBlockByNumber(500)),
              (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_TRUE(marksOf(500).empty()); // out of view: marked when it comes into view

    // Scrolled there, it is marked.
    editor().moveCursor(QTextCursor::End);
    editor().ensureCursorVisible();
    QCoreApplication::processEvents();
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(599), (std::vector<TWordSpan>{{6, 4}}));
    EXPECT_FALSE(editor().isModified());
}

TEST_F(SpellingTest, TheLocalesDictionaryIsTheDefaultAndOptionsChangeTheChoice)
{
    // A settings file from before spelling: on, in the user's language.
    start();
    EXPECT_TRUE(form->Spelling->checkAsYouType());
    EXPECT_EQ(form->Spelling->chosenDictionaries(), QStringList{"en_US"});
    form->Spelling->loadDictionaries();
    EXPECT_TRUE(form->Spelling->isChecking());
    form->SaveSettings();
    EXPECT_FALSE(readFile(ini()).contains("[Spelling]"));

    // Options: both dictionaries listed, the chosen one checked; German added.
    prompter.dialogs.push_back([](QDialog& d) {
        auto& options = dynamic_cast<TFormPreferences&>(d);
        EXPECT_EQ(options.PageControl->tabText(2), "Spelling");
        EXPECT_EQ(options.CB_CheckSpelling->text(), "Check spelling as you type");
        EXPECT_TRUE(options.CB_CheckSpelling->isChecked());
        EXPECT_TRUE(options.L_SpellingHint->isHidden());
        QListWidget& list = *options.LB_Dictionaries;
        EXPECT_EQ(list.count(), 2);
        EXPECT_EQ(list.item(0)->text(), "German (Germany)");
        EXPECT_EQ(list.item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(list.item(1)->text(), "English (United States)");
        EXPECT_EQ(list.item(1)->checkState(), Qt::Checked);
        list.item(0)->setCheckState(Qt::Checked);
        return int(QDialog::Accepted);
    });
    form->command("ToolsPreferences")->trigger();
    EXPECT_TRUE(
        readFile(ini()).contains("[Spelling]\nCheck As You Type=1\nDictionaries=de_DE,en_US\n"))
        << readFile(ini()).toStdString();
    EXPECT_EQ(form->Spelling->checker().dictionaries(), (QStringList{"de_DE", "en_US"}));
    type("Kaffee wrld ");
    marks().finishPendingWork();
    EXPECT_EQ(marksOf(0), (std::vector<TWordSpan>{{7, 4}}));

    // Switched off: the marks go; Escape changes nothing.
    prompter.dialogs.push_back([](QDialog& d) {
        dynamic_cast<TFormPreferences&>(d).CB_CheckSpelling->setChecked(false);
        return int(QDialog::Accepted);
    });
    form->command("ToolsPreferences")->trigger();
    EXPECT_TRUE(marksOf(0).empty());
    EXPECT_FALSE(form->Spelling->isChecking());
    EXPECT_TRUE(readFile(ini()).contains("Check As You Type=0"));
    prompter.dialogs.push_back([](QDialog& d) {
        dynamic_cast<TFormPreferences&>(d).CB_CheckSpelling->setChecked(true);
        return int(QDialog::Rejected);
    });
    form->command("ToolsPreferences")->trigger();
    EXPECT_FALSE(form->Spelling->checkAsYouType());
    EXPECT_EQ(menuAt(9), standardItems());

    // The choice survives a restart.
    stop();
    start();
    EXPECT_FALSE(form->Spelling->checkAsYouType());
    EXPECT_EQ(form->Spelling->chosenDictionaries(), (QStringList{"de_DE", "en_US"}));
}

TEST_F(SpellingTest, WithoutADictionaryForItsLanguageSpellingIsOffAndOptionsSaysWhatToInstall)
{
    locale = QLocale(QLocale::French, QLocale::France);
    start();
    EXPECT_FALSE(form->Spelling->checkAsYouType());
    stop();

    dictionaryDirs = {programDir() + "/no-dictionaries-here"};
    start();
    EXPECT_FALSE(form->Spelling->checkAsYouType());
    prompter.dialogs.push_back([](QDialog& d) {
        auto& options = dynamic_cast<TFormPreferences&>(d);
        EXPECT_FALSE(options.CB_CheckSpelling->isChecked());
        EXPECT_FALSE(options.CB_CheckSpelling->isEnabled());
        EXPECT_FALSE(options.L_SpellingHint->isHidden());
        EXPECT_TRUE(options.LB_Dictionaries->isHidden());
        EXPECT_TRUE(options.L_SpellingHint->text().contains("hunspell-fr"))
            << options.L_SpellingHint->text().toStdString();
        return int(QDialog::Accepted);
    });
    form->command("ToolsPreferences")->trigger();
    // Nothing was there to choose: once a dictionary is installed, it is picked by itself.
    EXPECT_FALSE(readFile(ini()).contains("[Spelling]"));
}

} // namespace
