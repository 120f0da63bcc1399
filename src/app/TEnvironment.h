#pragma once

#include "spell/Dictionaries.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TPrompter;
class TReadAhead;

// Everything the main window takes from the world outside the journal: where it lives, what
// time it is and who answers its questions. Tests hand in a fixed clock and a scripted prompter.
struct TEnvironment
{
    QString programFilePath; // the executable itself (version record, program folder)
    QString programDir;      // folder of the program file, without a trailing "/"
    QString workingDir;      // the process's working directory, without a trailing "/"
    // Empty when the program is used portably: its own folder holds the journal. An installed
    // program cannot (or must not) write beside itself; this per-user folder then takes the
    // program folder's place for everything the journal keeps there.
    QString dataDir;
    // The user guide; empty for the one beside the program.
    QString guideFile;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    TPrompter* prompter = nullptr;
    QStringList dictionaryDirs = SystemDictionaryDirs(); // where spelling dictionaries are found
    QLocale locale;                                      // the user's language
    // Today's entry, when it is long, already being read on another thread (ReadEntryAhead).
    std::shared_ptr<TReadAhead> entryReadAhead;

    QDate today() const { return now().date(); }
    bool installed() const { return !dataDir.isEmpty(); }
    // The folder of jornix.ini, Docs, the lock file and debug.txt.
    QString homeDir() const { return installed() ? dataDir : programDir; }
    // Relative folders in the settings count from here: the folder the portable program is
    // started in (its own folder), or the data folder of an installed one, since the working
    // folder of a program started from a menu is anybody's guess.
    QString relativeBase() const { return installed() ? dataDir : workingDir; }
    QString userGuide() const;
};

// The environment of the real program: the executable's folder, the current working folder,
// and, for an installed program, the per-user data folder (created when missing).
TEnvironment ProcessEnvironment(TPrompter* prompter);

// The same for the program file at programFilePath started in workingDir, with dataDir as the
// per-user data folder should it be installed. Decided once: a program folder that cannot be
// written, or one of an installed tree, makes an installed program.
TEnvironment EnvironmentFor(const QString& programFilePath, const QString& workingDir,
                            const QString& dataDir);

// Whether a file can be made in dir, found out by making one: permission bits say nothing of
// read-only mounts or access lists.
bool FolderWritable(const QString& dir);

// The installation prefix when programDir is the program folder of an installed tree
// (<prefix>/bin beside <prefix>/share/applications/<id>.desktop), else an empty string. Such a
// program is installed even where its user could write beside it (root, or ~/.local).
QString InstalledPrefix(const QString& programDir);

// The per-user data folder of an installed program: $XDG_DATA_HOME/tarvex-diary.
QString PerUserDataDir();
