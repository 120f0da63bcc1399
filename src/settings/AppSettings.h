#pragma once

#include <QString>
#include <QStringList>

// The main window's placement as the settings file keeps it; state 0 normal, 1 minimized,
// 2 maximized.
struct TWindowPlacement
{
    int top = 0, left = 0, height = 0, width = 0, state = 0;
};

// Spelling as the user chose it. A file from before spelling existed has no choice in it: the
// program then picks one each start (the locale's dictionary when there is one) and writes
// nothing until the user chooses.
struct TSpellingSettings
{
    bool stored = false; // the file holds the choice
    bool checkAsYouType = false;
    QStringList dictionaries; // codes such as "en_US"
    bool operator==(const TSpellingSettings&) const = default;
};

// Everything jornix.ini stores for the main window, as plain values, so that loading and saving
// need no widgets: the window copies its state in before a save and out after a load.
struct TAppSettings
{
    TWindowPlacement window;                  // in: the window's current values (defaults)
    QString title;                            // in: current Title (default for "Application Name")
    QString docsDir = QStringLiteral("Docs"); // as stored, not yet made absolute
    QString backupDir = QStringLiteral("Docs/Backup");
    int autoSaveInterval = 10;
    bool backupBeforeSave = true;
    bool onTop = false;
    bool rememberLastTab = true;
    QString lastTab;
    bool quickListOpen = false;
    int sideBarWidth = 125; // in: the width of a first start
    int filterIndex = 0;
    int sideBarPage = 0;
    bool categoriesEnabled = false;
    bool showTooltips = true;
    bool shortDateFormat = false;
    bool includeTimeInInsert = true;
    bool findAtCursor = true;
    int leftMargin = 1, rightMargin = 1, topMargin = 1, bottomMargin = 1;
    bool printTabNameInHeader = true, printPageNumberInFooter = true;
    QString fontName = QStringLiteral("Arial"); // written by SaveSettings only
    int fontSize = 12;
    TSpellingSettings spelling;
};

// Reads every key the main window starts with, with the given values as defaults, writes the
// two directory keys back as read (so the file always names them), and creates the backup
// directory, one level, when it is missing; a relative one counts from workingDir.
// Directory values written with "\" on Windows come back with "/".
TAppSettings LoadSettings(const QString& settingsPath, TAppSettings defaults,
                          const QString& workingDir);

// The documents folder as the settings name it ("Docs" when they do not), read on its own and
// written nowhere: for work that starts before the window reads its settings.
QString StoredDocumentsDir(const QString& settingsPath);

// Writes every key the main window owns. A minimized or maximized window keeps the stored
// normal placement; neither directory, "Enable Categories Tab" nor [Debug] is written.
void SaveSettings(const QString& settingsPath, const TAppSettings& s);

struct TEditorFont
{
    QString name;
    int size;
};

// The editor's default font, written back at once so that the file always holds it.
TEditorFont ReadEditorFont(const QString& settingsPath);
