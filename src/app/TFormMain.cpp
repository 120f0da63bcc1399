#include "app/TFormMain.h"

#include "app/Icons.h"
#include "app/LongestDate.h"
#include "app/TDMActions.h"
#include "app/TDatePicker.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "app/ToolTipSwitch.h"
#include "diag/DebugLog.h"
#include "rtf/RtfWriter.h"
#include "store/AtomicFile.h"
#include "store/Directories.h"
#include "store/EntryNames.h"
#include "store/ExternalChange.h"
#include "store/FolderReading.h"
#include "store/JournalError.h"
#include "store/Paths.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFormMain::TFormMain(const TEnvironment& environment, TDMActions& dmActions, QWidget* parent)
    : QMainWindow(parent), env(environment), actions(dmActions), prompter(environment.prompter)
{
    Journal = new TJournal(this);
    Journal->now = env.now;
    connect(Journal, &TJournal::information, this,
            [this](const QString& text) { showInformation(text); });
    connect(Journal, &TJournal::problem, this, [this](const QString& text) { showError(text); });
    // 1. The controls.
    buildLayout();
    // 2.-4. State at creation (the member initialisers), the help file, the lists.
    qApp->setProperty("helpFile", QStringLiteral("jornix.hlp"));
    QuickListFiles.clear();
    Journal->StartupTabs.clear();
    // 6.-10. Names and paths.
    ProductName = QStringLiteral("Tarvex's Diary");
    Title = ProductName;
    // An installed program keeps the journal in the per-user data folder instead.
    ProgramDir = env.homeDir() + QLatin1Char('/');
    SettingsPath = ProgramDir + QStringLiteral("jornix.ini");
    Journal->DocsDir = QStringLiteral("Docs");
    Journal->BackupDir = QStringLiteral("Docs/Backup");
    DefaultDocsDir = ProgramDir + Journal->DocsDir;
    // 11. The editor, with the font from the settings, and its spelling.
    CreateEditor();
    createSpelling();
    // 12.-13. The diagnostic log.
    TDebugLog::setDefaultDirectory(env.homeDir());
    TDebugLog::Instance().Configure(SettingsPath);
    TDebugLog::Instance().Print(1, "Started %s!", qUtf8Printable(Title));
    // 14.-15. Settings.
    LoadSettings();
    setWindowTitle(Title);
    // 16.-17. Directories.
    resolveDirectories();
    // 18. Stay on top.
    ApplyStayOnTop();
    // 19. Today's entry. A failure here is reported and the program runs on, so that the user
    // can see the message and still reach the rest of the journal.
    Journal->UseReadAhead(std::move(env.entryReadAhead));
    guarded([&] { OpenDiaryEntry(env.today()); });
    // 20. The side bar as it was left.
    QuickListOpen = !QuickListOpen;
    GotoQuickListExecute();

    TimerAutoBackup = new QTimer(this);
    TimerAutoBackup->setObjectName(QStringLiteral("TimerAutoBackup"));
    TimerAutoBackup->setInterval(60000);
    connect(TimerAutoBackup, &QTimer::timeout, this, [this] { TimerAutoBackupTimer(); });
    TimerAutoBackup->start();

    // The command states follow the journal whenever the program has nothing else to do, as
    // the menus and buttons must never offer what does not apply.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] {
                ForgetUnsettledFolderReadings();
                refreshCommandStates();
            });
    refreshCommandStates();
}

TFormMain::~TFormMain()
{
    guarded([&] { SaveSettings(); });
    QuickListFiles.clear();
    TDebugLog::Instance().Print(1, "Exited %s", qUtf8Printable(Title));
    // The editor gives up the focus as it goes, after this window has stopped being one.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void TFormMain::buildLayout()
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowIcon(ApplicationIcon());
    resize(734, 537);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(734 / 2, 537 / 2));
    }

    buildCommands();

    ToolBar2 = new QToolBar(QStringLiteral("ToolBar2"), this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setIconSize(QSize(16, 16));
    ToolBar2->toggleViewAction()->setVisible(false);
    toolBarTips = new TToolTipSwitch(ToolBar2);
    setContextMenuPolicy(Qt::NoContextMenu);

    PanelDatePicker = new QWidget(this);
    PanelDatePicker->setObjectName(QStringLiteral("PanelDatePicker"));
    auto* dateLayout = new QHBoxLayout(PanelDatePicker);
    dateLayout->setContentsMargins(0, 0, 4, 0);
    dateLayout->setSpacing(2);
    ButtonJumpLeft = new QToolButton(PanelDatePicker);
    ButtonJumpLeft->setObjectName(QStringLiteral("ButtonJumpLeft"));
    ButtonJumpLeft->setAutoRaise(true);
    ButtonJumpLeft->setDefaultAction(command(QStringLiteral("GotoPrevDate")));
    ButtonJumpRight = new QToolButton(PanelDatePicker);
    ButtonJumpRight->setObjectName(QStringLiteral("ButtonJumpRight"));
    ButtonJumpRight->setAutoRaise(true);
    ButtonJumpRight->setDefaultAction(command(QStringLiteral("GotoNextDate")));
    DateTimePicker = new TDatePicker(PanelDatePicker);
    DateTimePicker->setObjectName(QStringLiteral("DateTimePicker"));
    DateTimePicker->setCalendarPopup(true);
    installEntryCalendar();
    DateTimePicker->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    // Wide enough for the longest long date of the user's locale.
    const QString longest = LongestLongDate(QLocale(), DateTimePicker->fontMetrics());
    DateTimePicker->setMinimumWidth(
        std::max(130, DateTimePicker->fontMetrics().horizontalAdvance(longest) + 48));
    DateTimePicker->setDateRange(QDate(1000, 1, 1), QDate(9999, 12, 31));
    DateTimePicker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    dateLayout->addWidget(ButtonJumpLeft);
    dateLayout->addWidget(ButtonJumpRight);
    dateLayout->addWidget(DateTimePicker);
    connect(DateTimePicker, &TDatePicker::dateChosen, this, [this] {
        if (!settingDate)
            guarded([&] { DateTimePickerChange(); });
    });

    buildToolBar();
    buildMenus();

    auto* central = new QWidget(this);
    auto* tabArea = new QWidget(central);
    auto* tabLayout = new QVBoxLayout(tabArea);
    tabLayout->setContentsMargins(0, 2, 0, 0);
    tabLayout->setSpacing(0);
    TabControl = new TTabRow(tabArea);
    TabControl->setObjectName(QStringLiteral("TabControl"));
    TabControl->addTab(QStringLiteral("Diary"));
    tabLayout->addWidget(TabControl);
    connect(TabControl, &TTabRow::changing, this, [this] {
        // The tab stays when its document could not be saved, so the text is not replaced.
        if (!saveBeforeLeaving())
            TabControl->refuseChange();
    });
    connect(TabControl, &TTabRow::changed, this, [this] { guarded([&] { TabControlChange(); }); });
    connect(TabControl, &TTabRow::tabDropped, this,
            [this](int from, int to) { guarded([&] { TabControlDragDrop(from, to); }); });
    PopupMenuTabs = new QMenu(this);
    PopupMenuTabs->setObjectName(QStringLiteral("PopupMenuTabs"));
    PopupMenuTabs->addAction(command(QStringLiteral("FileCloseTab")));
    PopupMenuTabs->addAction(command(QStringLiteral("FileLoadAtStartup")));
    connect(TabControl, &TTabRow::rightPressed, this, [this](int index) {
        guarded([&] { TabControlRightPress(index); });
        refreshCommandStates();
        PopupMenuTabs->popup(QCursor::pos());
    });

    SideBar = new QTabWidget(central);
    SideBar->setObjectName(QStringLiteral("SideBar"));
    SideBar->setVisible(false);
    buildSideBar();

    SplitterQuickList = new QSplitter(Qt::Horizontal, central);
    SplitterQuickList->setObjectName(QStringLiteral("SplitterQuickList"));
    SplitterQuickList->setChildrenCollapsible(false);
    SplitterQuickList->addWidget(tabArea);
    SplitterQuickList->addWidget(SideBar);
    SplitterQuickList->setStretchFactor(0, 1);
    SplitterQuickList->setStretchFactor(1, 0);
    // The tool bar row: the tool bar at the left, the date panel at the right, between two
    // thin rules.
    auto* toolRow = new QWidget(central);
    auto* toolRowLayout = new QHBoxLayout(toolRow);
    toolRowLayout->setContentsMargins(0, 0, 0, 0);
    toolRowLayout->setSpacing(0);
    toolRowLayout->addWidget(ToolBar2, 1);
    toolRowLayout->addWidget(PanelDatePicker, 0);
    // A first start shows the whole tool bar beside the date control, however wide the
    // locale's long dates make it; a stored placement replaces this size.
    resize(std::max(width(), toolRow->sizeHint().width() + 4), height());
    auto rule = [central] {
        auto* line = new QFrame(central);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    };
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(2, 0, 2, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(rule());
    centralLayout->addWidget(toolRow);
    centralLayout->addWidget(rule());
    centralLayout->addWidget(SplitterQuickList, 1);
    setCentralWidget(central);

    for (int i = 0; i < 3; ++i) {
        statusPanels[i] = new QLabel(this);
        statusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        statusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    statusPanels[1]->setFixedWidth(50);
    statusPanels[2]->setFixedWidth(50);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(statusPanels[0], 1);
    statusBar()->addWidget(statusPanels[1]);
    statusBar()->addWidget(statusPanels[2]);
    statusBar()->setSizeGripEnabled(true);
}

void TFormMain::CreateEditor()
{
    auto* tabArea = TabControl->parentWidget();
    Editor = new TRichEditor(tabArea);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setReadOnly(false);
    Editor->setAcceptRichText(true);
    Editor->setDefaultFont(QStringLiteral("Arial"), 12);
    Editor->setAlignment(TRichEditor::Alignment::Left);
    tabArea->layout()->addWidget(Editor);
    connect(Editor, &QTextEdit::cursorPositionChanged, this, [this] { EditorSelectionChange(); });
    connect(Editor, &QTextEdit::selectionChanged, this, [this] { EditorSelectionChange(); });
    connect(Editor, &TRichEditor::paragraphFormatChanged, this,
            [this] { EditorSelectionChange(); });
    auto followModified = [this](QTextDocument* document) {
        connect(document, &QTextDocument::modificationChanged, this, [this] {
            ForgetUnsettledFolderReadings();
            refreshCommandStates();
        });
    };
    followModified(Editor->document());
    // Another document shown is as good as a change of the modified state: the commands follow.
    connect(Editor, &TRichEditor::documentReplaced, this,
            [this, followModified](QTextDocument* document) {
                followModified(document);
                refreshCommandStates();
            });
    ApplyEditorFont();
}

void TFormMain::resolveDirectories()
{
    const TDocumentDirs dirs =
        ResolveDocumentDirs(Journal->DocsDir, Journal->BackupDir, env.relativeBase());
    if (dirs.docsDir == DefaultDocsDir && !FileExists(dirs.docsDir))
        QDir().mkdir(dirs.docsDir);
    // Temporary files of writes that a crash or a kill cut short are of no use to anyone.
    AtomicFile::removeLeftovers(env.homeDir());
    Journal->SetDirectories(dirs.docsDir, dirs.backupDir);
}

void TFormMain::ApplyStayOnTop()
{
    const bool onTop = actions.ToolsOnTop->isChecked();
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible)
        show();
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (firstShowPending) {
        firstShowPending = false;
        guarded([&] { firstShow(); });
    }
}

void TFormMain::firstShow()
{
    // Today's entry was read a moment ago, before the keyword tabs of the start-up list take
    // the editor in turn: a file that could not be read then is not reported a second time.
    const bool entryUnreadable =
        Journal->current() == documentOfTab(0) && Journal->currentIsReadOnly();
    guarded([&] { OpenStartupTabs(); });
    TabControl->selectSilently(0);
    const int remembered = LastTab.isEmpty() ? -1 : TabControl->findCaption(LastTab);
    if (remembered > 0) {
        // Going straight to the remembered keyword tab leaves today's entry unseen: the empty
        // file that opening it wrote must not stay behind (a file with words in it stays).
        Journal->DropUntouchedPlaceholder();
        TabControl->selectSilently(remembered);
    }
    const bool entryShown = Journal->current() == documentOfTab(0);
    if (TabControl->currentIndex() != 0) {
        TabControlChange();
    } else if (entryShown && entryUnreadable) {
        // Shown read-only, as it was.
    } else if (entryShown && Journal->currentFileUnchanged()) {
        // Still as it was read: not read again.
        EditorSelectionChange();
        Editor->setFocus();
    } else if (entryUnreadable) {
        // A keyword file took its place: shown again, read-only, without a second report.
        guarded([&] {
            const TDocumentId entry = documentOfTab(0);
            showOpened(
                readDocument([&](QTextDocument& doc) { return Journal->LoadDocument(entry, doc); }),
                true);
        });
    } else {
        TabControlChange();
    }
    FileLoadAtStartupUpdate();
    FillCategoriesTree();
    // The journal's index opens and catches up in the background once the window is up.
    QTimer::singleShot(0, this, [this] { guarded([&] { startJournalSearch(); }); });
}

bool TFormMain::saveBeforeLeaving()
{
    try {
        SaveCurrentDocument();
        return true;
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return false;
    }
}

bool TFormMain::resolveFailedSave(QString failure)
{
    for (;;) {
        const QString text =
            failure + QStringLiteral("\n\nThe document has not been saved, so the window stays "
                                     "open. Retry the save, or save a copy of the document "
                                     "somewhere else.");
        switch (prompter->saveFailed(this, Title, text)) {
        case TPrompter::SaveFailureChoice::Retry:
            try {
                SaveCurrentDocument();
                return true;
            } catch (const std::exception& e) {
                failure = QString::fromUtf8(e.what());
            }
            break;
        case TPrompter::SaveFailureChoice::SaveCopy: {
            const QString proposed =
                QDir(QDir::homePath())
                    .filePath(diaryTabSelected() ? Journal->EntryFileName
                                                 : KeywordFileName(selectedCaption()));
            const std::optional<QString> path =
                prompter->chooseSaveFile(this, QStringLiteral("Save a Copy As"), proposed,
                                         QStringLiteral("Rich Text Format (*.rtf)"));
            if (!path)
                break;
            try {
                AtomicFile::write(*path, WriteRtf(*Editor->document()));
                return true;
            } catch (const std::exception& e) {
                failure = QString::fromUtf8(e.what());
            }
            break;
        }
        case TPrompter::SaveFailureChoice::Cancel:
            return false;
        }
    }
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    // A document that could not be saved keeps the window open unless its text is safe
    // elsewhere: closing would throw it away.
    if (!exiting) {
        try {
            SaveCurrentDocument();
        } catch (const std::exception& e) {
            if (!resolveFailedSave(QString::fromUtf8(e.what()))) {
                event->ignore();
                return;
            }
        }
    }
    event->accept();
}

void TFormMain::Exit1Click()
{
    try {
        SaveCurrentDocument();
    } catch (const std::exception& e) {
        if (!resolveFailedSave(QString::fromUtf8(e.what())))
            return;
    }
    exiting = true;
    close();
    qApp->quit();
}

QString TFormMain::keepUnsavedCopy()
{
    const QString name =
        diaryTabSelected() ? Journal->EntryFileName : KeywordFileName(selectedCaption());
    for (const QString& dir : {Journal->BackupDir, env.homeDir(), QDir::homePath()}) {
        try {
            const QString path =
                RecoveryCopyPath(name, dir, QStringLiteral("unsaved"), env.now(), ".rtf");
            AtomicFile::write(path, WriteRtf(*Editor->document()));
            return path;
        } catch (const std::exception&) {
        }
    }
    return {};
}

void TFormMain::EndSession(bool end)
{
    if (exiting)
        return;
    // No one may be there to answer a question: what cannot be saved in its place is kept as
    // a copy, and the program ends all the same.
    try {
        SaveCurrentDocument();
    } catch (const std::exception& e) {
        const QString copy =
            Editor->isReadOnly() || !Editor->isModified() ? QString() : keepUnsavedCopy();
        TDebugLog::Instance().Print(1, "Session end: %s; kept as %s", e.what(),
                                    qUtf8Printable(copy));
    }
    try {
        SaveSettings();
    } catch (const std::exception& e) {
        TDebugLog::Instance().Print(1, "Session end: %s", e.what());
    }
    if (!end)
        return;
    exiting = true;
    close();
    qApp->quit();
}

void TFormMain::TimerAutoBackupTimer()
{
    ++MinutesSinceSave;
    if (MinutesSinceSave >= AutoSaveInterval) {
        guarded([&] {
            SaveCurrentDocument();
            SaveSettings();
        });
        MinutesSinceSave = 0;
    }
}

bool TFormMain::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        UpdateStatusHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMain::UpdateStatusHint(const QString& hint)
{
    statusPanels[0]->setText(hint);
}

void TFormMain::refreshCommandStates()
{
    command(QStringLiteral("FileSave"))->setEnabled(Editor->isModified());
    updateKeywordCommands();
    GotoQuickListUpdate();
}

QString TFormMain::selectedCaption() const
{
    return TabControl->tabText(TabControl->currentIndex());
}

bool TFormMain::diaryTabSelected() const
{
    return TabControl->currentIndex() == 0;
}

TDocumentId TFormMain::documentOfTab(int index) const
{
    return index == 0 ? TDocumentId::entry(Journal->CurrentDate)
                      : TDocumentId::keyword(TabControl->tabText(index));
}

void TFormMain::guarded(const std::function<void()>& fn)
{
    // Everything one user action does sees the documents folder as it was at its start, plus
    // the action's own changes.
    const TFolderReadingReuse sharedReadings;
    try {
        fn();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TFormMain::showError(const QString& message)
{
    QString text = message;
    if (!text.isEmpty() && text.back().unicode() > '.')
        text += QLatin1Char('.');
    prompter->error(this, Title, text);
}

void TFormMain::showInformation(const QString& message)
{
    prompter->information(this, Title, message);
}

void TFormMain::showNotice(const QString& message)
{
    prompter->notice(this, Title, message);
}

void TFormMain::setDatePickerDate(QDate date)
{
    settingDate = true;
    DateTimePicker->setDateSilently(date);
    settingDate = false;
}
