#include "dialogs/TFormOpenKeyWord.h"

#include "dialogs/OkCancelButtons.h"

#include <QDialogButtonBox>

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFormOpenKeyWord::TFormOpenKeyWord(QWidget* owner, const QStringList& keywords) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormOpenKeyWord"));
    setWindowTitle(QStringLiteral("Open Keyword File"));
    auto* layout = new QVBoxLayout(this);
    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->addItems(keywords);
    if (ListBox->count() > 0)
        ListBox->setCurrentRow(0);
    layout->addWidget(ListBox);
    connect(ListBox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    layout->addWidget(AddOkCancelButtons(this));
    setFixedSize(233, 376);
}

QString TFormOpenKeyWord::selectedKeyword() const
{
    const QListWidgetItem* item = ListBox->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}
