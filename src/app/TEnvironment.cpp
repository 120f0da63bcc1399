#include "app/TEnvironment.h"

#include <QCoreApplication>
#include <QDir>

TEnvironment ProcessEnvironment(TPrompter* prompter)
{
    TEnvironment env;
    env.programFilePath = QCoreApplication::applicationFilePath();
    env.programDir = QCoreApplication::applicationDirPath();
    env.workingDir = QDir::currentPath();
    env.prompter = prompter;
    return env;
}
