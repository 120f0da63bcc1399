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
        QString kind; // "information", "error", "question", "dialog", "font"
        QString title;
        QString text;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;                         // questions; No when empty
    std::deque<std::function<int(QDialog&)>> dialogs; // modal dialogs; Rejected when empty
    std::deque<std::optional<QFont>> fonts;           // font dialog; cancelled when empty
    std::deque<SaveFailureChoice> saveFailures;       // failed-save box; Cancel when empty
    std::deque<QString> saveFiles;                    // save-file dialog; cancelled when empty

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
