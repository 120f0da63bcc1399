#pragma once

#include "search/SearchIndex.h"
#include "search/SearchQuery.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListView;
class QTimer;
class TJournalSearch;
class TSearchResultModel;
struct TSearchResult;

// The side bar's page for searching the whole journal: a search field with its options and
// filter, a line telling how the search went, and the results, newest first, each with its date
// or keyword and a line of text with the words found marked. It stays open while the user reads.
class TSearchPage : public QWidget
{
    Q_OBJECT
public:
    explicit TSearchPage(QWidget* parent = nullptr);

    // The index to search; until it is set, searches wait for it.
    void setSearch(TJournalSearch* search);

    // Gives the search field the keyboard focus with its text selected, ready for typing.
    void focusField();
    // Puts text into the field and searches it at once.
    void searchFor(const QString& text);
    // Searches the field's text now (the field otherwise waits for a pause in typing).
    void runSearch();

    TQueryOptions options() const;
    TSearchFilter filter() const;
    const TSearchQuery& shownQuery() const;
    const TSearchResultModel& results() const { return *model; }
    // The status line under the options.
    QString status() const;
    // Picks the result in row as a click would.
    void choose(int row);

    QLineEdit* EditSearch = nullptr;
    QCheckBox* CheckBoxMatchCase = nullptr;
    QCheckBox* CheckBoxWholeWords = nullptr;
    QComboBox* ComboBoxSearchScope = nullptr;
    QDateEdit* DateSearchFrom = nullptr;
    QDateEdit* DateSearchTo = nullptr;
    QListView* ListSearchResults = nullptr;

signals:
    // A search is about to run: the document shown should be saved, so that it is searched as
    // the user sees it.
    void aboutToSearch();
    void resultChosen(const TSearchResult& result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateStatus();
    void scopeChanged();

    QPointer<TJournalSearch> search;
    TSearchResultModel* model = nullptr;
    QLabel* LabelSearchStatus = nullptr;
    QWidget* rangeRow = nullptr;
    QTimer* typingPause = nullptr;
    QString searchedText;
    bool waiting = false; // a search waits for the index to take in the program's own saves
};
