#include "diag/VersionInfo.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TFixedFileInfo record(unsigned major, unsigned minor, unsigned release, unsigned build,
                      std::uint32_t flags = 0)
{
    TFixedFileInfo info;
    info.signature = TFixedFileInfo::ValidSignature;
    info.fileVersionMS = major << 16 | minor;
    info.fileVersionLS = release << 16 | build;
    info.fileFlags = flags;
    return info;
}

QString dotted(const TFixedFileInfo& info)
{
    return TVersionInfo::composeVersion(info, false);
}
QString withBuild(const TFixedFileInfo& info)
{
    return TVersionInfo::composeVersion(info, true);
}

TEST(VersionTextTest, EveryFormOfTheVersion)
{
    EXPECT_EQ(dotted(record(1, 1, 5, 0)), "1.1.5");
    EXPECT_EQ(withBuild(record(1, 1, 5, 0)), "1.1.5");
    EXPECT_EQ(dotted(record(1, 1, 0, 0)), "1.1");
    EXPECT_EQ(withBuild(record(1, 1, 0, 0)), "1.1");
    EXPECT_EQ(dotted(record(1, 1, 0, 7)), "1.1.0.7");
    EXPECT_EQ(withBuild(record(1, 1, 0, 7)), "1.1 Build 7");
    EXPECT_EQ(dotted(record(1, 1, 5, 7)), "1.1.5.7");
    EXPECT_EQ(withBuild(record(1, 1, 5, 7)), "1.1.5 Build 7");
    EXPECT_EQ(dotted(record(2, 0, 0, 0)), "2.0");
    EXPECT_EQ(dotted(record(65535, 65535, 65535, 65535)), "65535.65535.65535.65535");
}

TEST(VersionTextTest, FlagWordsInTheirFixedOrder)
{
    EXPECT_EQ(TVersionInfo::composeFlags(0), "");
    EXPECT_EQ(TVersionInfo::composeFlags(0x1), " (Debug Build)");
    EXPECT_EQ(TVersionInfo::composeFlags(0x3), " (Pre-Release, Debug Build)");
    EXPECT_EQ(TVersionInfo::composeFlags(0x2A), " (Pre-Release, Special, Private Build)");
    EXPECT_EQ(TVersionInfo::composeFlags(0x4), "");
    EXPECT_EQ(TVersionInfo::composeFlags(0x24), " (Special Build)");
    EXPECT_EQ(TVersionInfo::composeFlags(0x10 | 0x8), " (Private Build)");
    EXPECT_EQ(TVersionInfo::composeFlags(0xFFFFFFFF),
              " (Pre-Release, Debug, Special, Private Build)");
}

#ifdef VERSION_FIXTURE_RELEASE

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

TEST(VersionInfoTest, ReadsTheRecordTheBuildPutIntoTheProgram)
{
    TVersionInfo info(VERSION_FIXTURE_RELEASE);
    ASSERT_TRUE(info.ReadVersionResource());
    const TFixedFileInfo& fixed = info.fixedInfo();
    EXPECT_EQ(fixed.fileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.fileVersionLS, 0x00050000u);
    EXPECT_EQ(fixed.productVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.productVersionLS, 0x00050000u);
    EXPECT_EQ(fixed.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.fileOS, 0x4u);
    EXPECT_EQ(fixed.fileType, 0x1u);
    EXPECT_EQ(info.VersionString(false), "1.1.5");
    EXPECT_EQ(info.FileFlags(), 0u);
    EXPECT_EQ(info.VersionStringWithFlags(false), "1.1.5");

    TVersionInfo other(VERSION_FIXTURE_OTHER);
    EXPECT_EQ(other.VersionString(false), "2.3.0.7");
    EXPECT_EQ(other.FileFlags(), 0x2Au);
    EXPECT_EQ(other.VersionStringWithFlags(false), "2.3.0.7 (Pre-Release, Special, Private Build)");
    EXPECT_EQ(other.VersionStringWithFlags(true),
              "2.3 Build 7 (Pre-Release, Special, Private Build)");
}

TEST(VersionInfoTest, EveryCallReadsTheFileAsItIsNow)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("jornix");
    writeAll(program, readAll(VERSION_FIXTURE_RELEASE));
    TVersionInfo info(program);
    EXPECT_EQ(info.VersionStringWithFlags(false), "1.1.5");
    writeAll(program, readAll(VERSION_FIXTURE_OTHER));
    EXPECT_EQ(info.VersionStringWithFlags(false), "2.3.0.7 (Pre-Release, Special, Private Build)");
    QFile::remove(program);
    EXPECT_EQ(info.VersionStringWithFlags(false), "");
    EXPECT_FALSE(info.ReadVersionResource());
}

TEST(VersionInfoTest, FilesWithoutAUsableRecordGiveNoText)
{
    QTemporaryDir dir;
    const QByteArray good = readAll(VERSION_FIXTURE_OTHER);
    ASSERT_GT(good.size(), 64);
    auto versionOf = [&](const QByteArray& bytes) {
        const QString path = dir.filePath("candidate");
        writeAll(path, bytes);
        TVersionInfo info(path);
        return info.VersionStringWithFlags(false) + "|" + QString::number(info.FileFlags());
    };

    EXPECT_EQ(versionOf("just some text\n"), "|0");
    EXPECT_EQ(versionOf(QByteArray()), "|0");
    EXPECT_EQ(versionOf(good.left(64)), "|0");
    EXPECT_EQ(versionOf(good.left(good.size() / 2)), "|0");
    EXPECT_EQ(TVersionInfo("").VersionString(false), "");
    EXPECT_EQ(TVersionInfo(dir.filePath("missing")).VersionString(false), "");
    // An ELF program without the section: this test program itself.
    EXPECT_EQ(TVersionInfo("/proc/self/exe").VersionString(false), "");

    // A record whose signature is wrong is no record, flags included.
    QByteArray badSignature = good;
    const QByteArray signature("\xBD\x04\xEF\xFE\x00\x00\x01\x00", 8);
    const qsizetype at = badSignature.indexOf(signature);
    ASSERT_GE(at, 0);
    badSignature[at] = '\0';
    EXPECT_EQ(versionOf(badSignature), "|0");

    // Damaged headers must never crash or read outside the file (the sanitizer build checks).
    std::uint64_t sectionTable = 0;
    std::memcpy(&sectionTable, good.constData() + 0x28, sizeof sectionTable);
    ASSERT_LT(sectionTable, std::uint64_t(good.size()));
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < 64; ++i)
        offsets << i;
    for (qsizetype i = qsizetype(sectionTable); i < good.size(); i += 9)
        offsets << i;
    for (qsizetype offset : offsets) {
        for (char value : {'\xFF', '\x00'}) {
            QByteArray damaged = good;
            damaged[offset] = value;
            const QString text = versionOf(damaged);
            EXPECT_TRUE(text == "|0" || text.startsWith("2.")) << offset << text.toStdString();
        }
    }
}

#endif

} // namespace
