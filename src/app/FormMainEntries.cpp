#include "app/TFormMain.h"

#include "app/TDatePicker.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "store/JournalError.h"

void TFormMain::OpenDiaryEntry(QDate date)
{
    TabControl->selectSilently(0);
    const TJournal::TOpened opened = Journal->OpenDiaryEntry(date, *Editor->document());
    // A damaged day is still the day shown: the date control and the neighbours follow it
    // before the damage is reported.
    QString damage;
    try {
        showOpened(opened);
    } catch (const TJournalError& e) {
        damage = e.message();
    }
    UpdateEntryNeighbours();
    if (!damage.isEmpty())
        throw TJournalError(damage);
}

void TFormMain::showOpened(TJournal::TOpened opened)
{
    if (opened.damaged && opened.backupTime &&
        prompter->question(
            this, Title,
            TJournal::DamagedQuestion(Journal->pathOf(Journal->current()), *opened.backupTime)))
        opened = Journal->RestoreDamaged(*Editor->document());
    if (opened.source == TLoadSource::Nothing || opened.damaged) {
        Editor->clearContent();
        ApplyEditorFont();
    }
    Editor->documentLoaded(Journal->currentIsReadOnly());
    EditorSelectionChange();
    // A step of the date control's arrows or wheel leaves the user at the control to step on.
    if (!DateTimePicker->isStepping())
        Editor->setFocus();
    if (!opened.notice.isEmpty())
        showInformation(opened.notice);
    if (opened.damaged)
        throw TJournalError(opened.damageMessage);
}

void TFormMain::SaveCurrentDocument()
{
    if (Editor->isReadOnly())
        return;
    const bool modified = Editor->isModified();
    const TJournal::TSaved saved = Journal->SaveCurrentDocument(*Editor->document(), modified);
    if (!modified)
        return;
    if (Journal->current().isEntry()) {
        // An emptied entry has no file now; it stays modified, as the user left it.
        if (saved == TJournal::TSaved::Removed)
            return;
        UpdateEntryNeighbours();
    }
    RefreshQuickList();
    Editor->setModified(false);
}

void TFormMain::FileSaveExecute()
{
    SaveCurrentDocument();
}
