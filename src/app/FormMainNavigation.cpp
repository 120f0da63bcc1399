#include "app/TFormMain.h"

#include "app/TDatePicker.h"
#include "app/TRichEditor.h"

#include <QAction>
#include <QToolButton>

void TFormMain::UpdateEntryNeighbours()
{
    Journal->UpdateEntryNeighbours(env.today());
    command(QStringLiteral("GotoPrevDate"))->setEnabled(Journal->HasPrevEntry);
    command(QStringLiteral("GotoNextDate"))->setEnabled(Journal->HasNextEntry);
    setDatePickerDate(Journal->CurrentDate);
    RefreshQuickList();
}

void TFormMain::jumpTo(const QDate& target)
{
    // Each failure is told once, with the file and the reason; the text stays where it was.
    try {
        SaveCurrentDocument();
    } catch (const std::exception& e) {
        setDatePickerDate(Journal->CurrentDate);
        showError(QString::fromUtf8(e.what()));
        return;
    }
    try {
        OpenDiaryEntry(target);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    setDatePickerDate(Journal->CurrentDate);
}

void TFormMain::ButtonJumpLeftClick()
{
    jumpTo(Journal->PrevEntryDate);
}

void TFormMain::ButtonJumpRightClick()
{
    jumpTo(Journal->NextEntryDate);
}

void TFormMain::GoToDate(QDate date)
{
    if (date != Journal->CurrentDate) {
        bool saved = true;
        try {
            SaveCurrentDocument();
        } catch (const std::exception& e) {
            saved = false;
            showError(QString::fromUtf8(e.what()));
        }
        if (saved) {
            try {
                OpenDiaryEntry(date);
            } catch (const std::exception& e) {
                showError(QString::fromUtf8(e.what()));
            }
        }
        UpdateEntryNeighbours();
    }
    // A step of the date control's arrows leaves the user at the control to step on.
    if (!DateTimePicker->isStepping())
        Editor->setFocus();
}

void TFormMain::DateTimePickerChange()
{
    GoToDate(DateTimePicker->date());
}
