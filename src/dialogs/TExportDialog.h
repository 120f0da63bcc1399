#pragma once

#include "export/Exporter.h"

#include <QDate>
#include <QDialog>

#include <functional>

class QButtonGroup;
class QCalendarWidget;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;

// File > Export...: what to export (the document shown, or the diary entries of a range of
// days) and in which format. The main window asks for the file afterwards.
class TExportDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Scope { CurrentDocument, Entries };
    // Makes the calendar the date boxes drop down (the one that marks the days with entries).
    using CalendarFactory = std::function<QCalendarWidget*()>;

    // documentName says which document "the current document" is ("Diary - 7 December 2026").
    TExportDialog(QWidget* owner, const QString& documentName, QDate from, QDate to,
                  const CalendarFactory& makeCalendar = {});

    Scope scope() const;
    void setScope(Scope scope);
    TExportFormat format() const;
    void setFormat(TExportFormat format);
    QDate from() const;
    QDate to() const;
    void setRange(QDate from, QDate to);

    QRadioButton* RadioDocument = nullptr;
    QRadioButton* RadioEntries = nullptr;
    QDateEdit* DateFrom = nullptr;
    QDateEdit* DateTo = nullptr;
    QComboBox* ComboFormat = nullptr;
    QLabel* LabelProblem = nullptr;
    QPushButton* ButtonOK = nullptr;

private:
    // The range is only asked for when entries are exported, and OK only offered when it holds
    // at least one day.
    void updateControls();
};
