#pragma once

#include "app/TPrompter.h"

// Message boxes and dialogs for a person at the screen.
class TQtPrompter : public TPrompter
{
public:
    void information(QWidget* owner, const QString& title, const QString& text) override;
    void notice(QWidget* owner, const QString& title, const QString& text) override;
    void error(QWidget* owner, const QString& title, const QString& text) override;
    bool question(QWidget* owner, const QString& title, const QString& text) override;
    int execDialog(QDialog& dialog) override;
    std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) override;
    SaveFailureChoice saveFailed(QWidget* owner, const QString& title,
                                 const QString& text) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const QString& caption,
                                          const QString& proposedPath,
                                          const QString& filter) override;
    std::optional<QString> chooseExportFile(QWidget* owner, const QString& caption,
                                            const QString& proposedPath,
                                            const QString& filter) override;
    std::unique_ptr<TProgress> progress(QWidget* owner, const QString& title, const QString& label,
                                        int total) override;
};
