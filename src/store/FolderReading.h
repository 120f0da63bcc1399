#pragma once

#include <QByteArray>
#include <QList>
#include <QString>


// What a folder held when it was read. Names are kept as the file system's bytes: most are
// told apart before any of them needs decoding.
struct TFolderEntry
{
    enum class Kind { File, Link, Unknown, Other };
    QByteArray name;
    Kind kind = Kind::Unknown;
};
using TFolderEntries = QList<TFolderEntry>;

// Every entry of dir but "." and "..", in listing order (a list shared with the kept reading
// until either changes, so handing it out costs nothing); a missing or unreadable dir has none.
// A folder read before is not read again while it shows no sign of change (its time stamps were
// already settled when it was read), nor, within a TFolderReadingReuse, until the store itself
// changes a file.
TFolderEntries ReadFolder(const QString& dir);

// One user action (a date jump, a save, a click in the Quick List) asks for the same listing
// several times; in a folder of twenty years of entries each reading costs milliseconds. Within
// the lifetime of this guard the readings are shared. Nestable.
class TFolderReadingReuse
{
public:
    TFolderReadingReuse();
    ~TFolderReadingReuse();
    TFolderReadingReuse(const TFolderReadingReuse&) = delete;
    TFolderReadingReuse& operator=(const TFolderReadingReuse&) = delete;
};

// Drops every kept reading. Every store function that creates, replaces, renames or removes a
// file calls it, so that no reading taken before the change is used after it.
void ForgetFolderReadings();

// Drops the readings that only hold within a user action: the caller is about to wait, and
// other programs may change the folder meanwhile.
void ForgetUnsettledFolderReadings();
