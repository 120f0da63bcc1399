#include "app/TDMActions.h"

#include "app/CommandActions.h"

TDMActions::TDMActions(QObject* parent) : QObject(parent)
{
    ToolsOnTop = create(QStringLiteral("ToolsOnTop"));
}

QAction* TDMActions::create(const QString& name)
{
    QAction* action = CreateCommandAction(name, this);
    actions.insert(name, action);
    return action;
}
