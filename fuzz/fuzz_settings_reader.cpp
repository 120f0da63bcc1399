// Arbitrary bytes as jornix.ini: reading must never crash, hang or misread, and writing a key
// must never change what any other key reads.
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString General = QStringLiteral("General");

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jornix.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qsizetype(size));
    }

    TSettingsFile ini(path);
    // Start-up makes the backup folder; keep it inside our own folder whatever the input says.
    const QString backup =
        ini.ReadString(General, QStringLiteral("Backup Documents Directory"), QString());
    if (QDir::isAbsolutePath(backup) || backup.contains(QLatin1String("..")) ||
        backup.startsWith(QLatin1Char('\\')) || backup.contains(QLatin1Char(':')))
        ini.WriteString(General, QStringLiteral("Backup Documents Directory"),
                        QStringLiteral("Backup"));

    const QString title = ini.ReadString(General, QStringLiteral("Application Name"), "none");
    const int width = ini.ReadInt(QStringLiteral("quick list"), QStringLiteral("WIDTH"), -5);
    const QString font = ini.ReadString(QStringLiteral("Editor"), QStringLiteral("Font Name"), "");
    check(title.size() <= TSettingsFile::MaxStringLength);

    // Writing one key leaves every other key reading as before.
    check(ini.WriteInt(QStringLiteral("Fuzz"), QStringLiteral("Probe"), -123456));
    check(ini.ReadInt(QStringLiteral("Fuzz"), QStringLiteral("Probe"), 0) == -123456);
    check(ini.ReadString(General, QStringLiteral("Application Name"), "none") == title);
    check(ini.ReadInt(QStringLiteral("Quick List"), QStringLiteral("Width"), -5) == width);
    check(ini.ReadString(QStringLiteral("editor"), QStringLiteral("font name"), "") == font);

    // Rewriting settles: the first rewrite may move a comment to where SimpleIni keeps it, but
    // after that the file must stay byte for byte the same, never grow from write to write.
    auto rewrite = [&] {
        check(ini.WriteInt(QStringLiteral("Fuzz"), QStringLiteral("Probe"), 7));
        check(ini.WriteInt(QStringLiteral("Fuzz"), QStringLiteral("Probe"), -123456));
        return contents(path);
    };
    rewrite();
    const QByteArray settled = rewrite();
    check(rewrite() == settled);

    TAppSettings defaults;
    defaults.title = QStringLiteral("Tarvex's Diary");
    const TAppSettings loaded = LoadSettings(path, defaults, dir.path());
    check(loaded.title == title ||
          (title == QLatin1String("none") && loaded.title == defaults.title));
    ReadEditorFont(path);
    SaveSettings(path, loaded);
    check(ini.ReadString(General, QStringLiteral("Application Name"), "none") == loaded.title);
    return 0;
}
