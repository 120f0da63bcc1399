#include "settings/AppSettings.h"

#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

#include <QDir>
#include <QFileInfo>

namespace K = SettingsKeys;

namespace {

// Files carried over from Windows name folders with "\"; Qt and POSIX want "/".
QString withSlashes(QString dir)
{
    return dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool readBool(const TSettingsFile& ini, const char* section, const char* key, bool defaultValue)
{
    return ini.ReadInt(QLatin1String(section), QLatin1String(key), defaultValue ? 1 : 0) != 0;
}

int readInt(const TSettingsFile& ini, const char* section, const char* key, int defaultValue)
{
    return ini.ReadInt(QLatin1String(section), QLatin1String(key), defaultValue);
}

QString readString(const TSettingsFile& ini, const char* section, const char* key,
                   const QString& defaultValue)
{
    return ini.ReadString(QLatin1String(section), QLatin1String(key), defaultValue);
}

void writeInt(TSettingsFile& ini, const char* section, const char* key, int value)
{
    ini.WriteInt(QLatin1String(section), QLatin1String(key), value);
}

void writeBool(TSettingsFile& ini, const char* section, const char* key, bool value)
{
    writeInt(ini, section, key, value ? 1 : 0);
}

void writeString(TSettingsFile& ini, const char* section, const char* key, const QString& value)
{
    ini.WriteString(QLatin1String(section), QLatin1String(key), value);
}

void createBackupDir(const QString& backupDir, const QString& workingDir)
{
    if (backupDir.isEmpty())
        return;
    const QString path = QDir(workingDir).filePath(backupDir);
    if (QFileInfo::exists(path))
        return;
    // One level only: without its parent (a first start before "Docs" exists) this fails, and
    // the next start, after the documents folder was made, creates it.
    QDir().mkdir(path);
}

} // namespace

QString StoredDocumentsDir(const QString& settingsPath)
{
    using namespace K::General;
    return withSlashes(readString(TSettingsFile(settingsPath), Section, DocumentsDirectory,
                                  TAppSettings().docsDir));
}

TAppSettings LoadSettings(const QString& settingsPath, TAppSettings s, const QString& workingDir)
{
    TSettingsFile ini(settingsPath);

    {
        using namespace K::MainWindow;
        s.window.top = readInt(ini, Section, Top, s.window.top);
        s.window.left = readInt(ini, Section, Left, s.window.left);
        s.window.height = readInt(ini, Section, Height, s.window.height);
        s.window.width = readInt(ini, Section, Width, s.window.width);
        s.window.state = readInt(ini, Section, WindowState, s.window.state);
    }
    {
        using namespace K::General;
        s.title = readString(ini, Section, ApplicationName, s.title);
        const QString docsDir = readString(ini, Section, DocumentsDirectory, s.docsDir);
        s.autoSaveInterval = readInt(ini, Section, AutoSaveInterval, s.autoSaveInterval);
        const QString backupDir = readString(ini, Section, BackupDocumentsDirectory, s.backupDir);
        s.backupBeforeSave = readBool(ini, Section, BackupBeforeSave, s.backupBeforeSave);
        s.onTop = readBool(ini, Section, OnTop, false);
        s.rememberLastTab = readBool(ini, Section, RememberLastTab, s.rememberLastTab);
        s.lastTab = readString(ini, Section, LastTab, QString());
        // Written back as read, so a file shared with a Windows copy keeps its own spelling.
        writeString(ini, Section, DocumentsDirectory, docsDir);
        writeString(ini, Section, BackupDocumentsDirectory, backupDir);
        s.docsDir = withSlashes(docsDir);
        s.backupDir = withSlashes(backupDir);
    }
    {
        using namespace K::QuickList;
        s.quickListOpen = readBool(ini, Section, IsOpen, false);
        s.sideBarWidth = readInt(ini, Section, Width, s.sideBarWidth);
        s.filterIndex = readInt(ini, Section, CurrentFilterIndex, 0);
        s.sideBarPage = readInt(ini, Section, CurrentTab, 0);
        s.categoriesEnabled = readBool(ini, Section, EnableCategoriesTab, false);
        if (!s.categoriesEnabled)
            s.sideBarPage = 0;
    }
    {
        using namespace K::Preferences;
        s.showTooltips = readBool(ini, Section, ShowTooltips, true);
        s.shortDateFormat = readBool(ini, Section, ShortDateFormat, false);
        s.includeTimeInInsert = readBool(ini, Section, IncludeTimeInInsert, true);
        s.findAtCursor = readBool(ini, Section, FindTextAtCursor, true);
    }
    {
        using namespace K::Printing;
        s.leftMargin = readInt(ini, Section, LeftMargin, 1);
        s.rightMargin = readInt(ini, Section, RightMargin, 1);
        s.topMargin = readInt(ini, Section, TopMargin, 1);
        s.bottomMargin = readInt(ini, Section, BottomMargin, 1);
        s.printTabNameInHeader = readBool(ini, Section, PrintTabNameInHeader, true);
        s.printPageNumberInFooter = readBool(ini, Section, PrintPageNumberInFooter, true);
    }

    {
        using namespace K::Spelling;
        const int check = readInt(ini, Section, CheckAsYouType, -1);
        s.spelling.stored = check != -1;
        s.spelling.checkAsYouType = s.spelling.stored && check != 0;
        s.spelling.dictionaries.clear();
        for (const QString& code :
             readString(ini, Section, Dictionaries, QString()).split(QLatin1Char(',')))
            if (!code.trimmed().isEmpty())
                s.spelling.dictionaries << code.trimmed();
    }

    createBackupDir(s.backupDir, workingDir);
    return s;
}

void SaveSettings(const QString& settingsPath, const TAppSettings& s)
{
    TSettingsFile ini(settingsPath);
    {
        using namespace K::MainWindow;
        writeInt(ini, Section, WindowState, s.window.state);
        // Only a normal window's placement is worth keeping; a maximized one would come back
        // as a normal window covering the screen.
        if (s.window.state == 0) {
            writeInt(ini, Section, Top, s.window.top);
            writeInt(ini, Section, Left, s.window.left);
            writeInt(ini, Section, Height, s.window.height);
            writeInt(ini, Section, Width, s.window.width);
        }
    }
    {
        using namespace K::General;
        writeString(ini, Section, ApplicationName, s.title);
        writeInt(ini, Section, AutoSaveInterval, s.autoSaveInterval);
        writeBool(ini, Section, BackupBeforeSave, s.backupBeforeSave);
        writeBool(ini, Section, OnTop, s.onTop);
        writeBool(ini, Section, RememberLastTab, s.rememberLastTab);
        writeString(ini, Section, LastTab, s.rememberLastTab ? s.lastTab : QString());
    }
    {
        using namespace K::QuickList;
        writeBool(ini, Section, IsOpen, s.quickListOpen);
        // A side bar dragged shut would otherwise come back with no room for its lists.
        writeInt(ini, Section, Width, s.sideBarWidth == 0 ? 130 : s.sideBarWidth);
        writeInt(ini, Section, CurrentFilterIndex, s.filterIndex);
        writeInt(ini, Section, CurrentTab, s.sideBarPage);
    }
    writeString(ini, K::Editor::Section, K::Editor::FontName, s.fontName);
    writeInt(ini, K::Editor::Section, K::Editor::FontSize, s.fontSize);
    {
        using namespace K::Preferences;
        writeBool(ini, Section, ShowTooltips, s.showTooltips);
        writeBool(ini, Section, ShortDateFormat, s.shortDateFormat);
        writeBool(ini, Section, IncludeTimeInInsert, s.includeTimeInInsert);
        writeBool(ini, Section, FindTextAtCursor, s.findAtCursor);
    }
    ini.DeleteKey(QLatin1String(K::Advanced::Section),
                  QLatin1String(K::Advanced::PrintUsingWordpad));
    {
        using namespace K::Printing;
        writeInt(ini, Section, LeftMargin, s.leftMargin);
        writeInt(ini, Section, RightMargin, s.rightMargin);
        writeInt(ini, Section, TopMargin, s.topMargin);
        writeInt(ini, Section, BottomMargin, s.bottomMargin);
        writeBool(ini, Section, PrintTabNameInHeader, s.printTabNameInHeader);
        writeBool(ini, Section, PrintPageNumberInFooter, s.printPageNumberInFooter);
    }
    if (s.spelling.stored) {
        using namespace K::Spelling;
        writeBool(ini, Section, CheckAsYouType, s.spelling.checkAsYouType);
        writeString(ini, Section, Dictionaries, s.spelling.dictionaries.join(QLatin1Char(',')));
    }
}

TEditorFont ReadEditorFont(const QString& settingsPath)
{
    using namespace K::Editor;
    TSettingsFile ini(settingsPath);
    TEditorFont font;
    font.name = readString(ini, Section, FontName, QStringLiteral("Arial"));
    font.size = readInt(ini, Section, FontSize, 12);
    writeString(ini, Section, FontName, font.name);
    writeInt(ini, Section, FontSize, font.size);
    return font;
}
