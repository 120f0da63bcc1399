#include "EditingFixture.h"

#include <QTextBlock>
#include <QTextCursor>

namespace {

class FormatCommandsTest : public EditingFixture
{
protected:
    TRichEditor::Effects effectsAt(int position)
    {
        QTextCursor c(editor().document());
        c.setPosition(position + 1);
        const QTextCharFormat f = c.charFormat();
        return {f.fontWeight() >= QFont::Bold, f.fontItalic(), f.fontUnderline(),
                f.fontStrikeOut()};
    }
    void setEffects(int start, int length, TRichEditor::Effects e)
    {
        select(start, length);
        editor().setEffects(e);
    }
    bool marked(const char* name) { return form->command(QLatin1String(name))->isChecked(); }
};

} // namespace

TEST_F(FormatCommandsTest, TogglesGoByWhatTheSelectionReportsAndWriteAllFourEffects)
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

    // Partly italic: bold carries the reported italic over the whole selection.
    setText("abcdef");
    setEffects(0, 2, {false, true, false, false});
    select(0, 6);
    run("FormatBold");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(effectsAt(i), (TRichEditor::Effects{true, true, false, false})) << i;
    setEffects(3, 3, {true, false, true, true});
    select(2, 4);
    run("FormatItalic");
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(effectsAt(i), (TRichEditor::Effects{true, false, false, false})) << i;
    EXPECT_EQ(effectsAt(0), (TRichEditor::Effects{true, true, false, false}))
        << "outside the selection nothing changes";

    // Underline and strike-out toggle their own flag; the marks follow the selection again.
    select(0, 6);
    run("FormatUnderline");
    run("FormatStrikeOut");
    EXPECT_EQ(effectsAt(4), (TRichEditor::Effects{true, true, true, true}));
    EXPECT_TRUE(marked("FormatBold"));
    EXPECT_TRUE(marked("FormatUnderline"));

    // An empty selection sets the format of what is typed next.
    setText("plain ");
    select(6, 0);
    run("FormatBold");
    QTest::keyClicks(&editor(), "loud");
    EXPECT_TRUE(effectsAt(7).bold);
    EXPECT_FALSE(effectsAt(2).bold);
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

TEST_F(FormatCommandsTest, FontDialogShowsTheSelectionsFontAndWritesItBack)
{
    setText("some text here");
    select(5, 4);
    QTextCharFormat start;
    start.setFontFamilies({QStringLiteral("Courier New")});
    start.setFontPointSize(17);
    start.setForeground(QColor(200, 10, 20));
    start.setFontItalic(true);
    editor().mergeCurrentCharFormat(start);
    editor().setModified(false);

    // Cancelled: nothing changes.
    run("FormatFont");
    ASSERT_EQ(prompter.texts("font"), QStringList{"Courier New"});
    EXPECT_FALSE(editor().isModified());

    // Confirmed with another font: name, size, effects written; colour kept.
    QFont chosen(QStringLiteral("Times New Roman"));
    chosen.setPointSize(9);
    chosen.setBold(true);
    chosen.setUnderline(true);
    prompter.fonts.push_back(chosen);
    run("FormatFont");
    QTextCursor c(editor().document());
    c.setPosition(7);
    const QTextCharFormat f = c.charFormat();
    EXPECT_EQ(f.fontFamilies().toStringList().value(0), "Times New Roman");
    EXPECT_DOUBLE_EQ(f.fontPointSize(), 9.0);
    EXPECT_TRUE(f.fontWeight() >= QFont::Bold);
    EXPECT_FALSE(f.fontItalic());
    EXPECT_TRUE(f.fontUnderline());
    EXPECT_EQ(f.foreground().color(), QColor(200, 10, 20));
    EXPECT_TRUE(editor().hasFocus());
    c.setPosition(2);
    EXPECT_FALSE(c.charFormat().fontUnderline()) << "outside the selection nothing changes";
    EXPECT_TRUE(marked("FormatBold")) << "the marks show the new format";
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
