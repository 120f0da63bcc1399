#include "JournalFixture.h"

// A day whose file held what the editor cannot keep (here a footnote) shows without it; the
// file must outlive being looked at, whatever the editor shows.
TEST_F(JournalFixture, ADayWhoseReadingDroppedContentIsNeverTakenForAnEmptyOne)
{
    const char* const name = "jx20261207.rtf";
    const QByteArray original = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard{\\footnote "
                                "\\pard Only a note.}\\par\r\n}";
    writeFile(docs(name), original);
    writeFile(backup(name), original);

    journal.OpenDiaryEntry(today, doc);
    EXPECT_TRUE(journal.currentIsLossy());
    EXPECT_TRUE(text().isEmpty());
    EXPECT_EQ(save(), TJournal::TSaved::Nothing);
    EXPECT_EQ(readFile(docs(name)), original);
    EXPECT_EQ(readFile(backup(name)), original);

    // An entry read whole is the ordinary case again.
    writeFile(docs("jx20261206.rtf"), rtfWith("plain words"));
    journal.OpenDiaryEntry(QDate(2026, 12, 6), doc);
    EXPECT_FALSE(journal.currentIsLossy());
}
