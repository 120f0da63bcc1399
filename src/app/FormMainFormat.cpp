#include "app/TFormMain.h"

#include "app/TPrompter.h"
#include "app/TRichEditor.h"

#include <QAction>

void TFormMain::FormatBoldExecute()
{
    toggleEffect(0);
}

void TFormMain::FormatItalicExecute()
{
    toggleEffect(1);
}

void TFormMain::FormatUnderlineExecute()
{
    toggleEffect(2);
}

void TFormMain::FormatStrikeOutExecute()
{
    toggleEffect(3);
}

void TFormMain::toggleEffect(int flag)
{
    // A read-only editor holds a file that could not be read; nothing may change it, or the
    // next save would write over that file.
    if (UpdatingFormat || Editor->isReadOnly())
        return;
    // The decision rests on what the editor reports, never on the command's own mark; all four
    // effects are written back together.
    TRichEditor::Effects effects = Editor->effects();
    bool* flags[] = {&effects.bold, &effects.italic, &effects.underline, &effects.strikeOut};
    *flags[flag] = !*flags[flag];
    Editor->setEffects(effects);
    // A shortcut toggles the command's mark by itself; make it tell the truth again.
    EditorSelectionChange();
}

void TFormMain::FormatAlignExecute(QAction* command)
{
    if (UpdatingFormat || Editor->isReadOnly())
        return;
    const int tag = command->data().toInt();
    if (tag < 0 || tag > 2)
        return;
    Editor->setAlignment(TRichEditor::Alignment(tag));
    EditorSelectionChange();
}

void TFormMain::FormatBulletsExecute()
{
    if (UpdatingFormat || Editor->isReadOnly())
        return;
    QAction* bullets = command(QStringLiteral("FormatBullets"));
    if (!Editor->hasBullets()) {
        // A bullet needs room to its left.
        if (Editor->leftIndentPoints() < 10)
            Editor->setLeftIndentPoints(10);
        Editor->setBullets(true);
        bullets->setChecked(true);
    } else {
        Editor->setLeftIndentPoints(0);
        Editor->setBullets(false);
        bullets->setChecked(false);
    }
}

void TFormMain::FormatFontExecute()
{
    if (Editor->isReadOnly())
        return;
    const QTextCharFormat current = Editor->selectionCharFormat();
    const QFont initial = current.font().resolve(Editor->document()->defaultFont());
    const std::optional<QFont> chosen = prompter->chooseFont(this, initial);
    if (!chosen)
        return;
    // One attribute at a time, as the selection may mix formats in the attributes not written.
    // The font dialog offers no colour, so the selection's colour is written back as it was;
    // Unicode text has no character set to write.
    auto write = [this](auto set) {
        QTextCharFormat format;
        set(format);
        Editor->mergeCurrentCharFormat(format);
    };
    if (current.hasProperty(QTextFormat::ForegroundBrush))
        write([&](QTextCharFormat& f) { f.setForeground(current.foreground()); });
    write([&](QTextCharFormat& f) { f.setFontFamilies({chosen->family()}); });
    Editor->setEffects({chosen->weight() >= QFont::Bold, chosen->italic(), chosen->underline(),
                        chosen->strikeOut()});
    if (chosen->pointSizeF() > 0)
        write([&](QTextCharFormat& f) { f.setFontPointSize(chosen->pointSizeF()); });
    write([&](QTextCharFormat& f) { f.setFontFixedPitch(chosen->fixedPitch()); });
    Editor->setFocus();
    EditorSelectionChange();
}
