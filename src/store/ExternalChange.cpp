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

QString RecoveryCopyPath(const QString& path, const QString& backupDir, const QString& kind,
                         QDateTime now, const QString& suffix)
{
    QString base = QFileInfo(path).fileName();
    if (base.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        base.chop(4);
    const QString stem = base + QLatin1Char('.') + kind + QLatin1Char('-') +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss"));

    if (!QDir().mkpath(backupDir))
        ThrowFileError(QStringLiteral("create the folder"), backupDir, SystemReason(errno));

    QString copyPath = JoinPath(backupDir, stem + suffix);
    for (int n = 2; QFileInfo::exists(copyPath); ++n)
        copyPath = JoinPath(backupDir, stem + QStringLiteral("-%1").arg(n) + suffix);
    return copyPath;
}

QString KeepRecoveryCopy(const QString& path, const QString& backupDir, const QString& kind,
                         QDateTime now, const QString& suffix)
{
    const QString copyPath = RecoveryCopyPath(path, backupDir, kind, now, suffix);
    AtomicFile::write(copyPath, ReadWholeFile(path));
    return copyPath;
}

QString PreserveExternalVersion(const QString& path, const QString& backupDir, QDateTime now)
{
    return KeepRecoveryCopy(path, backupDir, QStringLiteral("changed-elsewhere"), now);
}
