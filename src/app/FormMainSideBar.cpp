#include "app/TFormMain.h"

#include "app/LongestDate.h"
#include "app/TDMActions.h"
#include "app/TQuickListBox.h"
#include "app/TRichEditor.h"
#include "store/EntryDays.h"
#include "store/EntryNames.h"
#include "store/EntryScan.h"
#include "store/Paths.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Filter { ThisMonth = 0, ThisYear = 1, AllEntries = 2, Keywords = 3, OnThisDay = 4 };

} // namespace

void TFormMain::buildSideBar()
{
    auto* quickPage = new QWidget(SideBar);
    quickPage->setObjectName(QStringLiteral("TSQuickList"));
    auto* quickLayout = new QVBoxLayout(quickPage);
    quickLayout->setContentsMargins(2, 2, 2, 2);
    ComboBoxQL = new QComboBox(quickPage);
    ComboBoxQL->setObjectName(QStringLiteral("ComboBoxQL"));
    ComboBoxQL->addItems({QStringLiteral("This Month"), QStringLiteral("This Year"),
                          QStringLiteral("All Entries"), QStringLiteral("Keywords"),
                          QStringLiteral("On This Day")});
    ListBoxQL = new TQuickListBox(quickPage);
    ListBoxQL->setObjectName(QStringLiteral("ListBoxQL"));
    quickLayout->addWidget(ComboBoxQL);
    quickLayout->addWidget(ListBoxQL, 1);
    SideBar->addTab(quickPage, QStringLiteral("Quick List"));

    // The Categories page shows the keyword files but takes no input.
    TSCategories = new QWidget(SideBar);
    TSCategories->setObjectName(QStringLiteral("TSCategories"));
    auto* categoryLayout = new QVBoxLayout(TSCategories);
    categoryLayout->setContentsMargins(2, 2, 2, 2);
    EditCategorySearch = new QLineEdit(TSCategories);
    EditCategorySearch->setObjectName(QStringLiteral("EditCategorySearch"));
    TreeViewCategories = new QTreeWidget(TSCategories);
    TreeViewCategories->setObjectName(QStringLiteral("TreeViewCategories"));
    TreeViewCategories->setHeaderHidden(true);
    TreeViewCategories->setIndentation(19);
    TreeViewCategories->setAutoExpandDelay(0);
    categoryLayout->addWidget(EditCategorySearch);
    categoryLayout->addWidget(TreeViewCategories, 1);
    TSCategories->setEnabled(false);
    SideBar->addTab(TSCategories, QStringLiteral("Categories"));
    PopupMenuTreeView = new QMenu(this);
    PopupMenuTreeView->setObjectName(QStringLiteral("PopupMenuTreeView"));
    PopupMenuTreeView->addActions(actions.ALCategories());
    buildSearchPage();

    connect(ComboBoxQL, &QComboBox::activated, this,
            [this] { guarded([&] { ComboBoxQLChange(); }); });
    connect(ListBoxQL, &TQuickListBox::rowClicked, this, [this](int row) {
        QMetaObject::invokeMethod(
            this, [this, row] { guarded([&] { ListBoxQLClick(row); }); }, Qt::QueuedConnection);
    });
    connect(ListBoxQL, &TQuickListBox::currentRowChanged, this, [this](int row) {
        // Mouse choices arrive as clicks; this is the keyboard moving the selection.
        if (refreshingQuickList || row < 0 || QApplication::mouseButtons() != Qt::NoButton)
            return;
        QMetaObject::invokeMethod(
            this, [this, row] { guarded([&] { ListBoxQLClick(row); }); }, Qt::QueuedConnection);
    });
}

void TFormMain::buildQuickListCommands()
{
    makeCommand("GotoQuickList", &TFormMain::GotoQuickListExecute);
}

int TFormMain::defaultSideBarWidth() const
{
    ListBoxQL->ensurePolished();
    const QFontMetrics metrics = ListBoxQL->fontMetrics();
    const QStyle* style = ListBoxQL->style();
    // Around the text: the line's margins, the list's frame and scroll bar (years of entries
    // need one), the page's margins and the side bar's frame.
    const int textMargins =
        2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListBoxQL) + 1);
    const int list = 2 * ListBoxQL->frameWidth() +
                     style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListBoxQL);
    const QMargins page = ListBoxQL->parentWidget()->layout()->contentsMargins();
    const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, SideBar);
    const int needed = metrics.horizontalAdvance(LongestLongDate(QLocale(), metrics)) +
                       textMargins + list + page.left() + page.right() + frame + 4;
    return std::max(125, needed);
}

void TFormMain::applySideBarSettings(const TAppSettings& s)
{
    sideBarWidth = s.sideBarWidth;
    ComboBoxQL->setCurrentIndex(s.filterIndex >= 0 && s.filterIndex < ComboBoxQL->count()
                                    ? s.filterIndex
                                    : -1);
    if (s.sideBarPage >= 0 && s.sideBarPage < SideBar->count())
        SideBar->setCurrentIndex(s.sideBarPage);
    if (!s.categoriesEnabled) {
        if (SideBar->currentIndex() == 1)
            SideBar->setCurrentIndex(0);
        SideBar->setTabVisible(1, false);
    }
}

void TFormMain::storeSideBarSettings(TAppSettings& s)
{
    if (SideBar->isVisible())
        sideBarWidth = SideBar->width();
    if (sideBarWidth == 0)
        sideBarWidth = 130;
    s.sideBarWidth = sideBarWidth;
    s.filterIndex = ComboBoxQL->currentIndex();
    s.sideBarPage = SideBar->currentIndex();
}

void TFormMain::showSideBar(bool show)
{
    if (show) {
        SideBar->show();
        const int total = SplitterQuickList->width();
        SplitterQuickList->setSizes({std::max(0, total - sideBarWidth), sideBarWidth});
    } else {
        if (SideBar->isVisible())
            sideBarWidth = SideBar->width();
        SideBar->hide();
    }
}

void TFormMain::GotoQuickListExecute()
{
    if (QuickListOpen) {
        QuickListOpen = false;
        showSideBar(false);
    } else {
        ComboBoxQLChange();
        showSideBar(true);
        QuickListOpen = true;
    }
    GotoQuickListUpdate();
}

void TFormMain::GotoQuickListUpdate()
{
    QAction* action = command(QStringLiteral("GotoQuickList"));
    action->setChecked(QuickListOpen);
    const QString hint = QuickListOpen ? QStringLiteral("Hide the Quick List")
                                       : QStringLiteral("Display the Quick List");
    action->setStatusTip(hint);
    action->setToolTip(hint);
}

void TFormMain::ComboBoxQLChange()
{
    RefreshQuickList();
}

QString TFormMain::longDate(QDate date) const
{
    // Formatting a long date is the costly part of a refresh of years of entries.
    auto it = longDateCache.constFind(date);
    if (it != longDateCache.constEnd())
        return *it;
    const QString text = QLocale().toString(date, QLocale::LongFormat);
    longDateCache.insert(date, text);
    return text;
}

void TFormMain::RefreshQuickList()
{
    const int filter = ComboBoxQL->currentIndex();
    QString pattern;
    switch (filter) {
    case ThisMonth:
        pattern = QStringLiteral("jx%1%2*.rtf")
                      .arg(Journal->CurrentYear, 4, 10, QLatin1Char('0'))
                      .arg(Journal->CurrentMonth, 2, 10, QLatin1Char('0'));
        break;
    case ThisYear:
        pattern = QStringLiteral("jx%1*.rtf").arg(Journal->CurrentYear, 4, 10, QLatin1Char('0'));
        break;
    case Keywords:
        pattern = QStringLiteral("kw_*.rtf");
        break;
    default:
        pattern = QStringLiteral("jx*.rtf");
        break;
    }
    QStringList lines;
    QuickListFiles.clear();
    if (filter == Keywords) {
        QuickListFiles = SortedNames(ListDirectory(Journal->DocsDir, pattern));
        lines.reserve(QuickListFiles.size());
        for (const QString& name : std::as_const(QuickListFiles))
            lines << KeywordOfFileName(name);
    } else {
        // Names that only look like entries have no date to show or open: they are left out.
        const QList<QDate> dates = filter == OnThisDay ? EntriesOnThisDay(Journal->DocsDir, Journal->CurrentDate)
                                                       : ListEntryDates(Journal->DocsDir, pattern);
        lines.reserve(dates.size());
        QuickListFiles.reserve(dates.size());
        for (const QDate& date : dates) {
            QuickListFiles << EntryFileNameOf(date);
            lines << longDate(date);
        }
    }

    refreshingQuickList = true;
    const auto done = qScopeGuard([this] { refreshingQuickList = false; });
    ListBoxQL->setLines(lines);
    int selected = -1;
    if (filter == Keywords)
        selected = lines.isEmpty() ? -1 : 0;
    else if (Journal->CurrentDate.isValid())
        selected = lines.indexOf(longDate(Journal->CurrentDate));
    ListBoxQL->setCurrentRow(selected);
}

void TFormMain::ListBoxQLClick(int row)
{
    if (row < 0 || row >= QuickListFiles.size())
        return;
    const QString file = QuickListFiles[row];
    if (ComboBoxQL->currentIndex() == Keywords) {
        const QString keyword = KeywordOfFileName(file);
        SaveCurrentDocument();
        OpenKeywordTab(keyword);
        return;
    }
    if (const std::optional<QDate> date = DateOfEntryFileName(file))
        GoToDate(*date);
}

void TFormMain::FillCategoriesTree()
{
    TreeViewCategories->setUpdatesEnabled(false);
    TreeViewCategories->clear();
    auto* root = new QTreeWidgetItem(TreeViewCategories, {QStringLiteral("All Files")});
    for (const QString& name : ListDirectory(Journal->DocsDir, QStringLiteral("kw_*.rtf")))
        new QTreeWidgetItem(root, {KeywordOfFileName(name)});
    TreeViewCategories->setCurrentItem(root);
    root->setExpanded(true);
    TreeViewCategories->setUpdatesEnabled(true);
}
