#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The modeless Replace dialog: find text, replacement, whole word and match case; it always
// searches down. Replace and Replace All both send replace(); replaceAll() tells which it was.
class TReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxTextLength = 255;

    explicit TReplaceDialog(QWidget* owner);

    QString findText() const;
    QString replaceText() const;
    bool wholeWord() const;
    bool matchCase() const;
    // Set for the press of Replace All that sent the current replace().
    bool replaceAll() const { return all; }

    QLineEdit* EditFindText = nullptr;
    QLineEdit* EditReplaceText = nullptr;
    QCheckBox* CheckWholeWord = nullptr;
    QCheckBox* CheckMatchCase = nullptr;
    QPushButton* ButtonFindNext = nullptr;
    QPushButton* ButtonReplace = nullptr;
    QPushButton* ButtonReplaceAll = nullptr;

signals:
    void findNext();
    void replace();

private:
    bool all = false;
};
