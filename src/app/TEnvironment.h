#pragma once

#include "spell/Dictionaries.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

class TPrompter;

// Everything the main window takes from the world outside the journal: where it lives, what
// time it is and who answers its questions. Tests hand in a fixed clock and a scripted prompter.
struct TEnvironment {
    QString programFilePath; // the executable itself (version record, program folder)
    QString programDir;      // folder of the program file, without a trailing "/"
    QString workingDir;      // the process's working directory, without a trailing "/"
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    TPrompter* prompter = nullptr;
    QStringList dictionaryDirs = SystemDictionaryDirs(); // where spelling dictionaries are found
    QLocale locale;                                      // the user's language

    QDate today() const { return now().date(); }
};

// The environment of the real program: the executable's folder and the current working folder.
TEnvironment ProcessEnvironment(TPrompter* prompter);
