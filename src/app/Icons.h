#pragma once

#include <QIcon>

// The icon of a command: the desktop theme's icon by its freedesktop name, else one drawn by
// the program itself, so the tool bar never shows empty buttons.
QIcon CommandIcon(const QString& commandName, const QString& themeName);
// The program's own window icon.
QIcon ApplicationIcon();
