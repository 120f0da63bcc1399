// Each document is read into a document of its own and handed to the editor whole; whatever
// follows the editor's document must move with it.
#include "AppFixture.h"

#include "app/BackgroundLayout.h"
#include "app/EntryReadAhead.h"
#include "journal/ReadAhead.h"
#include "rtf/RtfObjectHandlers.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDir>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace {

const char* const Today = "jx20261207.rtf";

// Paragraphs enough that laying them all out takes many idle slices.
QByteArray longRtf(int paragraphs)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < paragraphs; ++i)
        rtf += "\\pard Paragraph " + QByteArray::number(i) +
               " of a long day, with \\b bold\\b0  and \\i slanted\\i0  words in it.\\par\r\n";
    return rtf + "}";
}

bool laidOut(const QTextBlock& block)
{
    return block.layout() && block.layout()->lineCount() > 0;
}

} // namespace

class DocumentSwapTest : public AppFixture
{
protected:
    void SetUp() override { QDir().mkpath(docs("Backup")); }

    void create()
    {
        actions = std::make_unique<TDMActions>();
        form = std::make_unique<TFormMain>(environment(), *actions);
    }
    void show()
    {
        form->show();
        QCoreApplication::processEvents();
    }
};

TEST_F(DocumentSwapTest, TodaysEntryIsReadOnceAtStartUnlessItChangedMeanwhile)
{
    writeFile(docs(Today), rtfWith("as written yesterday"));
    create();
    const QTextDocument* read = editor().document();
    show();
    EXPECT_EQ(editor().document(), read) << "the entry read while the window was built is shown";
    EXPECT_TRUE(plainText().contains("as written yesterday"));
    EXPECT_EQ(editor().textCursor().position(), 0);
    stop();

    create();
    writeFile(docs(Today), rtfWith("changed by a sync tool before the window showed"));
    show();
    EXPECT_TRUE(plainText().contains("changed by a sync tool"));
    stop();

    // Keyword tabs opened at start-up show their files on the way: the Diary is read again.
    writeFile(docs("kw_Garden.rtf"), rtfWith("garden notes"));
    writeFile(docs("startup.txt"), "Garden\r\n");
    start();
    EXPECT_EQ(form->selectedCaption(), "Diary");
    EXPECT_TRUE(plainText().contains("changed by a sync tool"));
    stop();

    // A file that could not be read is reported once, and stays read-only also when a keyword
    // tab opened at start-up showed its file in between.
    writeFile(docs(Today), QByteArray("\x00\x00junk\x00", 7));
    start();
    EXPECT_EQ(form->selectedCaption(), "Diary");
    EXPECT_TRUE(editor().isReadOnly());
    EXPECT_FALSE(plainText().contains("garden notes"));
    EXPECT_EQ(prompter.texts("error").size(), 1);
    stop();
    prompter.clear();
    QFile::remove(docs("startup.txt"));
    start();
    EXPECT_TRUE(editor().isReadOnly());
    EXPECT_EQ(prompter.texts("error").size(), 1);
}

TEST_F(DocumentSwapTest, ALongEntryReadAheadIsShownAsTheEditorWouldHaveReadIt)
{
    // Only a long entry is worth a thread; the folder is the one the settings name.
    writeFile(docs(Today), rtfWith("a short day"));
    EXPECT_FALSE(ReadEntryAhead(environment(), clock.date()));
    QDir().mkpath(programDir() + "/Elsewhere");
    writeFile(programDir() + "/Elsewhere/" + Today, longRtf(4000));
    writeFile(ini(), "[General]\r\nDocuments Directory=Elsewhere\r\n");
    const auto elsewhere = ReadEntryAhead(environment(), clock.date());
    ASSERT_TRUE(elsewhere);
    EXPECT_EQ(elsewhere->path(), programDir() + "/Elsewhere/" + Today);
    QFile::remove(ini());

    writeFile(docs(Today), longRtf(4000));
    TEnvironment env = environment();
    env.entryReadAhead = ReadEntryAhead(env, clock.date());
    ASSERT_TRUE(env.entryReadAhead);
    actions = std::make_unique<TDMActions>();
    form = std::make_unique<TFormMain>(env, *actions);
    show();
    EXPECT_TRUE(plainText().startsWith("Paragraph 0 of a long day"));
    EXPECT_TRUE(plainText().contains("Paragraph 3999 of a long day"));
    EXPECT_EQ(editor().document()->defaultFont(), editor().defaultFont());
    EXPECT_EQ(editor().document()->parent(), &editor());
    EXPECT_FALSE(editor().isReadOnly());
    EXPECT_FALSE(editor().document()->isUndoAvailable());

    // It is edited, undone and saved as any document read here.
    type("Morning. ");
    EXPECT_TRUE(editor().document()->isUndoAvailable());
    form->command("FileSave")->trigger();
    const QByteArray saved = readFile(docs(Today));
    EXPECT_TRUE(saved.contains("Morning. Paragraph 0")) << saved.left(300).constData();
    EXPECT_TRUE(saved.contains("Paragraph 3999"));
}

TEST_F(DocumentSwapTest, TheDocumentShownNextIsFollowedAsTheFirstWas)
{
    writeFile(docs("jx20261201.rtf"), rtfWith("the first"));
    writeFile(docs(Today), rtfWith("today"));
    start();
    const QFont font = editor().defaultFont();
    type("typed today ");
    form->command("FileSave")->trigger();
    QPointer<QTextDocument> previous = editor().document();

    form->command("GotoPrevDate")->trigger();
    EXPECT_TRUE(plainText().contains("the first"));
    EXPECT_EQ(editor().defaultFont(), font);
    EXPECT_EQ(editor().textCursor().position(), 0);
    EXPECT_EQ(editor().verticalScrollBar()->value(), 0);
    EXPECT_FALSE(editor().document()->isUndoAvailable()) << "no undo back into another day";
    QTest::keyClick(&editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(plainText().contains("the first"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(previous.isNull()) << "the document left is freed";

    // Typing in the new document enables Save at once, with no idle moment in between.
    EXPECT_FALSE(form->command("FileSave")->isEnabled());
    type("more ");
    EXPECT_TRUE(form->command("FileSave")->isEnabled());
    EXPECT_TRUE(editor().document()->isUndoAvailable()) << "what is typed here can be undone";
    form->command("FileSave")->trigger();
    EXPECT_FALSE(form->command("FileSave")->isEnabled());
    EXPECT_TRUE(readFile(docs("jx20261201.rtf")).contains("more the first"));
    EXPECT_TRUE(readFile(docs(Today)).contains("typed today"));
}

TEST_F(DocumentSwapTest, AnObjectInTheNextDocumentIsDrawnAtItsSize)
{
    writeFile(
        docs("jx20261201.rtf"),
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 Drawing {\\pict\\wmetafile8\\picwgoal1440"
        "\\pichgoal720 0100090000030c0000000000030000000000030000000000} end.\\par}");
    writeFile(docs(Today), rtfWith("today"));
    start();
    form->command("GotoPrevDate")->trigger();
    ASSERT_TRUE(plainText().startsWith("Drawing "));
    EXPECT_TRUE(rtf::HasObjectHandlers(*editor().document()));
    // The drawing's box, 72 by 36 points, makes its line that tall and is drawn in its grey.
    const QTextLayout* layout = editor().document()->firstBlock().layout();
    ASSERT_GT(layout->lineCount(), 0);
    EXPECT_GE(layout->lineAt(0).height(), 36.0 * editor().logicalDpiY() / 72.0);
    const QImage shown = editor().viewport()->grab().toImage();
    int grey = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            grey += QColor(shown.pixel(x, y)) == QColor(240, 240, 240);
    EXPECT_GT(grey, 500);
}

TEST_F(DocumentSwapTest, ALongDocumentShowsItsFirstScreenAndIsLaidOutWhileIdle)
{
    writeFile(docs(Today), longRtf(20000));
    start();
    QTextDocument& doc = *editor().document();
    EXPECT_TRUE(laidOut(doc.firstBlock()));
    EXPECT_FALSE(laidOut(doc.lastBlock())) << "nothing past the first screen waits for the rest";
    EXPECT_EQ(editor().textCursor().position(), 0);
    // A click above the first line, in the margin, puts the caret at the start, not at the
    // end of what is not laid out yet.
    QTest::mouseClick(editor().viewport(), Qt::LeftButton, {}, QPoint(30, 1));
    EXPECT_EQ(editor().textCursor().position(), 0);
    EXPECT_FALSE(laidOut(doc.lastBlock()));

    // Typing while the rest is being laid out lands where the caret is.
    type("Early ");
    EXPECT_TRUE(doc.firstBlock().text().startsWith("Early Paragraph 0 "));
    // Further down too, and the view stays where the typing left it.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&editor(), Qt::Key_PageDown);
    type("Mid ");
    const int scrolled = editor().verticalScrollBar()->value();
    EXPECT_GT(scrolled, 0);
    QTest::qWait(30);
    EXPECT_EQ(editor().verticalScrollBar()->value(), scrolled);

    ASSERT_TRUE(QTest::qWaitFor([&] { return editor().backgroundLayout().finished(); }, 60000));
    EXPECT_TRUE(laidOut(doc.lastBlock()));
    EXPECT_TRUE(laidOut(doc.findBlockByNumber(10000)));
    // The whole height is known: the end is where the scroll bar ends.
    QTest::keyClick(&editor(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(editor().textCursor().position(), doc.characterCount() - 1);
    EXPECT_TRUE(editor().viewport()->rect().contains(editor().cursorRect()));
    EXPECT_GT(editor().verticalScrollBar()->maximum(), 20000 * 10);
}
