#include "dialogs/TFormOpenKeyWord.h"

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

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(233, 376);
}

QString TFormOpenKeyWord::selectedKeyword() const
{
    const QListWidgetItem* item = ListBox->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}
