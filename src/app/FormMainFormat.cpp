#include "app/TFormMain.h"

#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "dialogs/TFontDialog.h"

#include <QAction>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

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
    // The decision rests on what the editor reports, never on the command's own mark. Only the
    // command's own effect is written: the runs keep their other effects, the kind of their
    // underline and everything else they were read with.
    const TRichEditor::Effects effects = Editor->effects();
    const bool flags[] = {effects.bold, effects.italic, effects.underline, effects.strikeOut};
    Editor->setEffect(TRichEditor::Effect(flag), !flags[flag]);
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
        Editor->removeBullets();
        bullets->setChecked(false);
    }
}

namespace {

TCharacterFormat characterFormatOf(const QTextCharFormat& format, const QFont& defaultFont)
{
    TCharacterFormat c;
    c.Name = format.fontFamilies().toStringList().value(0);
    if (c.Name.isEmpty())
        c.Name = format.stringProperty(QTextFormat::FontFamily);
    if (c.Name.isEmpty())
        c.Name = defaultFont.family();
    // A size in pixels (pasted from a web page) counts at 96 pixels to the inch, as a save does.
    const double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                          : format.hasProperty(QTextFormat::FontPixelSize)
                              ? format.intProperty(QTextFormat::FontPixelSize) * 0.75
                              : defaultFont.pointSizeF();
    c.Size = std::clamp(int(std::lround(points)), TFontDialog::MinSize, TFontDialog::MaxSize);
    const QBrush brush = format.foreground();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && brush.style() != Qt::NoBrush)
        c.Color = brush.color();
    const TRichEditor::Effects effects = TRichEditor::effectsOf(format);
    c.Bold = effects.bold;
    c.Italic = effects.italic;
    c.Underline = effects.underline;
    c.StrikeOut = effects.strikeOut;
    c.FixedPitch = format.fontFixedPitch();
    return c;
}

} // namespace

void TFormMain::FormatFontExecute()
{
    if (Editor->isReadOnly())
        return;
    const TCharacterFormat initial =
        characterFormatOf(Editor->selectionCharFormat(), Editor->document()->defaultFont());
    TFontDialog dialog(this, initial);
    if (prompter->execDialog(dialog) != QDialog::Accepted)
        return;
    const TCharacterFormat chosen = dialog.chosen();
    // One attribute at a time over every run, so that what the dialog does not show (the kind
    // of an underline that stays on, links, raised text, highlighting) stays as it was. Unicode
    // text has no character set to write.
    QTextCursor undoStep = Editor->textCursor();
    undoStep.beginEditBlock();
    Editor->changeSelectionFormat([&](QTextCharFormat& f) {
        if (chosen.Color.isValid())
            f.setForeground(chosen.Color);
        else
            f.clearProperty(QTextFormat::ForegroundBrush);
    });
    Editor->changeSelectionFormat([&](QTextCharFormat& f) {
        f.clearProperty(QTextFormat::FontFamily);
        f.setFontFamilies({chosen.Name});
    });
    Editor->setEffects({chosen.Bold, chosen.Italic, chosen.Underline, chosen.StrikeOut});
    Editor->changeSelectionFormat([&](QTextCharFormat& f) {
        f.clearProperty(QTextFormat::FontPixelSize);
        f.setFontPointSize(chosen.Size);
    });
    Editor->changeSelectionFormat(
        [&](QTextCharFormat& f) { f.setFontFixedPitch(chosen.FixedPitch); });
    undoStep.endEditBlock();
    Editor->setFocus();
    EditorSelectionChange();
}
