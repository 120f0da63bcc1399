#pragma once

#include "app/TPrompter.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

// Answers the main window's questions from a script and keeps what it was shown.
class TTestPrompter : public TPrompter
{
public:
    struct Shown
    {
        // "information", "error", "question", "dialog", "font", "saveFailed", "saveFile",
        // "exportFile", "progress"
        QString kind;
        QString title;
        QString text;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;                         // questions; No when empty
    std::deque<std::function<int(QDialog&)>> dialogs; // modal dialogs; Rejected when empty
    std::deque<std::optional<QFont>> fonts;           // font dialog; cancelled when empty
    std::deque<SaveFailureChoice> saveFailures;       // failed-save box; Cancel when empty
    std::deque<QString> saveFiles;                    // save-file dialog; cancelled when empty
    std::deque<QString> exportFiles;                  // export's file dialog; "" or none: cancel
    int cancelProgressAt = -1;                        // a progress dialog's Cancel, at this step
    std::vector<int> progressSeen;                    // the steps a progress dialog showed

    struct Progress : TProgress
    {
        TTestPrompter& owner;
        explicit Progress(TTestPrompter& p) : owner(p) {}
        bool advance(int done) override
        {
            owner.progressSeen.push_back(done);
            return owner.cancelProgressAt < 0 || done < owner.cancelProgressAt;
        }
    };

    void information(QWidget*, const QString& title, const QString& text) override
    {
        shown.push_back({QStringLiteral("information"), title, text});
    }
    void error(QWidget*, const QString& title, const QString& text) override
    {
        shown.push_back({QStringLiteral("error"), title, text});
    }
    bool question(QWidget*, const QString& title, const QString& text) override
    {
        shown.push_back({QStringLiteral("question"), title, text});
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int execDialog(QDialog& dialog) override
    {
        shown.push_back({QStringLiteral("dialog"), dialog.windowTitle(), dialog.objectName()});
        if (dialogs.empty())
            return QDialog::Rejected;
        auto script = std::move(dialogs.front());
        dialogs.pop_front();
        return script(dialog);
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override
    {
        shown.push_back({QStringLiteral("font"), QString(), initial.family()});
        if (fonts.empty())
            return std::nullopt;
        auto font = fonts.front();
        fonts.pop_front();
        return font;
    }

    SaveFailureChoice saveFailed(QWidget*, const QString& title, const QString& text) override
    {
        shown.push_back({QStringLiteral("saveFailed"), title, text});
        if (saveFailures.empty())
            return SaveFailureChoice::Cancel;
        const SaveFailureChoice choice = saveFailures.front();
        saveFailures.pop_front();
        return choice;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& caption, const QString& proposed,
                                          const QString&) override
    {
        shown.push_back({QStringLiteral("saveFile"), caption, proposed});
        if (saveFiles.empty())
            return std::nullopt;
        const QString path = saveFiles.front();
        saveFiles.pop_front();
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }
    std::optional<QString> chooseExportFile(QWidget*, const QString& caption,
                                            const QString& proposedPath,
                                            const QString& filter) override
    {
        shown.push_back(
            {QStringLiteral("exportFile"), caption, proposedPath + QStringLiteral(" | ") + filter});
        if (exportFiles.empty())
            return std::nullopt;
        const QString file = exportFiles.front();
        exportFiles.pop_front();
        if (file.isEmpty())
            return std::nullopt;
        return file;
    }
    std::unique_ptr<TProgress> progress(QWidget*, const QString& title, const QString& label,
                                        int total) override
    {
        shown.push_back(
            {QStringLiteral("progress"), title, label + QStringLiteral(" | %1").arg(total)});
        return std::make_unique<Progress>(*this);
    }

    QStringList texts(const QString& kind) const
    {
        QStringList list;
        for (const Shown& s : shown)
            if (s.kind == kind)
                list << s.text;
        return list;
    }
    void clear() { shown.clear(); }
};
