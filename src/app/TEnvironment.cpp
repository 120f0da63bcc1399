#include "app/TEnvironment.h"

#include "app/BuildConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

QString TEnvironment::userGuide() const
{
    return guideFile.isEmpty() ? programDir + QStringLiteral("/" JORNIX_GUIDE_FILE) : guideFile;
}

bool FolderWritable(const QString& dir)
{
    QTemporaryFile probe(dir + QStringLiteral("/.jornix-write-test-XXXXXX"));
    return probe.open();
}

QString InstalledPrefix(const QString& programDir)
{
    const QString dir = QDir::cleanPath(QDir(programDir).absolutePath());
    const QString binDir = QDir::cleanPath(QStringLiteral(JORNIX_INSTALL_BINDIR));
    if (QDir::isAbsolutePath(binDir) || !dir.endsWith(QLatin1Char('/') + binDir))
        return {};
    const QString prefix = dir.left(dir.size() - binDir.size() - 1);
    const QString entry =
        QStringLiteral(JORNIX_INSTALL_DATADIR "/applications/" JORNIX_APP_ID ".desktop");
    return QFileInfo::exists(QDir(prefix.isEmpty() ? QStringLiteral("/") : prefix).filePath(entry))
               ? prefix
               : QString();
}

QString PerUserDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tarvex-diary");
}

TEnvironment EnvironmentFor(const QString& programFilePath, const QString& workingDir,
                            const QString& dataDir)
{
    TEnvironment env;
    env.programFilePath = programFilePath;
    env.programDir = QFileInfo(programFilePath).absolutePath();
    env.workingDir = workingDir;
    const QString prefix = InstalledPrefix(env.programDir);
    if (!prefix.isEmpty()) {
        env.guideFile =
            QDir(prefix).filePath(QStringLiteral(JORNIX_INSTALL_DOCDIR "/" JORNIX_GUIDE_FILE));
    }
    if (!prefix.isEmpty() || !FolderWritable(env.programDir)) {
        env.dataDir = dataDir;
        // A failure shows later, naming the file that could not be written.
        QDir().mkpath(env.dataDir);
    }
    return env;
}

TEnvironment ProcessEnvironment(TPrompter* prompter)
{
    TEnvironment env = EnvironmentFor(QCoreApplication::applicationFilePath(), QDir::currentPath(),
                                      PerUserDataDir());
    env.prompter = prompter;
    return env;
}
