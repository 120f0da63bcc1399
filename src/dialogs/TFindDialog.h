#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless Find dialog. It keeps the find text apart from its text field: the program may
// give it a new find text while it is open (the field then keeps what it shows), and a press of
// Find Next takes the field's text as the find text.
class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxTextLength = 255;

    explicit TFindDialog(QWidget* owner);

    QString findText() const { return text; }
    // Cut to MaxTextLength; shown in the field unless the dialog is open.
    void setFindText(const QString& findText);
    bool wholeWord() const;
    bool matchCase() const;
    bool searchUp() const;

    QLineEdit* EditFindText = nullptr;
    QCheckBox* CheckWholeWord = nullptr;
    QCheckBox* CheckMatchCase = nullptr;
    QRadioButton* RadioUp = nullptr;
    QRadioButton* RadioDown = nullptr;
    QPushButton* ButtonFindNext = nullptr;

signals:
    void findNext();

private:
    QString text;
};
