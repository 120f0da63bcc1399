// A second start of the program in the same program folder, with the first still running: it
// says so and ends without opening a window over the same files. Once the first is killed, the
// lock it left is taken over by the next start.
#include "ChildProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList runToEnd(const QString& dir, const QString& mode, int* code)
{
    ChildProcess driver(JORNIX_KILL_DRIVER, {dir, mode, "entry"});
    *code = driver.wait(60000).value_or(-1000);
    return driver.drain();
}

std::string lines(const QStringList& list)
{
    return list.join('\n').toStdString();
}

} // namespace

TEST(SecondStart, RefusedWhileTheFirstRunsAndTakenOverAfterItIsKilled)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    int code = 0;
    const QStringList prepared = runToEnd(dir.path(), "prepare", &code);
    ASSERT_EQ(code, 0) << lines(prepared);

    ChildProcess first(JORNIX_KILL_DRIVER, {dir.path(), "hold", "entry"});
    QStringList firstLines;
    while (std::optional<QString> line = first.readLine(60000)) {
        firstLines << *line;
        if (line->startsWith("ready"))
            break;
    }
    ASSERT_TRUE(firstLines.contains("ready 0")) << lines(firstLines);
    ASSERT_TRUE(QFile::exists(dir.path() + "/jornix.lock"));
    const QByteArray entryBefore = [&] {
        QFile f(dir.path() + "/Docs/jx20261207.rtf");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_FALSE(entryBefore.isEmpty());

    const QStringList second = runToEnd(dir.path(), "check", &code);
    EXPECT_EQ(code, 4) << lines(second);
    EXPECT_TRUE(second.contains("box This journal is already open in another window of Tarvex's "
                                "Diary.\\nThat window has been brought to the front."))
        << lines(second);
    EXPECT_TRUE(second.contains("locked")) << lines(second);
    EXPECT_TRUE(second.filter("loaded").isEmpty()) << "no second window: " << lines(second);

    // The first is still there and still holds the journal.
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(first.drain().filter("message").isEmpty());
    const QStringList third = runToEnd(dir.path(), "check", &code);
    EXPECT_EQ(code, 4) << lines(third);

    // A crash: the lock file stays behind, naming a process that is gone.
    first.killHard();
    first.wait(10000);
    ASSERT_TRUE(QFile::exists(dir.path() + "/jornix.lock"));
    const QStringList after = runToEnd(dir.path(), "check", &code);
    EXPECT_EQ(code, 0) << lines(after);
    EXPECT_TRUE(after.filter("box").isEmpty()) << lines(after);
    EXPECT_TRUE(after.contains("closed")) << lines(after);

    QFile entry(dir.path() + "/Docs/jx20261207.rtf");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(entry.readAll(), entryBefore) << "the refused starts never touched the entry";
}
