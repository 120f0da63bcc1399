#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>

// How documents are named on disk: one "jx<yyyymmdd>.rtf" per day, one "kw_<keyword>.rtf" per
// keyword.

// "jx%04d%02d%02d.rtf": 9 July 999 gives jx09990709.rtf.
QString EntryFileNameOf(QDate date);

// The date of an entry file name: "jx" + eight digits + ".rtf" (letter case of the letters
// ignored) naming a real calendar day. Anything else (a copy named "jx20260101 copy.rtf",
// "jx20261301.rtf") gives nullopt, so stray files never pose as entries.
std::optional<QDate> DateOfEntryFileName(const QString& fileName);
// The same for a name as the file system's bytes.
std::optional<QDate> DateOfEntryFileBytes(QByteArrayView fileName);

// "kw_" + keyword + ".rtf".
QString KeywordFileName(const QString& keyword);
// The keyword file of dir, resolved ignoring letter case.
QString KeywordFilePath(const QString& dir, const QString& keyword);
// After "kw_", cut at the first ".rtf" (exact case); the whole rest when there is none.
QString KeywordOfFileName(const QString& fileName);

// The keyword name check. Returns the message to show, or nullopt when the name is acceptable.
std::optional<QString> KeywordNameProblem(const QString& keyword);

// The longest a file name may be in UTF-8 bytes on the file systems we write to.
inline constexpr int MaxFileNameBytes = 255;
