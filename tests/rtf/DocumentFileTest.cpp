#include "RtfTestSupport.h"

#include "rtf/DocumentFile.h"

#include <gtest/gtest.h>

TEST(DocumentFile, ChoosesRtfPlainTextOrUnreadable)
{
    QTextDocument doc;
    EXPECT_EQ(LoadDocumentBytes("{\\rtf1 {\\b bold}}", doc), TDocumentFormat::Rtf);
    EXPECT_EQ(doc.toPlainText(), "bold");

    EXPECT_EQ(LoadDocumentBytes("line one\r\nline two\rthree\n", doc), TDocumentFormat::PlainText);
    EXPECT_EQ(doc.toPlainText(), "line one\nline two\nthree\n");
    EXPECT_FALSE(doc.isModified());

    EXPECT_EQ(LoadDocumentBytes("\xEF\xBB\xBF"
                                "caf\xC3\xA9 \xE2\x82\xAC",
                                doc),
              TDocumentFormat::PlainText);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("café €"));
    // Not valid UTF-8: Windows-1252.
    EXPECT_EQ(LoadDocumentBytes("caf\xE9 \x80 \x93quoted\x94", doc), TDocumentFormat::PlainText);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("café € “quoted”"));
    // Notepad's UTF-16 with a byte-order mark.
    EXPECT_EQ(LoadDocumentBytes(QByteArray("\xFF\xFEh\0i\0", 6), doc), TDocumentFormat::PlainText);
    EXPECT_EQ(doc.toPlainText(), "hi");
    EXPECT_EQ(LoadDocumentBytes("", doc), TDocumentFormat::PlainText);
    EXPECT_EQ(doc.toPlainText(), "");

    doc.setPlainText("kept");
    EXPECT_EQ(LoadDocumentBytes(QByteArray("MZ\x90\0\x03\0", 6), doc), TDocumentFormat::Unreadable);
    EXPECT_EQ(LoadDocumentBytes("text\x01with control", doc), TDocumentFormat::Unreadable);
    EXPECT_EQ(LoadDocumentBytes("\x89PNG\r\n\x1a\n", doc), TDocumentFormat::Unreadable);
    EXPECT_EQ(doc.toPlainText(), "kept");
}
