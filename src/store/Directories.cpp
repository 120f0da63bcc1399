#include "store/Directories.h"

#include "store/Paths.h"

namespace {

QString withForwardSlashes(QString dir)
{
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return dir;
}

QString withoutTrailingSlash(QString dir)
{
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

QString fromWorkingDir(const QString& dir, const QString& workingDir)
{
    const QString base = withoutTrailingSlash(withForwardSlashes(workingDir));
    return dir.isEmpty() ? base : JoinPath(base, dir);
}

} // namespace

bool IsAbsoluteDirectory(const QString& dir)
{
    if (dir.startsWith(QLatin1Char('/')))
        return true;
#ifdef Q_OS_WIN
    if (dir.size() >= 2 && dir[0].isLetter() && dir[1] == QLatin1Char(':'))
        return true;
#endif
    return false;
}

TDocumentDirs ResolveDocumentDirs(const QString& docs, const QString& backup,
                                  const QString& workingDir)
{
    QString docsDir = withoutTrailingSlash(withForwardSlashes(docs));
    QString backupDir = withoutTrailingSlash(withForwardSlashes(backup));
    if (!IsAbsoluteDirectory(docsDir)) {
        docsDir = fromWorkingDir(docsDir, workingDir);
        if (!IsAbsoluteDirectory(backupDir))
            backupDir = fromWorkingDir(backupDir, workingDir);
    }
    return {docsDir, backupDir};
}
