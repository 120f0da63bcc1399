#include "JournalFixture.h"

#include "store/AtomicFile.h"
#include "store/JournalError.h"

TEST_F(JournalFixture, KeywordsComeBackFromTheirBackupWithTheirOwnMessages)
{
    writeFile(backup("kw_Plans.rtf"), rtfWith("plans"));
    TJournal::TOpened opened = journal.OpenKeyword("Plans", doc);
    EXPECT_EQ(opened.notice, "Plans has been restored from backup");
    EXPECT_TRUE(text().contains("plans"));
    EXPECT_FALSE(QFile::exists(docs("kw_Plans.rtf"))) << "a keyword restore writes nothing";

    writeFile(docs("kw_Plans.rtf"), QByteArray());
    EXPECT_EQ(journal.OpenKeyword("Plans", doc).notice, "Restored from backup");

    // A tab switch loads the file without restoring.
    QFile::remove(docs("kw_Plans.rtf"));
    EXPECT_TRUE(journal.LoadDocument(TDocumentId::keyword("Plans"), doc).notice.isEmpty());
    EXPECT_TRUE(text().isEmpty());
}

TEST_F(JournalFixture, RenamingNeverDeletesWhatWasNotWrittenUnderTheNewName)
{
    QSignalSpy renamed(&journal, &TJournal::documentRenamed);
    const QByteArray original = rtfWith("ideas {\\*\\somethingwedonotshow 42}");
    writeFile(docs("kw_Ideas.rtf"), original);
    writeFile(backup("kw_Ideas.rtf"), rtfWith("older ideas"));
    journal.StartupTabs = {"Home", "Ideas"};

    // Not edited: the file moves as it is.
    journal.OpenKeyword("Ideas", doc);
    journal.RenameKeyword("Ideas", "Plans", doc, false);
    EXPECT_EQ(readFile(docs("kw_Plans.rtf")), original);
    EXPECT_FALSE(QFile::exists(docs("kw_Ideas.rtf")));
    EXPECT_FALSE(QFile::exists(backup("kw_Ideas.rtf")));
    EXPECT_EQ(journal.StartupTabs, (QStringList{"Home", "Plans"}));
    ASSERT_EQ(renamed.count(), 1);
    EXPECT_EQ(renamed.at(0).at(1).toString(), docs("kw_Plans.rtf"));
    EXPECT_TRUE(journal.current() == TDocumentId::keyword("Plans"));

    // Edited, and the write under the new name fails: the old file stays.
    setText("edited plans");
    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage stage, const QString&) { return stage == AtomicFile::Stage::Write; });
    EXPECT_THROW(journal.RenameKeyword("Plans", "Goals", doc, true), TJournalError);
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_EQ(readFile(docs("kw_Plans.rtf")), original);
    EXPECT_FALSE(QFile::exists(docs("kw_Goals.rtf")));

    // Edited, and the write succeeds: the new file holds the text, the old one is gone.
    journal.OpenKeyword("Plans", doc);
    setText("edited plans");
    journal.RenameKeyword("Plans", "Goals", doc, true);
    EXPECT_TRUE(readFile(docs("kw_Goals.rtf")).contains("edited plans"));
    EXPECT_FALSE(QFile::exists(docs("kw_Plans.rtf")));

    // Only the letter case changes: the same file takes the new spelling.
    journal.RenameKeyword("Goals", "GOALS", doc, false);
    EXPECT_TRUE(readFile(docs("kw_GOALS.rtf")).contains("edited plans"));
    EXPECT_FALSE(QFile::exists(docs("kw_Goals.rtf")));
}

TEST_F(JournalFixture, AnUnreadableKeywordIsNeitherRenamedNorWrittenOver)
{
    const QByteArray junk("\x01\x02\x03 not a document \x00", 19);
    writeFile(docs("kw_Old.rtf"), junk);
    EXPECT_TRUE(journal.OpenKeyword("Old", doc).damaged);
    try {
        journal.RenameKeyword("Old", "New", doc, true);
        ADD_FAILURE() << "the rename went through";
    } catch (const TJournalError& e) {
        EXPECT_TRUE(e.message().contains("cannot be renamed")) << e.message().toStdString();
    }
    EXPECT_EQ(readFile(docs("kw_Old.rtf")), junk);
    EXPECT_FALSE(QFile::exists(docs("kw_New.rtf")));
}

TEST_F(JournalFixture, AnEmptiedKeywordGoesWithACopyAndDeletingRemovesItsMark)
{
    journal.OpenKeyword("Recipes", doc);
    setText("flour, sugar");
    save();
    setText("");
    EXPECT_EQ(save(), TJournal::TSaved::Removed);
    EXPECT_FALSE(QFile::exists(docs("kw_Recipes.rtf")));
    ASSERT_EQ(backupNames("kw_Recipes.emptied-*").size(), 1);
    EXPECT_TRUE(readFile(backup(backupNames("kw_Recipes.emptied-*")[0])).contains("flour, sugar"));

    writeFile(docs("kw_Work.rtf"), rtfWith("work"));
    writeFile(backup("kw_Work.rtf"), rtfWith("older work"));
    journal.StartupTabs = {"work", "Home"};
    journal.DeleteKeyword("Work");
    EXPECT_FALSE(QFile::exists(docs("kw_Work.rtf")));
    EXPECT_FALSE(QFile::exists(backup("kw_Work.rtf")));
    EXPECT_EQ(journal.StartupTabs, QStringList{"Home"});
    EXPECT_EQ(readFile(docs("startup.txt")), "Home\r\n");
}
