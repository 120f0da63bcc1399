#pragma once

// Every section and key of jornix.ini. The names are those the file has always used, spaces
// and letter case included, so files carried over from older installations keep working.
namespace SettingsKeys {

namespace MainWindow {
inline constexpr char Section[] = "Main Window";
inline constexpr char Top[] = "Top";
inline constexpr char Left[] = "Left";
inline constexpr char Height[] = "Height";
inline constexpr char Width[] = "Width";
inline constexpr char WindowState[] = "Window State";
} // namespace MainWindow

namespace General {
inline constexpr char Section[] = "General";
inline constexpr char ApplicationName[] = "Application Name";
inline constexpr char DocumentsDirectory[] = "Documents Directory";
inline constexpr char AutoSaveInterval[] = "AutoSave Interval";
inline constexpr char BackupDocumentsDirectory[] = "Backup Documents Directory";
inline constexpr char BackupBeforeSave[] = "Backup Before Save";
inline constexpr char OnTop[] = "On Top";
inline constexpr char RememberLastTab[] = "Remember Last Tab";
inline constexpr char LastTab[] = "Last Tab";
} // namespace General

namespace QuickList {
inline constexpr char Section[] = "Quick List";
inline constexpr char IsOpen[] = "Is Open";
inline constexpr char Width[] = "Width";
inline constexpr char CurrentFilterIndex[] = "Current Filter Index";
inline constexpr char CurrentTab[] = "Current Tab";
inline constexpr char EnableCategoriesTab[] = "Enable Categories Tab";
} // namespace QuickList

namespace Preferences {
inline constexpr char Section[] = "Preferences";
inline constexpr char ShowTooltips[] = "Show Tooltips";
inline constexpr char ShortDateFormat[] = "Short Date Format";
inline constexpr char IncludeTimeInInsert[] = "Include Time In Insert";
inline constexpr char FindTextAtCursor[] = "Find Text At Cursor";
} // namespace Preferences

namespace Printing {
inline constexpr char Section[] = "Printing";
inline constexpr char LeftMargin[] = "Left Margin";
inline constexpr char RightMargin[] = "Right Margin";
inline constexpr char TopMargin[] = "Top Margin";
inline constexpr char BottomMargin[] = "Bottom Margin";
inline constexpr char PrintTabNameInHeader[] = "Print Tab Name In Header";
inline constexpr char PrintPageNumberInFooter[] = "Print Page Number In Footer";
} // namespace Printing

namespace Editor {
inline constexpr char Section[] = "Editor";
inline constexpr char FontName[] = "Font Name";
inline constexpr char FontSize[] = "Font Size";
} // namespace Editor

namespace Spelling {
inline constexpr char Section[] = "Spelling";
inline constexpr char CheckAsYouType[] = "Check As You Type";
// Codes of the dictionaries in use, separated by commas: "en_US,de_DE".
inline constexpr char Dictionaries[] = "Dictionaries";
} // namespace Spelling

namespace Advanced {
inline constexpr char Section[] = "Advanced";
// Left by old versions; no longer used and removed by every save.
inline constexpr char PrintUsingWordpad[] = "Print Using Wordpad";
} // namespace Advanced

namespace Debug {
inline constexpr char Section[] = "Debug";
inline constexpr char Enabled[] = "Enabled";
inline constexpr char Level[] = "Level";
inline constexpr char IncludeDateStamp[] = "Include Date Stamp";
inline constexpr char EnableConsole[] = "Enable Console";
inline constexpr char LogToFile[] = "Log To File";
inline constexpr char LogFilename[] = "Log Filename";
} // namespace Debug

// The file's name beside the program.
inline constexpr char FileName[] = "jornix.ini";

} // namespace SettingsKeys
