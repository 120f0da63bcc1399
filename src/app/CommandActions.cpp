#include "app/CommandActions.h"

#include "app/CommandTable.h"
#include "app/Icons.h"

#include <QAction>

QAction* CreateCommandAction(const QString& name, QObject* owner)
{
    const TCommandRow* row = FindCommandRow(name);
    Q_ASSERT(row);
    auto* action = new QAction(QString::fromUtf8(row->caption), owner);
    action->setObjectName(name);
    const QString hint = QString::fromUtf8(row->hint);
    action->setToolTip(ShortHint(hint).trimmed());
    action->setStatusTip(LongHint(hint));
    action->setCheckable(row->checkable);
    if (*row->shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(row->shortcut)));
    const QIcon icon = CommandIcon(name, QString::fromLatin1(row->themeIcon));
    if (!icon.isNull())
        action->setIcon(icon);
    return action;
}
