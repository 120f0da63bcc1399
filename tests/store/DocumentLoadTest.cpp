#include "store/DocumentLoad.h"

#include "StoreTestSupport.h"

TEST(DocumentLoad, EveryRestoreRow)
{
    QTemporaryDir dir;
    const QString file = JoinPath(dir.path(), "jx20260101.rtf");
    const QString backup = JoinPath(dir.path(), "backup.rtf");
    const auto decide = [&] { return DecideLoadSource(file, backup); };

    // Missing, no backup: nothing.
    EXPECT_EQ(decide().source, TLoadSource::Nothing);
    EXPECT_FALSE(decide().fileExistedEmpty);
    // Missing, backup: the backup.
    PutFile(backup, "B");
    EXPECT_EQ(decide().source, TLoadSource::Backup);
    EXPECT_FALSE(decide().fileExistedEmpty);
    // Zero length, backup: the backup, and the message of a damaged file.
    PutFile(file, "");
    EXPECT_EQ(decide().source, TLoadSource::Backup);
    EXPECT_TRUE(decide().fileExistedEmpty);
    // Not empty: the file, whatever the backup.
    PutFile(file, "F");
    EXPECT_EQ(decide().source, TLoadSource::File);
    EXPECT_FALSE(decide().fileExistedEmpty);
    QFile::remove(backup);
    EXPECT_EQ(decide().source, TLoadSource::File);
    // Zero length, no backup: nothing.
    PutFile(file, "");
    EXPECT_EQ(decide().source, TLoadSource::Nothing);
    EXPECT_TRUE(decide().fileExistedEmpty);
}

TEST(DocumentLoad, UnreadableLengthCountsAsNotEmpty)
{
    QTemporaryDir dir;
    const QString file = JoinPath(dir.path(), "kw_x.rtf");
    const QString backup = JoinPath(dir.path(), "b.rtf");
    PutFile(file, "secret");
    PutFile(backup, "B");
    OpenPathForOthers(dir.path());
    QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    QFile::setPermissions(file, QFileDevice::WriteOwner);

    // Loading the file then reports why it cannot be read instead of quietly restoring.
    const int code = RunWherePermissionsHold([&] {
        if (FileLength(file) != -1)
            return 1;
        return DecideLoadSource(file, backup).source == TLoadSource::File ? 0 : 2;
    });
    SKIP_IF_PERMISSIONS_CANNOT_HOLD(code);
    EXPECT_EQ(code, 0) << "1: length readable, 2: not loaded from the file";
}
