#include "app/TFormMain.h"

#include "app/SearchPage.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "app/TextSearch.h"
#include "diag/DebugLog.h"
#include "dialogs/TFindDialog.h"
#include "search/JournalSearch.h"
#include "search/SearchResultModel.h"
#include "store/EntryNames.h"
#include "store/Paths.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace {

const char* const EndOfDocument = "End of document reached.";

// A short building (a few files changed) shows no progress at all, so the status bar does not
// flicker at every catch-up.
constexpr int ProgressDelayMs = 400;

// A selection longer than this, or spanning lines, is not something to search for.
constexpr int MaxSelectionToSearch = 100;

QString entryKey(QDate date)
{
    return EntryFileNameOf(date).toLower();
}

QString keywordKey(const QString& keyword)
{
    return QStringLiteral("kw:") + keyword.toLower();
}

} // namespace

void TFormMain::buildSearchPage()
{
    // The page scrolls rather than widen the side bar: a narrow width the user chose for the
    // Quick List stays as it is.
    SearchPageHolder = new QScrollArea(SideBar);
    SearchPageHolder->setObjectName(QStringLiteral("SearchPageHolder"));
    SearchPageHolder->setFrameShape(QFrame::NoFrame);
    SearchPageHolder->setWidgetResizable(true);
    SearchPage = new TSearchPage(SearchPageHolder);
    SearchPageHolder->setWidget(SearchPage);
    SideBar->addTab(SearchPageHolder, QStringLiteral("Search"));
    connect(SearchPage, &TSearchPage::aboutToSearch, this, [this] {
        // Searched as the user sees it: the document shown is saved first, as every move does.
        if (Editor->isModified())
            guarded([&] { SaveCurrentDocument(); });
    });
    connect(SearchPage, &TSearchPage::resultChosen, this, [this](const TSearchResult& result) {
        // Like the Quick List, the choice is acted on once the click is over.
        QMetaObject::invokeMethod(
            this, [this, result] { guarded([&] { OpenSearchResult(result); }); },
            Qt::QueuedConnection);
    });
}

void TFormMain::buildSearchCommands()
{
    makeCommand("EditSearchJournal", &TFormMain::EditSearchJournalExecute);
    makeCommand("EditFindPrevious", &TFormMain::EditFindPreviousExecute);
}

void TFormMain::startJournalSearch()
{
    if (JournalSearch)
        return;
    JournalSearch = new TJournalSearch(Journal->docsDir(), this);
    connect(Journal, &TJournal::documentSaved, JournalSearch, &TJournalSearch::documentSaved);
    connect(Journal, &TJournal::documentRemoved, JournalSearch, &TJournalSearch::documentRemoved);
    connect(Journal, &TJournal::documentRenamed, JournalSearch, &TJournalSearch::documentRenamed);
    // Files changed behind our back (a sync tool, another program) are caught up with.
    connect(Journal, &TJournal::folderChanged, JournalSearch, &TJournalSearch::folderChanged);
    connect(JournalSearch, &TJournalSearch::unreadableFile, this,
            [](const QString& path, const QString& reason) {
                TDebugLog::Instance().Print(1, "Search index: skipped %s (%s)",
                                            qUtf8Printable(path), qUtf8Printable(reason));
            });
    connect(JournalSearch, &TJournalSearch::notice, this, [](const QString& message) {
        TDebugLog::Instance().Print(1, "%s", qUtf8Printable(message));
    });

    // The progress of a build, at the right of the status bar.
    searchProgress = new QWidget(this);
    searchProgress->setObjectName(QStringLiteral("SearchProgress"));
    auto* layout = new QHBoxLayout(searchProgress);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("Indexing the journal"), searchProgress);
    auto* bar = new QProgressBar(searchProgress);
    bar->setObjectName(QStringLiteral("SearchProgressBar"));
    bar->setMaximumWidth(110);
    bar->setMaximumHeight(statusPanels[0]->sizeHint().height());
    bar->setTextVisible(false);
    bar->setRange(0, 0);
    layout->addWidget(label);
    layout->addWidget(bar);
    statusBar()->addPermanentWidget(searchProgress);
    searchProgress->hide();
    auto* showLater = new QTimer(searchProgress);
    showLater->setSingleShot(true);
    showLater->setInterval(ProgressDelayMs);
    connect(showLater, &QTimer::timeout, searchProgress, [this] {
        if (JournalSearch->isBuilding())
            searchProgress->show();
    });
    connect(JournalSearch, &TJournalSearch::progress, bar, [bar](int done, int total) {
        bar->setRange(0, total);
        bar->setValue(done);
    });
    connect(JournalSearch, &TJournalSearch::buildingChanged, searchProgress,
            [this, showLater](bool building) {
                if (building) {
                    showLater->start();
                } else {
                    showLater->stop();
                    searchProgress->hide();
                }
            });
    showLater->start();

    SearchPage->setSearch(JournalSearch);
    JournalSearch->start();
}

void TFormMain::EditSearchJournalExecute()
{
    if (!QuickListOpen)
        GotoQuickListExecute();
    SideBar->setCurrentWidget(SearchPageHolder);
    // A word or two selected in the editor is what the user wants to find, as with Find.
    const QString selected = Editor->selectedPlainText().trimmed();
    if (!selected.isEmpty() && selected.size() <= MaxSelectionToSearch &&
        !selected.contains(QLatin1Char('\n')) && !selected.contains(QChar::ParagraphSeparator))
        SearchPage->searchFor(selected);
    SearchPage->focusField();
}

QString TFormMain::shownDocumentKey() const
{
    return diaryTabSelected() ? entryKey(Journal->CurrentDate) : keywordKey(selectedCaption());
}

void TFormMain::OpenSearchResult(const TSearchResult& result)
{
    // Deleted since it was indexed: opening its day would only start an empty entry.
    if (!FileExists(JoinPath(Journal->docsDir(), result.name))) {
        UpdateStatusHint(QStringLiteral("\"%1\" no longer exists.").arg(result.title));
        return;
    }
    QString target;
    if (result.kind == TDocumentKind::Entry) {
        target = entryKey(result.date);
        if (result.date != Journal->CurrentDate) {
            GoToDate(result.date);
        } else if (!diaryTabSelected()) {
            // The day is open, but under a keyword tab: the Diary tab is picked as a user would.
            if (!saveBeforeLeaving())
                return;
            TabControl->selectSilently(0);
            TabControlChange();
        }
    } else {
        const QString keyword = KeywordOfFileName(result.name);
        target = keywordKey(keyword);
        SaveCurrentDocument();
        OpenKeywordTab(keyword);
    }
    // A move that failed (the document shown could not be saved) leaves it shown.
    if (shownDocumentKey() != target)
        return;
    journalMatchesActive = true;
    journalMatchesQuery = SearchPage->shownQuery();
    journalMatchesDocument = target;
    const QList<TTextMatch> matches =
        TQueryMatcher(journalMatchesQuery).matches(Editor->toPlainText());
    Editor->setFocus();
    if (matches.isEmpty()) {
        // Changed since it was indexed, or the index and the editor read it differently.
        Editor->setSelection(0, 0);
        UpdateStatusHint(QStringLiteral("The words searched for are no longer in this document."));
        return;
    }
    Editor->setSelection(int(matches.first().start), int(matches.first().length));
    Editor->ensureCursorVisible();
}

void TFormMain::EndJournalMatches()
{
    journalMatchesActive = false;
}

bool TFormMain::JournalFindNext(bool forward)
{
    if (!journalMatchesActive || shownDocumentKey() != journalMatchesDocument)
        return false;
    const QList<TTextMatch> matches =
        TQueryMatcher(journalMatchesQuery).matches(Editor->toPlainText());
    const int start = Editor->selectionStart();
    const int end = start + Editor->selectionLength();
    const TTextMatch* found = nullptr;
    if (forward) {
        for (const TTextMatch& m : matches)
            if (m.start >= end) {
                found = &m;
                break;
            }
    } else {
        for (const TTextMatch& m : matches)
            if (m.start < start)
                found = &m;
    }
    if (!found) {
        showNotice(QString::fromLatin1(EndOfDocument));
        return true;
    }
    Editor->setFocus();
    Editor->setSelection(int(found->start), int(found->length));
    Editor->ensureCursorVisible();
    return true;
}

void TFormMain::EditFindPreviousExecute()
{
    if (!Editor->hasFocus())
        return;
    if (JournalFindNext(false))
        return;
    const QString what = FindDialog->findText();
    if (what.isEmpty()) {
        command(QStringLiteral("EditFind"))->trigger();
        return;
    }
    const qsizetype at = FindBackward(Editor->toPlainText(), what, Editor->selectionStart(),
                                      {FindDialog->wholeWord(), FindDialog->matchCase()});
    if (at < 0) {
        showNotice(QString::fromLatin1(EndOfDocument));
        return;
    }
    Editor->setFocus();
    Editor->setSelection(int(at), int(what.size()));
    Editor->ensureCursorVisible();
}
