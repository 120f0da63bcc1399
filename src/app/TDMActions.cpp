#include "app/TDMActions.h"

#include "app/CommandActions.h"
#include "app/TFormMain.h"
#include "app/TRichEditor.h"
#include "app/TextStatistics.h"
#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <optional>

TDMActions::TDMActions(QObject* parent) : QObject(parent)
{
    ToolsOnTop = create(QStringLiteral("ToolsOnTop"));
    EditUndo = create(QStringLiteral("EditUndo"));
    EditCut = create(QStringLiteral("EditCut"));
    EditCopy = create(QStringLiteral("EditCopy"));
    EditPaste = create(QStringLiteral("EditPaste"));
    EditPasteAsText = create(QStringLiteral("EditPasteAsText"));
    EditSelectAll = create(QStringLiteral("EditSelectAll"));
    EditFind = create(QStringLiteral("EditFind"));
    EditFindNext = create(QStringLiteral("EditFindNext"));
    EditReplace = create(QStringLiteral("EditReplace"));
    EditInsertDate = create(QStringLiteral("EditInsertDate"));
    EditInsertTime = create(QStringLiteral("EditInsertTime"));
    ToolsWordCount = create(QStringLiteral("ToolsWordCount"));
    AddCategory = create(QStringLiteral("AddCategory"));
    AddCategory->setEnabled(false);
}

QAction* TDMActions::create(const QString& name)
{
    QAction* action = CreateCommandAction(name, this);
    actions.insert(name, action);
    return action;
}

QList<QAction*> TDMActions::editCommands() const
{
    return {EditUndo, EditCut,      EditCopy,    EditPaste,      EditPasteAsText, EditSelectAll,
            EditFind, EditFindNext, EditReplace, EditInsertDate, EditInsertTime,  ToolsWordCount};
}

void TDMActions::attach(TFormMain& form)
{
    FormMain = &form;
    const std::pair<QAction*, void (TDMActions::*)()> handlers[] = {
        {EditCut, &TDMActions::EditCutExecute},
        {EditCopy, &TDMActions::EditCopyExecute},
        {EditPaste, &TDMActions::EditPasteExecute},
        {EditPasteAsText, &TDMActions::EditPasteAsTextExecute},
        {EditSelectAll, &TDMActions::EditSelectAllExecute},
        {EditUndo, &TDMActions::EditUndoExecute},
        {EditInsertDate, &TDMActions::EditInsertDateExecute},
        {EditInsertTime, &TDMActions::EditInsertTimeExecute},
        {ToolsWordCount, &TDMActions::ToolsWordCountExecute},
        {EditFind, &TDMActions::EditFindExecute},
        {EditFindNext, &TDMActions::EditFindNextExecute},
        {EditReplace, &TDMActions::EditReplaceExecute},
    };
    for (const auto& [action, handler] : handlers) {
        // The window is the context: once it is gone the commands do nothing.
        connect(action, &QAction::triggered, &form,
                [this, h = handler] { FormMain->guarded([&] { (this->*h)(); }); });
    }
    // Text controls claim the clipboard keys for themselves; the commands must see them first.
    qApp->installEventFilter(this);
}

bool TDMActions::editorWritable() const
{
    // A read-only editor holds a file that could not be read; whatever control has the focus,
    // nothing may change it, or the next save would write over that file.
    return !FormMain->Editor->isReadOnly();
}

void TDMActions::EditCutExecute()
{
    if (!editorWritable())
        return;
    FormMain->Editor->cut();
}

void TDMActions::EditCopyExecute()
{
    FormMain->Editor->copy();
}

void TDMActions::EditPasteExecute()
{
    if (!editorWritable())
        return;
    FormMain->Editor->paste();
}

void TDMActions::EditPasteAsTextExecute()
{
    if (!editorWritable())
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    FormMain->Editor->insertPlainText(data->text());
}

void TDMActions::EditSelectAllExecute()
{
    FormMain->Editor->selectAll();
}

void TDMActions::EditUndoExecute()
{
    if (!editorWritable())
        return;
    FormMain->Editor->undo();
}

void TDMActions::EditInsertDateExecute()
{
    if (!editorWritable())
        return;
    const QLocale locale;
    QString format =
        locale.dateFormat(FormMain->ShortDateFormat ? QLocale::ShortFormat : QLocale::LongFormat);
    if (FormMain->IncludeTimeInInsert)
        format += QLatin1Char(' ') + locale.timeFormat(QLocale::ShortFormat);
    const QString text = locale.toString(FormMain->environment().now(), format) + QLatin1Char(' ');
    FormMain->Editor->replaceSelectionKeepingNoUndo(text);
}

void TDMActions::EditInsertTimeExecute()
{
    if (!editorWritable())
        return;
    const QLocale locale;
    const QString text = locale.toString(FormMain->environment().now().time(),
                                         locale.timeFormat(QLocale::ShortFormat)) +
                         QLatin1Char(' ');
    FormMain->Editor->replaceSelectionKeepingNoUndo(text);
}

void TDMActions::ToolsWordCountExecute()
{
    TRichEditor& editor = *FormMain->Editor;
    const QString selected = editor.selectedPlainText();
    const bool forSelection = !selected.isEmpty();
    QString text;
    if (forSelection) {
        text = selected;
    } else {
        // The lines as the editor shows them, so a wrapped paragraph counts all its lines.
        for (const QString& line : editor.displayedLines())
            text += line + QStringLiteral("\r\n");
    }
    FormMain->showNotice(WordCountMessage(forSelection, CountTextStatistics(text)));
}

void TDMActions::EditFindExecute()
{
    TRichEditor& editor = *FormMain->Editor;
    FormMain->FindStart = editor.selectionStart();
    FormMain->SelectWordAtCaret();
    TFindDialog& dialog = *FormMain->FindDialog;
    dialog.setFindText(editor.selectedPlainText());
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void TDMActions::EditFindNextExecute()
{
    if (!FormMain->Editor->hasFocus())
        return;
    // While a journal search's matches are shown, F3 goes to the next of them.
    if (FormMain->JournalFindNext(true))
        return;
    if (FormMain->FindDialog->findText().isEmpty()) {
        EditFindExecute();
        return;
    }
    FormMain->FindNextMatch(FormMain->FindDialog);
}

void TDMActions::EditReplaceExecute()
{
    TReplaceDialog& dialog = *FormMain->ReplaceDialog;
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

namespace {

struct TTextControlState
{
    bool readOnly = false;
    bool hasSelection = false;
    bool hasText = false;
    bool canUndo = false;
};

std::optional<TTextControlState> lineEditState(const QLineEdit* edit)
{
    if (!edit)
        return std::nullopt;
    return TTextControlState{edit->isReadOnly(), edit->hasSelectedText(), !edit->text().isEmpty(),
                             edit->isUndoAvailable()};
}

std::optional<TTextControlState> textControlState(QWidget* focus)
{
    if (const auto* edit = qobject_cast<QTextEdit*>(focus))
        return TTextControlState{edit->isReadOnly(), edit->textCursor().hasSelection(),
                                 !edit->document()->isEmpty(), edit->document()->isUndoAvailable()};
    if (const auto* edit = qobject_cast<QPlainTextEdit*>(focus))
        return TTextControlState{edit->isReadOnly(), edit->textCursor().hasSelection(),
                                 !edit->document()->isEmpty(), edit->document()->isUndoAvailable()};
    if (const auto* edit = qobject_cast<QLineEdit*>(focus))
        return lineEditState(edit);
    if (const auto* spin = qobject_cast<QAbstractSpinBox*>(focus))
        return lineEditState(spin->findChild<QLineEdit*>());
    if (const auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->isEditable())
        return lineEditState(combo->lineEdit());
    return std::nullopt;
}

} // namespace

void TDMActions::UpdateStandardEditCommands(bool readClipboard)
{
    if (readClipboard) {
        const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
        clipboardHasText = clip && clip->hasText();
    }
    const std::optional<TTextControlState> state = textControlState(QApplication::focusWidget());
    if (!state)
        return;
    EditCut->setEnabled(state->hasSelection && !state->readOnly);
    EditCopy->setEnabled(state->hasSelection);
    EditPaste->setEnabled(!state->readOnly && clipboardHasText);
    EditSelectAll->setEnabled(state->hasText);
    EditUndo->setEnabled(state->canUndo && !state->readOnly);
}

bool TDMActions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !FormMain)
        return QObject::eventFilter(watched, event);
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != FormMain)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action :
         {EditCut, EditCopy, EditPaste, EditPasteAsText, EditSelectAll, EditUndo}) {
        if (action->shortcut() != pressed)
            continue;
        // Availability is settled just before the shortcut runs; leaving the override
        // unaccepted lets the command, not the focused text control, take the key. A command
        // that is not available then swallows it.
        UpdateStandardEditCommands();
        key->ignore();
        return true;
    }
    return false;
}
