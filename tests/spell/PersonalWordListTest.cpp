#include "SpellTestSupport.h"

#include "spell/PersonalWordList.h"
#include "store/AtomicFile.h"
#include "store/JournalError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PersonalWordList, LivesBesideTheSettingsFile)
{
    EXPECT_EQ(PersonalWordListPath("/opt/diary/jornix.ini"), "/opt/diary/jornix.dic");
    EXPECT_EQ(PersonalWordListPath("/home/u/.local/share/tarvex-diary/jornix.ini"),
              "/home/u/.local/share/tarvex-diary/jornix.dic");
}

TEST(PersonalWordList, AddsWordsAsUtf8LinesKeepingWhatTheFileHolds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("jornix.dic");
    EXPECT_TRUE(ReadPersonalWords(path).isEmpty());

    AddPersonalWord(path, u"Tarvex"_qs);
    AddPersonalWord(path, u"  na\u00efvet\u00e9 "_qs);
    AddPersonalWord(path, u"Tarvex"_qs); // already there
    AddPersonalWord(path, u""_qs);
    EXPECT_EQ(ReadBytes(path), QStringLiteral("Tarvex\nna\u00efvet\u00e9\n").toUtf8());

    // Another copy of the program, or the user with a text editor, changed the file meanwhile:
    // their words stay, blank lines and CRLF endings are read as they were meant.
    WriteBytes(path, "Tarvex\r\n\r\nzorblat\r\n  \r\nqwrt");
    AddPersonalWord(path, "glimp");
    EXPECT_EQ(ReadPersonalWords(path), (QStringList{"Tarvex", "zorblat", "qwrt", "glimp"}));
    EXPECT_EQ(ReadBytes(path), "Tarvex\nzorblat\nqwrt\nglimp\n");

    // A list written on Windows in its code page.
    WriteBytes(path, "caf\xe9\r\n");
    EXPECT_EQ(ReadPersonalWords(path), (QStringList{u"caf\u00e9"_qs}));
}

TEST(PersonalWordList, AFailedWriteIsReportedAndLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("jornix.dic");
    WriteBytes(path, "kept\n");
    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage stage, const QString&) { return stage == AtomicFile::Stage::Rename; });
    try {
        AddPersonalWord(path, "lost");
        ADD_FAILURE() << "no failure reported";
    } catch (const TJournalError& e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_EQ(ReadBytes(path), "kept\n");

    // A list that cannot be read is never written over: its words would be lost.
    const QString folderInTheWay = dir.filePath("words.dic");
    ASSERT_TRUE(QDir().mkdir(folderInTheWay));
    EXPECT_THROW(ReadPersonalWords(folderInTheWay), TJournalError);
    EXPECT_THROW(AddPersonalWord(folderInTheWay, "x"), TJournalError);
    EXPECT_TRUE(QFileInfo(folderInTheWay).isDir());
}

} // namespace
