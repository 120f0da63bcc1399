#include "dialogs/TExportDialog.h"

#include "dialogs/OkCancelButtons.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The user's short date, but always with the whole year: "03/12/26" could be any century.
QString dateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QDateEdit* dateBox(QWidget* parent, const char* name)
{
    auto* box = new QDateEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setCalendarPopup(true);
    box->setDisplayFormat(dateFormat());
    box->setDateRange(QDate(1000, 1, 1), QDate(9999, 12, 31));
    return box;
}

} // namespace

TExportDialog::TExportDialog(QWidget* owner, const QString& documentName, QDate from, QDate to,
                             const CalendarFactory& makeCalendar)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("Export"));

    auto* what = new QGroupBox(QStringLiteral("Export"), this);
    RadioDocument =
        new QRadioButton(QStringLiteral("The &current document: %1").arg(documentName), what);
    RadioDocument->setObjectName(QStringLiteral("RadioDocument"));
    RadioEntries = new QRadioButton(QStringLiteral("&Diary entries of the days"), what);
    RadioEntries->setObjectName(QStringLiteral("RadioEntries"));
    auto* scopes = new QButtonGroup(this);
    scopes->addButton(RadioDocument);
    scopes->addButton(RadioEntries);
    DateFrom = dateBox(what, "DateFrom");
    DateTo = dateBox(what, "DateTo");
    if (makeCalendar) {
        for (QDateEdit* box : {DateFrom, DateTo}) {
            QCalendarWidget* calendar = makeCalendar();
            calendar->setParent(box);
            box->setCalendarWidget(calendar);
        }
    }
    auto* fromLabel = new QLabel(QStringLiteral("&from"), what);
    fromLabel->setBuddy(DateFrom);
    auto* toLabel = new QLabel(QStringLiteral("&to"), what);
    toLabel->setBuddy(DateTo);
    LabelProblem = new QLabel(what);
    LabelProblem->setObjectName(QStringLiteral("LabelProblem"));
    LabelProblem->setStyleSheet(QStringLiteral("color: #b00020"));
    auto* grid = new QGridLayout(what);
    grid->addWidget(RadioDocument, 0, 0, 1, 5);
    grid->addWidget(RadioEntries, 1, 0, 1, 5);
    grid->addWidget(fromLabel, 2, 1);
    grid->addWidget(DateFrom, 2, 2);
    grid->addWidget(toLabel, 2, 3);
    grid->addWidget(DateTo, 2, 4);
    grid->addWidget(LabelProblem, 3, 1, 1, 4);
    grid->setColumnMinimumWidth(0, 16);

    ComboFormat = new QComboBox(this);
    ComboFormat->setObjectName(QStringLiteral("ComboFormat"));
    // In the order of TExportFormat.
    ComboFormat->addItems({QStringLiteral("PDF document"), QStringLiteral("Web page (HTML)"),
                           QStringLiteral("OpenDocument text"), QStringLiteral("Plain text")});
    auto* formatRow = new QFormLayout;
    formatRow->addRow(QStringLiteral("F&ormat:"), ComboFormat);

    QDialogButtonBox* buttons = AddOkCancelButtons(this);
    ButtonOK = buttons->findChild<QPushButton*>(QStringLiteral("ButtonOk"));
    // The file is asked for next.
    ButtonOK->setText(QStringLiteral("&Export..."));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addLayout(formatRow);
    layout->addStretch(1);
    layout->addWidget(buttons);

    connect(RadioDocument, &QRadioButton::toggled, this, [this] { updateControls(); });
    connect(DateFrom, &QDateEdit::dateChanged, this, [this] { updateControls(); });
    connect(DateTo, &QDateEdit::dateChanged, this, [this] { updateControls(); });

    setRange(from, to);
    setScope(Scope::CurrentDocument);
    ComboFormat->setCurrentIndex(0);
}

TExportDialog::Scope TExportDialog::scope() const
{
    return RadioEntries->isChecked() ? Scope::Entries : Scope::CurrentDocument;
}

void TExportDialog::setScope(Scope scope)
{
    (scope == Scope::Entries ? RadioEntries : RadioDocument)->setChecked(true);
    updateControls();
}

TExportFormat TExportDialog::format() const
{
    return TExportFormat(qMax(0, ComboFormat->currentIndex()));
}

void TExportDialog::setFormat(TExportFormat format)
{
    ComboFormat->setCurrentIndex(int(format));
}

QDate TExportDialog::from() const
{
    return DateFrom->date();
}

QDate TExportDialog::to() const
{
    return DateTo->date();
}

void TExportDialog::setRange(QDate from, QDate to)
{
    DateFrom->setDate(from);
    DateTo->setDate(to);
    updateControls();
}

void TExportDialog::updateControls()
{
    const bool entries = RadioEntries->isChecked();
    DateFrom->setEnabled(entries);
    DateTo->setEnabled(entries);
    const bool backwards = entries && DateFrom->date() > DateTo->date();
    LabelProblem->setText(backwards ? QStringLiteral("The first day comes after the last.")
                                    : QString());
    LabelProblem->setVisible(backwards);
    ButtonOK->setEnabled(!backwards);
}
