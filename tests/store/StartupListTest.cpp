#include "store/StartupList.h"

#include "StoreTestSupport.h"
#include "store/AtomicFile.h"
#include "store/JournalError.h"

TEST(StartupList, WritesCrLfAfterEveryLine)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "startup.txt");
    WriteStartupTabs(path, {"Work", "Home"});
    EXPECT_EQ(GetFile(path), "Work\r\nHome\r\n");
    WriteStartupTabs(path, {"Home"});
    EXPECT_EQ(GetFile(path), "Home\r\n");
    WriteStartupTabs(path, {QStringLiteral("Caf\u00e9"), "", "x"});
    EXPECT_EQ(GetFile(path), "Caf\xc3\xa9\r\nx\r\n");

    // Unmarking the last keyword leaves an empty file, not a missing one.
    WriteStartupTabs(path, {});
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(AllNames(dir.path()), QStringList({"startup.txt"}));
}

TEST(StartupList, ReadsEveryKindOfLineEnd)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "startup.txt");
    EXPECT_TRUE(ReadStartupTabs(path).isEmpty());

    const QStringList three = {"Work", "Home", "My Plans"};
    for (const char* bytes :
         {"Work\r\nHome\r\nMy Plans\r\n", "Work\nHome\nMy Plans", "Work\rHome\rMy Plans\r",
          "Work\r\nHome\nMy Plans\r", "\r\nWork\r\n\r\nHome\n\n\rMy Plans\r\n\r\n"}) {
        PutFile(path, bytes);
        EXPECT_EQ(ReadStartupTabs(path), three) << bytes;
    }
    // Nothing is trimmed.
    PutFile(path, " Home \r\n");
    EXPECT_EQ(ReadStartupTabs(path), QStringList({" Home "}));
    PutFile(path, "");
    EXPECT_TRUE(ReadStartupTabs(path).isEmpty());
}

TEST(StartupList, ReadsFilesWrittenOnWindows)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "startup.txt");
    PutFile(path, "Caf\xe9\r\n\x80uro\r\n");
    EXPECT_EQ(ReadStartupTabs(path),
              QStringList({QStringLiteral("Caf\u00e9"), QStringLiteral("\u20acuro")}));
    // And what we write reads back the same.
    const QStringList names = {QStringLiteral("Caf\u00e9"), QStringLiteral("\u65e5\u8a18")};
    WriteStartupTabs(path, names);
    EXPECT_EQ(ReadStartupTabs(path), names);
}

TEST(StartupList, FailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "gone/startup.txt");
    try {
        WriteStartupTabs(path, {"Home"});
        FAIL() << "no error";
    } catch (const TJournalError& e) {
        EXPECT_EQ(e.message(), "Cannot write \"" + path + "\": No such file or directory");
    }

    const QString good = JoinPath(dir.path(), "startup.txt");
    PutFile(good, "Home\r\n");
    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage s, const QString&) { return s == AtomicFile::Stage::Write; });
    EXPECT_THROW(WriteStartupTabs(good, {}), TJournalError);
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_EQ(GetFile(good), "Home\r\n");

    QDir(dir.path()).mkdir("startup.txt.d");
    EXPECT_THROW(ReadStartupTabs(JoinPath(dir.path(), "startup.txt.d")), TJournalError);
}
