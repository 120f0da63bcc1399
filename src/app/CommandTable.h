#pragma once

#include <QKeySequence>
#include <QString>
#include <span>

// One row per command: everything the menus, the tool bar, the shortcuts and the status bar
// need to know about it. Handlers are attached by name where the behaviour lives.
struct TCommandRow {
    const char* name;
    const char* category;
    const char* caption;
    const char* hint; // "short|long", or one part for both
    const char* shortcut; // portable text form; empty for none
    const char* themeIcon; // freedesktop icon name; empty for none
    bool checkable;
};

std::span<const TCommandRow> CommandTable();
const TCommandRow* FindCommandRow(const QString& name);

// The short part of a hint is the tooltip, the long part the status bar text. A hint without
// "|" serves as both.
QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);
