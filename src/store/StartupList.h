#pragma once

#include <QString>
#include <QStringList>

// startup.txt: the keyword tabs opened at every start, one name per line.

// Lines end at CR, LF or CRLF; empty lines are skipped; a missing file gives an empty list.
// UTF-8, or Windows-1252 when the bytes are not valid UTF-8. Throws TJournalError.
QStringList ReadStartupTabs(const QString& path);

// Atomic; UTF-8; CRLF after every line, the last one included; an empty list gives a file of
// 0 bytes. Empty names are not written. Throws TJournalError.
void WriteStartupTabs(const QString& path, const QStringList& names);
