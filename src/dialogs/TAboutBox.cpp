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

    // Centred on the screen rather than on the main window; placing it here keeps Qt from
    // moving it over its owner when it shows.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
