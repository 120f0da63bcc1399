#include "app/CommandActions.h"

#include "app/CommandTable.h"
#include "app/Icons.h"

#include <QAction>

QAction* CreateCommandAction(const QString& name, QObject* owner)
{
    const TCommandSpec* spec = FindCommandSpec(name);
    Q_ASSERT(spec);
    auto* action = new QAction(QString::fromUtf8(spec->caption), owner);
    action->setObjectName(name);
    const QString hint = QString::fromUtf8(spec->hint);
    action->setToolTip(ShortHint(hint).trimmed());
    action->setStatusTip(LongHint(hint));
    action->setCheckable(spec->checkable);
    if (*spec->shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(spec->shortcut)));
    const QIcon icon = CommandIcon(name, QString::fromLatin1(spec->themeIcon));
    if (!icon.isNull())
        action->setIcon(icon);
    return action;
}
