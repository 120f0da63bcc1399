#pragma once

// The prompter of the benchmarks that drive the real main window: every notice goes unseen, and
// anything that should not happen in a benchmark stops it.

#include "app/TPrompter.h"

class SilentPrompter : public TPrompter
{
public:
    void information(QWidget*, const QString&, const QString&) override {}
    void error(QWidget*, const QString&, const QString& text) override
    {
        qFatal("unexpected error: %s", qPrintable(text));
    }
    bool question(QWidget*, const QString&, const QString&) override { return false; }
    int execDialog(QDialog&) override { return 0; }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override { return std::nullopt; }
    SaveFailureChoice saveFailed(QWidget*, const QString&, const QString& text) override
    {
        qFatal("unexpected failed save: %s", qPrintable(text));
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString&, const QString&,
                                          const QString&) override
    {
        return std::nullopt;
    }
};
