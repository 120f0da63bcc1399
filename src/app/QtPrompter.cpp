#include "app/QtPrompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

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

TPrompter::SaveFailureChoice TQtPrompter::saveFailed(QWidget* owner, const QString& title,
                                                     const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::NoButton, owner);
    QPushButton* retry = box.addButton(QMessageBox::Retry);
    QPushButton* copy = box.addButton(QStringLiteral("Save a Copy As..."), QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == retry)
        return SaveFailureChoice::Retry;
    if (box.clickedButton() == copy)
        return SaveFailureChoice::SaveCopy;
    return SaveFailureChoice::Cancel;
}

std::optional<QString> TQtPrompter::chooseSaveFile(QWidget* owner, const QString& caption,
                                                   const QString& proposedPath,
                                                   const QString& filter)
{
    const QString path = QFileDialog::getSaveFileName(owner, caption, proposedPath, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> TQtPrompter::chooseExportFile(QWidget* owner, const QString& caption,
                                                     const QString& proposedPath,
                                                     const QString& filter)
{
    QFileDialog dialog(owner, caption, proposedPath, filter);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // We ask ourselves, with the words of this program, and can tell about a pictures' folder.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QFileInfo(proposedPath).suffix());
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

namespace {

class TDialogProgress : public TProgress
{
public:
    TDialogProgress(QWidget* owner, const QString& title, const QString& label, int total)
        : dialog(label, QStringLiteral("Cancel"), 0, total, owner)
    {
        dialog.setWindowTitle(title);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setValue(0);
    }

    bool advance(int done) override
    {
        // A modal progress dialog lets events through while it is set, so Cancel is heard.
        dialog.setValue(done);
        return !dialog.wasCanceled();
    }

private:
    QProgressDialog dialog;
};

} // namespace

std::unique_ptr<TProgress> TQtPrompter::progress(QWidget* owner, const QString& title,
                                                 const QString& label, int total)
{
    return std::make_unique<TDialogProgress>(owner, title, label, total);
}
