#include "store/AtomicFile.h"

#include "StoreTestSupport.h"
#include "store/JournalError.h"
#include "store/Paths.h"

#include <sys/stat.h>

#include <functional>

namespace {

using Stage = AtomicFile::Stage;

// Clears the injector whatever way the test leaves.
struct FaultGuard
{
    explicit FaultGuard(std::function<bool(Stage, const QString&)> injector)
    {
        AtomicFile::setFaultInjector(std::move(injector));
    }
    ~FaultGuard() { AtomicFile::setFaultInjector(nullptr); }
};

QString writeError(const QString& path, const QByteArray& data)
{
    try {
        AtomicFile::write(path, data);
    } catch (const TJournalError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST(AtomicFile, WritesAndReplacesLeavingNothingBehind)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "jx20260101.rtf");
    AtomicFile::write(path, "first");
    EXPECT_EQ(GetFile(path), "first");
    AtomicFile::write(path, "second, longer");
    EXPECT_EQ(GetFile(path), "second, longer");
    AtomicFile::write(path, "");
    EXPECT_EQ(GetFile(path), "");
    EXPECT_EQ(AllNames(dir.path()), QStringList({"jx20260101.rtf"}));
}

TEST(AtomicFile, KeepsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString real = JoinPath(dir.path(), "real.rtf");
    const QString link = JoinPath(dir.path(), "kw_Link.rtf");
    PutFile(real, "old");
    ::chmod(QFile::encodeName(real).constData(), 0640);
    ASSERT_TRUE(QFile::link(real, link));

    AtomicFile::write(link, "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(GetFile(real), "new");
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFile, EachFailingStageKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "kw_Ideas.rtf");
    PutFile(path, "old content");
    const struct
    {
        Stage stage;
        const char* reason;
    } cases[] = {{Stage::Open, "Permission denied"},
                 {Stage::Write, "No space left on device"},
                 {Stage::Flush, "No space left on device"},
                 {Stage::Rename, "Input/output error"}};
    for (const auto& c : cases) {
        QStringList seen;
        FaultGuard guard([&](Stage stage, const QString& p) {
            seen.append(p);
            return stage == c.stage;
        });
        EXPECT_EQ(writeError(path, "new content"),
                  "Cannot write \"" + path + "\": " + QString::fromUtf8(c.reason));
        EXPECT_EQ(GetFile(path), "old content");
        EXPECT_EQ(AllNames(dir.path()), QStringList({"kw_Ideas.rtf"}));
        // Every stage up to the failing one was offered to the injector, with the path.
        EXPECT_EQ(seen.size(), int(c.stage) + 1);
        EXPECT_EQ(seen.value(0), path);
    }
    // Cleared, writes work again.
    AtomicFile::write(path, "new content");
    EXPECT_EQ(GetFile(path), "new content");
}

TEST(AtomicFile, ClearErrorsForImpossibleTargets)
{
    QTemporaryDir dir;
    const QString missing = JoinPath(dir.path(), "Docs/jx20260101.rtf");
    EXPECT_EQ(writeError(missing, "x"),
              "Cannot write \"" + missing + "\": No such file or directory");
    const QString folder = JoinPath(dir.path(), "kw_Folder.rtf");
    QDir(dir.path()).mkdir("kw_Folder.rtf");
    EXPECT_EQ(writeError(folder, "x"), "Cannot write \"" + folder + "\": Is a directory");
}

TEST(AtomicFile, ReadOnlyFolderFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString docs = JoinPath(dir.path(), "Docs");
    ASSERT_TRUE(QDir().mkdir(docs));
    const QString path = JoinPath(docs, "jx20260101.rtf");
    const QString backup = JoinPath(docs, "backup.rtf");
    PutFile(path, "old");
    OpenPathForOthers(docs);
    ::chmod(QFile::encodeName(docs).constData(), 0555);

    const int code = RunWherePermissionsHold([&] {
        if (writeError(path, "new") != "Cannot write \"" + path + "\": Permission denied")
            return 1;
        if (CopyFileReplacing(path, backup))
            return 2;
        if (DeleteFileIfExists(path))
            return 3;
        return 0;
    });
    ::chmod(QFile::encodeName(docs).constData(), 0755);
    SKIP_IF_PERMISSIONS_CANNOT_HOLD(code);
    EXPECT_EQ(code, 0) << "1: wrong or no write error, 2: copy succeeded, 3: delete succeeded";
    EXPECT_EQ(GetFile(path), "old");
    EXPECT_EQ(AllNames(docs), QStringList({"jx20260101.rtf"}));
}

TEST(AtomicFile, ReadOnlyFileIsNotReplaced)
{
    // The folder would allow a rename over the file; the file's own protection must still hold.
    QTemporaryDir dir;
    const QString path = JoinPath(dir.path(), "kw_Locked.rtf");
    PutFile(path, "old");
    OpenPathForOthers(dir.path());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
    ::chmod(QFile::encodeName(path).constData(), 0444);

    const int code = RunWherePermissionsHold([&] {
        return writeError(path, "new") == "Cannot write \"" + path + "\": Permission denied" ? 0
                                                                                             : 1;
    });
    SKIP_IF_PERMISSIONS_CANNOT_HOLD(code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(GetFile(path), "old");
    EXPECT_EQ(AllNames(dir.path()), QStringList({"kw_Locked.rtf"}));
}

TEST(AtomicFile, LongestAllowedKeywordFileCanBeWritten)
{
    QTemporaryDir dir;
    for (const QChar letter : {QChar('a'), QChar(0x00e4), QChar(0x65e5)}) {
        QString name = QStringLiteral("kw_");
        while ((name + letter + QStringLiteral(".rtf")).toUtf8().size() <= 255)
            name += letter;
        name += QStringLiteral(".rtf");
        const QString path = JoinPath(dir.path(), name);
        AtomicFile::write(path, "text");
        AtomicFile::write(path, "more text");
        EXPECT_EQ(GetFile(path), "more text") << name.toUtf8().size();
        EXPECT_EQ(AllNames(dir.path()), QStringList({name}));
        QFile::remove(path);
    }
    // A 4-byte character at the cut is never split.
    const QString name = QStringLiteral("kw_") + QString(62, QChar('x')) +
                         QString::fromUcs4(U"\U0001F600").repeated(46) + QStringLiteral(".rtf");
    ASSERT_LE(name.toUtf8().size(), 255);
    AtomicFile::write(JoinPath(dir.path(), name), "smile");
    EXPECT_EQ(GetFile(JoinPath(dir.path(), name)), "smile");
}

TEST(AtomicFile, LeftoversOfAnInterruptedWriteAreRemovedOnceSettled)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    const QString old1 = JoinPath(d, ".jx20260101.rtf.k3j9x1.tmp");
    const QString old2 = JoinPath(d, ".kw_My Plans.rtf.a.tmp");
    const QString fresh = JoinPath(d, ".kw_Ideas.rtf.zz01.tmp");
    const QString notOurs = JoinPath(d, ".cache.TMP1.tmp");
    for (const QString& p : {old1, old2, fresh, notOurs, JoinPath(d, "jx20260101.rtf")})
        PutFile(p, "x");
    for (const QString& p : {old1, old2, notOurs}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                  QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(AtomicFile::removeLeftovers(d), 2);
    EXPECT_EQ(AllNames(d),
              QStringList({".cache.TMP1.tmp", ".kw_Ideas.rtf.zz01.tmp", "jx20260101.rtf"}));
    EXPECT_EQ(AtomicFile::removeLeftovers(d + "/missing"), 0);
}
