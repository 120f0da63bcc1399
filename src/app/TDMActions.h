#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class TFormMain;

// The action module: the editing and tool commands that act on the main window's editor,
// created before the main window so that its menus can refer to them.
class TDMActions : public QObject
{
    Q_OBJECT
public:
    explicit TDMActions(QObject* parent = nullptr);

    QAction* command(const QString& name) const { return actions.value(name); }
    QAction* ToolsOnTop = nullptr;

    QAction* EditUndo = nullptr;
    QAction* EditCut = nullptr;
    QAction* EditCopy = nullptr;
    QAction* EditPaste = nullptr;
    QAction* EditPasteAsText = nullptr;
    QAction* EditSelectAll = nullptr;
    QAction* EditFind = nullptr;
    QAction* EditFindNext = nullptr;
    QAction* EditReplace = nullptr;
    QAction* EditInsertDate = nullptr;
    QAction* EditInsertTime = nullptr;
    QAction* ToolsWordCount = nullptr;
    // Room for sorting keyword files into categories; nothing offers it yet, so it stays
    // disabled and does nothing.
    QAction* AddCategory = nullptr;

    // The commands of the "Edit" list and the word count, in menu order (not ToolsOnTop).
    QList<QAction*> editCommands() const;
    // The Categories page's command list.
    QList<QAction*> ALCategories() const { return {AddCategory}; }
    // Makes the commands act on form's editor; they stop doing anything once form is gone.
    void attach(TFormMain& form);

    void EditCutExecute();
    void EditCopyExecute();
    void EditPasteExecute();
    void EditPasteAsTextExecute();
    void EditSelectAllExecute();
    void EditUndoExecute();
    void EditInsertDateExecute();
    void EditInsertTimeExecute();
    void ToolsWordCountExecute();
    void EditFindExecute();
    void EditFindNextExecute();
    void EditReplaceExecute();

    // Enables cut, copy, paste, select all and undo by what the text control that has the
    // keyboard focus offers; with no text control focused they keep their state. Without
    // readClipboard the clipboard's state is taken as last seen, which spares a round trip to
    // the clipboard's owner on every keystroke.
    void UpdateStandardEditCommands(bool readClipboard = true);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* create(const QString& name);
    bool editorWritable() const;
    QHash<QString, QAction*> actions;
    QPointer<TFormMain> FormMain;
    bool clipboardHasText = false;
};
