#include "app/TFormMain.h"

#include "app/EditorSpelling.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "diag/VersionInfo.h"
#include "dialogs/TAboutBox.h"
#include "dialogs/TFormPreferences.h"
#include "store/JournalError.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

// The margin in a box, or the failure the error box shows; the margins read before it keep
// their new values, so the caller must convert them one at a time.
int marginOf(const QLineEdit* box)
{
    if (const std::optional<int> value = TFormPreferences::marginValue(box->text()))
        return *value;
    throw TJournalError(QStringLiteral("'%1' is not a valid integer value").arg(box->text()));
}

} // namespace

void TFormMain::buildToolsCommands()
{
    makeCommand("ToolsPreferences", &TFormMain::ToolsPreferencesExecute);
    makeCommand("miAbout", &TFormMain::miAboutClick);
}

void TFormMain::ToolsPreferencesExecute()
{
    TFormPreferences dialog(this, [this](QWidget* owner, const QFont& initial) {
        return prompter->chooseFont(owner, initial);
    });
    dialog.CB_ShortDateFormat->setChecked(ShortDateFormat);
    dialog.CB_IncludeTimeInInsert->setChecked(IncludeTimeInInsert);
    const QFont editorFont = Editor->defaultFont();
    dialog.setDialogFont(QFont(editorFont.family(), editorFont.pointSize()));
    dialog.mMarginLeft->setText(QString::number(LeftMargin));
    dialog.mMarginRight->setText(QString::number(RightMargin));
    dialog.mMarginTop->setText(QString::number(TopMargin));
    dialog.mMarginBottom->setText(QString::number(BottomMargin));
    dialog.mPrintTabName->setChecked(PrintTabNameInHeader);
    dialog.mPrintPageNumbers->setChecked(PrintPageNumberInFooter);
    QList<TDictionaryChoice> dictionaries;
    for (const TDictionaryInfo& d : Spelling->installedDictionaries())
        dictionaries.append({d.code, DictionaryDisplayName(d.code),
                             Spelling->chosenDictionaries().contains(d.code)});
    dialog.setSpelling(Spelling->checkAsYouType(), dictionaries, Spelling->packageHint());

    if (prompter->execDialog(dialog) != QDialog::Accepted)
        return;

    ShortDateFormat = dialog.CB_ShortDateFormat->isChecked();
    IncludeTimeInInsert = dialog.CB_IncludeTimeInInsert->isChecked();
    // Only the name and size travel; bold or a colour chosen in the dialog stay there.
    Editor->setDefaultFont(dialog.dialogFont().family(), dialog.dialogFont().pointSize());
    // A box that holds no integer stops here: what was read before it is already taken, it
    // and the rest keep their values, and nothing is saved until the next regular save.
    LeftMargin = marginOf(dialog.mMarginLeft);
    RightMargin = marginOf(dialog.mMarginRight);
    TopMargin = marginOf(dialog.mMarginTop);
    BottomMargin = marginOf(dialog.mMarginBottom);
    PrintTabNameInHeader = dialog.mPrintTabName->isChecked();
    PrintPageNumberInFooter = dialog.mPrintPageNumbers->isChecked();
    // With nothing installed there was nothing to choose: spelling is picked anew once a
    // dictionary comes.
    if (dialog.CB_CheckSpelling->isEnabled())
        Spelling->choose(dialog.checkSpelling(), dialog.checkedDictionaries());
    SaveSettings();
}

void TFormMain::miAboutClick()
{
    TVersionInfo versionInfo(env.programFilePath);
    TAboutBox box(this);
    box.Version->setText(versionInfo.VersionStringWithFlags(false));
    box.ProductName->setText(ProductName);
    prompter->execDialog(box);
}
