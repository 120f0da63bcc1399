#include "dialogs/TFormPreferences.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// What the title bar's help button shows for a control; there is no help file to open.
void setHelp(QWidget* widget, const char* text)
{
    widget->setWhatsThis(QString::fromUtf8(text));
}

QLineEdit* marginBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaximumWidth(57);
    return box;
}

} // namespace

TFormPreferences::TFormPreferences(QWidget* owner, FontChooser chooser)
    : QDialog(owner), chooseFont(std::move(chooser))
{
    setObjectName(QStringLiteral("FormPreferences"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(windowFlags() | Qt::WindowContextHelpButtonHint);
    setHelp(this, "Change the insert-date options, the default font, the headers, footers "
                  "and margins of printed pages, and spelling.");

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    TSGeneral = buildGeneralPage();
    TSPrinting = buildPrintingPage();
    TSSpelling = buildSpellingPage();
    PageControl->addTab(TSGeneral, QStringLiteral("General"));
    PageControl->addTab(TSPrinting, QStringLiteral("Printing"));
    PageControl->addTab(TSSpelling, QStringLiteral("Spelling"));
    PageControl->setCurrentWidget(TSPrinting);

    auto* buttons = new QDialogButtonBox(this);
    ButtonOK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl, 1);
    layout->addWidget(buttons);

    // The dialog sees every key before its controls do, so that Escape cancels from a margin
    // box or the page tabs as well.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    setDialogFont(QFont(QStringLiteral("Arial"), 12));
    setFixedSize(sizeHint().expandedTo(QSize(249, 249)));
}

QWidget* TFormPreferences::buildGeneralPage()
{
    auto* page = new QWidget(PageControl);
    page->setObjectName(QStringLiteral("TSGeneral"));

    auto* dateGroup = new QGroupBox(QStringLiteral("Insert Date : "), page);
    CB_ShortDateFormat = new QCheckBox(QStringLiteral("Short Date Format"), dateGroup);
    CB_ShortDateFormat->setObjectName(QStringLiteral("CB_ShortDateFormat"));
    setHelp(CB_ShortDateFormat, "Insert the date as digits instead of with the month's name.");
    CB_IncludeTimeInInsert = new QCheckBox(QStringLiteral("Include Time"), dateGroup);
    CB_IncludeTimeInInsert->setObjectName(QStringLiteral("CB_IncludeTimeInInsert"));
    setHelp(CB_IncludeTimeInInsert, "Insert the time of day after the date.");
    auto* dateLayout = new QVBoxLayout(dateGroup);
    dateLayout->addWidget(CB_ShortDateFormat);
    dateLayout->addWidget(CB_IncludeTimeInInsert);

    auto* fontGroup = new QGroupBox(QStringLiteral("Default Font : "), page);
    L_DefaultFont = new QLabel(fontGroup);
    L_DefaultFont->setObjectName(QStringLiteral("L_DefaultFont"));
    Button1 = new QPushButton(QStringLiteral("..."), fontGroup);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFixedWidth(25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* fontLayout = new QHBoxLayout(fontGroup);
    fontLayout->addWidget(L_DefaultFont, 1);
    fontLayout->addWidget(Button1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(dateGroup);
    layout->addWidget(fontGroup);
    layout->addStretch(1);
    return page;
}

QWidget* TFormPreferences::buildPrintingPage()
{
    auto* page = new QWidget(PageControl);
    page->setObjectName(QStringLiteral("TSPrinting"));

    auto* headerGroup = new QGroupBox(QStringLiteral("Headers and Footers : "), page);
    mPrintTabName = new QCheckBox(QStringLiteral("Print Tab Name in Header"), headerGroup);
    mPrintTabName->setObjectName(QStringLiteral("mPrintTabName"));
    setHelp(mPrintTabName, "Print the tab's name at the top of every page.");
    mPrintPageNumbers = new QCheckBox(QStringLiteral("Print Page Numbers in Footer"), headerGroup);
    mPrintPageNumbers->setObjectName(QStringLiteral("mPrintPageNumbers"));
    setHelp(mPrintPageNumbers, "Print the page number at the bottom of every page.");
    auto* headerLayout = new QVBoxLayout(headerGroup);
    headerLayout->addWidget(mPrintTabName);
    headerLayout->addWidget(mPrintPageNumbers);

    auto* marginGroup = new QGroupBox(QStringLiteral("Margins : "), page);
    mMarginLeft = marginBox(marginGroup, "mMarginLeft");
    mMarginTop = marginBox(marginGroup, "mMarginTop");
    mMarginRight = marginBox(marginGroup, "mMarginRight");
    mMarginBottom = marginBox(marginGroup, "mMarginBottom");
    auto* grid = new QGridLayout(marginGroup);
    auto addBox = [&](const char* caption, QLineEdit* box, int row, int column) {
        auto* label = new QLabel(QString::fromUtf8(caption), marginGroup);
        label->setBuddy(box);
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
    };
    addBox("Left :", mMarginLeft, 0, 0);
    addBox("Top :", mMarginTop, 1, 0);
    addBox("Right :", mMarginRight, 0, 2);
    addBox("Bottom :", mMarginBottom, 1, 2);
    setTabOrder(mMarginLeft, mMarginTop);
    setTabOrder(mMarginTop, mMarginRight);
    setTabOrder(mMarginRight, mMarginBottom);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(headerGroup);
    layout->addWidget(marginGroup);
    layout->addStretch(1);
    return page;
}

QWidget* TFormPreferences::buildSpellingPage()
{
    auto* page = new QWidget(PageControl);
    page->setObjectName(QStringLiteral("TSSpelling"));

    CB_CheckSpelling = new QCheckBox(QStringLiteral("Check spelling as you type"), page);
    CB_CheckSpelling->setObjectName(QStringLiteral("CB_CheckSpelling"));
    setHelp(CB_CheckSpelling, "Underline misspelled words in red as you type. Right-click a "
                              "marked word for suggestions.");

    GB_Dictionaries = new QGroupBox(QStringLiteral("Dictionaries : "), page);
    LB_Dictionaries = new QListWidget(GB_Dictionaries);
    LB_Dictionaries->setObjectName(QStringLiteral("LB_Dictionaries"));
    // The list takes the room the other pages leave; it never widens the dialog itself.
    LB_Dictionaries->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    LB_Dictionaries->setMinimumSize(150, 80);
    setHelp(LB_Dictionaries, "A word counts as right when any of the checked dictionaries "
                             "knows it, so you can write in several languages at once.");
    L_SpellingHint = new QLabel(GB_Dictionaries);
    L_SpellingHint->setObjectName(QStringLiteral("L_SpellingHint"));
    L_SpellingHint->setWordWrap(true);
    L_SpellingHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    L_SpellingHint->setVisible(false);
    auto* listLayout = new QVBoxLayout(GB_Dictionaries);
    listLayout->addWidget(LB_Dictionaries, 1);
    listLayout->addWidget(L_SpellingHint);
    connect(CB_CheckSpelling, &QCheckBox::toggled, LB_Dictionaries, &QWidget::setEnabled);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(CB_CheckSpelling);
    layout->addWidget(GB_Dictionaries, 1);
    return page;
}

void TFormPreferences::setSpelling(bool checkAsYouType,
                                   const QList<TDictionaryChoice>& dictionaries,
                                   const QString& package)
{
    LB_Dictionaries->clear();
    for (const TDictionaryChoice& d : dictionaries) {
        auto* item = new QListWidgetItem(d.name, LB_Dictionaries);
        item->setData(Qt::UserRole, d.code);
        item->setToolTip(d.code);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(d.checked ? Qt::Checked : Qt::Unchecked);
    }
    const bool none = dictionaries.isEmpty();
    // Nothing to check with: spelling stays off until a dictionary is installed.
    CB_CheckSpelling->setChecked(checkAsYouType && !none);
    CB_CheckSpelling->setEnabled(!none);
    LB_Dictionaries->setVisible(!none);
    LB_Dictionaries->setEnabled(CB_CheckSpelling->isChecked());
    L_SpellingHint->setVisible(none);
    L_SpellingHint->setText(
        QStringLiteral("No spelling dictionary is installed. Install the package %1 (for "
                       "another language, hunspell- and its code, such as hunspell-fr) and "
                       "open this window again.")
            .arg(package));
}

bool TFormPreferences::checkSpelling() const
{
    return CB_CheckSpelling->isChecked();
}

QStringList TFormPreferences::checkedDictionaries() const
{
    QStringList codes;
    for (int i = 0; i < LB_Dictionaries->count(); ++i)
        if (LB_Dictionaries->item(i)->checkState() == Qt::Checked)
            codes << LB_Dictionaries->item(i)->data(Qt::UserRole).toString();
    return codes;
}

void TFormPreferences::setDialogFont(const QFont& font)
{
    font_ = font;
    FontLabelText();
}

void TFormPreferences::FontLabelText()
{
    L_DefaultFont->setText(QStringLiteral("%1, %2pt").arg(font_.family()).arg(font_.pointSize()));
}

void TFormPreferences::Button1Click()
{
    if (!chooseFont)
        return;
    if (const std::optional<QFont> chosen = chooseFont(this, font_))
        setDialogFont(*chosen);
}

bool TFormPreferences::FormKeyDown(int key)
{
    if (key != Qt::Key_Escape)
        return false;
    reject();
    return true;
}

std::optional<int> TFormPreferences::marginValue(const QString& text)
{
    // toInt() alone would also take surrounding blanks; a margin box holds the number only.
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        return std::nullopt; // out of the range of int
    return value;
}

void TFormPreferences::showEvent(QShowEvent* event)
{
    FontLabelText();
    QDialog::showEvent(event);
}

bool TFormPreferences::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}
