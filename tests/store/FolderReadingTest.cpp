#include "store/FolderReading.h"

#include "StoreTestSupport.h"
#include "store/AtomicFile.h"

#include <QRandomGenerator>

namespace {

QStringList NamesRead(const QString& dir)
{
    QStringList names;
    const TFolderEntries entries = ReadFolder(dir);
    for (const TFolderEntry& entry : entries)
        names << QFile::decodeName(entry.name);
    names.sort();
    return names;
}

} // namespace

// Another program adds, removes and renames files while the journal runs; a reading kept from
// before must never show the folder as it was.
TEST(FolderReading, AKeptReadingFollowsEveryChangeMadeBehindItsBack)
{
    QTemporaryDir root;
    const QString dir = root.filePath("Docs");
    const QString elsewhere = root.filePath("Elsewhere");
    QDir().mkpath(dir);
    QDir().mkpath(elsewhere);
    for (int i = 0; i < 50; ++i)
        PutFile(JoinPath(dir, QStringLiteral("jx200601%1.rtf").arg(i + 10)));
    ASSERT_EQ(NamesRead(dir), AllNames(dir));

    QRandomGenerator random(20261208);
    for (int step = 0; step < 400; ++step) {
        const QStringList present = AllNames(dir);
        const QString some = present.isEmpty() ? QString()
                                               : present[random.bounded(int(present.size()))];
        const QString fresh = QStringLiteral("kw_%1.rtf").arg(random.bounded(1000));
        switch (random.bounded(6)) {
        case 0:
            PutFile(JoinPath(dir, fresh));
            break;
        case 1:
            if (!some.isEmpty())
                QDir(dir).remove(some) || QDir(dir).rmdir(some);
            break;
        case 2:
            if (!some.isEmpty())
                QDir(dir).rename(some, fresh);
            break;
        case 3:
            PutFile(JoinPath(elsewhere, fresh));
            QDir().rename(JoinPath(elsewhere, fresh), JoinPath(dir, fresh));
            break;
        case 4:
            if (!some.isEmpty())
                QDir().rename(JoinPath(dir, some), JoinPath(elsewhere, some));
            break;
        case 5: {
            // The store's own writes, inside one user action.
            const TFolderReadingReuse action;
            AtomicFile::write(JoinPath(dir, fresh), "{\\rtf1 y}");
            ASSERT_EQ(NamesRead(dir), AllNames(dir)) << step;
            DeleteFileIfExists(JoinPath(dir, fresh));
            break;
        }
        }
        ASSERT_EQ(NamesRead(dir), AllNames(dir)) << step;
    }
    // A folder made in place of the one read is read anew, and a folder gone has no names.
    QDir().rename(dir, root.filePath("Old"));
    QDir().mkpath(dir);
    PutFile(JoinPath(dir, "startup.txt"));
    EXPECT_EQ(NamesRead(dir), QStringList{"startup.txt"});
    QDir(dir).removeRecursively();
    EXPECT_TRUE(NamesRead(dir).isEmpty());
    QDir().mkpath(dir);
    PutFile(JoinPath(dir, "jx20260101.rtf"));
    EXPECT_EQ(NamesRead(dir), QStringList{"jx20260101.rtf"});
}

// Listing and name lookups over a kept reading answer as a fresh look at the folder would.
TEST(FolderReading, ListingAndLookupsSeeChangesAtOnce)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    PutFile(JoinPath(d, "jx20260101.rtf"));
    EXPECT_EQ(ListDirectory(d, "jx*.rtf"), QStringList{"jx20260101.rtf"});
    EXPECT_EQ(ResolveCaseInsensitive(d, "JX20260102.RTF"), JoinPath(d, "JX20260102.RTF"));

    PutFile(JoinPath(d, "jx20260102.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d, "JX20260102.RTF"), JoinPath(d, "jx20260102.rtf"));
    QStringList listed = ListDirectory(d, "jx*.rtf");
    listed.sort();
    EXPECT_EQ(listed, QStringList({"jx20260101.rtf", "jx20260102.rtf"}));

    // A name that turns from a file into a folder is no document any more.
    QFile::remove(JoinPath(d, "jx20260101.rtf"));
    QDir(d).mkdir("jx20260101.rtf");
    EXPECT_EQ(ListDirectory(d, "jx*.rtf"), QStringList{"jx20260102.rtf"});
}
