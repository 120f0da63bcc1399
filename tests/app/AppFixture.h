#pragma once

#include "TestFiles.h"
#include "TestPrompter.h"
#include "app/TDMActions.h"
#include "app/TFormMain.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The real main window, offscreen, in a temporary program folder with a fixed clock.
class AppFixture : public ::testing::Test
{
protected:
    QTemporaryDir temp;
    TTestPrompter prompter;
    std::unique_ptr<TDMActions> actions;
    std::unique_ptr<TFormMain> form;
    QDateTime clock{QDate(2026, 12, 7), QTime(10, 0)};
    // No spelling dictionary unless a test brings its own, so that no test depends on the
    // machine's.
    QStringList dictionaryDirs;
    QLocale locale{QLocale::English, QLocale::UnitedStates};

    QString programDir() const { return temp.path(); }
    QString docs(const QString& name = {}) const
    {
        return name.isEmpty() ? temp.path() + "/Docs" : temp.path() + "/Docs/" + name;
    }
    QString backup(const QString& name) const { return temp.path() + "/Docs/Backup/" + name; }
    QString ini() const { return temp.path() + "/jornix.ini"; }

    TEnvironment environment()
    {
        TEnvironment env;
        env.programFilePath = programDir() + "/jornix";
        env.programDir = programDir();
        env.workingDir = programDir();
        env.now = [this] { return clock; };
        env.prompter = &prompter;
        env.dictionaryDirs = dictionaryDirs;
        env.locale = locale;
        return env;
    }

    TFormMain& start()
    {
        actions = std::make_unique<TDMActions>();
        form = std::make_unique<TFormMain>(environment(), *actions);
        form->show();
        QCoreApplication::processEvents();
        return *form;
    }

    // Closes the window as the title bar would, then destroys it (which saves the settings).
    void stop()
    {
        if (!form)
            return;
        form->close();
        form.reset();
        actions.reset();
    }

    void TearDown() override { stop(); }

    TRichEditor& editor() { return *form->Editor; }

    void type(const QString& text)
    {
        editor().setFocus();
        QTest::keyClicks(&editor(), text);
    }

    void replaceText(const QString& text)
    {
        editor().selectAll();
        if (text.isEmpty())
            QTest::keyClick(&editor(), Qt::Key_Delete);
        else
            QTest::keyClicks(&editor(), text);
    }

    QString plainText() { return editor().toPlainText(); }
};
