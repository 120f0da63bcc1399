#pragma once

#include "app/TDatePicker.h"
#include "app/TEnvironment.h"
#include "journal/TJournal.h"
#include "search/SearchQuery.h"
#include "settings/AppSettings.h"

#include <QDate>
#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLineEdit;
class TQuickListBox;
class QTreeWidget;
class QDateEdit;
class TDatePicker;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QTextDocument;
class QTimer;
class QToolBar;
class QToolButton;
class TDMActions;
class TPrompter;
class TRichEditor;
class TTabRow;
class TToolTipSwitch;
enum class TExportFormat;

// The main window: one editor under a row of tabs, the date panel and the side bar. The journal
// (TJournal) keeps the documents and their rules; this class shows them and runs the commands.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    TFormMain(const TEnvironment& environment, TDMActions& actions, QWidget* parent = nullptr);
    ~TFormMain() override;

    // --- state of the journal (names as the rest of the program knows them) ---
    QString Title;
    QString ProductName;
    QString ProgramDir; // with its trailing "/"
    QString SettingsPath;
    QString DefaultDocsDir;
    bool RememberLastTab = true;
    QString LastTab;
    int NewKeywordCount = 0;
    int MinutesSinceSave = 0;
    int AutoSaveInterval = 10;
    bool UpdatingFormat = false;
    bool QuickListOpen = false;
    QStringList QuickListFiles;
    bool FindAtCursor = false;
    int FindStart = -1;
    int DragTabIndex = 0;
    int LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    bool PrintTabNameInHeader = false, PrintPageNumberInFooter = false;
    bool ShortDateFormat = false, IncludeTimeInInsert = false;
    TRichEditor* Editor = nullptr;
    class TEditorSpelling* Spelling = nullptr; // the editor's spelling marks and dictionaries

    // The documents on disk and their rules.
    TJournal* journal() const { return Journal; }

    // --- operations other parts of the program call ---
    void OpenDiaryEntry(QDate date);
    void SaveCurrentDocument();
    void LoadSettings();
    void SaveSettings();
    void ApplyEditorFont();
    void ApplyStayOnTop();
    void UpdateEntryNeighbours();
    void GoToDate(QDate date);
    void TabControlChange();
    void OpenKeywordTab(const QString& name);
    void OpenStartupTabs();
    void SaveStartupTabs();
    void ReorderStartupTabs();
    void TabControlRightPress(int index);
    void TabControlDragDrop(int from, int to);
    void EditorSelectionChange();
    void RefreshQuickList();
    void GotoQuickListExecute();
    void GotoQuickListUpdate();
    void ComboBoxQLChange();
    // Opens the document behind a line of the Quick List.
    void ListBoxQLClick(int row);
    void FillCategoriesTree();
    QComboBox* ComboBoxQL = nullptr;
    TQuickListBox* ListBoxQL = nullptr;
    QTabWidget* SideBar = nullptr;
    QWidget* TSCategories = nullptr;
    QLineEdit* EditCategorySearch = nullptr;
    QTreeWidget* TreeViewCategories = nullptr;
    QMenu* PopupMenuTreeView = nullptr; // shown by no control

    QString selectedCaption() const;
    // Tab 0 shows the diary; every other tab a keyword, whatever its caption.
    bool diaryTabSelected() const;
    TDocumentId documentOfTab(int index) const;
    TTabRow* tabRow() const { return TabControl; }
    TDatePicker* datePicker() const { return DateTimePicker; }
    QAction* command(const QString& name) const { return commands.value(name); }
    const TEnvironment& environment() const { return env; }

    // Runs fn; a failure that escapes it is shown in the application's error box.
    void guarded(const std::function<void()>& fn);
    void showError(const QString& message);
    void showInformation(const QString& message);
    void showNotice(const QString& message);

    // Brings every command's enabled and checked state in line with the journal (run whenever
    // the event loop falls idle).
    void refreshCommandStates();
    // The auto-save tick, callable by tests without waiting a minute.
    void TimerAutoBackupTimer();
    // "E&xit": saves the current document and ends the program.
    void Exit1Click();
    // The session ends (log-out, shut-down, a termination signal): saves the document and the
    // settings as a close does, without asking anyone (a document that cannot be saved in its
    // place is kept as a copy), and ends the program when end is true.
    void EndSession(bool end);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

    // ---- editing commands: formatting, edit actions, find and replace ----
    // (FormMainEditing.cpp and its neighbours)
public:
    class TFindDialog* FindDialog = nullptr;
    class TReplaceDialog* ReplaceDialog = nullptr;
    QMenu* PopupMenuEditor = nullptr;

    // Formatting: each does nothing while UpdatingFormat is set, except the font.
    void FormatBoldExecute();
    void FormatItalicExecute();
    void FormatUnderlineExecute();
    void FormatStrikeOutExecute();
    // The alignment commands' one handler: the command's data is its tag (0 left, 1 right,
    // 2 centre).
    void FormatAlignExecute(QAction* command);
    void FormatBulletsExecute();
    void FormatFontExecute();

    // Find and replace.
    void SelectWordAtCaret();
    // Searches with the find text and options of dialog (FindDialog or ReplaceDialog) from the
    // selection and selects the match; says "End of document reached." when there is none.
    bool FindNextMatch(class QDialog* dialog);
    void ReplaceAndFindNext();
    void FindDialogFind();
    void FindDialogClose();
    void ReplaceDialogFind();
    void ReplaceDialogReplace();

protected:
    void toggleEffect(int flag);
    // The parts that need the editor and the menus, which exist only once the window is built.
    void finishEditCommands();
    // ---- end of editing commands ----

    // ---- printing (FormMainPrint.cpp) ----
public:
    // "&Print...": the print dialog with a page range and printing to a file.
    void FilePrintExecute();
    void PrintWithDialog();
    // The tool bar's "&Print": every page on the current printer, no dialog.
    void FilePrintImmediatelyExecute();

protected:
    struct TPrintOptions printOptions() const;
    class TCurrentPrinter& currentPrinter();
    class TCurrentPrinter* CurrentPrinter = nullptr; // created at the first print
    // ---- end of printing ----

    // ---- export (FormMainExport.cpp) ----
public:
    // "&Export..." (Ctrl+Shift+E): the document shown, as it is now, or the diary entries of a
    // range of days, to PDF, HTML, OpenDocument text or plain text.
    void FileExportExecute();

protected:
    void buildExportCommands();
    void exportDocument(TExportFormat format);
    void exportEntries(QDate from, QDate to, TExportFormat format);
    // The file to export to, asked for until the user names one that may be written (or cancels).
    std::optional<QString> askExportTarget(const QString& proposedName, TExportFormat format);
    struct TExportSettings exportSettings(TExportFormat format, const QString& title) const;
    int lastExportScope = 0; // what the dialog offers next time, in this session
    int lastExportFormat = 0;
    QString lastExportDir;
    // ---- end of export ----

    // ---- the date control's calendar (FormMainCalendar.cpp) ----
public:
    // Marks the days with an entry; refreshMarks() when the documents change.
    class TEntryCalendar* EntryCalendar = nullptr;

protected:
    void installEntryCalendar();
    // A calendar that marks the days with entries, for any date box of the window's dialogs.
    class TEntryCalendar* makeEntryCalendar();
    quint32 markedDays(int year, int month) const;
    // ---- end of the date control's calendar ----

    // ---- options and about (FormMainPreferences.cpp) ----
public:
    // "&Options..." (F2): the Options dialog over copies of the preferences; OK writes them
    // back in order and saves the settings.
    void ToolsPreferencesExecute();
    // "About...": the About box with the version read from the program file now.
    void miAboutClick();
    // ---- end of options and about ----

    // ---- searching the whole journal (FormMainSearch.cpp) ----
public:
    class TSearchPage* SearchPage = nullptr;
    class QScrollArea* SearchPageHolder = nullptr;
    // The journal's index, started once the window is up.
    class TJournalSearch* JournalSearch = nullptr;
    // "Search &Journal..." (Ctrl+Shift+J): the side bar's search page, ready for typing.
    void EditSearchJournalExecute();
    // "Find &Previous" (Shift+F3): the previous match of the journal search in the document
    // shown, or of the Find dialog's text.
    void EditFindPreviousExecute();
    // Opens the document of a search result, saving the one shown first, and selects the first
    // place the search found in it.
    void OpenSearchResult(const struct TSearchResult& result);
    // F3 and Shift+F3 while the document shown is the one a journal search opened: selects its
    // next (or previous) match and returns true; false when no journal search applies.
    bool JournalFindNext(bool forward);
    // A search from the Find dialog takes F3 back.
    void EndJournalMatches();
    void startJournalSearch();

private:
    void buildSearchPage();
    void buildSearchCommands();
    QString shownDocumentKey() const;
    bool journalMatchesActive = false;
    TSearchQuery journalMatchesQuery;
    QString journalMatchesDocument;
    QWidget* searchProgress = nullptr;
    // ---- end of searching the whole journal ----

private:
    // Creates a command from its table row and runs handler, guarded, when it is triggered.
    QAction* makeCommand(const char* name, void (TFormMain::*handler)());
    // Adds a command created elsewhere (the action module's) under its object name.
    void registerCommand(QAction* action);
    void buildEditCommands();
    void buildPrintCommands();
    void buildToolsCommands();
    void buildQuickListCommands();
    void buildLayout();
    void buildCommands();
    void buildMenus();
    void buildToolBar();
    void CreateEditor();
    void createSpelling();
    void resolveDirectories();
    void firstShow();
    void UpdateStatusHint(const QString& hint);
    void StatusBarResize();
    void setDatePickerDate(QDate date);
    TAppSettings currentSettings() const;
    void FileSaveExecute();
    void ButtonJumpLeftClick();
    void ButtonJumpRightClick();
    void DateTimePickerChange();
    void TabControlChanging();
    void jumpTo(const QDate& target);
    // A document the journal has read, not shown yet.
    struct TReadDocument
    {
        TJournal::TOpened opened;
        std::unique_ptr<QTextDocument> document;
    };
    // Reads a document through read (a journal call that fills the document it is given) into
    // a new document off screen, which is far quicker than into the one on screen. When read
    // fails the new document is shown all the same, as the journal already names it: read-only
    // when it holds nothing of a file that exists, so nothing can be typed over what could not
    // be read.
    TReadDocument readDocument(const std::function<TJournal::TOpened(QTextDocument&)>& read);
    // Shows what the journal read in the editor: read-only when it could not be read, the
    // restore notice, and the offer to restore a damaged file from its backup copy. Throws
    // TJournalError for a damaged file that stays as it is. Quietly: a document the user was
    // told of before, shown again without notice, offer or report.
    void showOpened(TReadDocument read, bool quietly = false);
    bool saveBeforeLeaving();
    // A save failed while leaving the window: Retry, Save a Copy As... or Cancel. True when the
    // text is safe (saved or copied), so the window may close.
    bool resolveFailedSave(QString failure);
    // The document as a recovery copy where the user can find it, when the session ends and it
    // cannot be saved in its place. Returns the copy's path, or an empty string.
    QString keepUnsavedCopy();
    void buildSideBar();
    void showSideBar(bool show);
    QString longDate(QDate date) const;
    void applySideBarSettings(const TAppSettings& s);
    // Wide enough for the longest long date of the user's locale, and no less than 125.
    int defaultSideBarWidth() const;
    void storeSideBarSettings(TAppSettings& s);
    std::optional<QString> askKeywordName(const QString& proposed,
                                          const std::function<QString(const QString&)>& check);
    void FileNewKeywordFileExecute();
    void FileOpenExecute();
    void FileRenameKeywordExecute();
    void FileCloseTabExecute();
    void FileCloseKeywordFileExecute();
    void FileDeleteKeywordFileExecute();
    void FileLoadAtStartupExecute();
    void FileLoadAtStartupUpdate();
    void updateKeywordCommands();
    // Help (FormMainHelp.cpp): the user guide, and the bug items, which open the address the
    // build names or else the guide's section on reporting a problem.
    void buildHelpCommands();
    void openUserGuide(const QString& section);
    void HelpContentsClick();
    void BugTrackingClick();
    void ReportBugClick();

    TEnvironment env;
    TJournal* Journal = nullptr;
    TDMActions& actions;
    TPrompter* prompter;
    QHash<QString, QAction*> commands;
    TAppSettings loadedSettings; // what the settings file said, for the parts not on screen yet
    bool firstShowPending = true;
    bool exiting = false;
    bool settingDate = false;
    int sideBarWidth = 125;
    bool refreshingQuickList = false;
    mutable QHash<QDate, QString> longDateCache;

    QToolBar* ToolBar2 = nullptr;
    QWidget* PanelDatePicker = nullptr;
    QToolButton* ButtonJumpLeft = nullptr;
    QToolButton* ButtonJumpRight = nullptr;
    TDatePicker* DateTimePicker = nullptr;
    TTabRow* TabControl = nullptr;
    QSplitter* SplitterQuickList = nullptr;
    QLabel* statusPanels[3] = {nullptr, nullptr, nullptr};
    QTimer* TimerAutoBackup = nullptr;
    QMenu* PopupMenuTabs = nullptr;
    TToolTipSwitch* toolBarTips = nullptr;
};
