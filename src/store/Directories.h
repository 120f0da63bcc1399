#pragma once

#include <QString>

// Where the documents and their backup copies live, as start-up resolves the settings' values.
struct TDocumentDirs
{
    QString docsDir;
    QString backupDir;
};

// "\" and "/" are both accepted and become "/". A value is absolute when it starts with "/" (on
// Windows also with a drive letter and ":"). A relative docs dir, however short, is taken from
// workingDir, and so is a relative backup dir; with an absolute docs dir the backup dir stays as
// stored; an absolute backup dir always stays as it is. No trailing "/".
TDocumentDirs ResolveDocumentDirs(const QString& docs, const QString& backup,
                                  const QString& workingDir);

// Whether a directory value (already with "/") is absolute on this platform.
bool IsAbsoluteDirectory(const QString& dir);
