#include "dialogs/TFontDialog.h"

#include "dialogs/OkCancelButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The colours of the classic sixteen-colour palette, which every word processor can show.
struct TNamedColor
{
    const char* name;
    QRgb rgb;
};
constexpr TNamedColor NamedColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Grey", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
};

const char* const StyleNames[] = {"Regular", "Italic", "Bold", "Bold Italic"};
constexpr int SizeChoices[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Selects the list's first item that the text starts (ignoring case), without telling anyone.
void selectQuietly(QListWidget* list, const QString& text)
{
    const QSignalBlocker quiet(list);
    if (text.isEmpty()) {
        list->setCurrentRow(-1);
        return;
    }
    const QList<QListWidgetItem*> exact = list->findItems(text, Qt::MatchFixedString);
    const QList<QListWidgetItem*> start =
        exact.isEmpty() ? list->findItems(text, Qt::MatchStartsWith) : exact;
    if (start.isEmpty()) {
        list->setCurrentRow(-1);
        return;
    }
    list->setCurrentItem(start.first());
    list->scrollToItem(start.first(), QAbstractItemView::PositionAtTop);
}

} // namespace

TFontDialog::TFontDialog(QWidget* owner, const TCharacterFormat& initialFormat)
    : QDialog(owner), initial(initialFormat)
{
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("Font"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    auto* nameLabel = new QLabel(QStringLiteral("&Font:"), this);
    FontName = new QLineEdit(initial.Name, this);
    FontName->setObjectName(QStringLiteral("FontName"));
    nameLabel->setBuddy(FontName);
    FontNames = new QListWidget(this);
    FontNames->setObjectName(QStringLiteral("FontNames"));
    // A family several foundries make comes as "Name [foundry]"; a file names the family only.
    QStringList families;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        const qsizetype foundry = family.indexOf(QLatin1String(" ["));
        const QString name = foundry > 0 && family.endsWith(QLatin1Char(']'))
                                 ? family.left(foundry).trimmed()
                                 : family;
        if (families.isEmpty() || families.last() != name)
            families << name;
    }
    families.removeDuplicates();
    FontNames->addItems(families);
    FontNames->setMinimumWidth(200);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(FontName, 1, 0);
    grid->addWidget(FontNames, 2, 0);

    auto* styleLabel = new QLabel(QStringLiteral("Font st&yle:"), this);
    FontStyles = new QListWidget(this);
    FontStyles->setObjectName(QStringLiteral("FontStyles"));
    for (const char* style : StyleNames)
        FontStyles->addItem(QString::fromLatin1(style));
    FontStyles->setCurrentRow((initial.Bold ? 2 : 0) + (initial.Italic ? 1 : 0));
    FontStyles->setMaximumWidth(130);
    styleLabel->setBuddy(FontStyles);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(FontStyles, 1, 1, 2, 1);

    auto* sizeLabel = new QLabel(QStringLiteral("&Size:"), this);
    FontSize = new QLineEdit(QString::number(initial.Size), this);
    FontSize->setObjectName(QStringLiteral("FontSize"));
    FontSize->setValidator(new QIntValidator(MinSize, MaxSize, FontSize));
    FontSize->setMaximumWidth(70);
    sizeLabel->setBuddy(FontSize);
    FontSizes = new QListWidget(this);
    FontSizes->setObjectName(QStringLiteral("FontSizes"));
    for (int size : SizeChoices)
        FontSizes->addItem(QString::number(size));
    FontSizes->setMaximumWidth(70);
    grid->addWidget(sizeLabel, 0, 2);
    grid->addWidget(FontSize, 1, 2);
    grid->addWidget(FontSizes, 2, 2);

    Remark = new QLabel(this);
    Remark->setObjectName(QStringLiteral("Remark"));
    Remark->setWordWrap(true);
    layout->addWidget(Remark);

    auto* lower = new QHBoxLayout;
    layout->addLayout(lower);
    auto* effects = new QGroupBox(QStringLiteral("Effects"), this);
    auto* effectsLayout = new QGridLayout(effects);
    StrikeOut = new QCheckBox(QStringLiteral("Stri&keout"), effects);
    StrikeOut->setObjectName(QStringLiteral("StrikeOut"));
    StrikeOut->setChecked(initial.StrikeOut);
    Underline = new QCheckBox(QStringLiteral("&Underline"), effects);
    Underline->setObjectName(QStringLiteral("Underline"));
    Underline->setChecked(initial.Underline);
    auto* colorLabel = new QLabel(QStringLiteral("&Colour:"), effects);
    FontColor = new QComboBox(effects);
    FontColor->setObjectName(QStringLiteral("FontColor"));
    FontColor->addItem(QStringLiteral("Automatic"), QColor());
    for (const TNamedColor& named : NamedColors)
        FontColor->addItem(swatch(QColor(named.rgb)), QString::fromLatin1(named.name),
                           QColor(named.rgb));
    colorLabel->setBuddy(FontColor);
    effectsLayout->addWidget(StrikeOut, 0, 0, 1, 2);
    effectsLayout->addWidget(Underline, 1, 0, 1, 2);
    effectsLayout->addWidget(colorLabel, 2, 0);
    effectsLayout->addWidget(FontColor, 2, 1);
    lower->addWidget(effects);

    auto* sampleBox = new QGroupBox(QStringLiteral("Sample"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    Sample = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
    Sample->setObjectName(QStringLiteral("Sample"));
    Sample->setAlignment(Qt::AlignCenter);
    // A fixed box: a large size is cut off rather than pushing the dialog off the screen.
    Sample->setFixedSize(240, 80);
    sampleLayout->addWidget(Sample);
    lower->addWidget(sampleBox, 1);

    QDialogButtonBox* buttons = AddOkCancelButtons(this);
    ok = buttons->findChild<QPushButton*>(QStringLiteral("ButtonOk"));
    layout->addWidget(buttons);

    setColor(initial.Color);
    selectQuietly(FontNames, initial.Name);
    selectQuietly(FontSizes, FontSize->text());

    connect(FontName, &QLineEdit::textEdited, this, &TFontDialog::nameEdited);
    connect(FontNames, &QListWidget::currentTextChanged, this, [this](const QString& family) {
        if (family.isEmpty())
            return;
        FontName->setText(family);
        updateSample();
    });
    connect(FontStyles, &QListWidget::currentRowChanged, this, &TFontDialog::updateSample);
    connect(FontSize, &QLineEdit::textChanged, this, &TFontDialog::sizeEdited);
    connect(FontSizes, &QListWidget::currentTextChanged, this, [this](const QString& size) {
        if (!size.isEmpty() && size != FontSize->text())
            FontSize->setText(size);
    });
    connect(StrikeOut, &QCheckBox::toggled, this, &TFontDialog::updateSample);
    connect(Underline, &QCheckBox::toggled, this, &TFontDialog::updateSample);
    connect(FontColor, &QComboBox::currentIndexChanged, this, &TFontDialog::updateSample);

    updateSample();
    FontName->setFocus();
    FontName->selectAll();
}

void TFontDialog::setColor(const QColor& color)
{
    if (!color.isValid()) {
        FontColor->setCurrentIndex(0);
        return;
    }
    const QRgb rgb = color.rgb();
    for (int i = 1; i < FontColor->count(); ++i) {
        if (FontColor->itemData(i).value<QColor>().rgb() == rgb) {
            FontColor->setCurrentIndex(i);
            return;
        }
    }
    // Any other colour (from a file, or given here) keeps its own entry, so confirming the
    // dialog unchanged keeps it.
    const QColor opaque = QColor::fromRgb(rgb);
    FontColor->addItem(swatch(opaque),
                       QStringLiteral("Custom (%1)").arg(opaque.name(QColor::HexRgb).toUpper()),
                       opaque);
    FontColor->setCurrentIndex(FontColor->count() - 1);
}

bool TFontDialog::installed(const QString& name) const
{
    return !FontNames->findItems(name, Qt::MatchFixedString).isEmpty();
}

bool TFontDialog::sizeAcceptable() const
{
    bool number = false;
    const int size = FontSize->text().toInt(&number);
    return number && size >= MinSize && size <= MaxSize;
}

void TFontDialog::nameEdited(const QString& text)
{
    selectQuietly(FontNames, text.trimmed());
    updateSample();
}

void TFontDialog::sizeEdited(const QString& text)
{
    selectQuietly(FontSizes, text);
    updateSample();
}

void TFontDialog::updateSample()
{
    const QString name = FontName->text().trimmed();
    QStringList remarks;
    if (name.isEmpty())
        remarks << QStringLiteral("Type or choose the name of a font.");
    else if (!installed(name))
        remarks << QStringLiteral("The font \"%1\" is not installed on this computer; the text "
                                  "keeps its name and shows in a similar font.")
                       .arg(name);
    if (!sizeAcceptable())
        remarks << QStringLiteral("The size is a whole number of points from %1 to %2.")
                       .arg(MinSize)
                       .arg(MaxSize);
    Remark->setText(remarks.join(QLatin1Char(' ')));
    if (ok)
        ok->setEnabled(!name.isEmpty() && sizeAcceptable());

    const TCharacterFormat format = chosen();
    QFont font(format.Name.isEmpty() ? Sample->font().family() : format.Name);
    if (sizeAcceptable())
        font.setPointSize(format.Size);
    font.setBold(format.Bold);
    font.setItalic(format.Italic);
    font.setUnderline(format.Underline);
    font.setStrikeOut(format.StrikeOut);
    Sample->setFont(font);
    QPalette palette = Sample->palette();
    palette.setColor(QPalette::WindowText,
                     format.Color.isValid() ? format.Color : this->palette().color(QPalette::Text));
    Sample->setPalette(palette);
}

TCharacterFormat TFontDialog::chosen() const
{
    TCharacterFormat format;
    format.Name = FontName->text().trimmed();
    // An installed font is written as the system spells it.
    if (const QList<QListWidgetItem*> match =
            FontNames->findItems(format.Name, Qt::MatchFixedString);
        !match.isEmpty())
        format.Name = match.first()->text();
    format.Size = sizeAcceptable() ? FontSize->text().toInt() : initial.Size;
    format.Color = FontColor->currentData().value<QColor>();
    const int style = std::max(FontStyles->currentRow(), 0);
    format.Bold = style >= 2;
    format.Italic = style % 2 == 1;
    format.Underline = Underline->isChecked();
    format.StrikeOut = StrikeOut->isChecked();
    if (format.Name.compare(initial.Name, Qt::CaseInsensitive) == 0)
        format.FixedPitch = initial.FixedPitch;
    else
        format.FixedPitch = installed(format.Name) && QFontDatabase::isFixedPitch(format.Name);
    return format;
}

void TFontDialog::accept()
{
    if (FontName->text().trimmed().isEmpty()) {
        FontName->setFocus();
        return;
    }
    if (!sizeAcceptable()) {
        FontSize->setFocus();
        FontSize->selectAll();
        return;
    }
    QDialog::accept();
}
