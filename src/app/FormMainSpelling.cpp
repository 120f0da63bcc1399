#include "app/TFormMain.h"

#include "app/EditorSpelling.h"
#include "app/TRichEditor.h"
#include "spell/PersonalWordList.h"

void TFormMain::createSpelling()
{
    // Beside the settings file, wherever that lives (the program folder, or the user's data
    // folder for an installed program).
    Spelling = new TEditorSpelling(*Editor, env.dictionaryDirs, env.locale,
                                   PersonalWordListPath(SettingsPath), this);
    Spelling->reportError = [this](const QString& message) { showError(message); };
}
