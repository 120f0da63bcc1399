#include "store/DocumentLoad.h"

#include "store/Paths.h"

TLoadDecision DecideLoadSource(const QString& path, const QString& backupPath)
{
    const bool fileExists = FileExists(path);
    const bool fileEmpty = fileExists && FileLength(path) == 0;
    if (fileExists && !fileEmpty)
        return {TLoadSource::File, false};
    const TLoadSource fallback =
        FileExists(backupPath) ? TLoadSource::Backup : TLoadSource::Nothing;
    return {fallback, fileEmpty};
}
