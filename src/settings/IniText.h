#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text rules of the settings file, apart from the parser so that they can be tested alone.
namespace IniText {

// The file's bytes as UTF-8 the parser can walk: a file that is not valid UTF-8 was written on
// Windows and is read as Windows-1252; NUL bytes become spaces so that junk in the middle of a
// file does not hide the keys after it (and drop them at the next write).
QByteArray toParsableUtf8(const QByteArray& raw);

// The number formed by an optional "-" and the leading decimal digits; 0 when there are none;
// nothing when the number does not fit an int, so the caller falls back to its default.
std::optional<int> leadingInt(const char* value);

// At most maxLength characters, never splitting a surrogate pair.
QString capped(const QString& text, int maxLength);

// Line breaks in a value would start new keys in the file; they are written as spaces.
QString singleLine(QString value);

} // namespace IniText
