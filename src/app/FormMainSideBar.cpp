#include "app/TFormMain.h"

#include <QSplitter>
#include <QTabWidget>

void TFormMain::applySideBarSettings(const TAppSettings& s)
{
    SideBar->resize(s.sideBarWidth, SideBar->height());
    sideBarWidth = s.sideBarWidth;
}

void TFormMain::storeSideBarSettings(TAppSettings& s)
{
    if (SideBar->isVisible())
        sideBarWidth = SideBar->width();
    if (sideBarWidth == 0)
        sideBarWidth = 130;
    s.sideBarWidth = sideBarWidth;
}

void TFormMain::RefreshQuickList()
{
}

void TFormMain::buildQuickListCommands()
{
}
