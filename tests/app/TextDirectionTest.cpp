// A paragraph with no direction of its own runs the way its first letter is written. The editor
// may tell a document without right-to-left letters that all its paragraphs run left to right
// (so that typing need not work it out for every paragraph below); what shows must not differ.
#include "AppFixture.h"

#include "app/DirectionHint.h"
#include "app/EntryReadAhead.h"

#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QString Hebrew = QStringLiteral("\u05e9\u05dc\u05d5\u05dd");
const QByteArray HebrewRtf = "\\u1513?\\u1500?\\u1493?\\u1501?";

Qt::LayoutDirection laidOutDirection(const QTextBlock& block)
{
    return block.layout()->textOption().textDirection();
}

} // namespace

class TextDirectionTest : public AppFixture
{
protected:
    void SetUp() override { QDir().mkpath(docs("Backup")); }

    QTextBlock block(int number) { return editor().document()->findBlockByNumber(number); }
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        editor().layOutWhole();
    }
};

TEST_F(TextDirectionTest, ParagraphsRunTheWayTheirFirstLetterIsWrittenWhateverTheHint)
{
    writeFile(docs("jx20261206.rtf"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard " +
                                          HebrewRtf + " first\\par\\pard second\\par\r\n}");
    writeFile(docs("jx20261207.rtf"), rtfWith("only left to right\\par more"));
    start();
    settle();
    EXPECT_EQ(laidOutDirection(block(0)), Qt::LeftToRight);

    // A right-to-left word typed at the start of a paragraph turns it as it would have anyway.
    editor().moveCursor(QTextCursor::End);
    QTest::keyClick(&editor(), Qt::Key_Return);
    // As a keyboard of that script types it.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, Hebrew);
    QCoreApplication::sendEvent(&editor(), &key);
    type(" typed");
    settle();
    const QTextBlock typed = editor().document()->lastBlock();
    EXPECT_TRUE(typed.text().startsWith(Hebrew));
    EXPECT_EQ(typed.textDirection(), Qt::RightToLeft);
    EXPECT_EQ(laidOutDirection(typed), Qt::RightToLeft);
    EXPECT_EQ(laidOutDirection(block(0)), Qt::LeftToRight);
    form->command("FileSave")->trigger();

    // The next document starts without the hint the last one had: its Hebrew paragraph runs
    // right to left, the Latin one left to right.
    form->command("GotoPrevDate")->trigger();
    settle();
    ASSERT_TRUE(plainText().startsWith(Hebrew));
    EXPECT_EQ(laidOutDirection(block(0)), Qt::RightToLeft);
    EXPECT_EQ(laidOutDirection(block(1)), Qt::LeftToRight);

    // And one without right-to-left letters, opened after it, runs left to right throughout.
    form->command("GotoNextDate")->trigger();
    settle();
    EXPECT_TRUE(plainText().startsWith("only left to right"));
    EXPECT_EQ(editor().document()->lastBlock().textDirection(), Qt::RightToLeft)
        << "the paragraph typed and saved before";
    EXPECT_EQ(laidOutDirection(block(0)), Qt::LeftToRight);
}

// Read on another thread at start-up, the entry was looked at there; what shows is the same.
TEST_F(TextDirectionTest, AnEntryReadAheadRunsAsReadingItHereWould)
{
    const auto longEntry = [](const QByteArray& lastParagraph) {
        QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
        for (int i = 0; i < 9000; ++i)
            rtf += "\\pard Paragraph " + QByteArray::number(i) + " of a long day.\\par\r\n";
        return rtf + "\\pard " + lastParagraph + "\\par}";
    };
    const auto startWithReadAhead = [this] {
        TEnvironment env = environment();
        env.entryReadAhead = ReadEntryAhead(env, clock.date());
        ASSERT_TRUE(env.entryReadAhead);
        actions = std::make_unique<TDMActions>();
        form = std::make_unique<TFormMain>(env, *actions);
        form->show();
        settle();
    };

    writeFile(docs("jx20261207.rtf"), longEntry(HebrewRtf + " at the end"));
    startWithReadAhead();
    QTextBlock last = editor().document()->lastBlock();
    ASSERT_TRUE(last.text().startsWith(Hebrew));
    EXPECT_EQ(laidOutDirection(last), Qt::RightToLeft);
    EXPECT_EQ(laidOutDirection(block(0)), Qt::LeftToRight);
    stop();

    writeFile(docs("jx20261207.rtf"), longEntry("latin at the end"));
    startWithReadAhead();
    editor().moveCursor(QTextCursor::End);
    QTest::keyClick(&editor(), Qt::Key_Return);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, Hebrew);
    QCoreApplication::sendEvent(&editor(), &key);
    settle();
    last = editor().document()->lastBlock();
    ASSERT_TRUE(last.text().startsWith(Hebrew));
    EXPECT_EQ(laidOutDirection(last), Qt::RightToLeft);
}
