#include "store/StartupList.h"

#include "store/AtomicFile.h"
#include "store/Paths.h"

#include <QFileInfo>
#include <QRegularExpression>

QStringList ReadStartupTabs(const QString& path)
{
    // Only a missing file means "no list"; anything else in its place is reported.
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    const QString text = DecodeTextFile(ReadWholeFile(path));
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak, Qt::SkipEmptyParts);
}

void WriteStartupTabs(const QString& path, const QStringList& names)
{
    QByteArray bytes;
    for (const QString& name : names) {
        // An empty line would be skipped when read back anyway.
        if (name.isEmpty())
            continue;
        bytes += name.toUtf8();
        bytes += "\r\n";
    }
    AtomicFile::write(path, bytes);
}
