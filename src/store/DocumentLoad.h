#pragma once

#include <QString>

// Which file an open loads: the document's own file, its backup copy, or nothing.
enum class TLoadSource { File, Backup, Nothing };

struct TLoadDecision
{
    TLoadSource source;
    // The document's file was there but held 0 bytes (a damaged save): the restore message
    // differs from that of a missing file.
    bool fileExistedEmpty;
};

// A file of 0 bytes counts as damaged; a length that cannot be read counts as not 0, so that
// the load itself reports why the file cannot be read.
TLoadDecision DecideLoadSource(const QString& path, const QString& backupPath);
