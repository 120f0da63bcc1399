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

    // Grows the labels, the notice, the panel and the box where the texts need more room than
    // the layout gives them (a larger font, a longer name), so that every line shows in full;
    // the layout's sizes are the least. Runs when the box shows, after the caller set the texts.
    void fitTexts();

    QFrame* Panel1 = nullptr;
    QLabel* ProductName = nullptr; // "Title Caption Here" until the caller sets it
    QLabel* Version = nullptr;     // "Version String Here" until the caller sets it
    QLabel* Copyright = nullptr;
    QTextEdit* Memo1 = nullptr;
    QPushButton* OKButton = nullptr;

    static const char* const NoticeText;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void centreOnScreen();
};
