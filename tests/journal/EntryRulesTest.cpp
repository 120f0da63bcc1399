#include "JournalFixture.h"

#include "store/AtomicFile.h"
#include "store/JournalError.h"

namespace {

const char* const Today = "jx20261207.rtf";

} // namespace

TEST_F(JournalFixture, ADayIsWrittenWithItsBackupOneVersionBehindAndGoesWhenEmptied)
{
    QSignalSpy saved(&journal, &TJournal::documentSaved);
    QSignalSpy removed(&journal, &TJournal::documentRemoved);

    // A day without a file gets an empty one while it is shown; looking at it and leaving
    // removes it again.
    journal.OpenDiaryEntry(today, doc);
    EXPECT_EQ(journal.EntryPath, docs(Today));
    EXPECT_TRUE(QFile::exists(docs(Today)));
    EXPECT_EQ(saved.count(), 1);
    EXPECT_EQ(save(), TJournal::TSaved::Removed);
    EXPECT_FALSE(QFile::exists(docs(Today)));
    EXPECT_TRUE(backupNames("*emptied*").isEmpty()) << "an empty day leaves no copy";

    journal.OpenDiaryEntry(today, doc);
    setText("first");
    EXPECT_EQ(save(), TJournal::TSaved::Written);
    setText("second");
    save();
    EXPECT_TRUE(readFile(docs(Today)).contains("second"));
    EXPECT_TRUE(readFile(backup(Today)).contains("first"));
    EXPECT_FALSE(readFile(backup(Today)).contains("second"));

    // Emptied by the user: both files go, and the last words are kept where they can be found.
    removed.clear();
    setText("");
    EXPECT_EQ(save(), TJournal::TSaved::Removed);
    EXPECT_FALSE(QFile::exists(docs(Today)));
    EXPECT_FALSE(QFile::exists(backup(Today)));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toString(), docs(Today));
    const QStringList emptied = backupNames("jx20261207.emptied-*");
    ASSERT_EQ(emptied, QStringList{"jx20261207.emptied-20261207-100000.rtf"});
    EXPECT_TRUE(readFile(backup(emptied[0])).contains("second"));

    // A second emptying in the same second never replaces the first copy.
    journal.OpenDiaryEntry(today, doc);
    setText("third");
    save();
    setText("");
    save();
    EXPECT_EQ(backupNames("jx20261207.emptied-*").size(), 2);
}

TEST_F(JournalFixture, MissingOrEmptyEntriesComeBackFromTheirBackupCopyByteForByte)
{
    const QByteArray kept = rtfWith("from the backup {\\*\\unknowngroup kept as it is}");
    writeFile(backup(Today), kept);

    TJournal::TOpened opened = journal.OpenDiaryEntry(today, doc);
    EXPECT_EQ(opened.notice, "Diary has been restored from backup");
    EXPECT_TRUE(text().contains("from the backup"));
    EXPECT_EQ(readFile(docs(Today)), kept) << "a restore copies the file, it does not rewrite it";
    EXPECT_TRUE(QFile::exists(backup(Today)));

    writeFile(docs(Today), QByteArray());
    opened = journal.OpenDiaryEntry(today, doc);
    EXPECT_EQ(opened.notice, "Diary file has been restored from backup");
    EXPECT_EQ(readFile(docs(Today)), kept);

    // Without a backup copy a zero-length file starts empty and is replaced by an empty
    // document, which leaving the day removes.
    QFile::remove(backup(Today));
    writeFile(docs(Today), QByteArray());
    opened = journal.OpenDiaryEntry(today, doc);
    EXPECT_TRUE(opened.notice.isEmpty());
    EXPECT_TRUE(text().isEmpty());
    EXPECT_GT(QFileInfo(docs(Today)).size(), 0);
    save();
    EXPECT_FALSE(QFile::exists(docs(Today)));
}

TEST_F(JournalFixture, LookingAtADayNeverRewritesOrRemovesWhatOthersWrote)
{
    const QByteArray original = rtfWith("written elsewhere \\b bold\\b0");
    writeFile(docs(Today), original);
    journal.OpenDiaryEntry(today, doc);
    EXPECT_EQ(save(), TJournal::TSaved::Nothing);
    EXPECT_EQ(readFile(docs(Today)), original);

    // An empty day that a sync tool fills while it is shown keeps what the tool wrote.
    const QString other = "jx20261208.rtf";
    journal.OpenDiaryEntry(QDate(2026, 12, 8), doc);
    const QByteArray synced = rtfWith("typed on the laptop, synced just now");
    writeFile(docs(other), synced);
    QFile f(docs(other));
    f.open(QIODevice::ReadWrite);
    f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    f.close();
    EXPECT_EQ(save(), TJournal::TSaved::Nothing);
    EXPECT_EQ(readFile(docs(other)), synced);
}

TEST_F(JournalFixture, AFileReplacedByAnotherProgramIsKeptBeforeTheSave)
{
    QSignalSpy told(&journal, &TJournal::information);
    writeFile(docs(Today), rtfWith("ours"));
    journal.OpenDiaryEntry(today, doc);
    writeFile(docs(Today), rtfWith("synced from the laptop, longer than before"));
    setText("more ours");
    save();

    ASSERT_EQ(told.count(), 1);
    const QStringList kept = backupNames("jx20261207*changed*");
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(kept[0]));
    EXPECT_TRUE(readFile(backup(kept[0])).contains("synced from the laptop"));
    EXPECT_TRUE(readFile(docs(Today)).contains("more ours"));

    // Our own save is no outside change: the next save goes through quietly.
    setText("again");
    save();
    EXPECT_EQ(told.count(), 1);
}

TEST_F(JournalFixture, ADamagedFileIsOfferedItsBackupAndKeptWhenRestored)
{
    const QByteArray junk("\x00\x00\x00\x00power cut\x00", 14);
    writeFile(docs(Today), junk);

    // No backup copy: reported, never written over.
    TJournal::TOpened opened = journal.OpenDiaryEntry(today, doc);
    EXPECT_TRUE(opened.damaged);
    EXPECT_FALSE(opened.backupTime);
    EXPECT_TRUE(opened.damageMessage.contains(docs(Today)));
    EXPECT_TRUE(journal.currentIsReadOnly());
    setText("typed over it");
    EXPECT_EQ(save(), TJournal::TSaved::Nothing);
    EXPECT_EQ(readFile(docs(Today)), junk);

    // A backup copy that is junk as well is no offer.
    writeFile(backup(Today), junk);
    EXPECT_FALSE(journal.OpenDiaryEntry(today, doc).backupTime);

    // A readable backup copy is offered with its time, and restoring keeps the damaged file.
    const QByteArray good = rtfWith("yesterday's words");
    writeFile(backup(Today), good);
    opened = journal.OpenDiaryEntry(today, doc);
    ASSERT_TRUE(opened.backupTime);
    EXPECT_EQ(*opened.backupTime, QFileInfo(backup(Today)).lastModified());
    EXPECT_TRUE(TJournal::DamagedQuestion(docs(Today), *opened.backupTime)
                    .startsWith(docs(Today) + " is damaged. Restore it from the backup copy of "));
    EXPECT_EQ(readFile(docs(Today)), junk) << "nothing happens before the user says yes";

    opened = journal.RestoreDamaged(doc);
    EXPECT_FALSE(opened.damaged);
    EXPECT_FALSE(journal.currentIsReadOnly());
    EXPECT_TRUE(text().contains("yesterday's words"));
    EXPECT_EQ(readFile(docs(Today)), good);
    EXPECT_EQ(backupNames("jx20261207.damaged-*"),
              QStringList{"jx20261207.damaged-20261207-100000"});
    EXPECT_EQ(readFile(backup("jx20261207.damaged-20261207-100000")), junk);

    // A tab switch onto a damaged keyword file makes the same offer.
    writeFile(docs("kw_Plans.rtf"), junk);
    writeFile(backup("kw_Plans.rtf"), rtfWith("plans"));
    EXPECT_TRUE(journal.LoadDocument(TDocumentId::keyword("Plans"), doc).backupTime);
}

TEST_F(JournalFixture, SavesAndFailuresNeverTouchTheOtherDocument)
{
    journal.OpenDiaryEntry(today, doc);
    setText("the day");
    save();
    const QByteArray entryBefore = readFile(docs(Today));

    // A keyword named like the diary tab is a keyword file all the same.
    journal.OpenKeyword("diary", doc);
    setText("flour");
    save();
    EXPECT_TRUE(readFile(docs("kw_diary.rtf")).contains("flour"));
    EXPECT_EQ(readFile(docs(Today)), entryBefore);

    // A failed write leaves the file as it was and says which file.
    setText("sugar");
    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage stage, const QString&) { return stage == AtomicFile::Stage::Rename; });
    try {
        save();
        ADD_FAILURE() << "the failed write was not reported";
    } catch (const TJournalError& e) {
        EXPECT_TRUE(e.message().contains(docs("kw_diary.rtf")));
    }
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_TRUE(readFile(docs("kw_diary.rtf")).contains("flour"));
    save();
    EXPECT_TRUE(readFile(docs("kw_diary.rtf")).contains("sugar")) << "the next save tries again";
}

TEST_F(JournalFixture, AnUnseenPlaceholderGoesButAFilledOneStays)
{
    journal.OpenDiaryEntry(today, doc);
    journal.DropUntouchedPlaceholder();
    EXPECT_FALSE(QFile::exists(docs(Today)));

    journal.OpenDiaryEntry(today, doc);
    writeFile(docs(Today), rtfWith("written by another program meanwhile"));
    journal.DropUntouchedPlaceholder();
    EXPECT_TRUE(QFile::exists(docs(Today)));
}

TEST_F(JournalFixture, ChangesMadeBehindOurBackAreAnnounced)
{
    QSignalSpy changed(&journal, &TJournal::folderChanged);
    writeFile(docs("jx20200101.rtf"), rtfWith("from a sync tool"));
    EXPECT_TRUE(changed.wait(3000));
}

TEST_F(JournalFixture, OnlyADocumentReadFromItsUnchangedFileCountsAsUnchanged)
{
    writeFile(docs(Today), rtfWith("as it was read"));
    journal.OpenDiaryEntry(today, doc);
    EXPECT_TRUE(journal.currentFileUnchanged());
    writeFile(docs(Today), rtfWith("changed by another program"));
    EXPECT_FALSE(journal.currentFileUnchanged());
    journal.LoadDocument(TDocumentId::entry(today), doc);
    EXPECT_TRUE(journal.currentFileUnchanged());

    // What we wrote ourselves need not read back as the document that was written.
    setText("typed");
    save();
    EXPECT_FALSE(journal.currentFileUnchanged());

    // A day restored from its backup copy is the copy's bytes, read as they are.
    QFile::remove(docs(Today));
    journal.OpenDiaryEntry(today, doc);
    EXPECT_TRUE(journal.currentFileUnchanged());

    // Neither the empty file a day without one gets, nor a file that could not be read.
    const QDate other(2026, 12, 8);
    journal.OpenDiaryEntry(other, doc);
    EXPECT_TRUE(QFile::exists(docs("jx20261208.rtf")));
    EXPECT_FALSE(journal.currentFileUnchanged());
    writeFile(docs("jx20261208.rtf"), QByteArray("\x00\x00junk\x00", 7));
    journal.OpenDiaryEntry(other, doc);
    EXPECT_FALSE(journal.currentFileUnchanged());
}
