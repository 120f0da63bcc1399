#include "app/TRichEditor.h"
#include "rtf/DocumentFile.h"
#include "rtf/RtfObjectHandlers.h"
#include "rtf/RtfObjects.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

const QByteArray Png =
    QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwA"
                           "FBQIAX8jx0gAAAABJRU5ErkJggg==");
const QByteArray Metafile = "{\\pict\\wmetafile8\\picwgoal1440\\pichgoal720 "
                            "0100090000030c0000000000030000000000030000000000}";

QByteArray entry()
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 Photo {\\pict\\pngblip\\picwgoal200"
           "\\pichgoal200 " +
           Png.toHex() + "} and drawing " + Metafile + " end.\\par}";
}

class RichEditorObjects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_editor.resize(400, 300);
        std::unique_ptr<QTextDocument> read = m_editor.newDocument();
        ASSERT_EQ(LoadDocumentBytes(entry(), *read), TDocumentFormat::Rtf);
        m_editor.showDocument(std::move(read), false);
    }

    // What a save would write.
    QByteArray saved() const { return WriteRtf(*m_editor.document()); }

    void select(int start, int length) { m_editor.setSelection(start, length); }

    TRichEditor m_editor;
};

} // namespace

TEST_F(RichEditorObjects, CopyCutAndPasteCarryPicturesAndKeptObjectsWhole)
{
    // Everything copied and pasted at the end: both objects are there twice, unchanged.
    m_editor.selectAll();
    m_editor.copy();
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    ASSERT_NE(clipboard, nullptr);
    ASSERT_TRUE(clipboard->hasFormat("text/rtf"));
    EXPECT_TRUE(clipboard->data("text/rtf").contains(Metafile));
    EXPECT_EQ(clipboard->text(), "Photo  and drawing  end.");
    m_editor.moveCursor(QTextCursor::End);
    m_editor.paste();
    QByteArray file = saved();
    EXPECT_EQ(file.count(Metafile), 2) << file.toStdString();
    EXPECT_EQ(file.count(Png.toHex().left(40)), 2);

    // The first drawing alone (the second object) cut and pasted in front: it moves, whole.
    const QString text = m_editor.document()->toPlainText();
    const int drawing = int(text.indexOf(QChar::ObjectReplacementCharacter,
                                         text.indexOf(QChar::ObjectReplacementCharacter) + 1));
    select(drawing, 1);
    m_editor.cut();
    EXPECT_EQ(saved().count(Metafile), 1);
    m_editor.moveCursor(QTextCursor::Start);
    m_editor.paste();
    file = saved();
    EXPECT_EQ(file.count(Metafile), 2);
    EXPECT_LT(file.indexOf(Metafile), file.indexOf("Photo"));
}

TEST_F(RichEditorObjects, PastingPrefersRtfToHtmlAndStillTakesHtmlAndText)
{
    m_editor.clearContent();
    auto* both = new QMimeData;
    both->setHtml("<p>from html</p>");
    both->setData("text/rtf", "{\\rtf1 {\\b from rtf}}");
    QApplication::clipboard()->setMimeData(both);
    m_editor.paste();
    EXPECT_EQ(m_editor.document()->toPlainText(), "from rtf");

    m_editor.clearContent();
    auto* html = new QMimeData;
    html->setHtml("<p><b>only html</b></p>");
    QApplication::clipboard()->setMimeData(html);
    m_editor.paste();
    EXPECT_EQ(m_editor.document()->toPlainText(), "only html");
    EXPECT_TRUE(m_editor.effects().bold ||
                m_editor.document()->begin().begin().fragment().charFormat().fontWeight() >=
                    QFont::Bold);

    m_editor.clearContent();
    QApplication::clipboard()->setText("plain");
    m_editor.paste();
    EXPECT_EQ(m_editor.document()->toPlainText(), "plain");
}

TEST_F(RichEditorObjects, ADocumentHandedToTheEditorDrawsItsObjects)
{
    auto* detached = new QTextDocument(&m_editor);
    ASSERT_TRUE(ReadRtf(entry(), *detached));
    m_editor.setDocument(detached);
    m_editor.show();
    const QImage shown = m_editor.viewport()->grab().toImage();
    EXPECT_TRUE(rtf::HasObjectHandlers(*detached));
    // The drawing's box (72 by 36 points) is drawn in its light grey somewhere on screen.
    int grey = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            grey += QColor(shown.pixel(x, y)) == QColor(240, 240, 240);
    EXPECT_GT(grey, 500);
}
