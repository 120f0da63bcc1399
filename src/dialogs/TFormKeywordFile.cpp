#include "dialogs/TFormKeywordFile.h"

#include "dialogs/OkCancelButtons.h"

#include <QDialogButtonBox>

#include "store/EntryNames.h"

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

    layout->addWidget(AddOkCancelButtons(this));
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
