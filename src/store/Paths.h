#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files and directories as the journal sees them. Paths are built with "/"; the file systems we
// run on may honour letter case, the journal's own rules ignore it.

// dir + "/" + name.
QString JoinPath(const QString& dir, const QString& name);

// The existing entry of dir whose name equals name ignoring letter case (an exact match
// preferred, otherwise the first in code-point order, so the choice never changes between runs),
// else JoinPath(dir, name).
QString ResolveCaseInsensitive(const QString& dir, const QString& name);

// Names (no directory) of the files in dir matching a wildcard pattern ("*" any run, "?" one
// character), letter case ignored, in directory listing order. A missing dir gives an empty list.
QStringList ListDirectory(const QString& dir, const QString& pattern);

// The same names as the file system's bytes, for callers that can tell most of them apart
// without decoding.
QList<QByteArray> ListDirectoryBytes(const QString& dir, const QString& pattern);

// Whether name matches the wildcard pattern, letter case ignored.
bool MatchesWildcard(QStringView name, QStringView pattern);

// Sorted ascending ignoring letter case; names equal but for letter case are kept once.
QStringList SortedNames(QStringList names);

// True for an existing file (a directory of that name does not count).
bool FileExists(const QString& path);
// -1 when it cannot be read.
qint64 FileLength(const QString& path);
// Atomic; false on any failure.
bool CopyFileReplacing(const QString& from, const QString& to);
// False only if the file stays.
bool DeleteFileIfExists(const QString& path);
// False when from stays under its name.
bool RenameFile(const QString& from, const QString& to);
// Creates one directory level; true when it exists afterwards.
bool CreateDirectoryLevel(const QString& path);
// Throws TJournalError ("Cannot read "<path>": <reason>").
QByteArray ReadWholeFile(const QString& path);

// Bytes of a text file we read (startup.txt, settings): UTF-8 when valid, else Windows-1252,
// so that files carried over from Windows keep working.
QString DecodeTextFile(const QByteArray& bytes);
