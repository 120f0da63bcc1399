#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;
class QPrinter;
class QDialog;

// A long task's progress as the user follows it, with a way to stop it.
class TProgress
{
public:
    virtual ~TProgress() = default;
    // Shows that done of the whole are done; false once the user has asked to stop.
    virtual bool advance(int done) = 0;
};

// Every message box and modal dialog of the main window goes through here, so that tests can
// answer them from a script and see what the user would have seen.
class TPrompter
{
public:
    virtual ~TPrompter() = default;

    // Notices: one OK button, captioned with the application title.
    virtual void information(QWidget* owner, const QString& title, const QString& text) = 0;
    // A plain message without an icon ("End of document reached.", the word count).
    virtual void notice(QWidget* owner, const QString& title, const QString& text)
    {
        information(owner, title, text);
    }
    // The application's error box for a failure that reached a command.
    virtual void error(QWidget* owner, const QString& title, const QString& text) = 0;
    // Yes/No question, No being the default. True for Yes.
    virtual bool question(QWidget* owner, const QString& title, const QString& text) = 0;
    // Runs a modal dialog the main window built; returns its result code (QDialog::Accepted or
    // Rejected). Tests fill the dialog's fields and decide instead of the user.
    virtual int execDialog(QDialog& dialog) = 0;
    // The font dialog; nullopt when cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) = 0;

    // A save failed where leaving would lose the text: Retry, Save a Copy As... or Cancel
    // (the default).
    enum class SaveFailureChoice { Retry, SaveCopy, Cancel };
    virtual SaveFailureChoice saveFailed(QWidget* owner, const QString& title,
                                         const QString& text) = 0;
    // The file dialog for saving under a name the user chooses; nullopt when cancelled.
    // filter as QFileDialog takes it ("Rich Text Format (*.rtf)").
    virtual std::optional<QString> chooseSaveFile(QWidget* owner, const QString& caption,
                                                  const QString& proposedPath,
                                                  const QString& filter) = 0;
    // The dialog that names a file to write, starting at proposedPath; nullopt when cancelled.
    // It never asks about replacing a file: the caller does, through question().
    virtual std::optional<QString> chooseExportFile(QWidget* /*owner*/, const QString& /*caption*/,
                                                    const QString& /*proposedPath*/,
                                                    const QString& /*filter*/)
    {
        return std::nullopt;
    }
    // A progress dialog with Cancel for a task of total steps, shown while the object lives.
    virtual std::unique_ptr<TProgress> progress(QWidget* /*owner*/, const QString& /*title*/,
                                                const QString& /*label*/, int /*total*/)
    {
        struct TUnseen : TProgress
        {
            bool advance(int) override { return true; }
        };
        return std::make_unique<TUnseen>();
    }
};
