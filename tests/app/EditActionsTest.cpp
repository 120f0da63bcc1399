#include "EditingFixture.h"
#include "dialogs/TFontDialog.h"

#include <QClipboard>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>

namespace {

class EditActionsTest : public EditingFixture
{
protected:
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        EditingFixture::TearDown();
    }
    QStringList states()
    {
        QStringList on;
        for (const char* name : {"EditCut", "EditCopy", "EditPaste", "EditSelectAll", "EditUndo"})
            if (enabled(name))
                on << QLatin1String(name);
        return on;
    }
    QLineEdit* dateText() { return form->datePicker()->findChild<QLineEdit*>(); }
};

} // namespace

TEST_F(EditActionsTest, WordCountOfSelectionAndFile)
{
    setText("Hello, world!\nsecond line");
    select(0, 13);
    run("ToolsWordCount");
    EXPECT_EQ(notices(), QStringList{"Statistics for Selection:\n\nNumber of Words: 2\n"
                                     "Number of Characters: 12"});
    EXPECT_EQ(prompter.shown.back().title, "Tarvex's Diary");

    const struct
    {
        const char* text;
        const char* expected;
    } files[] = {
        {"", "Statistics for File:\n\nNumber of Words: 0\nNumber of Lines: 0\nNumber of "
             "Characters: 0"},
        {"a b\nc", "Statistics for File:\n\nNumber of Words: 3\nNumber of Lines: 2\nNumber of "
                   "Characters: 3"},
        {"a b\nc\n", "Statistics for File:\n\nNumber of Words: 3\nNumber of Lines: 2\nNumber of "
                     "Characters: 3"},
        {"e-mail x,y", "Statistics for File:\n\nNumber of Words: 2\nNumber of Lines: 1\nNumber "
                       "of Characters: 9"},
    };
    for (const auto& f : files) {
        prompter.clear();
        setText(QString::fromUtf8(f.text));
        run("ToolsWordCount");
        EXPECT_EQ(notices(), QStringList{QString::fromUtf8(f.expected)}) << f.text;
    }

    // A paragraph the editor wraps counts every line it shows.
    prompter.clear();
    const QFontMetrics metrics(editor().document()->defaultFont());
    editor().setLineWrapMode(QTextEdit::FixedPixelWidth);
    editor().setLineWrapColumnOrWidth(metrics.horizontalAdvance("ab ab ab ab ab") + 8);
    setText(QStringList(15, QStringLiteral("ab")).join(' '));
    run("ToolsWordCount");
    const int shown = editor().document()->firstBlock().layout()->lineCount();
    ASSERT_GE(shown, 3);
    EXPECT_EQ(noticeText(), QStringLiteral("Statistics for File:\n\nNumber of Words: 15\n"
                                           "Number of Lines: %1\nNumber of Characters: 30")
                                .arg(shown)
                                .toStdString())
        << editor().displayedLines().join('|').toStdString();
}

TEST_F(EditActionsTest, InsertDateAndTimeUseTheLocaleTheClockAndThePreferences)
{
    clock = QDateTime(QDate(2026, 3, 3), QTime(14, 5));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QString longDate = QStringLiteral("Tuesday, 3 March 2026");

    setText("");
    form->ShortDateFormat = false;
    form->IncludeTimeInInsert = true;
    run("EditInsertDate");
    EXPECT_EQ(plainText(), longDate + " 14:05 ");
    editor().undo();
    EXPECT_EQ(plainText(), longDate + " 14:05 ") << "undo does not take the date back";

    setText("");
    form->IncludeTimeInInsert = false;
    run("EditInsertDate");
    EXPECT_EQ(plainText(), longDate + " ");

    setText("on ???.");
    select(3, 3);
    form->ShortDateFormat = true;
    run("EditInsertDate");
    EXPECT_EQ(plainText(), "on 03/03/2026 .");

    // Insert Time replaces the selection and ignores both preferences.
    select(3, 10);
    run("EditInsertTime");
    EXPECT_EQ(plainText(), "on 14:05  .");
    editor().undo();
    EXPECT_EQ(plainText(), "on 14:05  .");

    // A 12-hour clock brings its AM/PM designator.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setText("");
    run("EditInsertTime");
    EXPECT_TRUE(plainText() == "2:05 PM " || plainText() == QStringLiteral("2:05\u202fPM "))
        << plainText().toStdString();
}

TEST_F(EditActionsTest, StandardCommandsFollowTheFocusedTextControl)
{
    QGuiApplication::clipboard()->clear();
    setText("");
    focusEditor();
    actions->UpdateStandardEditCommands();
    EXPECT_EQ(states(), QStringList{}) << "empty editor, nothing to undo, empty clipboard";

    QTest::keyClicks(&editor(), "typed");
    select(0, 2);
    actions->UpdateStandardEditCommands();
    EXPECT_EQ(states(), (QStringList{"EditCut", "EditCopy", "EditSelectAll", "EditUndo"}));

    QGuiApplication::clipboard()->setText("clip");
    select(1, 0);
    actions->UpdateStandardEditCommands();
    EXPECT_EQ(states(), (QStringList{"EditPaste", "EditSelectAll", "EditUndo"}));

    editor().setReadOnly(true);
    select(0, 2);
    actions->UpdateStandardEditCommands();
    EXPECT_EQ(states(), (QStringList{"EditCopy", "EditSelectAll"}));
    editor().setReadOnly(false);

    // The date box is a text control too; a control that is none keeps the states.
    form->datePicker()->setFocus();
    dateText()->selectAll();
    actions->UpdateStandardEditCommands();
    EXPECT_EQ(states(), (QStringList{"EditCut", "EditCopy", "EditPaste", "EditSelectAll"}));
    form->tabRow()->setFocus();
    QGuiApplication::clipboard()->clear();
    actions->UpdateStandardEditCommands();
    EXPECT_EQ(states(), (QStringList{"EditCut", "EditCopy", "EditPaste", "EditSelectAll"}));

    // Opening the Edit menu works them out afresh.
    focusEditor();
    select(0, 0);
    QMenu* edit = nullptr;
    for (QObject* o : form->command("EditCut")->associatedObjects())
        if (auto* m = qobject_cast<QMenu*>(o); m && m != form->PopupMenuEditor)
            edit = m;
    ASSERT_TRUE(edit);
    emit edit->aboutToShow();
    EXPECT_EQ(states(), (QStringList{"EditSelectAll", "EditUndo"}));
}

TEST_F(EditActionsTest, ShortcutsActOnTheEditorWhateverHasTheFocus)
{
    setText("editor words");
    select(0, 6);
    QGuiApplication::clipboard()->setText("before");

    // Ctrl+C in the date box, whose text is selected: the editor's selection is copied.
    form->datePicker()->setFocus();
    dateText()->selectAll();
    QCoreApplication::processEvents();
    QTest::keyClick(dateText(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "editor");

    // Nothing selected in the date box: copy is not available and the key does nothing.
    QGuiApplication::clipboard()->setText("before");
    dateText()->deselect();
    QTest::keyClick(dateText(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(enabled("EditCopy"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    // Cut, paste and select all by their keys in the editor.
    focusEditor();
    select(0, 7);
    QTest::keyClick(&editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(plainText(), "words");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "editor ");
    select(5, 0);
    QTest::keyClick(&editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(plainText(), "wordseditor ");
    QTest::keyClick(&editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor().selectionLength(), 12);
    QTest::keyClick(&editor(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(plainText(), "words") << "Alt+Backspace undoes the paste";
}

TEST_F(EditActionsTest, PasteAsTextDropsTheFormattingAndThePopUpMenuHoldsTheClipboardCommands)
{
    setText("x");
    select(1, 0);
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b>bold</b>"));
    data->setText(QStringLiteral("bold"));
    QGuiApplication::clipboard()->setMimeData(data);
    run("EditPasteAsText");
    EXPECT_EQ(plainText(), "xbold");
    QTextCursor c(editor().document());
    c.setPosition(4);
    EXPECT_LT(c.charFormat().fontWeight(), QFont::Bold);

    run("EditSelectAll");
    EXPECT_EQ(editor().selectionLength(), 5);

    ASSERT_TRUE(form->PopupMenuEditor);
    QStringList items;
    for (QAction* a : form->PopupMenuEditor->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    EXPECT_EQ(items, (QStringList{"EditCut", "EditCopy", "EditPaste", "EditPasteAsText", "-",
                                  "EditSelectAll"}));
    EXPECT_EQ(editor().contextMenuPolicy(), Qt::DefaultContextMenu); // the editor asks for it
}

TEST_F(EditActionsTest, NoCommandChangesAnEditorHoldingAnUnreadableFile)
{
    // A file that could not be read leaves the editor read-only, so that nothing typed or
    // commanded is ever saved over it.
    setText("kept as it is");
    editor().document()->setUndoRedoEnabled(true);
    QTest::keyClicks(&editor(), "x"); // something to undo
    editor().setModified(false);
    const QString before = plainText();
    editor().setReadOnly(true);
    select(0, 4);
    QGuiApplication::clipboard()->setText("clip");
    prompter.dialogs.push_back([](QDialog& d) {
        if (auto* font = dynamic_cast<TFontDialog*>(&d))
            font->FontSize->setText(QStringLiteral("30"));
        return int(QDialog::Accepted);
    });
    for (const char* name :
         {"EditCut", "EditPaste", "EditPasteAsText", "EditUndo", "EditInsertDate", "EditInsertTime",
          "FormatBold", "FormatItalic", "FormatUnderline", "FormatStrikeOut", "FormatBullets",
          "FormatRightAlign", "FormatFont"}) {
        form->command(QLatin1String(name))->setEnabled(true);
        run(name);
        EXPECT_EQ(plainText(), before) << name;
        EXPECT_FALSE(editor().isModified()) << name;
    }
    form->ReplaceDialog->EditFindText->setText("as");
    form->ReplaceDialog->EditReplaceText->setText("AS");
    form->ReplaceDialog->ButtonReplaceAll->click();
    EXPECT_EQ(plainText(), before);
    EXPECT_FALSE(editor().isModified());
    EXPECT_EQ(selection(), "as") << "the search itself still runs";
}
