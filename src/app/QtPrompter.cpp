#include "app/QtPrompter.h"

#include <QDialog>
#include <QFontDialog>
#include <QMessageBox>

void TQtPrompter::information(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
    box.exec();
}

void TQtPrompter::notice(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box.exec();
}

void TQtPrompter::error(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
    box.exec();
}

bool TQtPrompter::question(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int TQtPrompter::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

std::optional<QFont> TQtPrompter::chooseFont(QWidget* owner, const QFont& initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, owner);
    if (!ok)
        return std::nullopt;
    return font;
}
