#include "app/TFormMain.h"

#include "app/CommandActions.h"
#include "app/TDMActions.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

namespace {

// Menu layout by command name; "-" is a separator. Names without a command (not built yet in
// this program) are left out, and so are separators they would leave doubled.
struct TMenuRow {
    const char* caption;
    std::initializer_list<const char*> items;
};

const TMenuRow menuLayout[] = {
    {"&File",
     {"FileNewKeywordFile", "FileOpen", "FileSave", "FileCloseKeywordFile", "-", "FileRenameKeyword",
      "FileLoadAtStartup", "FileDeleteKeywordFile", "-", "FilePrint", "FileExport", "-", "Exit1"}},
    {"&Edit",
     {"EditUndo", "-", "EditCut", "EditCopy", "EditPaste", "EditPasteAsText", "EditSelectAll", "-",
      "FormatFont", "-", "EditFind", "EditFindNext", "EditFindPrevious", "EditReplace",
      "EditSearchJournal", "-", "EditInsertDate",
      "EditInsertTime"}},
    {"&Goto", {"GotoPrevDate", "GotoNextDate", "-", "GotoQuickList"}},
    {"&Tools", {"ToolsWordCount", "ToolsOnTop", "-", "ToolsPreferences"}},
    {"&Help", {"HelpContents", "-", "BugTracking1", "ReportBug1", "-", "miAbout"}},
};

const char* const toolBarLayout[] = {
    "FileNewKeywordFile", "FileOpen", "FileSave", "FilePrintImmediately", "-", "EditCut",
    "EditCopy", "EditPaste", "EditUndo", "-", "FormatBold", "FormatItalic", "FormatUnderline",
    "FormatBullets", "FormatStrikeOut", "-", "FormatLeftAlign", "FormatCentreAlign",
    "FormatRightAlign", "-", "EditSearchJournal"};

template <typename Container, typename Add>
void fill(const Container& names, const QHash<QString, QAction*>& commands, Add add)
{
    bool pendingSeparator = false;
    bool any = false;
    for (const char* name : names) {
        if (QLatin1String(name) == QLatin1String("-")) {
            pendingSeparator = any;
            continue;
        }
        QAction* action = commands.value(QLatin1String(name));
        if (!action)
            continue;
        add(action, pendingSeparator);
        pendingSeparator = false;
        any = true;
    }
}

} // namespace

void TFormMain::buildCommands()
{
    auto make = [this](const char* name, void (TFormMain::*handler)()) {
        return makeCommand(name, handler);
    };
    make("FileNewKeywordFile", &TFormMain::FileNewKeywordFileExecute);
    make("FileOpen", &TFormMain::FileOpenExecute);
    make("FileSave", &TFormMain::FileSaveExecute);
    make("FileCloseKeywordFile", &TFormMain::FileCloseKeywordFileExecute);
    make("FileRenameKeyword", &TFormMain::FileRenameKeywordExecute);
    make("FileLoadAtStartup", &TFormMain::FileLoadAtStartupExecute);
    make("FileDeleteKeywordFile", &TFormMain::FileDeleteKeywordFileExecute);
    make("FileCloseTab", &TFormMain::FileCloseTabExecute);
    make("Exit1", &TFormMain::Exit1Click)->setShortcutContext(Qt::ApplicationShortcut);
    make("GotoPrevDate", &TFormMain::ButtonJumpLeftClick)->setEnabled(false);
    make("GotoNextDate", &TFormMain::ButtonJumpRightClick)->setEnabled(false);
    buildEditCommands();
    buildPrintCommands();
    buildExportCommands();
    buildToolsCommands();
    buildQuickListCommands();
    buildSearchCommands();
    buildHelpCommands();

    registerCommand(actions.ToolsOnTop);
    connect(actions.ToolsOnTop, &QAction::triggered, this, [this] { ApplyStayOnTop(); });
}

QAction* TFormMain::makeCommand(const char* name, void (TFormMain::*handler)())
{
    QAction* action = CreateCommandAction(QLatin1String(name), this);
    commands.insert(QLatin1String(name), action);
    connect(action, &QAction::triggered, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    addAction(action);
    return action;
}

void TFormMain::registerCommand(QAction* action)
{
    commands.insert(action->objectName(), action);
    addAction(action);
}

void TFormMain::buildMenus()
{
    for (const TMenuRow& row : menuLayout) {
        QMenu* menu = nullptr;
        fill(row.items, commands, [&](QAction* action, bool separator) {
            if (!menu)
                menu = menuBar()->addMenu(QString::fromUtf8(row.caption));
            if (separator)
                menu->addSeparator();
            menu->addAction(action);
        });
    }
}

void TFormMain::buildToolBar()
{
    fill(toolBarLayout, commands, [&](QAction* action, bool separator) {
        if (separator)
            ToolBar2->addSeparator();
        ToolBar2->addAction(action);
    });
}
