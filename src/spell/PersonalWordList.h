#pragma once

#include <QString>
#include <QStringList>

// The user's own words: a UTF-8 text file, one word a line, beside the settings file.

// The list's path for a settings file: "jornix.dic" in the settings file's folder.
QString PersonalWordListPath(const QString& settingsPath);

// The words in the file, blank lines skipped; a missing file gives an empty list. A file that
// is not valid UTF-8 is read as Windows-1252. Throws TJournalError when it cannot be read.
QStringList ReadPersonalWords(const QString& path);

// Adds word to the file as it is on disk now (so words another copy of the program or a text
// editor put there stay), atomically. Nothing is written when the file already holds it.
// Throws TJournalError, leaving the file as it was.
void AddPersonalWord(const QString& path, const QString& word);
