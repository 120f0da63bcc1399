#pragma once

#include <QDateTime>
#include <QString>

// For saves over files that another program (a sync tool) replaced since we loaded them.
struct TFileStamp
{
    qint64 size = -1;
    qint64 mtimeMs = 0;
    bool exists = false;

    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

TFileStamp StampOf(const QString& path);

// The copies a user can get text back from, kept in the backup folder beside the backup copies:
// "<base>.<kind>-<yyyyMMdd-HHmmss><suffix>" (base = the file name without ".rtf"). An earlier copy
// of the same second is never replaced: "-2", "-3", ... are added to the time instead. Creates
// backupDir when it is missing. Returns the copy's path; throws TJournalError when it cannot.
QString RecoveryCopyPath(const QString& path, const QString& backupDir, const QString& kind,
                         QDateTime now, const QString& suffix);
QString KeepRecoveryCopy(const QString& path, const QString& backupDir, const QString& kind,
                         QDateTime now, const QString& suffix = QStringLiteral(".rtf"));

// The version another program wrote, as "<base>.changed-elsewhere-<time>.rtf".
QString PreserveExternalVersion(const QString& path, const QString& backupDir, QDateTime now);
