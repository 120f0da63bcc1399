#pragma once

#include <QString>

class QAction;
class QObject;

// Builds the QAction of a command from its row in the command table: caption, shortcut,
// tooltip (short hint), status text (long hint), icon, checkable.
QAction* CreateCommandAction(const QString& name, QObject* owner);
