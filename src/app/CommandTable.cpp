#include "app/CommandTable.h"

namespace {

const TCommandRow table[] = {
    // File
    {"FileNewKeywordFile", "File", "&New Keyword File...", "New Keyword|Create a new keyword file",
     "Ctrl+N", "document-new", false},
    {"FileOpen", "File", "&Open Keyword File...", "Open|Open a new keyword file", "Ctrl+O",
     "document-open", false},
    {"FileSave", "File", "&Save", "Save | Save now!", "Ctrl+S", "document-save", false},
    {"FileCloseKeywordFile", "File", "Close Keyword File", "Close|Close the current keyword file",
     "Ctrl+F4", "", false},
    {"FileRenameKeyword", "File", "&Rename Keyword File...", "Rename|Rename keyword file to a new name",
     "", "", false},
    {"FileLoadAtStartup", "File", "Load Tab At Startup",
     "Load at startup|Load the current keyword file at startup", "", "", true},
    {"FileDeleteKeywordFile", "File", "&Delete Keyword File", "Delete keyword file", "", "",
     false},
    {"FileCloseTab", "File", "&Close Tab", "Close|Close the current tab", "", "", false},
    {"FilePrint", "File", "&Print...", "Print|Print the document", "Ctrl+P",
     "document-print", false},
    {"FileExport", "File", "&Export...",
     "Export|Export the document, or the diary entries of a range of days, to PDF, HTML, "
     "OpenDocument text or plain text",
     "Ctrl+Shift+E", "document-export", false},
    {"FilePrintImmediately", "File", "&Print", "Print Immediately|Print this document immediately",
     "", "document-print", false},
    {"Exit1", "File", "E&xit", "Exit", "Alt+F4", "application-exit", false},
    // Edit (the action module's)
    {"EditUndo", "Edit", "&Undo", "Undo", "Alt+Backspace", "edit-undo", false},
    {"EditCut", "Edit", "Cu&t", "Cut", "Ctrl+X", "edit-cut", false},
    {"EditCopy", "Edit", "&Copy", "Copy", "Ctrl+C", "edit-copy", false},
    {"EditPaste", "Edit", "&Paste", "Paste", "Ctrl+V", "edit-paste", false},
    {"EditPasteAsText", "Edit", "Paste as &Text", "", "Ctrl+Shift+V", "", false},
    {"EditSelectAll", "Edit", "Select &All", "Select All", "Ctrl+A", "edit-select-all", false},
    {"EditFind", "Edit", "&Find", "Find|Find Text", "Ctrl+F", "edit-find", false},
    {"EditFindNext", "Edit", "Find &Next", "Find Next", "F3", "", false},
    {"EditFindPrevious", "Edit", "Find &Previous", "Find Previous", "Shift+F3", "", false},
    {"EditReplace", "Edit", "R&eplace", "Replace", "Ctrl+H", "edit-find-replace", false},
    {"EditSearchJournal", "Edit", "Search &Journal...",
     "Search Journal|Search every entry and keyword file", "Ctrl+Shift+J", "system-search", false},
    {"EditInsertDate", "Edit", "Insert &Date", "Insert Date", "Ctrl+D", "", false},
    {"EditInsertTime", "Edit", "Insert &Time", "Insert Time", "Ctrl+T", "", false},
    {"ToolsWordCount", "Tools", "Word Count",
     "Word Count|Counts the number of words in the file or selectoin", "Ctrl+Shift+W", "", false},
    // Format
    {"FormatBold", "Format", "&Bold", "Bold", "Ctrl+B", "format-text-bold", true},
    {"FormatItalic", "Format", "&Italic", "Italic", "Ctrl+I", "format-text-italic", true},
    {"FormatUnderline", "Format", "FormatUnderline", "Underline", "Ctrl+U",
     "format-text-underline", true},
    {"FormatStrikeOut", "Format", "Strike &Out", "Strike Out", "Ctrl+Shift+S",
     "format-text-strikethrough", false},
    {"FormatLeftAlign", "Format", "FormatLeftAlign", "Left Justify", "Ctrl+L",
     "format-justify-left", true},
    {"FormatCentreAlign", "Format", "FormatCentreAlign", "Centre Justify", "Ctrl+E",
     "format-justify-center", true},
    {"FormatRightAlign", "Format", "FormatRightAlign", "Right Justify", "Ctrl+R",
     "format-justify-right", true},
    {"FormatBullets", "Format", "Bullets", "Bullets", "Ctrl+Shift+B", "format-list-unordered", true},
    {"FormatFont", "Format", "F&ont...", "Font|Set the font", "Ctrl+Shift+F", "", false},
    // Goto
    {"GotoPrevDate", "Goto", "&Previous Date", "Previous Entry", "F7", "go-previous", false},
    {"GotoNextDate", "Goto", "&Next Date", "Next Entry", "F8", "go-next", false},
    {"GotoQuickList", "Goto", "&Quick List", "Display or hide the Quicklist", "F6", "", true},
    // Tools
    {"ToolsOnTop", "Tools", "On &Top", "On Top|Make the application stay above all others",
     "", "", true},
    {"ToolsPreferences", "Tools", "&Options...", "Options|Change your preferences", "F2",
     "preferences-system", false},
    // Help
    {"HelpContents", "Help", "&Contents", "Contents|Open the user guide", "F1", "help-contents",
     false},
    {"BugTracking1", "Help", "&Bug Tracking...", "Bug Tracking|Open the bug tracker", "", "",
     false},
    {"ReportBug1", "Help", "&Report Bug...", "Report Bug|Report a bug", "", "", false},
    {"miAbout", "Help", "About...", "Information about this application, including it's version number",
     "", "help-about", false},
    // The Categories page's pop-up menu, which no control shows
    {"AddCategory", "Categories", "&Add Category", "", "", "", false},
};

} // namespace

std::span<const TCommandRow> CommandTable()
{
    return table;
}

const TCommandRow* FindCommandRow(const QString& name)
{
    for (const TCommandRow& row : table)
        if (name == QLatin1String(row.name))
            return &row;
    return nullptr;
}

QString ShortHint(const QString& hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString LongHint(const QString& hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}
