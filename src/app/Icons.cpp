#include "app/Icons.h"

#include "app/BuildConfig.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// A glyph on a transparent square, for the formatting buttons that no style offers.
QIcon letterIcon(const QString& text, const QFont& font, bool underline = false,
                 bool strike = false)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont f = font;
    f.setPixelSize(24);
    f.setUnderline(underline);
    f.setStrikeOut(strike);
    painter.setFont(f);
    painter.setPen(QApplication::palette().color(QPalette::WindowText));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QIcon linesIcon(Qt::Alignment alignment, bool bullets = false)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor colour = QApplication::palette().color(QPalette::WindowText);
    const int widths[] = {24, 16, 22, 14};
    for (int i = 0; i < 4; ++i) {
        const int y = 6 + i * 6;
        int w = widths[i];
        int x = 4;
        if (bullets) {
            painter.fillRect(4, y, 3, 3, colour);
            x = 10;
            w = 18;
        } else if (alignment == Qt::AlignHCenter) {
            x = (32 - w) / 2;
        } else if (alignment == Qt::AlignRight) {
            x = 28 - w;
        }
        painter.fillRect(x, y, w, 2, colour);
    }
    return QIcon(pixmap);
}

// A magnifying glass, for searching the journal.
QIcon searchIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = QApplication::palette().color(QPalette::WindowText);
    painter.setPen(QPen(colour, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(5, 5, 15, 15));
    painter.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 19), QPointF(27, 27));
    return QIcon(pixmap);
}

QIcon drawnIcon(const QString& command)
{
    QStyle* style = QApplication::style();
    QFont bold = QApplication::font();
    bold.setBold(true);
    QFont italic = QApplication::font();
    italic.setItalic(true);
    if (command == QLatin1String("FileNewKeywordFile"))
        return style->standardIcon(QStyle::SP_FileIcon);
    if (command == QLatin1String("FileOpen"))
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    if (command == QLatin1String("FileSave"))
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    if (command.startsWith(QLatin1String("FilePrint")))
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (command == QLatin1String("GotoPrevDate"))
        return style->standardIcon(QStyle::SP_ArrowLeft);
    if (command == QLatin1String("GotoNextDate"))
        return style->standardIcon(QStyle::SP_ArrowRight);
    if (command == QLatin1String("Exit1"))
        return style->standardIcon(QStyle::SP_DialogCloseButton);
    if (command == QLatin1String("ToolsPreferences"))
        return style->standardIcon(QStyle::SP_FileDialogInfoView);
    if (command == QLatin1String("miAbout"))
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    if (command == QLatin1String("EditCut"))
        return letterIcon(QStringLiteral("✂"), QApplication::font());
    if (command == QLatin1String("EditCopy"))
        return style->standardIcon(QStyle::SP_FileDialogContentsView);
    if (command == QLatin1String("EditPaste"))
        return style->standardIcon(QStyle::SP_DialogApplyButton);
    if (command == QLatin1String("EditUndo"))
        return style->standardIcon(QStyle::SP_ArrowBack);
    if (command == QLatin1String("FormatBold"))
        return letterIcon(QStringLiteral("B"), bold);
    if (command == QLatin1String("FormatItalic"))
        return letterIcon(QStringLiteral("I"), italic);
    if (command == QLatin1String("FormatUnderline"))
        return letterIcon(QStringLiteral("U"), QApplication::font(), true);
    if (command == QLatin1String("FormatStrikeOut"))
        return letterIcon(QStringLiteral("S"), QApplication::font(), false, true);
    if (command == QLatin1String("FormatLeftAlign"))
        return linesIcon(Qt::AlignLeft);
    if (command == QLatin1String("FormatCentreAlign"))
        return linesIcon(Qt::AlignHCenter);
    if (command == QLatin1String("FormatRightAlign"))
        return linesIcon(Qt::AlignRight);
    if (command == QLatin1String("FormatBullets"))
        return linesIcon(Qt::AlignLeft, true);
    if (command == QLatin1String("EditSearchJournal"))
        return searchIcon();
    return {};
}

} // namespace

QIcon CommandIcon(const QString& commandName, const QString& themeName)
{
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return drawnIcon(commandName);
}

QIcon ApplicationIcon()
{
    // An installed program has its icon in the desktop's theme, the same one its launcher shows;
    // a portable copy draws the same book.
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x8b, 0x5a, 0x2b));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(8, 4, 48, 56, 6, 6);
    painter.setBrush(QColor(0xf5, 0xf0, 0xe1));
    painter.drawRect(16, 10, 34, 44);
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 2));
    for (int y = 20; y < 50; y += 8)
        painter.drawLine(20, y, 46, y);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc0, 0x39, 0x2b));
    painter.drawPolygon(QPolygon({{42, 4}, {47, 4}, {47, 19}, {44, 16}, {42, 19}}));
    return QIcon::fromTheme(QStringLiteral(JORNIX_APP_ID), QIcon(pixmap));
}
