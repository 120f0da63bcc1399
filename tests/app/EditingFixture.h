#pragma once

#include "AppFixture.h"
#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>

// The main window with a document put straight into the editor, for the editing commands.
class EditingFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        start();
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get(), 1000);
        QCoreApplication::processEvents();
        prompter.clear();
    }

    // Plain text in the default format, with nothing to undo.
    void setText(const QString& text)
    {
        editor().clearContent();
        editor().document()->setUndoRedoEnabled(false);
        QTextCursor(editor().document()).insertText(text);
        editor().document()->setUndoRedoEnabled(true);
        editor().setSelection(0, 0);
        editor().setFocus();
        QCoreApplication::processEvents();
    }
    // The editor with the keyboard focus in the active main window, as after a click into it.
    void focusEditor()
    {
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get(), 1000);
        editor().setFocus();
        QCoreApplication::processEvents();
    }
    void select(int start, int length) { editor().setSelection(start, length); }
    QString selection() { return editor().selectedPlainText(); }
    void run(const char* name) { form->command(QLatin1String(name))->trigger(); }
    bool enabled(const char* name) { return form->command(QLatin1String(name))->isEnabled(); }
    QStringList notices() const { return prompter.texts(QStringLiteral("information")); }
    std::string noticeText() const { return notices().join(QLatin1Char('|')).toStdString(); }
};
