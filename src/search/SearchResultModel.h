#pragma once

#include "search/JournalFiles.h"
#include "search/SearchIndex.h"
#include "search/SearchQuery.h"
#include "search/Snippet.h"

#include <QAbstractListModel>
#include <QDate>
#include <QList>
#include <QPointer>

#include <optional>

class TJournalSearch;

struct TSearchResult
{
    QString name; // file name in the documents folder
    TDocumentKind kind = TDocumentKind::Entry;
    QDate date;    // of an entry
    QString title; // the entry's long date, or the keyword
    TSnippet snippet;
};

// The results of one search, newest first. The index names the matching documents at once;
// their snippets (and, with match case, the final say on each) take a look at each text, which
// is done in batches between events, so that a word found in every entry of twenty years fills
// the list without holding up the window.
class TSearchResultModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { TitleRole = Qt::UserRole + 1, SnippetRole, MarksRole, NameRole };

    explicit TSearchResultModel(QObject* parent = nullptr);

    // Replaces the results with those of query; the first batch is in before it returns.
    void run(TJournalSearch& search, const TSearchQuery& query, const TSearchFilter& filter);
    void clear();

    // Still looking at candidates.
    bool isFilling() const { return next < candidates.size(); }
    // Documents the index named; with match case some of them may turn out not to match.
    int candidateCount() const { return int(candidates.size()); }
    // Why the search has no answer (an index problem), or empty.
    const QString& problem() const { return why; }
    const TSearchQuery& query() const { return current; }
    const TSearchResult& result(int row) const { return results[row]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // How many candidates one batch looks at.
    static constexpr int BatchSize = 60;

signals:
    // Every candidate has been looked at.
    void filled();

private:
    void fillBatch();
    void scheduleBatch();

    QPointer<TJournalSearch> search;
    TSearchQuery current;
    std::optional<TQueryMatcher> matcher;
    QList<TIndexHit> candidates;
    qsizetype next = 0;
    QList<TSearchResult> results;
    QString why;
    quint64 generation = 0;
};
