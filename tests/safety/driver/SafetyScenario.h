#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What the kill test and its driver agree on: the files each kind of save writes and the exact
// text of every version, so that a file read back after a kill tells which version it holds.
namespace Safety {

enum class Kind { Entry, Keyword, Startup, Settings };

QString kindName(Kind kind);
std::optional<Kind> kindNamed(const QString& name);

// The driver's clock, so that today's entry always has the same name.
QDateTime fixedNow();
QString entryFileName(); // "jx20261207.rtf"
QString keywordName();   // the keyword whose file the keyword kind saves
QString anchorName();    // a keyword that stays in the startup list whatever is toggled

// Version n of the diary entry: about a megabyte, version A for even n and B for odd n, every
// paragraph carrying its letter and n, so that any mix or cut shows.
QString entryText(int n);
// Version n of the keyword file: a few kilobytes, built the same way.
QString keywordText(int n);
// The n a text is version of, or -1 when it is no version at all (cut, mixed, empty).
int entryVersionOf(const QString& plainText);
int keywordVersionOf(const QString& plainText);

// startup.txt alternates between the anchor alone (even n) and the anchor and the keyword.
QStringList startupTabs(int n);

// jornix.ini: every key the settings kind changes holds this value in version n.
int settingsValue(int n);
// The keys that carry the version, as (section, key).
QList<QPair<QString, QString>> settingsVersionKeys();

} // namespace Safety
