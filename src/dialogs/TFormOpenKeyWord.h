#pragma once

#include <QDialog>

class QListWidget;

// Lists the keyword files to open one of them; a double click opens the line clicked.
class TFormOpenKeyWord : public QDialog
{
    Q_OBJECT
public:
    TFormOpenKeyWord(QWidget* owner, const QStringList& keywords);

    // The chosen line, or empty when none is selected.
    QString selectedKeyword() const;
    QListWidget* ListBox = nullptr;
};
