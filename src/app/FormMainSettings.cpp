#include "app/TFormMain.h"

#include "app/EditorSpelling.h"
#include "app/TDMActions.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "app/ToolTipSwitch.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "store/JournalError.h"
#include "store/Paths.h"
#include "store/StartupList.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>

namespace {

// A placement saved on another monitor layout can lie off every screen now; such a window is
// brought back, centred on the primary screen, and never larger than it.
QRect visiblePlacement(QRect wanted)
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return wanted;
    const QRect available = primary->availableGeometry();
    wanted.setWidth(std::clamp(wanted.width(), 200, std::max(200, available.width())));
    wanted.setHeight(std::clamp(wanted.height(), 150, std::max(150, available.height())));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry().intersected(wanted);
        if (overlap.width() >= 50 && overlap.height() >= 30)
            return wanted;
    }
    wanted.moveCenter(available.center());
    return wanted;
}

} // namespace

TAppSettings TFormMain::currentSettings() const
{
    TAppSettings s = loadedSettings;
    s.window.top = pos().y();
    s.window.left = pos().x();
    s.window.height = height();
    s.window.width = width();
    s.window.state = isMinimized() ? 1 : (isMaximized() ? 2 : 0);
    s.title = Title;
    s.autoSaveInterval = AutoSaveInterval;
    s.backupBeforeSave = Journal->BackupBeforeSave;
    s.onTop = actions.ToolsOnTop->isChecked();
    s.rememberLastTab = RememberLastTab;
    s.lastTab = LastTab;
    s.quickListOpen = QuickListOpen;
    s.showTooltips = toolBarTips->isEnabled();
    s.shortDateFormat = ShortDateFormat;
    s.includeTimeInInsert = IncludeTimeInInsert;
    s.findAtCursor = FindAtCursor;
    s.leftMargin = LeftMargin;
    s.rightMargin = RightMargin;
    s.topMargin = TopMargin;
    s.bottomMargin = BottomMargin;
    s.printTabNameInHeader = PrintTabNameInHeader;
    s.printPageNumberInFooter = PrintPageNumberInFooter;
    s.fontName = Editor->defaultFont().family();
    s.fontSize = Editor->defaultFont().pointSize();
    s.spelling = Spelling->settings();
    return s;
}

void TFormMain::LoadSettings()
{
    TAppSettings defaults = currentSettings();
    defaults.docsDir = Journal->DocsDir;
    defaults.backupDir = Journal->BackupDir;
    defaults.sideBarWidth = defaultSideBarWidth();
    const TAppSettings s = ::LoadSettings(SettingsPath, defaults, env.relativeBase());
    loadedSettings = s;

    const QRect placement =
        visiblePlacement(QRect(s.window.left, s.window.top, s.window.width, s.window.height));
    move(placement.topLeft());
    resize(placement.size());
    if (s.window.state == 2)
        setWindowState(Qt::WindowMaximized);
    else if (s.window.state == 1)
        setWindowState(Qt::WindowMinimized);

    Title = s.title;
    Journal->DocsDir = s.docsDir;
    AutoSaveInterval = s.autoSaveInterval;
    Journal->BackupDir = s.backupDir;
    Journal->BackupBeforeSave = s.backupBeforeSave;
    actions.ToolsOnTop->setChecked(s.onTop);
    RememberLastTab = s.rememberLastTab;
    LastTab = s.lastTab;
    QuickListOpen = s.quickListOpen;
    toolBarTips->setEnabled(s.showTooltips);
    ShortDateFormat = s.shortDateFormat;
    IncludeTimeInInsert = s.includeTimeInInsert;
    FindAtCursor = s.findAtCursor;
    LeftMargin = s.leftMargin;
    RightMargin = s.rightMargin;
    TopMargin = s.topMargin;
    BottomMargin = s.bottomMargin;
    PrintTabNameInHeader = s.printTabNameInHeader;
    PrintPageNumberInFooter = s.printPageNumberInFooter;
    Spelling->applySettings(s.spelling);
    applySideBarSettings(s);
}

void TFormMain::SaveSettings()
{
    TAppSettings s = currentSettings();
    LastTab = RememberLastTab ? selectedCaption() : QString();
    s.lastTab = LastTab;
    storeSideBarSettings(s);
    TakeSettingsWriteError();
    ::SaveSettings(SettingsPath, s);
    const QString failure = TakeSettingsWriteError();
    SaveStartupTabs();
    if (!failure.isEmpty())
        throw TJournalError(QStringLiteral("The settings could not be saved.\n") + failure);
}

void TFormMain::ApplyEditorFont()
{
    const TEditorFont font = ReadEditorFont(SettingsPath);
    Editor->setDefaultFont(font.name, font.size);
}
