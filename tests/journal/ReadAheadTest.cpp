// A file read ahead on another thread stands in for reading it only while the file is exactly
// as it was read; anything else is read as it is now.
#include "JournalFixture.h"

#include "journal/ReadAhead.h"

#include <QThread>

namespace {

const char* const Today = "jx20261207.rtf";

} // namespace

TEST_F(JournalFixture, TheEntryReadAheadIsShownAsReadingItWouldShowIt)
{
    writeFile(docs(Today), rtfWith("read on the second core"));
    journal.UseReadAhead(std::make_shared<TReadAhead>(docs(Today)));

    TJournal::TOpened opened = journal.OpenDiaryEntry(today, doc);
    ASSERT_TRUE(opened.document);
    EXPECT_EQ(opened.document->toPlainText(), "read on the second core");
    EXPECT_TRUE(doc.isEmpty()) << "the document given is not filled as well";
    EXPECT_EQ(opened.document->thread(), QThread::currentThread());
    EXPECT_TRUE(opened.document->isUndoRedoEnabled());
    EXPECT_FALSE(opened.document->isModified());
    EXPECT_EQ(opened.source, TLoadSource::File);
    EXPECT_TRUE(journal.currentFileUnchanged());
    EXPECT_FALSE(journal.currentIsLossy());

    // Only the next load may take it: opening the day again reads the file.
    writeFile(docs(Today), rtfWith("written since"));
    journal.OpenDiaryEntry(today, doc);
    EXPECT_EQ(text(), "written since");
}

TEST_F(JournalFixture, AReadAheadOfAFileChangedSinceIsNotUsed)
{
    writeFile(docs(Today), rtfWith("as it was"));
    journal.UseReadAhead(std::make_shared<TReadAhead>(docs(Today)));
    // Long enough for the thread to have read the old text.
    QThread::msleep(200);
    writeFile(docs(Today), rtfWith("as another program left it"));

    TJournal::TOpened opened = journal.OpenDiaryEntry(today, doc);
    EXPECT_FALSE(opened.document);
    EXPECT_EQ(text(), "as another program left it");
}

TEST_F(JournalFixture, AReadAheadOfAnotherFileIsDroppedAndDamageIsFoundAsEver)
{
    const char* const other = "jx20261206.rtf";
    writeFile(docs(other), rtfWith("yesterday"));
    writeFile(docs(Today), rtfWith("today"));
    journal.UseReadAhead(std::make_shared<TReadAhead>(docs(other)));
    EXPECT_FALSE(journal.OpenDiaryEntry(today, doc).document);
    EXPECT_EQ(text(), "today");
    // Dropped, not kept for later.
    EXPECT_FALSE(journal.OpenDiaryEntry(QDate(2026, 12, 6), doc).document);
    EXPECT_EQ(text(), "yesterday");

    // A file of junk is read as usual: damaged, shown empty and read-only, its backup offered.
    writeFile(docs(Today), QByteArray("\x00\x01junk\x00", 7));
    writeFile(backup(Today), rtfWith("the day before the damage"));
    journal.UseReadAhead(std::make_shared<TReadAhead>(docs(Today)));
    TJournal::TOpened opened = journal.OpenDiaryEntry(today, doc);
    EXPECT_FALSE(opened.document);
    EXPECT_TRUE(opened.damaged);
    EXPECT_TRUE(opened.backupTime.has_value());
    EXPECT_TRUE(journal.currentIsReadOnly());
}

TEST_F(JournalFixture, AReadAheadKeepsWhatReadingDroppedInMind)
{
    const QByteArray withFootnote = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Kept "
                                    "words{\\footnote \\pard Only a note.}\\par\r\n}";
    writeFile(docs(Today), withFootnote);
    journal.UseReadAhead(std::make_shared<TReadAhead>(docs(Today)));
    TJournal::TOpened opened = journal.OpenDiaryEntry(today, doc);
    ASSERT_TRUE(opened.document);
    EXPECT_TRUE(journal.currentIsLossy());
    // Looked at, not edited: the file stays as it is.
    EXPECT_EQ(journal.SaveCurrentDocument(*opened.document, false), TJournal::TSaved::Nothing);
    EXPECT_EQ(readFile(docs(Today)), withFootnote);
}
