#include "settings/SettingsFile.h"

#include "settings/IniText.h"
#include "store/AtomicFile.h"

#include <SimpleIni.h>

#include <QFile>

namespace {

// Case-insensitive sections and keys, one value per key, no quoting or multi-line tricks:
// exactly what the old private-profile files hold. Keys are written as "name=value".
struct Ini
{
    CSimpleIniA doc{/*isUtf8*/ true, /*multiKey*/ false, /*multiLine*/ false};
    QByteArray original; // the bytes on disk, to skip rewriting an unchanged file
    bool existed = false;
    Ini() { doc.SetSpaces(false); }
};

// False when a file is there but cannot be used; a missing file is an empty one.
bool load(const QString& path, Ini& ini)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > TSettingsFile::MaxFileSize)
        return false;
    // Read in pieces rather than asking for the limit at once: that would allocate the whole
    // limit for every read of a file of a few hundred bytes.
    QByteArray raw;
    char chunk[16384];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0) {
        raw.append(chunk, qsizetype(got));
        if (raw.size() > TSettingsFile::MaxFileSize)
            return false;
    }
    if (got < 0)
        return false;
    ini.original = raw;
    ini.existed = true;
    const QByteArray text = IniText::toParsableUtf8(raw);
    return ini.doc.LoadData(text.constData(), size_t(text.size())) >= 0;
}

QString firstWriteError;

bool store(const QString& path, Ini& ini)
{
    std::string out;
    if (ini.doc.Save(out, /*addSignature*/ false) < 0)
        return false;
    const QByteArray data(out.data(), qsizetype(out.size()));
    if (ini.existed && data == ini.original)
        return true;
    try {
        AtomicFile::write(path, data);
    } catch (const std::exception& e) {
        // The writes themselves report nothing; the main window asks afterwards whether a
        // whole save went wrong, so the user hears of it once, not once per key.
        if (firstWriteError.isEmpty())
            firstWriteError = QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

template <typename Change> bool update(const QString& path, Change change)
{
    Ini ini;
    // Rewriting a file we could not read would throw away every other key in it.
    if (!load(path, ini))
        return false;
    if (!change(ini.doc))
        return false;
    return store(path, ini);
}

QString extensionReplaced(const QString& path)
{
    // Only the file name is looked at: a dot in a folder name ("/home/me/.local/app/jornix")
    // must not cut the path inside that folder.
    const qsizetype nameStart =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot >= nameStart)
        return path.left(dot + 1) + QLatin1String("ini");
    return path + QLatin1String("ini");
}

} // namespace

TSettingsFile::TSettingsFile(const QString& path) : m_path(extensionReplaced(path))
{
}

int TSettingsFile::ReadInt(const QString& section, const QString& key, int defaultValue) const
{
    Ini ini;
    if (!load(m_path, ini))
        return defaultValue;
    const char* value =
        ini.doc.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!value)
        return defaultValue;
    return IniText::leadingInt(value).value_or(defaultValue);
}

QString TSettingsFile::ReadString(const QString& section, const QString& key,
                                  const QString& defaultValue) const
{
    Ini ini;
    if (!load(m_path, ini))
        return defaultValue;
    const char* value =
        ini.doc.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!value || !*value)
        return defaultValue;
    return IniText::capped(QString::fromUtf8(value), MaxStringLength);
}

bool TSettingsFile::WriteInt(const QString& section, const QString& key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TSettingsFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QByteArray s = section.toUtf8(), k = key.toUtf8();
    const QByteArray v = IniText::singleLine(value).toUtf8();
    return update(m_path, [&](CSimpleIniA& doc) {
        return doc.SetValue(s.constData(), k.constData(), v.constData()) >= 0;
    });
}

bool TSettingsFile::DeleteKey(const QString& section, const QString& key)
{
    const QByteArray s = section.toUtf8(), k = key.toUtf8();
    return update(m_path, [&](CSimpleIniA& doc) {
        doc.Delete(s.constData(), k.constData(), /*removeEmptySection*/ false);
        return true;
    });
}

QString TakeSettingsWriteError()
{
    QString error;
    std::swap(error, firstWriteError);
    return error;
}
