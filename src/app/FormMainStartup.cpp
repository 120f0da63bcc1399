#include "app/TFormMain.h"

#include "app/TTabRow.h"

#include <QAction>

namespace {

int indexIgnoringCase(const QStringList& list, const QString& name)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

void TFormMain::OpenStartupTabs()
{
    Journal->ReadStartupTabs();
    for (const QString& name : std::as_const(Journal->StartupTabs))
        OpenKeywordTab(name);
}

void TFormMain::SaveStartupTabs()
{
    Journal->SaveStartupTabs();
}

void TFormMain::ReorderStartupTabs()
{
    QStringList reordered;
    for (const QString& caption : TabControl->captions())
        if (indexIgnoringCase(Journal->StartupTabs, caption) >= 0)
            reordered << caption;
    Journal->StartupTabs = reordered;
    SaveStartupTabs();
}

void TFormMain::FileLoadAtStartupExecute()
{
    if (diaryTabSelected())
        return;
    const QString caption = selectedCaption();
    const int index = indexIgnoringCase(Journal->StartupTabs, caption);
    if (index >= 0)
        Journal->StartupTabs.removeAt(index);
    else
        Journal->StartupTabs << caption;
    SaveStartupTabs();
    FileLoadAtStartupUpdate();
}

void TFormMain::FileLoadAtStartupUpdate()
{
    QAction* action = command(QStringLiteral("FileLoadAtStartup"));
    const bool keyword = !diaryTabSelected();
    action->setEnabled(keyword);
    action->setChecked(keyword && indexIgnoringCase(Journal->StartupTabs, selectedCaption()) >= 0);
}

void TFormMain::TabControlRightPress(int index)
{
    SaveCurrentDocument();
    if (index < 0)
        return;
    TabControl->selectSilently(index);
    TabControlChange();
}

void TFormMain::TabControlDragDrop(int from, int to)
{
    if (to <= 0 || from <= 0)
        return;
    if (to == from) {
        TabControl->selectSilently(to);
        return;
    }
    TabControl->swapTabs(from, to);
    TabControl->selectSilently(to);
    ReorderStartupTabs();
}
