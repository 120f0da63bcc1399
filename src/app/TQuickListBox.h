#pragma once

#include <QListView>
#include <QStringList>

class QStringListModel;

// The Quick List's list box: one line of text per stored document. Twenty years of entries are
// 7,300 lines, refreshed after every save and date change, so the lines live in a plain string
// model (no item object per line) and an unchanged list is not rebuilt at all.
class TQuickListBox : public QListView
{
    Q_OBJECT
public:
    explicit TQuickListBox(QWidget* parent = nullptr);

    // Replaces the lines, unless they are the ones shown already.
    void setLines(const QStringList& lines);
    const QStringList& lines() const { return shownLines; }
    int count() const { return int(shownLines.size()); }

    // -1 for none; setting -1 also clears the selection.
    int currentRow() const;
    void setCurrentRow(int row);
    // The selected line, or an empty string.
    QString selectedLine() const;

signals:
    void rowClicked(int row);
    void currentRowChanged(int row);

private:
    QStringListModel* model;
    QStringList shownLines;
};
