#include "app/TFormMain.h"

#include "app/TRichEditor.h"
#include "store/EntryScan.h"

#include <QAction>
#include <QDateEdit>
#include <QToolButton>

void TFormMain::UpdateEntryNeighbours()
{
    const TEntryNeighbours n = ScanEntryNeighbours(DocsDir, EntryFileName);
    const QDate today = env.today();
    PrevEntryDate = n.hasPrev ? n.prev : today;
    NextEntryDate = n.hasNext ? n.next : today;
    command(QStringLiteral("GotoPrevDate"))->setEnabled(n.hasPrev);
    command(QStringLiteral("GotoNextDate"))->setEnabled(n.hasNext);
    setDatePickerDate(CurrentDate);
    RefreshQuickList();
}

void TFormMain::jumpTo(const QDate& target)
{
    // The jumps never bother the user with a failure: the date control is put back in line
    // with the entry shown, whatever step failed.
    try {
        SaveCurrentDocument();
        OpenDiaryEntry(target);
    } catch (const std::exception&) {
    }
    setDatePickerDate(CurrentDate);
}

void TFormMain::ButtonJumpLeftClick()
{
    jumpTo(PrevEntryDate);
}

void TFormMain::ButtonJumpRightClick()
{
    jumpTo(NextEntryDate);
}

void TFormMain::GoToDate(QDate date)
{
    if (date != CurrentDate) {
        try {
            SaveCurrentDocument();
            OpenDiaryEntry(date);
        } catch (const std::exception&) {
        }
        UpdateEntryNeighbours();
    }
    Editor->setFocus();
}

void TFormMain::DateTimePickerChange()
{
    GoToDate(DateTimePicker->date());
}
