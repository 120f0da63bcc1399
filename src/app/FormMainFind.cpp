#include "app/TFormMain.h"

#include "app/TRichEditor.h"
#include "app/TextSearch.h"
#include "app/WordAtCaret.h"
#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"

namespace {

const char* const EndOfDocument = "End of document reached.";

} // namespace

void TFormMain::SelectWordAtCaret()
{
    if (Editor->selectionLength() > 0)
        return;
    const TTextRange word =
        WordAtCaret(Editor->toPlainText(), Editor->selectionStart(), 0, FindAtCursor);
    Editor->setSelection(word.start, word.length);
}

bool TFormMain::FindNextMatch(QDialog* dialog)
{
    QString what;
    TSearchOptions options;
    bool up = false;
    if (dialog == ReplaceDialog) {
        what = ReplaceDialog->findText();
        options = {ReplaceDialog->wholeWord(), ReplaceDialog->matchCase()};
    } else {
        what = FindDialog->findText();
        options = {FindDialog->wholeWord(), FindDialog->matchCase()};
        up = FindDialog->searchUp();
    }
    if (what.isEmpty())
        return false;
    const QString text = Editor->toPlainText();
    const int start = Editor->selectionStart();
    // Down goes on after the selection; Up looks for the last match that ends before it.
    const qsizetype at = up ? FindBackward(text, what, start, options)
                            : FindForward(text, what, start + Editor->selectionLength(), options);
    if (at < 0) {
        showNotice(QString::fromLatin1(EndOfDocument));
        return false;
    }
    Editor->setFocus();
    Editor->setSelection(int(at), int(what.size()));
    Editor->ensureCursorVisible();
    return true;
}

void TFormMain::FindDialogFind()
{
    EndJournalMatches();
    FindStart = -1;
    FindNextMatch(FindDialog);
    FindDialog->close();
}

void TFormMain::FindDialogClose()
{
    if (FindStart != -1)
        Editor->setSelection(FindStart, 0);
}

void TFormMain::ReplaceDialogFind()
{
    FindNextMatch(ReplaceDialog);
    ReplaceDialog->close();
}

void TFormMain::ReplaceDialogReplace()
{
    ReplaceAndFindNext();
    ReplaceDialog->close();
}

void TFormMain::ReplaceAndFindNext()
{
    // A read-only editor holds a file that could not be read: search, but change nothing.
    if (Editor->isReadOnly()) {
        FindNextMatch(ReplaceDialog);
        return;
    }
    const QString replacement = ReplaceDialog->replaceText();
    // The selection is replaced whatever it holds; it need not be a match.
    if (Editor->selectionLength() > 0)
        Editor->replaceSelectionKeepingNoUndo(replacement);
    if (!ReplaceDialog->replaceAll()) {
        FindNextMatch(ReplaceDialog);
        return;
    }
    // Replace All does in one pass what replacing and searching on, match by match, would do:
    // the same matches, but without searching the document from each match anew.
    const QString what = ReplaceDialog->findText();
    if (what.isEmpty())
        return;
    const std::vector<qsizetype> matches =
        PlanReplaceAll(Editor->toPlainText(), Editor->selectionStart(), what, replacement,
                       {ReplaceDialog->wholeWord(), ReplaceDialog->matchCase()});
    if (!matches.empty()) {
        Editor->setFocus();
        Editor->replaceRangesKeepingNoUndo(matches, int(what.size()), replacement);
        Editor->ensureCursorVisible();
    }
    showNotice(QString::fromLatin1(EndOfDocument));
}
