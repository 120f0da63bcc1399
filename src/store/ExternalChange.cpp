#include "store/ExternalChange.h"

#include "store/AtomicFile.h"
#include "store/JournalError.h"
#include "store/Paths.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

TFileStamp StampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch(), true};
}

QString PreserveExternalVersion(const QString& path, const QString& backupDir, QDateTime now)
{
    QString base = QFileInfo(path).fileName();
    if (base.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        base.chop(4);
    const QString stem = base + QStringLiteral(".changed-elsewhere-") +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss"));

    if (!QDir().mkpath(backupDir))
        ThrowFileError(QStringLiteral("create the folder"), backupDir, SystemReason(errno));

    QString copyPath = JoinPath(backupDir, stem + QStringLiteral(".rtf"));
    for (int n = 2; QFileInfo::exists(copyPath); ++n)
        copyPath = JoinPath(backupDir, stem + QStringLiteral("-%1.rtf").arg(n));

    AtomicFile::write(copyPath, ReadWholeFile(path));
    return copyPath;
}
