#include "app/TQuickListBox.h"

#include <QItemSelectionModel>
#include <QStringListModel>

TQuickListBox::TQuickListBox(QWidget* parent) : QListView(parent), model(new QStringListModel(this))
{
    setModel(model);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { emit currentRowChanged(current.row()); });
}

void TQuickListBox::setLines(const QStringList& lines)
{
    if (lines == shownLines)
        return;
    shownLines = lines;
    model->setStringList(lines);
}

int TQuickListBox::currentRow() const
{
    return currentIndex().row();
}

void TQuickListBox::setCurrentRow(int row)
{
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(model->index(row),
                                      QItemSelectionModel::ClearAndSelect);
}

QString TQuickListBox::selectedLine() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : shownLines.value(rows.first().row());
}
