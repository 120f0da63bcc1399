#include "dialogs/TAboutBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>

const char* const TAboutBox::NoticeText = "Please do not distribute this software.\n"
                                          "\n"
                                          "It comes with no warranty of any kind,\n"
                                          "either express or implied.\n"
                                          "You use it entirely at your own risk.";

namespace {

QLabel* centredLabel(QWidget* parent, const char* name, const QString& text, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(424, 239);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(8, 4, 409, 189);

    ProductName = centredLabel(Panel1, "ProductName", QStringLiteral("Title Caption Here"), true);
    ProductName->setGeometry(82, 16, 245, 16);
    Version = centredLabel(Panel1, "Version", QStringLiteral("Version String Here"), true);
    Version->setGeometry(108, 32, 193, 16);
    Copyright =
        centredLabel(Panel1, "Copyright",
                     QStringLiteral("Copyright \u00A9 2026 The Tarvex's Diary developers"), false);
    Copyright->setGeometry(82, 64, 245, 16);

    Memo1 = new QTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 88, 393, 97);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    // Without text interaction the read-only notice never shows a blinking caret.
    Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    Memo1->setPalette(palette);
    Memo1->setPlainText(QString::fromUtf8(NoticeText));
    QTextCursor all(Memo1->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(174, 204, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    centreOnScreen();
}

void TAboutBox::centreOnScreen()
{
    // Centred on the screen rather than on the main window; placing it before it shows keeps
    // Qt from moving it over its owner.
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TAboutBox::showEvent(QShowEvent* event)
{
    fitTexts();
    QDialog::showEvent(event);
}

void TAboutBox::fitTexts()
{
    // The layout's sizes: labels 245, 193 and 245 wide and 16 high at 16, 32 and 64; the notice
    // 393 by 97 at 88; the panel 409 by 189 at 8, 4; the box 424 by 239, its OK button 75 by 25,
    // 11 below the panel.
    struct Line
    {
        QLabel* label;
        int width, top;
    };
    const Line lines[] = {{ProductName, 245, 16}, {Version, 193, 32}, {Copyright, 245, 64}};

    int inner = 393;
    for (const Line& line : lines)
        inner = std::max(inner, line.label->sizeHint().width());
    QTextDocument* notice = Memo1->document();
    const int documentMargins = 2 * int(std::ceil(notice->documentMargin()));
    notice->setTextWidth(-1);
    inner = std::max(inner, int(std::ceil(notice->idealWidth())) + documentMargins + 2);
    const int panelWidth = std::max(409, inner + 16);

    int bottom = 0;
    for (const Line& line : lines) {
        const int width = std::max(line.width, line.label->sizeHint().width());
        const int height = std::max(16, line.label->sizeHint().height());
        // Each line keeps its place unless the one above needs the room.
        const int top = std::max(line.top, bottom + (line.label == Copyright ? 16 : 0));
        line.label->setGeometry((panelWidth - width) / 2, top, width, height);
        bottom = top + height;
    }
    const int noticeTop = std::max(88, bottom + 8);
    notice->setTextWidth(panelWidth - 16);
    const int noticeHeight = std::max(97, int(std::ceil(notice->size().height())) + 2);
    Memo1->setGeometry(8, noticeTop, panelWidth - 16, noticeHeight);
    const int panelHeight = std::max(189, noticeTop + noticeHeight + 4);
    Panel1->setGeometry(8, 4, panelWidth, panelHeight);

    const int boxWidth = panelWidth + 15;
    const int buttonTop = 4 + panelHeight + 11;
    OKButton->setGeometry((boxWidth - 75) / 2, buttonTop, 75, 25);
    if (size() != QSize(boxWidth, buttonTop + 35)) {
        setFixedSize(boxWidth, buttonTop + 35);
        centreOnScreen();
    }
}
