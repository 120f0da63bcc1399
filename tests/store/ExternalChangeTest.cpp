#include "store/ExternalChange.h"

#include "StoreTestSupport.h"
#include "store/JournalError.h"

#include <QFileInfo>

TEST(ExternalChange, StampsSeeSizeAndTimeChanges)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "jx20260101.rtf");
    const TFileStamp none = StampOf(path);
    EXPECT_FALSE(none.exists);
    EXPECT_EQ(none.size, -1);

    PutFile(path, "mine");
    const TFileStamp loaded = StampOf(path);
    EXPECT_TRUE(loaded.exists);
    EXPECT_EQ(loaded.size, 4);
    EXPECT_EQ(StampOf(path), loaded);
    EXPECT_NE(loaded, none);

    // Same size, other time: what a sync tool replacing the file looks like.
    PutFile(path, "sync");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QFileInfo(path).lastModified().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(StampOf(path).size, 4);
    EXPECT_NE(StampOf(path), loaded);

    PutFile(path, "longer text");
    EXPECT_EQ(StampOf(path).size, 11);

    QFile::remove(path);
    EXPECT_EQ(StampOf(path), none);
}

TEST(ExternalChange, PreservedCopyTellsWhereAndWhenAndNeverReplacesAnother)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "kw_Ideas.rtf");
    const QString backupDir = JoinPath(dir.path(), "Docs/Backup");
    const QDateTime now(QDate(2026, 3, 8), QTime(14, 15, 16));
    PutFile(path, "their version");

    const QString copy = PreserveExternalVersion(path, backupDir, now);
    EXPECT_EQ(copy, JoinPath(backupDir, "kw_Ideas.changed-elsewhere-20260308-141516.rtf"));
    EXPECT_EQ(GetFile(copy), "their version");

    PutFile(path, "another version");
    const QString second = PreserveExternalVersion(path, backupDir, now);
    EXPECT_EQ(second, JoinPath(backupDir, "kw_Ideas.changed-elsewhere-20260308-141516-2.rtf"));
    EXPECT_EQ(GetFile(copy), "their version");
    EXPECT_EQ(GetFile(second), "another version");

    PutFile(JoinPath(dir.path(), "jx20260101.RTF"), "e");
    EXPECT_EQ(PreserveExternalVersion(JoinPath(dir.path(), "jx20260101.RTF"), backupDir, now),
              JoinPath(backupDir, "jx20260101.changed-elsewhere-20260308-141516.rtf"));

    const QString gone = JoinPath(dir.path(), "kw_Gone.rtf");
    try {
        PreserveExternalVersion(gone, backupDir, now);
        FAIL() << "no error";
    } catch (const TJournalError& e) {
        EXPECT_EQ(e.message(), "Cannot read \"" + gone + "\": No such file or directory");
    }
}
