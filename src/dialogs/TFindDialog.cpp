#include "dialogs/TFindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    EditFindText = new QLineEdit(this);
    EditFindText->setObjectName(QStringLiteral("EditFindText"));
    EditFindText->setMaxLength(MaxTextLength);
    label->setBuddy(EditFindText);
    CheckWholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    CheckWholeWord->setObjectName(QStringLiteral("CheckWholeWord"));
    CheckMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    CheckMatchCase->setObjectName(QStringLiteral("CheckMatchCase"));
    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    RadioUp = new QRadioButton(QStringLiteral("&Up"), direction);
    RadioUp->setObjectName(QStringLiteral("RadioUp"));
    RadioDown = new QRadioButton(QStringLiteral("&Down"), direction);
    RadioDown->setObjectName(QStringLiteral("RadioDown"));
    RadioDown->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(RadioUp);
    directionLayout->addWidget(RadioDown);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    ButtonFindNext = buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    ButtonFindNext->setObjectName(QStringLiteral("ButtonFindNext"));
    ButtonFindNext->setDefault(true);
    ButtonFindNext->setEnabled(false);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto* grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(EditFindText, 0, 1, 1, 2);
    auto* options = new QVBoxLayout;
    options->addWidget(CheckWholeWord);
    options->addWidget(CheckMatchCase);
    options->addStretch();
    grid->addLayout(options, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons);

    // No search ever runs with an empty find text.
    connect(EditFindText, &QLineEdit::textChanged, this,
            [this](const QString& t) { ButtonFindNext->setEnabled(!t.isEmpty()); });
    connect(ButtonFindNext, &QPushButton::clicked, this, [this] {
        text = EditFindText->text();
        emit findNext();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TFindDialog::setFindText(const QString& findText)
{
    text = findText.left(MaxTextLength);
    if (!isVisible())
        EditFindText->setText(text);
}

bool TFindDialog::wholeWord() const
{
    return CheckWholeWord->isChecked();
}

bool TFindDialog::matchCase() const
{
    return CheckMatchCase->isChecked();
}

bool TFindDialog::searchUp() const
{
    return RadioUp->isChecked();
}
