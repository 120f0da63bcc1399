#include "app/TFormMain.h"

#include "app/TTabRow.h"
#include "store/Paths.h"
#include "store/StartupList.h"

#include <QAction>

QString TFormMain::startupListPath() const
{
    return ResolveCaseInsensitive(DocsDir, QStringLiteral("startup.txt"));
}

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
    const QString path = startupListPath();
    if (FileExists(path)) {
        startupListUnread = true;
        StartupTabs = ReadStartupTabs(path);
        startupListUnread = false;
    }
    for (const QString& name : StartupTabs)
        OpenKeywordTab(name);
}

void TFormMain::SaveStartupTabs()
{
    // A list that could not be read is not known, so it is not written over either.
    if (startupListUnread)
        return;
    WriteStartupTabs(startupListPath(), StartupTabs);
}

void TFormMain::ReorderStartupTabs()
{
    QStringList reordered;
    for (const QString& caption : TabControl->captions())
        if (indexIgnoringCase(StartupTabs, caption) >= 0)
            reordered << caption;
    StartupTabs = reordered;
    SaveStartupTabs();
}

void TFormMain::FileLoadAtStartupExecute()
{
    if (diaryTabSelected())
        return;
    const QString caption = selectedCaption();
    const int index = indexIgnoringCase(StartupTabs, caption);
    if (index >= 0)
        StartupTabs.removeAt(index);
    else
        StartupTabs << caption;
    SaveStartupTabs();
    FileLoadAtStartupUpdate();
}

void TFormMain::FileLoadAtStartupUpdate()
{
    QAction* action = command(QStringLiteral("FileLoadAtStartup"));
    const bool keyword = !diaryTabSelected();
    action->setEnabled(keyword);
    action->setChecked(keyword && indexIgnoringCase(StartupTabs, selectedCaption()) >= 0);
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
