#include "store/Paths.h"

#include "StoreTestSupport.h"
#include "store/AtomicFile.h"
#include "store/JournalError.h"

TEST(Paths, JoinPathUsesOneSlash)
{
    EXPECT_EQ(JoinPath("/x/Docs", "jx20260101.rtf"), "/x/Docs/jx20260101.rtf");
    EXPECT_EQ(JoinPath("/", "a"), "/a");
}

TEST(Paths, ResolveCaseInsensitivePrefersTheExactName)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    PutFile(JoinPath(d, "kw_Recipes.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d, "KW_RECIPES.RTF"), JoinPath(d, "kw_Recipes.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d, "kw_Recipes.rtf"), JoinPath(d, "kw_Recipes.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d, "kw_Other.rtf"), JoinPath(d, "kw_Other.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d + "/missing", "x"), d + "/missing/x");

    // Two spellings on a file system that keeps both: the exact one wins, otherwise the choice
    // is the same every time.
    PutFile(JoinPath(d, "kw_recipes.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d, "kw_recipes.rtf"), JoinPath(d, "kw_recipes.rtf"));
    EXPECT_EQ(ResolveCaseInsensitive(d, "KW_RECIPES.rtf"), JoinPath(d, "kw_Recipes.rtf"));

    // Letters outside ASCII fold too.
    PutFile(JoinPath(d, QStringLiteral("kw_\u00c4rger.rtf")));
    EXPECT_EQ(ResolveCaseInsensitive(d, QStringLiteral("kw_\u00e4rger.rtf")),
              JoinPath(d, QStringLiteral("kw_\u00c4rger.rtf")));
}

TEST(Paths, WildcardMatchingIgnoresCase)
{
    EXPECT_TRUE(MatchesWildcard(u"jx20260101.rtf", u"jx*.rtf"));
    EXPECT_TRUE(MatchesWildcard(u"JX20260101.RTF", u"jx*.rtf"));
    EXPECT_TRUE(MatchesWildcard(u"jx.rtf", u"jx*.rtf"));
    EXPECT_TRUE(MatchesWildcard(u"jx202612.rtf.rtf", u"jx202612*.rtf"));
    EXPECT_TRUE(MatchesWildcard(u"kw_a.rtf", u"kw_?.rtf"));
    EXPECT_TRUE(MatchesWildcard(u"anything", u"*"));
    EXPECT_TRUE(MatchesWildcard(u"", u"*"));
    EXPECT_FALSE(MatchesWildcard(u"kw_ab.rtf", u"kw_?.rtf"));
    EXPECT_FALSE(MatchesWildcard(u"jx20260101.rtf.bak", u"jx*.rtf"));
    EXPECT_FALSE(MatchesWildcard(u"xjx20260101.rtf", u"jx*.rtf"));
    EXPECT_FALSE(MatchesWildcard(u"jx2026.rt", u"jx*.rtf"));
    EXPECT_FALSE(MatchesWildcard(u"", u"?"));
}

TEST(Paths, ListDirectoryMatchesFilesIgnoringCase)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char* name : {"jx20260101.rtf", "JX20260102.RTF", "jx20260103.rtf.bak", "kw_a.rtf",
                             "startup.txt", ".jx20260104.rtf.abc.tmp"})
        PutFile(JoinPath(d, name));
    QDir(d).mkdir("jx20260105.rtf"); // a folder is no document

    QStringList entries = ListDirectory(d, "jx*.rtf");
    entries.sort();
    EXPECT_EQ(entries, QStringList({"JX20260102.RTF", "jx20260101.rtf"}));
    EXPECT_EQ(ListDirectory(d, "KW_*.RTF"), QStringList({"kw_a.rtf"}));
    EXPECT_EQ(ListDirectory(d, "*").size(), 5);
    EXPECT_EQ(ListDirectory(d, ".*.tmp"), QStringList({".jx20260104.rtf.abc.tmp"}));
    EXPECT_TRUE(ListDirectory(d + "/missing", "*").isEmpty());
}

TEST(Paths, SortedNamesIgnoresCaseAndKeepsEachNameOnce)
{
    EXPECT_EQ(SortedNames({"kw_b.rtf", "KW_A.rtf", "kw_a.rtf", "kw_C.rtf", "kw_b.rtf"}),
              QStringList({"KW_A.rtf", "kw_b.rtf", "kw_C.rtf"}));
    EXPECT_TRUE(SortedNames({}).isEmpty());
}

TEST(Paths, FileOperations)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    const QString a = JoinPath(d, "a.rtf");
    const QString b = JoinPath(d, "b.rtf");
    PutFile(a, "AAAA");
    PutFile(JoinPath(d, "empty.rtf"), "");
    QDir(d).mkdir("folder.rtf");

    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(b));
    EXPECT_FALSE(FileExists(JoinPath(d, "folder.rtf")));
    EXPECT_EQ(FileLength(a), 4);
    EXPECT_EQ(FileLength(JoinPath(d, "empty.rtf")), 0);
    EXPECT_EQ(FileLength(b), -1);
    EXPECT_EQ(FileLength(JoinPath(d, "folder.rtf")), -1);

    EXPECT_TRUE(CopyFileReplacing(a, b));
    EXPECT_EQ(GetFile(b), "AAAA");
    PutFile(a, "NEW");
    EXPECT_TRUE(CopyFileReplacing(a, b));
    EXPECT_EQ(GetFile(b), "NEW");
    EXPECT_FALSE(CopyFileReplacing(JoinPath(d, "none.rtf"), b));
    EXPECT_EQ(GetFile(b), "NEW");
    EXPECT_FALSE(CopyFileReplacing(a, JoinPath(d, "no/such/dir.rtf")));

    EXPECT_TRUE(DeleteFileIfExists(b));
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_TRUE(DeleteFileIfExists(b));
    EXPECT_FALSE(DeleteFileIfExists(JoinPath(d, "folder.rtf")));

    EXPECT_TRUE(CreateDirectoryLevel(JoinPath(d, "Backup")));
    EXPECT_TRUE(CreateDirectoryLevel(JoinPath(d, "Backup")));
    EXPECT_FALSE(CreateDirectoryLevel(JoinPath(d, "x/y")));
}

TEST(Paths, CopyFailsWhenTheBackupWriteFails)
{
    QTemporaryDir dir;
    const QString from = JoinPath(dir.path(), "a.rtf");
    const QString to = JoinPath(dir.path(), "b.rtf");
    PutFile(from, "new");
    PutFile(to, "old");
    AtomicFile::setFaultInjector(
        [](AtomicFile::Stage s, const QString&) { return s == AtomicFile::Stage::Rename; });
    EXPECT_FALSE(CopyFileReplacing(from, to));
    AtomicFile::setFaultInjector(nullptr);
    EXPECT_EQ(GetFile(to), "old");
}

TEST(Paths, ReadWholeFileNamesThePathAndTheReason)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "a.rtf");
    PutFile(path, QByteArray("x\0y", 3));
    EXPECT_EQ(ReadWholeFile(path), QByteArray("x\0y", 3));

    const QString missing = JoinPath(dir.path(), "missing.rtf");
    try {
        ReadWholeFile(missing);
        FAIL() << "no error";
    } catch (const TJournalError& e) {
        EXPECT_EQ(e.message(), "Cannot read \"" + missing + "\": No such file or directory");
    }
    try {
        ReadWholeFile(dir.path());
        FAIL() << "no error";
    } catch (const TJournalError& e) {
        EXPECT_EQ(e.message(), "Cannot read \"" + dir.path() + "\": Is a directory");
    }
}

TEST(Paths, DecodeTextFileFallsBackToWindows1252)
{
    EXPECT_EQ(DecodeTextFile("Caf\xc3\xa9"), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(DecodeTextFile("\xef\xbb\xbfHome"), "Home"); // a byte-order mark is no letter
    EXPECT_EQ(DecodeTextFile("Caf\xe9"), QStringLiteral("Caf\u00e9"));
    // The bytes where Windows-1252 and Latin-1 differ.
    EXPECT_EQ(DecodeTextFile("\x80 \x93quoted\x94 \xa6"),
              QStringLiteral("\u20ac \u201cquoted\u201d \u00a6"));
    EXPECT_EQ(DecodeTextFile(""), "");
}
