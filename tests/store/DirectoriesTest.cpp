#include "store/Directories.h"

#include <gtest/gtest.h>

namespace {

void expectDirs(const TDocumentDirs& dirs, const QString& docs, const QString& backup)
{
    EXPECT_EQ(dirs.docsDir, docs);
    EXPECT_EQ(dirs.backupDir, backup);
}

} // namespace

TEST(Directories, RelativeDirectoriesComeFromTheWorkingDir)
{
    expectDirs(ResolveDocumentDirs("Docs", "Docs\\Backup", "/home/u/journal"),
               "/home/u/journal/Docs", "/home/u/journal/Docs/Backup");
    expectDirs(ResolveDocumentDirs("Docs", "Docs/Backup", "/home/u/journal/"),
               "/home/u/journal/Docs", "/home/u/journal/Docs/Backup");
    expectDirs(ResolveDocumentDirs("My Docs\\2026\\", "Backup\\", "/w"), "/w/My Docs/2026",
               "/w/Backup");
    // A name of fewer than two characters is a folder name too.
    expectDirs(ResolveDocumentDirs("D", "B", "/w"), "/w/D", "/w/B");
    expectDirs(ResolveDocumentDirs("D", "B", "/"), "/D", "/B");
}

TEST(Directories, AbsoluteDirectoriesStayAsTheyAre)
{
    // An absolute backup dir stays absolute whatever the docs dir is.
    expectDirs(ResolveDocumentDirs("Docs", "/mnt/safe/Backup", "/w"), "/w/Docs",
               "/mnt/safe/Backup");
    expectDirs(ResolveDocumentDirs("/data/Docs", "/data/Backup/", "/w"), "/data/Docs",
               "/data/Backup");
    // With an absolute docs dir the backup dir is left as stored.
    expectDirs(ResolveDocumentDirs("/data/Docs/", "Docs\\Backup", "/w"), "/data/Docs",
               "Docs/Backup");
    // A leading backslash is absolute as well.
    expectDirs(ResolveDocumentDirs("\\\\server\\share", "\\x", "/w"), "//server/share", "/x");
    expectDirs(ResolveDocumentDirs("/", "/", "/w"), "/", "/");
}

TEST(Directories, DriveLettersAreAbsoluteOnlyOnWindows)
{
    const TDocumentDirs dirs = ResolveDocumentDirs("C:\\Diary\\Docs", "D:\\Backup", "/w");
#ifdef Q_OS_WIN
    expectDirs(dirs, "C:/Diary/Docs", "D:/Backup");
#else
    expectDirs(dirs, "/w/C:/Diary/Docs", "/w/D:/Backup");
#endif
}
