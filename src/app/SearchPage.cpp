#include "app/SearchPage.h"

#include "search/JournalSearch.h"
#include "search/SearchResultModel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum Scope { AllDocuments = 0, EntriesOnly = 1, KeywordsOnly = 2, EntriesBetween = 3 };

// Searching as the user types waits for a pause, so that each key press does not start one.
constexpr int TypingPauseMs = 300;

// Two lines per result: the date or keyword in bold, then the text with the words found marked.
class TResultDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        const int line = option.fontMetrics.lineSpacing();
        return {option.rect.width(), 2 * line + 6};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const bool selected = opt.state & QStyle::State_Selected;
        const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
        const QRect area = opt.rect.adjusted(4, 3, -4, -3);
        const int line = opt.fontMetrics.lineSpacing();

        painter->save();
        painter->setClipRect(area);
        painter->setPen(opt.palette.color(textRole));
        QFont bold = opt.font;
        bold.setBold(true);
        painter->setFont(bold);
        const QString title = index.data(TSearchResultModel::TitleRole).toString();
        painter->drawText(QRect(area.left(), area.top(), area.width(), line),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(bold).elidedText(title, Qt::ElideRight, area.width()));

        QTextLayout layout(index.data(TSearchResultModel::SnippetRole).toString(), opt.font);
        QList<QTextLayout::FormatRange> marks;
        const QList<int> spans = index.data(TSearchResultModel::MarksRole).value<QList<int>>();
        for (qsizetype i = 0; i + 1 < spans.size(); i += 2) {
            QTextLayout::FormatRange range;
            range.start = spans[i];
            range.length = spans[i + 1];
            range.format.setFontWeight(QFont::Bold);
            if (!selected)
                range.format.setBackground(opt.palette.color(QPalette::Highlight).lighter(170));
            marks << range;
        }
        layout.setFormats(marks);
        layout.beginLayout();
        QTextLine textLine = layout.createLine();
        if (textLine.isValid())
            textLine.setLineWidth(1e6); // one line; what does not fit is clipped
        layout.endLayout();
        layout.draw(painter, QPointF(area.left(), area.top() + line));
        painter->restore();
    }
};

} // namespace

TSearchPage::TSearchPage(QWidget* parent) : QWidget(parent), model(new TSearchResultModel(this))
{
    setObjectName(QStringLiteral("TSSearch"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);

    EditSearch = new QLineEdit(this);
    EditSearch->setObjectName(QStringLiteral("EditSearch"));
    EditSearch->setPlaceholderText(QStringLiteral("Search the journal"));
    EditSearch->setClearButtonEnabled(true);
    EditSearch->setToolTip(
        QStringLiteral("Words must all occur; \"a phrase\" in quotes; word* finds words it begins; "
                       "-word leaves out documents with it"));
    EditSearch->installEventFilter(this);
    layout->addWidget(EditSearch);

    auto* optionsRow = new QHBoxLayout;
    optionsRow->setContentsMargins(0, 0, 0, 0);
    CheckBoxMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    CheckBoxMatchCase->setObjectName(QStringLiteral("CheckBoxMatchCase"));
    CheckBoxWholeWords = new QCheckBox(QStringLiteral("&Whole words"), this);
    CheckBoxWholeWords->setObjectName(QStringLiteral("CheckBoxWholeWords"));
    optionsRow->addWidget(CheckBoxMatchCase);
    optionsRow->addWidget(CheckBoxWholeWords);
    optionsRow->addStretch(1);
    layout->addLayout(optionsRow);

    ComboBoxSearchScope = new QComboBox(this);
    ComboBoxSearchScope->setObjectName(QStringLiteral("ComboBoxSearchScope"));
    ComboBoxSearchScope->addItems({QStringLiteral("All documents"), QStringLiteral("Entries only"),
                                   QStringLiteral("Keyword files only"),
                                   QStringLiteral("Entries between dates")});
    layout->addWidget(ComboBoxSearchScope);

    rangeRow = new QWidget(this);
    auto* range = new QHBoxLayout(rangeRow);
    range->setContentsMargins(0, 0, 0, 0);
    DateSearchFrom = new QDateEdit(rangeRow);
    DateSearchFrom->setObjectName(QStringLiteral("DateSearchFrom"));
    DateSearchTo = new QDateEdit(rangeRow);
    DateSearchTo->setObjectName(QStringLiteral("DateSearchTo"));
    for (QDateEdit* edit : {DateSearchFrom, DateSearchTo}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
        edit->setDateRange(QDate(1000, 1, 1), QDate(9999, 12, 31));
    }
    const QDate today = QDate::currentDate();
    DateSearchFrom->setDate(today.addYears(-1));
    DateSearchTo->setDate(today);
    range->addWidget(DateSearchFrom, 1);
    range->addWidget(new QLabel(QStringLiteral("to"), rangeRow));
    range->addWidget(DateSearchTo, 1);
    rangeRow->setVisible(false);
    layout->addWidget(rangeRow);

    LabelSearchStatus = new QLabel(this);
    LabelSearchStatus->setObjectName(QStringLiteral("LabelSearchStatus"));
    LabelSearchStatus->setWordWrap(true);
    layout->addWidget(LabelSearchStatus);

    ListSearchResults = new QListView(this);
    ListSearchResults->setObjectName(QStringLiteral("ListSearchResults"));
    ListSearchResults->setModel(model);
    ListSearchResults->setItemDelegate(new TResultDelegate(ListSearchResults));
    ListSearchResults->setUniformItemSizes(true);
    ListSearchResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListSearchResults->setSelectionMode(QAbstractItemView::SingleSelection);
    ListSearchResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(ListSearchResults, 1);

    typingPause = new QTimer(this);
    typingPause->setSingleShot(true);
    typingPause->setInterval(TypingPauseMs);
    connect(typingPause, &QTimer::timeout, this, &TSearchPage::runSearch);
    connect(EditSearch, &QLineEdit::textEdited, typingPause, qOverload<>(&QTimer::start));
    connect(EditSearch, &QLineEdit::returnPressed, this, &TSearchPage::runSearch);
    // The clear button empties the field without an edit of the user's own.
    connect(EditSearch, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            runSearch();
    });
    for (QCheckBox* box : {CheckBoxMatchCase, CheckBoxWholeWords})
        connect(box, &QCheckBox::toggled, this, &TSearchPage::runSearch);
    connect(ComboBoxSearchScope, &QComboBox::currentIndexChanged, this, &TSearchPage::scopeChanged);
    for (QDateEdit* edit : {DateSearchFrom, DateSearchTo})
        connect(edit, &QDateEdit::dateChanged, this, &TSearchPage::runSearch);

    connect(ListSearchResults, &QListView::clicked, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    connect(ListSearchResults, &QListView::activated, this, [this](const QModelIndex& index) {
        // A click is reported on its own; this is Return on a result.
        if (QApplication::mouseButtons() == Qt::NoButton)
            choose(index.row());
    });
    connect(model, &QAbstractItemModel::rowsInserted, this, &TSearchPage::updateStatus);
    connect(model, &TSearchResultModel::filled, this, &TSearchPage::updateStatus);
    updateStatus();
}

void TSearchPage::setSearch(TJournalSearch* journalSearch)
{
    search = journalSearch;
    if (!search)
        return;
    // When the index has caught up, the list shown may miss what was added: it is searched again.
    connect(search, &TJournalSearch::buildingChanged, this, [this](bool building) {
        if (!building && !searchedText.isEmpty())
            runSearch();
        else
            updateStatus();
    });
    connect(search, &TJournalSearch::notice, this, &TSearchPage::updateStatus);
    if (!EditSearch->text().isEmpty())
        runSearch();
}

void TSearchPage::focusField()
{
    EditSearch->setFocus(Qt::ShortcutFocusReason);
    EditSearch->selectAll();
}

void TSearchPage::searchFor(const QString& text)
{
    EditSearch->setText(text);
    runSearch();
}

TQueryOptions TSearchPage::options() const
{
    return {CheckBoxMatchCase->isChecked(), CheckBoxWholeWords->isChecked()};
}

TSearchFilter TSearchPage::filter() const
{
    TSearchFilter f;
    switch (ComboBoxSearchScope->currentIndex()) {
    case EntriesOnly:
        f.scope = TSearchFilter::Scope::Entries;
        break;
    case KeywordsOnly:
        f.scope = TSearchFilter::Scope::Keywords;
        break;
    case EntriesBetween:
        f.scope = TSearchFilter::Scope::Entries;
        // Either order of the two dates means the days between them.
        f.from = std::min(DateSearchFrom->date(), DateSearchTo->date());
        f.to = std::max(DateSearchFrom->date(), DateSearchTo->date());
        break;
    default:
        break;
    }
    return f;
}

const TSearchQuery& TSearchPage::shownQuery() const
{
    return model->query();
}

void TSearchPage::scopeChanged()
{
    rangeRow->setVisible(ComboBoxSearchScope->currentIndex() == EntriesBetween);
    runSearch();
}

void TSearchPage::runSearch()
{
    typingPause->stop();
    searchedText = EditSearch->text();
    const TSearchQuery query = TSearchQuery::parse(searchedText, options());
    if (query.isEmpty()) {
        model->clear();
        updateStatus();
        return;
    }
    emit aboutToSearch();
    if (!search) {
        updateStatus();
        return;
    }
    waiting = true;
    updateStatus();
    // The program's own last save is searched too: the search waits until the index has it.
    search->afterPendingUpdates(this, [this, query, f = filter()] {
        waiting = false;
        model->run(*search, query, f);
        ListSearchResults->scrollToTop();
        updateStatus();
    });
}

void TSearchPage::choose(int row)
{
    if (row < 0 || row >= model->rowCount())
        return;
    ListSearchResults->setCurrentIndex(model->index(row));
    emit resultChosen(model->result(row));
}

QString TSearchPage::status() const
{
    return LabelSearchStatus->text();
}

void TSearchPage::updateStatus()
{
    QString text;
    const bool building = !search || search->isBuilding();
    if (searchedText.trimmed().isEmpty() || TSearchQuery::parse(searchedText).isEmpty()) {
        text = building && search ? QStringLiteral("The journal is being indexed.") : QString();
    } else if (!model->problem().isEmpty()) {
        text = model->problem();
    } else if (waiting || !search) {
        text = QStringLiteral("Searching...");
    } else {
        const int found = model->rowCount();
        if (model->isFilling())
            text = QStringLiteral("%1 found so far...").arg(found);
        else if (found == 0)
            text = QStringLiteral("Nothing found.");
        else if (found == 1)
            text = QStringLiteral("1 document found.");
        else
            text = QStringLiteral("%1 documents found.").arg(found);
        if (building)
            text += QStringLiteral(" The journal is still being indexed: more may be found.");
    }
    LabelSearchStatus->setText(text);
    LabelSearchStatus->setVisible(!text.isEmpty());
}

bool TSearchPage::eventFilter(QObject* watched, QEvent* event)
{
    // Down from the field goes to the results, as in other search boxes.
    if (watched == EditSearch && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && model->rowCount() > 0) {
        ListSearchResults->setFocus(Qt::TabFocusReason);
        if (!ListSearchResults->currentIndex().isValid())
            ListSearchResults->setCurrentIndex(model->index(0));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
