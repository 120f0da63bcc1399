#include "app/TFormMain.h"

#include "app/CommandActions.h"
#include "app/EditorSpelling.h"
#include "app/TDMActions.h"
#include "app/TRichEditor.h"
#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTimer>

void TFormMain::buildEditCommands()
{
    actions.attach(*this);
    for (QAction* action : actions.editCommands())
        registerCommand(action);

    makeCommand("FormatBold", &TFormMain::FormatBoldExecute);
    makeCommand("FormatItalic", &TFormMain::FormatItalicExecute);
    makeCommand("FormatUnderline", &TFormMain::FormatUnderlineExecute);
    makeCommand("FormatStrikeOut", &TFormMain::FormatStrikeOutExecute);
    makeCommand("FormatBullets", &TFormMain::FormatBulletsExecute);
    makeCommand("FormatFont", &TFormMain::FormatFontExecute);
    // The three alignment commands share a handler and are told apart by their tag; at most
    // one of them is down.
    auto* alignments = new QActionGroup(this);
    alignments->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const std::pair<const char*, int> tags[] = {
        {"FormatLeftAlign", 0}, {"FormatRightAlign", 1}, {"FormatCentreAlign", 2}};
    for (const auto& [name, tag] : tags) {
        QAction* action = CreateCommandAction(QLatin1String(name), this);
        action->setData(tag);
        alignments->addAction(action);
        registerCommand(action);
        connect(action, &QAction::triggered, this,
                [this, action] { guarded([&] { FormatAlignExecute(action); }); });
    }

    FindDialog = new TFindDialog(this);
    ReplaceDialog = new TReplaceDialog(this);
    connect(FindDialog, &TFindDialog::findNext, this,
            [this] { guarded([&] { FindDialogFind(); }); });
    connect(FindDialog, &QDialog::finished, this, [this] { guarded([&] { FindDialogClose(); }); });
    connect(ReplaceDialog, &TReplaceDialog::findNext, this,
            [this] { guarded([&] { ReplaceDialogFind(); }); });
    connect(ReplaceDialog, &TReplaceDialog::replace, this,
            [this] { guarded([&] { ReplaceDialogReplace(); }); });

    QTimer::singleShot(0, this, [this] { finishEditCommands(); });
}

void TFormMain::finishEditCommands()
{
    PopupMenuEditor = new QMenu(this);
    PopupMenuEditor->setObjectName(QStringLiteral("PopupMenuEditor"));
    PopupMenuEditor->addAction(actions.EditCut);
    PopupMenuEditor->addAction(actions.EditCopy);
    PopupMenuEditor->addAction(actions.EditPaste);
    PopupMenuEditor->addAction(actions.EditPasteAsText);
    PopupMenuEditor->addSeparator();
    PopupMenuEditor->addAction(actions.EditSelectAll);
    // Opened by the mouse or from the keyboard at the caret; a misspelled word there puts
    // its spelling items first.
    connect(Editor, &TRichEditor::contextMenuWanted, this,
            [this](const QPoint& globalPos, int textPosition) {
                Spelling->prepareMenu(*PopupMenuEditor, textPosition);
                PopupMenuEditor->popup(globalPos);
            });

    // Every menu holding the standard edit commands works out their availability as it opens.
    auto update = [this] { actions.UpdateStandardEditCommands(); };
    for (QObject* owner : actions.EditCut->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner))
            connect(menu, &QMenu::aboutToShow, this, update);
    for (QObject* owner : actions.EditUndo->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner);
            menu && !menu->actions().contains(actions.EditCut))
            connect(menu, &QMenu::aboutToShow, this, update);
    // The tool buttons show the same states, so they follow the editor and the focus as well.
    auto follow = [this] { actions.UpdateStandardEditCommands(false); };
    connect(Editor, &QTextEdit::selectionChanged, this, follow);
    connect(Editor, &QTextEdit::undoAvailable, this, follow);
    connect(Editor, &QTextEdit::textChanged, this, follow);
    connect(qApp, &QApplication::focusChanged, this, follow);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, update);
    update();
}
