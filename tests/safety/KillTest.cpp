// Kills the program with SIGKILL at random moments while it saves, hundreds of times per kind
// of file, and after every kill reads the file as the program would: it must hold a complete
// version, the one saved last or the one being saved, never a cut or empty one. Every few kills
// the program is started as a user would and must come up normally with that version.
#include "ChildProcess.h"
#include "SafetyScenario.h"

#include "rtf/RtfReader.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

using namespace Safety;

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The version an RTF file holds, or -1 with the reason.
int rtfVersion(const QString& path, int (*versionOf)(const QString&), QString* why)
{
    const QByteArray bytes = fileBytes(path);
    if (bytes.isEmpty()) {
        *why = path + " is missing or empty";
        return -1;
    }
    QTextDocument doc;
    if (!ReadRtf(bytes, doc)) {
        *why = path + " is not RTF";
        return -1;
    }
    const int n = versionOf(doc.toPlainText());
    if (n < 0)
        *why =
            QStringLiteral("%1 holds no complete version (%2 bytes)").arg(path).arg(bytes.size());
    return n;
}

struct Tally
{
    int kills = 0;
    int oldVersion = 0;    // the kill came before the new version was in place
    int newVersion = 0;    // after: the version being saved was complete on disk
    int leftovers = 0;     // a temporary file was left: the kill came in the middle of a write
    int mixedSettings = 0; // jornix.ini held some keys of the old version and some of the new
    int checks = 0;
    qint64 longestSaveMs = 0;
};

class KillRun
{
public:
    KillRun(Kind kind, const QString& programDir) : m_kind(kind), m_dir(programDir) {}

    QString docs(const QString& name) const { return m_dir + "/Docs/" + name; }

    QStringList run(const QString& mode, QStringList* messages, int* exitCode)
    {
        ChildProcess driver(JORNIX_KILL_DRIVER, {m_dir, mode, kindName(m_kind)});
        const std::optional<int> code = driver.wait(120000);
        *exitCode = code.value_or(-1000);
        QStringList lines = driver.drain();
        for (const QString& line : lines)
            if (line.startsWith("message "))
                *messages << line;
        return lines;
    }

    // Every settings key that carries the version, as read back the way the program reads it.
    QList<int> settingsOnDisk() const
    {
        const TSettingsFile ini(m_dir + "/jornix.ini");
        QList<int> values;
        for (const auto& [section, key] : settingsVersionKeys())
            values << ini.ReadInt(section, key, -1000);
        return values;
    }

    // The version on disk: -1 with a reason when the file holds none. For jornix.ini, a file
    // whose keys are each of version n or n + 1 counts as n + 1 and is tallied as mixed.
    int versionOnDisk(int lastSaved, QString* why, Tally& tally) const
    {
        switch (m_kind) {
        case Kind::Entry:
            return rtfVersion(docs(entryFileName()), entryVersionOf, why);
        case Kind::Keyword:
            return rtfVersion(docs("kw_" + keywordName() + ".rtf"), keywordVersionOf, why);
        case Kind::Startup: {
            const QByteArray bytes = fileBytes(docs("startup.txt"));
            for (int n : {lastSaved, lastSaved + 1})
                if (bytes == (startupTabs(n).join("\r\n") + "\r\n").toUtf8())
                    return n;
            *why = "startup.txt holds neither list: \"" + QString::fromUtf8(bytes.left(200)) + '"';
            return -1;
        }
        case Kind::Settings: {
            // jornix.ini is written one key at a time: a kill between two keys leaves some of
            // the new version and some of the old. Each key must still hold a value that was
            // saved, and once a save has finished no key may fall behind it.
            const QList<int> values = settingsOnDisk();
            const int lowest = m_savedThisRun ? settingsValue(lastSaved) : m_lowestBefore;
            int newest = lowest;
            for (int value : values) {
                if (value < lowest || value > settingsValue(lastSaved + 1)) {
                    *why = QStringLiteral("jornix.ini holds %1, outside %2..%3")
                               .arg(value)
                               .arg(lowest)
                               .arg(settingsValue(lastSaved + 1));
                    return -1;
                }
                newest = std::max(newest, value);
            }
            if (*std::min_element(values.begin(), values.end()) != newest)
                ++tally.mixedSettings;
            return newest - settingsValue(0);
        }
        }
        return -1;
    }

    // Temporary files a killed write left behind; they are counted and cleared, as the
    // program's own clean-up would after a minute.
    int clearLeftovers() const
    {
        int found = 0;
        for (const QString& dir : {m_dir, m_dir + "/Docs", m_dir + "/Docs/Backup"}) {
            for (const QString& name :
                 QDir(dir).entryList({".*.tmp"}, QDir::Files | QDir::Hidden)) {
                QFile::remove(dir + '/' + name);
                ++found;
            }
        }
        return found;
    }

    // The backup copy a save makes first must be a complete version too, never newer than the
    // entry itself.
    void checkBackup(int version) const
    {
        QString why;
        if (m_kind == Kind::Entry) {
            const QString path = m_dir + "/Docs/Backup/" + entryFileName();
            if (QFile::exists(path)) {
                const int backup = rtfVersion(path, entryVersionOf, &why);
                EXPECT_GE(backup, 0) << why.toStdString();
                EXPECT_LE(backup, version);
            }
        } else if (m_kind == Kind::Keyword) {
            const QString path = m_dir + "/Docs/Backup/kw_" + keywordName() + ".rtf";
            if (QFile::exists(path)) {
                const int backup = rtfVersion(path, keywordVersionOf, &why);
                EXPECT_GE(backup, 0) << why.toStdString();
                EXPECT_LE(backup, version);
            }
        }
    }

    // A normal start after the kill: no message, and the version on disk is what it shows.
    void checkStart(int version)
    {
        QStringList messages;
        int code = 0;
        const QStringList lines = run("check", &messages, &code);
        EXPECT_EQ(code, 0) << lines.join('\n').toStdString();
        EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
        EXPECT_TRUE(lines.contains("closed")) << lines.join('\n').toStdString();
        if (m_kind == Kind::Settings) {
            QStringList expected{QStringLiteral("loaded")};
            expected << (m_mixed ? "-1" : QString::number(version));
            for (int value : settingsOnDisk())
                expected << QString::number(value);
            EXPECT_TRUE(lines.contains(expected.join(' '))) << lines.join('\n').toStdString();
        } else {
            EXPECT_TRUE(lines.contains(
                QStringLiteral("loaded %1").arg(m_kind == Kind::Startup ? version % 2 : version)))
                << lines.join('\n').toStdString();
        }
        if (m_kind == Kind::Startup) {
            // The tabs of the startup list open at the start, in order, after the diary.
            const QString tabs = "tabs Diary|" + startupTabs(version).join('|');
            EXPECT_TRUE(lines.contains(tabs)) << lines.join('\n').toStdString();
        }
    }

    void killRepeatedly(int kills, int checkEvery, int windowMs, std::mt19937& random, Tally& tally)
    {
        QStringList messages;
        int code = 0;
        const QStringList prepared = run("prepare", &messages, &code);
        ASSERT_EQ(code, 0) << prepared.join('\n').toStdString();
        ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();

        int version = 0;
        // A save that takes longer than the wait would never be killed near its end: the wait
        // grows to one and a half times the last save seen.
        int saveMs = 0;
        for (int i = 0; i < kills; ++i) {
            if (m_kind == Kind::Settings) {
                const QList<int> before = settingsOnDisk();
                m_lowestBefore = *std::min_element(before.begin(), before.end());
            }
            ChildProcess driver(JORNIX_KILL_DRIVER, {m_dir, "save", kindName(m_kind)});
            ASSERT_TRUE(driver.started());
            QStringList lines;
            bool ready = false;
            int start = 0;
            while (std::optional<QString> line = driver.readLine(60000)) {
                lines << *line;
                if (line->startsWith("ready ")) {
                    ready = true;
                    start = line->mid(6).toInt();
                    break;
                }
            }
            ASSERT_TRUE(ready) << "kill " << i << ": " << lines.join('\n').toStdString();
            std::uniform_int_distribution<int> wait(0, std::max(windowMs, saveMs * 3 / 2));
            std::this_thread::sleep_for(std::chrono::milliseconds(wait(random)));
            driver.killHard();
            driver.wait(10000);
            lines << driver.drain();
            ++tally.kills;

            // What it loaded is what the last kill left, and it carries on from there.
            const QString expectLoaded =
                m_kind == Kind::Startup               ? QStringLiteral("loaded %1").arg(version % 2)
                : m_kind == Kind::Settings && m_mixed ? QStringLiteral("loaded -1")
                                                      : QStringLiteral("loaded %1").arg(version);
            const QString loadedLine = lines.filter(QRegularExpression("^loaded ")).value(0);
            EXPECT_EQ(loadedLine.section(' ', 0, 1), expectLoaded)
                << "kill " << i << ": " << lines.join('\n').toStdString();
            int lastSaved = version;
            m_savedThisRun = false;
            for (const QString& line : lines) {
                if (line.startsWith("message error") || line.startsWith("failed"))
                    ADD_FAILURE() << "kill " << i << ": " << line.toStdString();
                if (line.startsWith("saved ")) {
                    const QStringList parts = line.split(' ');
                    // The driver counts on from what it loaded (startup.txt keeps only its parity).
                    lastSaved = version + parts.value(1).toInt() - start;
                    m_savedThisRun = true;
                    saveMs = parts.value(2).toInt();
                    tally.longestSaveMs = std::max(tally.longestSaveMs, qint64(saveMs));
                }
            }

            QString why;
            const int mixedBefore = tally.mixedSettings;
            const int onDisk = versionOnDisk(lastSaved, &why, tally);
            ASSERT_GE(onDisk, 0) << "kill " << i << " after saving version " << lastSaved << ": "
                                 << why.toStdString();
            // Nothing saved before the kill is lost: the file is the last version the program
            // finished saving, or the one it was saving.
            ASSERT_TRUE(onDisk == lastSaved || onDisk == lastSaved + 1)
                << "kill " << i << ": on disk " << onDisk << ", saved " << lastSaved;
            (onDisk == lastSaved ? tally.oldVersion : tally.newVersion)++;
            m_mixed = tally.mixedSettings != mixedBefore;
            tally.leftovers += clearLeftovers() > 0 ? 1 : 0;
            version = onDisk;

            if ((i + 1) % checkEvery == 0) {
                checkBackup(version);
                checkStart(version);
                ++tally.checks;
            }
        }
    }

private:
    Kind m_kind;
    QString m_dir;
    bool m_mixed = false;        // jornix.ini holds keys of two versions
    bool m_savedThisRun = false; // the driver finished at least one save before the kill
    int m_lowestBefore = 0;      // the oldest value jornix.ini held before the driver started
};

// One lane: its own program folder, its own share of the kills.
void killLane(Kind kind, int kills, int windowMs, unsigned seed, Tally& tally)
{
    const int checkEvery = envInt("JORNIX_KILL_CHECK_EVERY", 20);
    std::mt19937 random(seed);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SCOPED_TRACE(
        QStringLiteral("JORNIX_KILL_SEED=%1 in %2").arg(seed).arg(dir.path()).toStdString());
    KillRun run(kind, dir.path());
    run.killRepeatedly(kills, checkEvery, windowMs, random, tally);
    if (::testing::Test::HasFailure())
        dir.setAutoRemove(false);
}

// The kills of one kind, in lanes running side by side when a start takes long (the entry's
// megabyte is read at every start). The wait before each kill is drawn from 0..windowMs.
void killTest(Kind kind, int windowMs, int lanes)
{
    const int kills = envInt("JORNIX_KILLS", 200);
    windowMs = envInt("JORNIX_KILL_WINDOW_MS", windowMs);
    const unsigned seed =
        unsigned(envInt("JORNIX_KILL_SEED", int(std::random_device{}() & 0x7fffffff)));
    std::vector<Tally> tallies(lanes);
    std::vector<std::thread> threads;
    for (int lane = 0; lane < lanes; ++lane) {
        const int share = kills / lanes + (lane < kills % lanes ? 1 : 0);
        threads.emplace_back(killLane, kind, share, windowMs, seed + unsigned(lane),
                             std::ref(tallies[lane]));
    }
    Tally tally;
    for (int lane = 0; lane < lanes; ++lane) {
        threads[lane].join();
        const Tally& t = tallies[lane];
        tally.kills += t.kills;
        tally.oldVersion += t.oldVersion;
        tally.newVersion += t.newVersion;
        tally.leftovers += t.leftovers;
        tally.mixedSettings += t.mixedSettings;
        tally.checks += t.checks;
        tally.longestSaveMs = std::max(tally.longestSaveMs, t.longestSaveMs);
    }
    std::printf(
        "%s: %d kills (seed %u, wait at least 0-%d ms): %d left the old version, %d the new one, "
        "%d in the middle of a write; %d with jornix.ini half updated; %d normal starts "
        "checked; longest save %lld ms\n",
        qPrintable(kindName(kind)), tally.kills, seed, windowMs, tally.oldVersion, tally.newVersion,
        tally.leftovers, tally.mixedSettings, tally.checks, tally.longestSaveMs);
    EXPECT_EQ(tally.kills, kills);
}

} // namespace

// A start reads the whole megabyte, so the entry's kills run in two lanes side by side.
TEST(KillTest, DiaryEntry)
{
    killTest(Kind::Entry, 60, 2);
}

TEST(KillTest, KeywordFile)
{
    killTest(Kind::Keyword, 60, 1);
}

TEST(KillTest, StartupList)
{
    killTest(Kind::Startup, 60, 1);
}

TEST(KillTest, SettingsFile)
{
    killTest(Kind::Settings, 60, 1);
}
