#include "dialogs/TReplaceDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TReplaceDialog::TReplaceDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);

    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    EditFindText = new QLineEdit(this);
    EditFindText->setObjectName(QStringLiteral("EditFindText"));
    EditFindText->setMaxLength(MaxTextLength);
    findLabel->setBuddy(EditFindText);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    EditReplaceText = new QLineEdit(this);
    EditReplaceText->setObjectName(QStringLiteral("EditReplaceText"));
    EditReplaceText->setMaxLength(MaxTextLength);
    replaceLabel->setBuddy(EditReplaceText);
    CheckWholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    CheckWholeWord->setObjectName(QStringLiteral("CheckWholeWord"));
    CheckMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    CheckMatchCase->setObjectName(QStringLiteral("CheckMatchCase"));

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    ButtonFindNext = buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    ButtonFindNext->setObjectName(QStringLiteral("ButtonFindNext"));
    ButtonFindNext->setDefault(true);
    ButtonReplace = buttons->addButton(QStringLiteral("&Replace"), QDialogButtonBox::ActionRole);
    ButtonReplace->setObjectName(QStringLiteral("ButtonReplace"));
    ButtonReplaceAll =
        buttons->addButton(QStringLiteral("Replace &All"), QDialogButtonBox::ActionRole);
    ButtonReplaceAll->setObjectName(QStringLiteral("ButtonReplaceAll"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    for (QPushButton* b : {ButtonFindNext, ButtonReplace, ButtonReplaceAll})
        b->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(EditFindText, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(EditReplaceText, 1, 1);
    grid->addWidget(CheckWholeWord, 2, 0, 1, 2);
    grid->addWidget(CheckMatchCase, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons);

    // No search ever runs with an empty find text.
    connect(EditFindText, &QLineEdit::textChanged, this, [this](const QString& t) {
        for (QPushButton* b : {ButtonFindNext, ButtonReplace, ButtonReplaceAll})
            b->setEnabled(!t.isEmpty());
    });
    connect(ButtonFindNext, &QPushButton::clicked, this, [this] { emit findNext(); });
    connect(ButtonReplace, &QPushButton::clicked, this, [this] {
        all = false;
        emit replace();
    });
    connect(ButtonReplaceAll, &QPushButton::clicked, this, [this] {
        all = true;
        emit replace();
        all = false;
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TReplaceDialog::findText() const
{
    return EditFindText->text();
}

QString TReplaceDialog::replaceText() const
{
    return EditReplaceText->text();
}

bool TReplaceDialog::wholeWord() const
{
    return CheckWholeWord->isChecked();
}

bool TReplaceDialog::matchCase() const
{
    return CheckMatchCase->isChecked();
}
