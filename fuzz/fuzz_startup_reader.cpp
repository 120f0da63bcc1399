// Arbitrary bytes as startup.txt: reading must never crash or hang, must give names without
// line breaks, and what we write back must read back as the same list.
#include "store/JournalError.h"
#include "store/Paths.h"
#include "store/StartupList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

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

bool isValidUtf8(const QByteArray& bytes)
{
    // Invalid sequences turn into U+FFFD, whose encoding differs from the bytes they replaced.
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QString withoutByteOrderMark(QString text)
{
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Text files from Windows keep working: valid UTF-8 reads as UTF-8, anything else gives one
    // character per byte, so no byte is ever dropped or merged.
    const QString text = DecodeTextFile(bytes);
    if (isValidUtf8(bytes))
        check(withoutByteOrderMark(text) == withoutByteOrderMark(QString::fromUtf8(bytes)));
    else
        check(text.size() == bytes.size());

    // Another process clearing the temporary area must not pass for a finding.
    QDir().mkpath(dir.path());
    const QString path = dir.filePath(QStringLiteral("startup.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(bytes);
    }

    QStringList names;
    try {
        names = ReadStartupTabs(path);
    } catch (const TJournalError&) {
        return 0; // only an unreadable file may throw, and ours is readable
    }
    qsizetype characters = 0;
    for (const QString& name : names) {
        check(!name.isEmpty());
        check(!name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n')));
        characters += name.size();
    }
    check(characters <= text.size());

    // A name that starts with U+FEFF would come back without it: the writer puts no byte-order
    // mark first, so the reader takes the name's own as one. Such a name is no keyword anyone
    // types; leave it out of the round trip.
    while (!names.isEmpty() && names.front().startsWith(QChar(0xFEFF))) {
        names.front().remove(0, 1);
        if (names.front().isEmpty())
            names.removeFirst();
    }

    // Rewriting is a fixed point: what we write reads back as the same list, in UTF-8 with a
    // CRLF after every name.
    try {
        WriteStartupTabs(path, names);
    } catch (const TJournalError&) {
        return 0; // the disk, not the reader
    }
    const QByteArray written = contents(path);
    check(isValidUtf8(written));
    check(names.isEmpty() ? written.isEmpty() : written.endsWith("\r\n"));
    check(ReadStartupTabs(path) == names);
    try {
        WriteStartupTabs(path, ReadStartupTabs(path));
    } catch (const TJournalError&) {
        return 0;
    }
    check(contents(path) == written);
    return 0;
}
