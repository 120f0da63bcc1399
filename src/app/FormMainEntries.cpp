#include "app/TFormMain.h"

#include "app/TDatePicker.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "app/TTabRow.h"
#include "store/JournalError.h"
#include "store/Paths.h"

#include <QTextDocument>

void TFormMain::OpenDiaryEntry(QDate date)
{
    TabControl->selectSilently(0);
    TReadDocument read =
        readDocument([&](QTextDocument& doc) { return Journal->OpenDiaryEntry(date, doc); });
    // A damaged day is still the day shown: the date control and the neighbours follow it
    // before the damage is reported.
    QString damage;
    try {
        showOpened(std::move(read));
    } catch (const TJournalError& e) {
        damage = e.message();
    }
    UpdateEntryNeighbours();
    if (!damage.isEmpty())
        throw TJournalError(damage);
}

TFormMain::TReadDocument
TFormMain::readDocument(const std::function<TJournal::TOpened(QTextDocument&)>& read)
{
    TReadDocument result;
    result.document = Editor->newDocument();
    try {
        result.opened = read(*result.document);
    } catch (...) {
        const bool unread =
            result.document->isEmpty() && FileExists(Journal->pathOf(Journal->current()));
        Editor->showDocument(std::move(result.document), unread);
        throw;
    }
    if (result.opened.document) {
        // Read ahead while the window was being built.
        result.document = std::move(result.opened.document);
        Editor->takeDefaults(*result.document);
    }
    return result;
}

void TFormMain::showOpened(TReadDocument read, bool quietly)
{
    TJournal::TOpened& opened = read.opened;
    if (opened.damaged && opened.backupTime && !quietly &&
        prompter->question(
            this, Title,
            TJournal::DamagedQuestion(Journal->pathOf(Journal->current()), *opened.backupTime)))
        read = readDocument([&](QTextDocument& doc) { return Journal->RestoreDamaged(doc); });
    Editor->showDocument(std::move(read.document), Journal->currentIsReadOnly());
    if (opened.source == TLoadSource::Nothing || opened.damaged) {
        Editor->clearContent();
        ApplyEditorFont();
        Editor->setReadOnly(Journal->currentIsReadOnly());
    }
    EditorSelectionChange();
    // A step of the date control's arrows or wheel leaves the user at the control to step on.
    if (!DateTimePicker->isStepping())
        Editor->setFocus();
    if (quietly)
        return;
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
