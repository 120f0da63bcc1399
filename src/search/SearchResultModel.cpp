#include "search/SearchResultModel.h"

#include "search/JournalSearch.h"

#include <QLocale>
#include <QTimer>

TSearchResultModel::TSearchResultModel(QObject* parent) : QAbstractListModel(parent)
{
}

void TSearchResultModel::clear()
{
    ++generation;
    beginResetModel();
    results.clear();
    candidates.clear();
    next = 0;
    why.clear();
    matcher.reset();
    current = TSearchQuery();
    endResetModel();
}

void TSearchResultModel::run(TJournalSearch& journal, const TSearchQuery& query,
                             const TSearchFilter& filter)
{
    clear();
    search = &journal;
    current = query;
    matcher.emplace(query);
    TSearchAnswer answer = journal.find(query, filter);
    why = answer.problem;
    candidates = std::move(answer.hits);
    if (candidates.isEmpty()) {
        emit filled();
        return;
    }
    fillBatch();
}

void TSearchResultModel::scheduleBatch()
{
    QTimer::singleShot(0, this, [this, wanted = generation] {
        if (wanted == generation)
            fillBatch();
    });
}

void TSearchResultModel::fillBatch()
{
    if (!search || !matcher) {
        next = candidates.size();
        emit filled();
        return;
    }
    const bool strict = current.options().matchCase;
    QList<TSearchResult> batch;
    const qsizetype end = std::min(candidates.size(), next + BatchSize);
    for (; next < end; ++next) {
        const TIndexHit& hit = candidates[next];
        const std::optional<QString> text = search->documentText(hit.id);
        if (!text)
            continue; // removed since the search ran
        // The index ignores letter case; with match case each text has the last word.
        if (strict && !matcher->accepts(*text))
            continue;
        TSearchResult result;
        result.name = hit.name;
        result.kind = hit.kind;
        if (hit.kind == TDocumentKind::Entry) {
            result.date = hit.date;
            result.title = QLocale().toString(hit.date, QLocale::LongFormat);
        } else if (const std::optional<TDocumentName> name = DocumentNameOf(hit.name)) {
            result.title = name->keyword;
        }
        result.snippet = MakeSnippet(*text, *matcher);
        batch << std::move(result);
    }
    if (!batch.isEmpty()) {
        beginInsertRows({}, int(results.size()), int(results.size() + batch.size() - 1));
        results << batch;
        endInsertRows();
    }
    if (isFilling())
        scheduleBatch();
    else
        emit filled();
}

int TSearchResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(results.size());
}

QVariant TSearchResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= results.size())
        return {};
    const TSearchResult& result = results[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return result.title + QLatin1Char('\n') + result.snippet.text;
    case Qt::ToolTipRole:
    case SnippetRole:
        return result.snippet.text;
    case TitleRole:
        return result.title;
    case NameRole:
        return result.name;
    case MarksRole: {
        QList<int> marks;
        for (const TTextMatch& m : result.snippet.marks)
            marks << int(m.start) << int(m.length);
        return QVariant::fromValue(marks);
    }
    default:
        return {};
    }
}
