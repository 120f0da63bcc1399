#pragma once

#include <QHash>
#include <QObject>

class QAction;

// The action module: the editing and tool commands that act on the main window's editor,
// created before the main window so that its menus can refer to them.
class TDMActions : public QObject
{
    Q_OBJECT
public:
    explicit TDMActions(QObject* parent = nullptr);

    QAction* command(const QString& name) const { return actions.value(name); }
    QAction* ToolsOnTop = nullptr;

private:
    QAction* create(const QString& name);
    QHash<QString, QAction*> actions;
};
