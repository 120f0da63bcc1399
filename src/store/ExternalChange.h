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

// Copies path into backupDir as "<base>.changed-elsewhere-<yyyyMMdd-HHmmss>.rtf" (base = the
// file name without ".rtf") and returns the copy's path. An earlier copy of the same second is
// never replaced: "-2", "-3", ... are added to the time instead. Creates backupDir when it is
// missing. Throws TJournalError when it cannot.
QString PreserveExternalVersion(const QString& path, const QString& backupDir, QDateTime now);
