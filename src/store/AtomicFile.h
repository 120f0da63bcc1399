#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The one way the program writes files: a crash, a kill or a full disk at any moment leaves
// either the old file or the new one, never a truncated one.
namespace AtomicFile {

// Writes a temporary file in the same directory, flushes it to disk and renames it over path.
// Throws TJournalError ("Cannot write "<path>": <reason>"); the old file is then untouched.
// When path is a symbolic link, the file it points to is replaced and the link kept.
void write(const QString& path, const QByteArray& data);

// Removes the temporary files that a crash or a kill in the middle of a write left in dir
// (older than a minute, so a write in progress is never touched). Returns how many went.
int removeLeftovers(const QString& dir);

// Test seam: when set, called before each stage; returning true makes that stage fail as a
// full disk or a failing rename would. Pass nullptr to clear.
enum class Stage { Open, Write, Flush, Rename };
void setFaultInjector(std::function<bool(Stage, const QString& path)> injector);

} // namespace AtomicFile
