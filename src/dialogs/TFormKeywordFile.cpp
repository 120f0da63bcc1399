#include "dialogs/TFormKeywordFile.h"

#include "store/EntryNames.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormKeywordFile::TFormKeywordFile(QWidget* owner, const QString& proposedName,
                                   MessageSink sink)
    : QDialog(owner), showMessage(std::move(sink))
{
    setObjectName(QStringLiteral("FormKeywordFile"));
    setWindowTitle(QStringLiteral("Keyword File"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Keyword: "), this));
    Keyword = new QLineEdit(proposedName, this);
    Keyword->setObjectName(QStringLiteral("Keyword"));
    Keyword->setMinimumWidth(179);
    Keyword->selectAll();
    row->addWidget(Keyword, 1);
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormKeywordFile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormKeywordFile::reject);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(259, 86)));
}

QString TFormKeywordFile::keyword() const
{
    return Keyword->text();
}

void TFormKeywordFile::accept()
{
    if (ValidateKeywordName())
        QDialog::accept();
}

bool TFormKeywordFile::ValidateKeywordName()
{
    QString problem = KeywordNameProblem(Keyword->text()).value_or(QString());
    if (problem.isEmpty() && nameCheck)
        problem = nameCheck(Keyword->text());
    if (problem.isEmpty())
        return true;
    if (showMessage)
        showMessage(problem);
    return false;
}
