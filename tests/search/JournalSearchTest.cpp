#include "search/JournalSearch.h"
#include "search/IndexLocation.h"
#include "search/JournalFiles.h"

#include "SearchTestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QByteArray rtf(const QByteArray& text)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard " + text + "\\par\r\n}";
}

// Whether SQLite finds the file sound, read through a connection of the test's own.
bool isSoundFile(const QString& path)
{
    bool sound = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        if (db.open()) {
            QSqlQuery query(db);
            sound = query.exec("PRAGMA quick_check") && query.next() &&
                    query.value(0).toString() == "ok";
        }
    }
    QSqlDatabase::removeDatabase("check");
    return sound;
}

void setModified(const QString& path, const QDateTime& when)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

TEST(JournalFiles, OnlyEntriesAndKeywordFilesAreDocumentsAndOnlyChangesAreRead)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char* name :
         {"jx20260101.rtf", "JX20260102.RTF", "kw_Work.rtf", "KW_home.RTF", "startup.txt",
          "jx2026.rtf", "jx20261301.rtf", "jx20260101 copy.rtf", ".kw_tmp.rtf", "kw_notes.txt"})
        put(d + '/' + QString::fromLatin1(name), "x");
    QDir(d).mkdir(QStringLiteral("jx20260103.rtf"));

    QStringList names;
    for (const TJournalFile& f : ListJournalFiles(d))
        names << f.name;
    names.sort();
    EXPECT_EQ(names,
              QStringList({"JX20260102.RTF", "KW_home.RTF", "jx20260101.rtf", "kw_Work.rtf"}));
    const auto entry = DocumentNameOf(QStringLiteral("JX20260102.RTF"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->date, QDate(2026, 1, 2));
    EXPECT_EQ(DocumentNameOf(QStringLiteral("kw_Holiday plans.rtf"))->keyword, "Holiday plans");
    EXPECT_FALSE(ListJournalFiles(d + QStringLiteral("/missing")).size());

    const QList<TJournalFile> disk = {{"jx20260101.rtf", {10, 1000}},
                                      {"jx20260102.rtf", {11, 1000}},
                                      {"jx20260103.rtf", {12, 2000}},
                                      {"kw_New.rtf", {5, 1}}};
    const QHash<QString, TFileState> indexed = {{"jx20260101.rtf", {10, 1000}},
                                                {"jx20260102.rtf", {99, 1000}},
                                                {"jx20260103.rtf", {12, 1999}},
                                                {"kw_Old.rtf", {5, 1}}};
    const TCatchUpPlan plan = PlanCatchUp(disk, indexed);
    EXPECT_EQ(plan.read, QStringList({"kw_New.rtf", "jx20260103.rtf", "jx20260102.rtf"}));
    EXPECT_EQ(plan.remove, QStringList({"kw_Old.rtf"}));
    // Nothing changed, nothing to do.
    EXPECT_TRUE(PlanCatchUp(disk.mid(0, 1), {{"jx20260101.rtf", {10, 1000}}}).isEmpty());
}

TEST(JournalFiles, EachDocumentsFolderHasItsOwnIndexInTheCacheFolder)
{
    QTemporaryDir a, b;
    const QString pathA = SearchIndexPath(a.path());
    EXPECT_TRUE(pathA.startsWith(qEnvironmentVariable("XDG_CACHE_HOME") + "/tarvex-diary/"));
    EXPECT_NE(pathA, SearchIndexPath(b.path()));
    // The same folder by another spelling of its path is the same index.
    EXPECT_EQ(pathA, SearchIndexPath(a.path() + QStringLiteral("/./")));
    EXPECT_FALSE(pathA.startsWith(a.path()));
}

class JournalSearchTest : public ::testing::Test
{
protected:
    QTemporaryDir docsDir;
    QTemporaryDir scratch;
    std::unique_ptr<TJournalSearch> search;
    QStringList unreadable;
    QStringList notices;
    int lastTotal = 0;

    QString docs(const QString& name) const { return docsDir.path() + '/' + name; }

    void start(const QString& indexPath = QString(), bool defaultPath = true)
    {
        search = std::make_unique<TJournalSearch>(docsDir.path());
        QObject::connect(search.get(), &TJournalSearch::unreadableFile,
                         [this](const QString& path, const QString&) { unreadable << path; });
        QObject::connect(search.get(), &TJournalSearch::notice,
                         [this](const QString& message) { notices << message; });
        QObject::connect(search.get(), &TJournalSearch::progress,
                         [this](int, int total) { lastTotal = total; });
        if (defaultPath)
            search->start();
        else
            search->start(indexPath);
        waitUntilCurrent();
    }
    void waitUntilCurrent()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return search->isReady() && !search->isBuilding() && !search->hasPendingUpdates();
            },
            20000));
    }
    void stop() { search.reset(); }

    QStringList find(const QString& text, TQueryOptions options = {true, true})
    {
        QStringList names;
        const TSearchAnswer answer = search->find(TSearchQuery::parse(text, options), {});
        EXPECT_TRUE(answer.problem.isEmpty()) << answer.problem.toStdString();
        for (const TIndexHit& hit : answer.hits)
            names << hit.name;
        return names;
    }

    void journal()
    {
        put(docs("jx20260101.rtf"), rtf("New year with Anna"));
        put(docs("jx20260102.rtf"), rtf("Rain and an umbrella"));
        put(docs("jx20260103.rtf"), rtf("Anna brought cake"));
        put(docs("kw_Recipes.rtf"), rtf("Cake: flour, eggs"));
        put(docs("startup.txt"), "Recipes\r\n");
    }
};

TEST_F(JournalSearchTest, CatchingUpReadsOnlyWhatChangedBehindItsBack)
{
    journal();
    start();
    EXPECT_EQ(lastTotal, 4);
    EXPECT_EQ(find("anna"), QStringList({"jx20260103.rtf", "jx20260101.rtf"}));
    // The keyword file was changed today, after the newest entry's day.
    EXPECT_EQ(find("cake"), QStringList({"kw_Recipes.rtf", "jx20260103.rtf"}));
    EXPECT_FALSE(search->inMemory());
    EXPECT_TRUE(QFile::exists(SearchIndexPath(docsDir.path())));
    stop();

    // While the program is closed: one file added, one changed, one removed, one renamed.
    put(docs("jx20260104.rtf"), rtf("Anna again"));
    put(docs("jx20260102.rtf"), rtf("Sunshine all day"));
    setModified(docs("jx20260102.rtf"), QDateTime::currentDateTime().addSecs(60));
    QFile::remove(docs("jx20260101.rtf"));
    QFile::rename(docs("kw_Recipes.rtf"), docs("kw_Baking.rtf"));

    lastTotal = -1;
    start();
    EXPECT_EQ(lastTotal, 3);
    EXPECT_EQ(find("anna"), QStringList({"jx20260104.rtf", "jx20260103.rtf"}));
    EXPECT_TRUE(find("umbrella").isEmpty());
    EXPECT_EQ(find("sunshine"), QStringList({"jx20260102.rtf"}));
    EXPECT_EQ(find("flour"), QStringList({"kw_Baking.rtf"}));

    // Nothing changed: nothing is read.
    stop();
    lastTotal = -1;
    start();
    EXPECT_EQ(lastTotal, -1);
    EXPECT_EQ(find("flour"), QStringList({"kw_Baking.rtf"}));

    // A change while it runs, reported as a change of the folder.
    put(docs("kw_Garden.rtf"), rtf("Plant the roses"));
    search->folderChanged();
    search->folderChanged();
    // Only the new file is read (its progress may come in after its words can be found).
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return find("roses").size() == 1 && lastTotal == 1; }, 10000));
}

TEST_F(JournalSearchTest, OwnSavesDeletionsAndRenamesAreSearchableAtOnce)
{
    journal();
    start();
    QSignalSpy changed(search.get(), &TJournalSearch::indexChanged);

    put(docs("jx20260105.rtf"), rtf("Walked to the lighthouse"));
    search->documentSaved(docs("jx20260105.rtf"));
    EXPECT_TRUE(search->hasPendingUpdates());
    bool ran = false;
    search->afterPendingUpdates(search.get(), [&] {
        ran = true;
        EXPECT_EQ(find("lighthouse"), QStringList({"jx20260105.rtf"}));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
    EXPECT_GE(changed.count(), 1);

    QFile::remove(docs("jx20260103.rtf"));
    search->documentRemoved(docs("jx20260103.rtf"));
    QFile::rename(docs("kw_Recipes.rtf"), docs("kw_Kitchen.rtf"));
    search->documentRenamed(docs("kw_Recipes.rtf"), docs("kw_Kitchen.rtf"));
    // Files outside the documents folder, and files that are not documents, are no business
    // of the index.
    put(scratch.path() + "/jx20260106.rtf", rtf("lighthouse"));
    search->documentSaved(scratch.path() + "/jx20260106.rtf");
    search->documentSaved(docs("startup.txt"));
    waitUntilCurrent();
    EXPECT_EQ(find("anna"), QStringList({"jx20260101.rtf"}));
    EXPECT_EQ(find("cake"), QStringList({"kw_Kitchen.rtf"}));
    EXPECT_EQ(find("lighthouse"), QStringList({"jx20260105.rtf"}));

    // Done at once means nothing waits: the callback runs before afterPendingUpdates returns.
    bool direct = false;
    search->afterPendingUpdates(search.get(), [&] { direct = true; });
    EXPECT_TRUE(direct);
}

TEST_F(JournalSearchTest, ADamagedOrForeignIndexFileIsThrownAwayAndBuiltAgain)
{
    journal();
    start();
    stop();
    const QString path = SearchIndexPath(docsDir.path());

    // Junk where the index was.
    put(path, QByteArray(8192, '\x5a'));
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");
    start();
    EXPECT_FALSE(search->inMemory());
    EXPECT_EQ(find("umbrella"), QStringList({"jx20260102.rtf"}));
    stop();

    // A sound database, but not ours.
    QFile::remove(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE documents(x)");
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
    start();
    EXPECT_EQ(find("umbrella"), QStringList({"jx20260102.rtf"}));
    stop();

    // Pages in the middle of a larger index overwritten: the file still opens as this program's
    // index, and only reading it through shows the damage.
    QFile::remove(path);
    for (int i = 0; i < 300; ++i)
        put(docs(QStringLiteral("jx2019%1.rtf").arg(QDate(2019, 1, 1).addDays(i).toString("MMdd"))),
            rtf(QByteArray("Filler text number ").repeated(40) + QByteArray::number(i)));
    start();
    stop();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    ASSERT_GE(size, 40 * 4096);
    file.seek((size / 2 / 4096) * 4096);
    file.write(QByteArray(8 * 4096, '\xff'));
    file.close();
    start();
    // The damage shows when the file is checked after catching up, or when it is searched;
    // either way it is built again and finds what it found before.
    // (The window's connection may still be on the old file for a moment: it is the one that
    // must answer, so the answers are part of what is waited for.)
    auto answers = [this](const char* word) {
        const TSearchAnswer answer = search->find(TSearchQuery::parse(word), {});
        return answer.problem.isEmpty() ? answer.hits.size() : -1;
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return isSoundFile(path) && !search->isBuilding() && answers("anna") == 2 &&
                   answers("umbrella") == 1 && answers("filler") == 300;
        },
        30000));
    QFile rebuilt(path);
    ASSERT_TRUE(rebuilt.open(QIODevice::ReadOnly));
    EXPECT_FALSE(rebuilt.readAll().contains(QByteArray(4096, '\xff')))
        << "the damaged file was thrown away";
}

TEST_F(JournalSearchTest, AnUnusableCacheFolderKeepsTheIndexInMemory)
{
    journal();
    // A file where the cache folder should be: nothing can be created in it.
    put(scratch.path() + "/blocked", "file");
    start(scratch.path() + "/blocked/index.sqlite", false);
    EXPECT_TRUE(search->inMemory());
    EXPECT_EQ(notices.size(), 1);
    EXPECT_EQ(find("anna"), QStringList({"jx20260103.rtf", "jx20260101.rtf"}));
    put(docs("jx20260107.rtf"), rtf("Anna left"));
    search->documentSaved(docs("jx20260107.rtf"));
    waitUntilCurrent();
    EXPECT_EQ(find("anna").size(), 3);
    stop();

    // An index file another program holds locked.
    const QString locked = scratch.path() + "/locked.sqlite";
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "locker");
    db.setDatabaseName(locked);
    ASSERT_TRUE(db.open());
    QSqlQuery lock(db);
    ASSERT_TRUE(lock.exec("PRAGMA locking_mode=EXCLUSIVE"));
    ASSERT_TRUE(lock.exec("CREATE TABLE hold(x)"));
    ASSERT_TRUE(lock.exec("BEGIN EXCLUSIVE"));
    ASSERT_TRUE(lock.exec("INSERT INTO hold VALUES(1)"));
    notices.clear();
    start(locked, false);
    EXPECT_TRUE(search->inMemory());
    EXPECT_EQ(notices.size(), 1);
    EXPECT_EQ(find("umbrella"), QStringList({"jx20260102.rtf"}));
    stop();
    lock.exec("ROLLBACK");
    lock.finish();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
}

TEST_F(JournalSearchTest, UnreadableFilesAreSkippedReportedOnceAndTheRestIsFound)
{
    journal();
    put(docs("jx20260108.rtf"), QByteArray("\x00\x01\x02 binary \x00", 12));
    start();
    EXPECT_EQ(unreadable, QStringList({docs("jx20260108.rtf")}));
    EXPECT_EQ(find("anna").size(), 2);
    // Plain text files are documents the editor shows; their words are found.
    put(docs("kw_Plain.rtf"), "Café crème, plain text");
    search->folderChanged();
    ASSERT_TRUE(QTest::qWaitFor([this] { return find("creme").size() == 1; }, 10000));
    // Not read again while it is unchanged.
    stop();
    unreadable.clear();
    start();
    EXPECT_TRUE(unreadable.isEmpty());
}

TEST_F(JournalSearchTest, ASearchDuringTheBuildAnswersFromWhatIsIndexed)
{
    for (int i = 0; i < 1500; ++i)
        put(docs(QStringLiteral("jx%1.rtf").arg(QDate(2000, 1, 1).addDays(i).toString("yyyyMMdd"))),
            rtf("common word " + QByteArray::number(i)));
    search = std::make_unique<TJournalSearch>(docsDir.path());
    bool checked = false;
    QObject::connect(search.get(), &TJournalSearch::progress, [&](int done, int total) {
        if (checked || done == 0 || done >= total)
            return;
        checked = true;
        EXPECT_TRUE(search->isBuilding());
        const TSearchAnswer answer = search->find(TSearchQuery::parse("common"), {});
        EXPECT_TRUE(answer.problem.isEmpty());
        EXPECT_GE(answer.hits.size(), done);
        EXPECT_LE(answer.hits.size(), total);
        // Newest first even while half built.
        for (qsizetype i = 1; i < answer.hits.size(); ++i)
            EXPECT_GT(answer.hits[i - 1].date, answer.hits[i].date);
    });
    search->start();
    waitUntilCurrent();
    EXPECT_EQ(find("common").size(), 1500);
    EXPECT_TRUE(checked) << "the build ended in one piece; no search during it was tried";
}
