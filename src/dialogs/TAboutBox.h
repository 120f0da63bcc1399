#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

// "About": the product name and the version the caller read from the program file, the
// copyright line and the distribution notice.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner);

    QFrame* Panel1 = nullptr;
    QLabel* ProductName = nullptr; // "Title Caption Here" until the caller sets it
    QLabel* Version = nullptr;     // "Version String Here" until the caller sets it
    QLabel* Copyright = nullptr;
    QTextEdit* Memo1 = nullptr;
    QPushButton* OKButton = nullptr;

    static const char* const NoticeText;
};
