#include "app/TFormMain.h"

#include "app/TRichEditor.h"
#include "app/TTabRow.h"

#include <QAction>
#include <QScopeGuard>
#include <QTextDocument>

void TFormMain::TabControlChanging()
{
    SaveCurrentDocument();
}

void TFormMain::TabControlChange()
{
    const TDocumentId id = documentOfTab(TabControl->currentIndex());
    showOpened(readDocument([&](QTextDocument& doc) { return Journal->LoadDocument(id, doc); }));
}

void TFormMain::EditorSelectionChange()
{
    UpdatingFormat = true;
    const auto reset = qScopeGuard([this] { UpdatingFormat = false; });
    auto mark = [this](const char* name, bool on) {
        if (QAction* action = command(QLatin1String(name)))
            action->setChecked(on);
    };
    const TRichEditor::Effects effects = Editor->effects();
    mark("FormatBold", effects.bold);
    mark("FormatItalic", effects.italic);
    mark("FormatUnderline", effects.underline);
    mark("FormatBullets", Editor->hasBullets());
    mark("FormatStrikeOut", effects.strikeOut);
    const TRichEditor::Alignment alignment = Editor->alignment();
    mark("FormatLeftAlign", alignment == TRichEditor::Alignment::Left);
    mark("FormatRightAlign", alignment == TRichEditor::Alignment::Right);
    mark("FormatCentreAlign", alignment == TRichEditor::Alignment::Centre);
}
