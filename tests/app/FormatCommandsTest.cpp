#include "EditingFixture.h"
#include "dialogs/TFontDialog.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace {

class FormatCommandsTest : public EditingFixture
{
protected:
    QTextCharFormat formatAt(int position)
    {
        QTextCursor c(editor().document());
        c.setPosition(position + 1);
        return c.charFormat();
    }
    TRichEditor::Effects effectsAt(int position)
    {
        return TRichEditor::effectsOf(formatAt(position));
    }
    // What the editor holds, as saving and opening it again gives it back.
    std::unique_ptr<QTextDocument> savedAndReloaded()
    {
        auto doc = std::make_unique<QTextDocument>();
        doc->setDefaultFont(editor().document()->defaultFont());
        EXPECT_TRUE(ReadRtf(WriteRtf(*editor().document()), *doc));
        return doc;
    }
    // Where the text of a paragraph starts, from the document's left edge.
    static double textLeft(QTextDocument& doc, int paragraph)
    {
        doc.documentLayout()->documentSize(); // lays it out
        const QTextBlock block = doc.findBlockByNumber(paragraph);
        return doc.documentLayout()->blockBoundingRect(block).left() +
               block.layout()->lineAt(0).x();
    }
    void loadRtf(const QByteArray& rtf)
    {
        editor().clearContent();
        ASSERT_TRUE(ReadRtf(rtf, *editor().document()));
        editor().setModified(false);
    }
    void setEffects(int start, int length, TRichEditor::Effects e)
    {
        select(start, length);
        editor().setEffects(e);
    }
    bool marked(const char* name) { return form->command(QLatin1String(name))->isChecked(); }
};

} // namespace

TEST_F(FormatCommandsTest, TogglesGoByWhatTheSelectionReportsAndWriteOnlyTheirOwnEffect)
{
    // Start bold, rest plain: the selection reports bold, so all of it becomes plain.
    setText("abcdef");
    setEffects(0, 3, {true, false, false, false});
    select(0, 6);
    ASSERT_TRUE(editor().effects().bold);
    run("FormatBold");
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(effectsAt(i).bold) << i;
    // Twice restores what was reported the first time: all bold now.
    run("FormatBold");
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(effectsAt(i).bold) << i;

    // Partly italic: bold changes the weight only, each run keeps its own italic.
    setText("abcdef");
    setEffects(0, 2, {false, true, false, false});
    select(0, 6);
    run("FormatBold");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(effectsAt(i), (TRichEditor::Effects{true, i < 2, false, false})) << i;
    setEffects(3, 3, {true, true, true, true});
    select(2, 4);
    ASSERT_FALSE(editor().effects().italic);
    run("FormatItalic");
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(effectsAt(i), (TRichEditor::Effects{true, true, i >= 3, i >= 3})) << i;
    EXPECT_EQ(effectsAt(1), (TRichEditor::Effects{true, true, false, false}))
        << "outside the selection nothing changes";

    // Underline and strike-out toggle their own flag; the marks follow the selection again.
    select(0, 6);
    run("FormatUnderline");
    run("FormatStrikeOut");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(effectsAt(i), (TRichEditor::Effects{true, true, true, true})) << i;
    EXPECT_TRUE(marked("FormatBold"));
    EXPECT_TRUE(marked("FormatUnderline"));
    // One undo step takes a command back over the whole selection.
    editor().undo();
    EXPECT_FALSE(effectsAt(0).strikeOut);
    EXPECT_TRUE(effectsAt(0).underline);

    // An empty selection sets the format of what is typed next.
    setText("plain ");
    select(6, 0);
    run("FormatBold");
    QTest::keyClicks(&editor(), "loud");
    EXPECT_TRUE(effectsAt(7).bold);
    EXPECT_FALSE(effectsAt(2).bold);
}

TEST_F(FormatCommandsTest, CommandsKeepEverythingElseARunWasReadWith)
{
    // Underlines of every kind, a colour, raised text, a highlight and a heavy weight, as files
    // from other programs hold them.
    loadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
            "{\\colortbl;\\red200\\green10\\blue20;\\red255\\green255\\blue0;}"
            "\\pard \\uld dotted\\ulnone  \\uldash dashed\\ulnone  \\ulwave wave\\ulnone  "
            "\\uldashd dashdot\\ulnone  \\cf1 red\\cf0  \\super up\\nosupersub  "
            "\\highlight2 marked\\highlight0  \\f1\\fs36 big\\f0\\fs24\\par}");
    const QString text = plainText();
    auto at = [&](const char* word) { return int(text.indexOf(QLatin1String(word))); };
    struct TKept
    {
        const char* word;
        QTextCharFormat::UnderlineStyle underline;
    };
    const TKept underlined[] = {{"dotted", QTextCharFormat::DotLine},
                                {"dashed", QTextCharFormat::DashUnderline},
                                {"wave", QTextCharFormat::WaveUnderline},
                                {"dashdot", QTextCharFormat::DashDotLine}};
    auto expectKept = [&](const char* step) {
        for (const TKept& k : underlined)
            EXPECT_EQ(formatAt(at(k.word)).underlineStyle(), k.underline) << k.word << step;
        EXPECT_EQ(formatAt(at("red")).foreground().color(), QColor(200, 10, 20)) << step;
        EXPECT_EQ(formatAt(at("up")).verticalAlignment(), QTextCharFormat::AlignSuperScript)
            << step;
        EXPECT_EQ(formatAt(at("marked")).background().color(), QColor(255, 255, 0)) << step;
        EXPECT_EQ(formatAt(at("big")).fontFamilies().toStringList().value(0), "Courier New")
            << step;
        EXPECT_DOUBLE_EQ(formatAt(at("big")).fontPointSize(), 18) << step;
    };

    // Every underline kind shows as underlined.
    select(at("wave"), 4);
    EXPECT_TRUE(editor().effects().underline);
    EXPECT_TRUE(marked("FormatUnderline"));

    select(0, int(text.size()));
    for (const char* name : {"FormatBold", "FormatItalic", "FormatStrikeOut"}) {
        run(name);
        expectKept(name);
    }
    EXPECT_EQ(effectsAt(at("big")), (TRichEditor::Effects{true, true, false, true}));
    // And the file keeps them too.
    loadRtf(WriteRtf(*editor().document()));
    expectKept(" after a save");
    // Taking the effects off again leaves the same.
    select(0, int(text.size()));
    for (const char* name : {"FormatBold", "FormatItalic", "FormatStrikeOut"})
        run(name);
    expectKept(" after switching off");
    EXPECT_EQ(effectsAt(at("big")), TRichEditor::Effects{});

    // Underline on keeps the kind a run already has and gives the others a single line.
    setText("plain dotted");
    QTextCharFormat dotted;
    dotted.setUnderlineStyle(QTextCharFormat::DotLine);
    select(6, 6);
    editor().mergeCurrentCharFormat(dotted);
    select(0, 12);
    run("FormatUnderline");
    EXPECT_EQ(formatAt(0).underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatAt(8).underlineStyle(), QTextCharFormat::DotLine);
    run("FormatUnderline");
    EXPECT_FALSE(effectsAt(8).underline);

    // Bold on keeps a heavier weight; bold off keeps a light one.
    setText("black light");
    auto weigh = [&](int start, int length, int value) {
        QTextCharFormat f;
        f.setFontWeight(value);
        select(start, length);
        editor().mergeCurrentCharFormat(f);
    };
    weigh(0, 5, QFont::Black);
    weigh(6, 5, QFont::Light);
    select(0, 11);
    editor().setEffect(TRichEditor::Effect::Bold, true);
    EXPECT_EQ(formatAt(1).fontWeight(), QFont::Black);
    EXPECT_EQ(formatAt(7).fontWeight(), QFont::Bold);
    weigh(6, 5, QFont::Light);
    select(0, 11);
    run("FormatBold"); // the selection starts bold: all of it becomes plain
    EXPECT_EQ(formatAt(1).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(7).fontWeight(), QFont::Light);
}

TEST_F(FormatCommandsTest, TheBoldMarkShowsWhatASaveKeeps)
{
    for (int weight = 100; weight <= 900; weight += 100) {
        setText("weighty");
        QTextCharFormat format;
        format.setFontWeight(weight);
        select(0, 7);
        editor().mergeCurrentCharFormat(format);
        select(2, 3);
        const bool shown = marked("FormatBold");
        EXPECT_EQ(editor().effects().bold, shown) << weight;
        auto reloaded = savedAndReloaded();
        QTextCursor c(reloaded.get());
        c.setPosition(3);
        EXPECT_EQ(c.charFormat().fontWeight() >= QFont::Bold, shown) << weight;
        EXPECT_EQ(shown, weight >= 600) << "semibold shows heavy and is saved bold";
    }
    // Bold on semibold text takes it off, in the editor and in the file.
    select(0, 7);
    run("FormatBold");
    EXPECT_FALSE(marked("FormatBold"));
    auto reloaded = savedAndReloaded();
    QTextCursor c(reloaded.get());
    c.setPosition(3);
    EXPECT_LT(c.charFormat().fontWeight(), QFont::DemiBold);
}

TEST_F(FormatCommandsTest, BulletsGiveAtLeastTenPointsAndRemovingThemLeavesNone)
{
    for (const auto& [before, after] : {std::pair{0.0, 10.0}, {5.0, 10.0}, {20.0, 20.0}}) {
        setText("item");
        editor().setLeftIndentPoints(before);
        run("FormatBullets");
        EXPECT_TRUE(editor().hasBullets());
        EXPECT_DOUBLE_EQ(editor().leftIndentPoints(), after) << before;
        EXPECT_TRUE(marked("FormatBullets"));
        run("FormatBullets");
        EXPECT_FALSE(editor().hasBullets());
        EXPECT_DOUBLE_EQ(editor().leftIndentPoints(), 0.0) << before;
        EXPECT_FALSE(marked("FormatBullets"));
    }

    // All paragraphs the selection touches.
    setText("one\ntwo\nthree");
    select(1, 5);
    run("FormatBullets");
    const QTextDocument* doc = editor().document();
    EXPECT_TRUE(doc->findBlockByNumber(0).textList());
    EXPECT_TRUE(doc->findBlockByNumber(1).textList());
    EXPECT_FALSE(doc->findBlockByNumber(2).textList());
    EXPECT_DOUBLE_EQ(doc->findBlockByNumber(1).blockFormat().leftMargin(), 10.0);
}

TEST_F(FormatCommandsTest, BackspaceTakesABulletOffAsTheBulletsCommandDoes)
{
    setText("one\ntwo\nthree");
    select(4, 0);
    run("FormatBullets");
    const double bulleted = textLeft(*editor().document(), 1);
    const double plain = textLeft(*editor().document(), 0);

    focusEditor();
    select(4, 0);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_EQ(plainText(), "one\ntwo\nthree") << "the key takes no character here";
    EXPECT_FALSE(editor().hasBullets());
    EXPECT_FALSE(marked("FormatBullets"));
    EXPECT_DOUBLE_EQ(editor().leftIndentPoints(), 0.0);
    EXPECT_DOUBLE_EQ(textLeft(*editor().document(), 1), plain);
    EXPECT_DOUBLE_EQ(textLeft(*savedAndReloaded(), 1), plain)
        << "the indent a user sees is the indent saved";

    // Bullets again: back where it was, not indented twice, and saved so.
    run("FormatBullets");
    EXPECT_DOUBLE_EQ(textLeft(*editor().document(), 1), bulleted);
    EXPECT_DOUBLE_EQ(textLeft(*savedAndReloaded(), 1), bulleted);

    // One undo step gives the bullet back.
    select(4, 0);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    editor().undo();
    select(4, 0);
    EXPECT_TRUE(editor().hasBullets());
    EXPECT_DOUBLE_EQ(textLeft(*editor().document(), 1), bulleted);

    // Anywhere else the key deletes as ever: inside a bulleted paragraph, at the start of a
    // plain one, and over a selection that starts a bulleted one.
    select(6, 0);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_EQ(plainText(), "one\nto\nthree");
    select(7, 0);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_EQ(plainText(), "one\ntothree");
    select(4, 2);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_EQ(plainText(), "one\nthree");
    EXPECT_TRUE(editor().hasBullets());
}

TEST_F(FormatCommandsTest, AlignmentCommandsCarryTheirTagsAndOneButtonIsDown)
{
    EXPECT_EQ(form->command("FormatLeftAlign")->data().toInt(), 0);
    EXPECT_EQ(form->command("FormatRightAlign")->data().toInt(), 1);
    EXPECT_EQ(form->command("FormatCentreAlign")->data().toInt(), 2);

    setText("first\nsecond");
    select(0, 0);
    run("FormatRightAlign");
    EXPECT_EQ(editor().alignment(), TRichEditor::Alignment::Right);
    select(7, 0);
    run("FormatCentreAlign");
    EXPECT_EQ(editor().alignment(), TRichEditor::Alignment::Centre);

    select(1, 0);
    EXPECT_TRUE(marked("FormatRightAlign"));
    EXPECT_FALSE(marked("FormatLeftAlign"));
    EXPECT_FALSE(marked("FormatCentreAlign"));
    select(8, 0);
    EXPECT_TRUE(marked("FormatCentreAlign"));
    EXPECT_FALSE(marked("FormatRightAlign"));

    // Pressing the button that is down keeps it down.
    run("FormatCentreAlign");
    EXPECT_TRUE(marked("FormatCentreAlign"));
    run("FormatLeftAlign");
    EXPECT_EQ(editor().alignment(), TRichEditor::Alignment::Left);
    EXPECT_TRUE(marked("FormatLeftAlign"));
    EXPECT_FALSE(marked("FormatCentreAlign"));
}

TEST_F(FormatCommandsTest, NothingChangesWhileTheMarksAreBeingUpdated)
{
    setText("guarded");
    select(0, 7);
    editor().setModified(false);
    form->UpdatingFormat = true;
    for (const char* name : {"FormatBold", "FormatItalic", "FormatUnderline", "FormatStrikeOut",
                             "FormatBullets", "FormatRightAlign", "FormatCentreAlign"})
        run(name);
    form->UpdatingFormat = false;
    EXPECT_EQ(effectsAt(3), TRichEditor::Effects{});
    EXPECT_FALSE(editor().hasBullets());
    EXPECT_DOUBLE_EQ(editor().leftIndentPoints(), 0.0);
    EXPECT_EQ(editor().alignment(), TRichEditor::Alignment::Left);
    EXPECT_FALSE(editor().isModified());
}

TEST_F(FormatCommandsTest, FontDialogShowsTheSelectionsFormatAndWritesItBack)
{
    setText("some text here");
    select(5, 4);
    QTextCharFormat start;
    start.setFontFamilies({QStringLiteral("Courier New")});
    start.setFontPointSize(17);
    start.setForeground(QColor(200, 10, 20));
    start.setFontItalic(true);
    start.setUnderlineStyle(QTextCharFormat::DotLine);
    editor().mergeCurrentCharFormat(start);
    editor().setModified(false);

    // It shows what the selection holds; cancelled, it changes nothing.
    TCharacterFormat shown;
    prompter.dialogs.push_back([&](QDialog& d) {
        shown = dynamic_cast<TFontDialog&>(d).chosen();
        return int(QDialog::Rejected);
    });
    run("FormatFont");
    ASSERT_EQ(prompter.texts("dialog"), QStringList{"FontDialog"});
    EXPECT_EQ(shown.Name, "Courier New");
    EXPECT_EQ(shown.Size, 17);
    EXPECT_EQ(shown.Color, QColor(200, 10, 20));
    EXPECT_TRUE(shown.Italic && shown.Underline);
    EXPECT_FALSE(shown.Bold || shown.StrikeOut);
    EXPECT_FALSE(editor().isModified());

    // Confirmed with another font, size, style, effect and colour: all of them are written,
    // the dotted underline the dialog left on stays dotted.
    prompter.dialogs.push_back([](QDialog& d) {
        auto& dialog = dynamic_cast<TFontDialog&>(d);
        dialog.FontName->setText(QStringLiteral("Times New Roman"));
        dialog.FontSize->setText(QStringLiteral("9"));
        dialog.FontStyles->setCurrentRow(2);
        dialog.StrikeOut->setChecked(true);
        dialog.FontColor->setCurrentIndex(dialog.FontColor->findText(QStringLiteral("Blue")));
        return int(QDialog::Accepted);
    });
    run("FormatFont");
    auto expectChosen = [](const QTextCharFormat& f, const char* where) {
        EXPECT_EQ(f.fontFamilies().toStringList().value(0), "Times New Roman") << where;
        EXPECT_DOUBLE_EQ(f.fontPointSize(), 9.0) << where;
        EXPECT_EQ(TRichEditor::effectsOf(f), (TRichEditor::Effects{true, false, true, true}))
            << where;
        EXPECT_EQ(f.underlineStyle(), QTextCharFormat::DotLine) << where;
        EXPECT_EQ(f.foreground().color(), QColor(0, 0, 255)) << where;
    };
    expectChosen(formatAt(7), "in the editor");
    EXPECT_TRUE(editor().hasFocus());
    EXPECT_FALSE(formatAt(2).hasProperty(QTextFormat::ForegroundBrush))
        << "outside the selection nothing changes";
    EXPECT_TRUE(marked("FormatBold")) << "the marks show the new format";
    {
        auto reloaded = savedAndReloaded();
        QTextCursor c(reloaded.get());
        c.setPosition(8);
        expectChosen(c.charFormat(), "after a save");
        c.setPosition(2);
        EXPECT_NE(c.charFormat().foreground().color(), QColor(0, 0, 255));
    }
    // The whole change is one undo step.
    editor().undo();
    EXPECT_EQ(formatAt(7).foreground().color(), QColor(200, 10, 20));
    EXPECT_EQ(formatAt(7).fontFamilies().toStringList().value(0), "Courier New");
    editor().redo();
    select(5, 4);

    // "Automatic" leaves the text its default colour.
    prompter.dialogs.push_back([](QDialog& d) {
        auto& dialog = dynamic_cast<TFontDialog&>(d);
        EXPECT_EQ(dialog.FontColor->currentText(), "Blue");
        dialog.FontColor->setCurrentIndex(0);
        return int(QDialog::Accepted);
    });
    run("FormatFont");
    EXPECT_FALSE(formatAt(7).hasProperty(QTextFormat::ForegroundBrush));

    // Confirmed unchanged, the dialog still writes what it showed over the whole selection.
    setText("small large");
    QTextCharFormat size;
    size.setFontPointSize(30);
    select(6, 5);
    editor().mergeCurrentCharFormat(size);
    select(0, 11);
    prompter.dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); });
    run("FormatFont");
    EXPECT_DOUBLE_EQ(formatAt(8).fontPointSize(), 12.0);

    // At the caret it sets what is typed next.
    setText("plain ");
    select(6, 0);
    prompter.dialogs.push_back([](QDialog& d) {
        dynamic_cast<TFontDialog&>(d).setColor(QColor(0, 128, 0));
        return int(QDialog::Accepted);
    });
    run("FormatFont");
    QTest::keyClicks(&editor(), "green");
    EXPECT_EQ(formatAt(8).foreground().color(), QColor(0, 128, 0));
    EXPECT_FALSE(formatAt(2).hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(FormatCommandsTest, ShortcutsReachTheFormatCommands)
{
    setText("word");
    focusEditor();
    select(0, 4);
    QTest::keyClick(&editor(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(effectsAt(1).bold);
    QTest::keyClick(&editor(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(editor().alignment(), TRichEditor::Alignment::Right);
    QTest::keyClick(&editor(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(editor().hasBullets());
}
