#include "store/AtomicFile.h"

#include "store/FolderReading.h"
#include "store/JournalError.h"
#include "store/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qsizetype MaxTemporaryNameBytes = 255;

using Injector = std::function<bool(AtomicFile::Stage, const QString&)>;

Injector& faultInjector()
{
    static Injector injector;
    return injector;
}

// The reason an injected fault reports: what a real failure at that stage usually says.
int injectedErrno(AtomicFile::Stage stage)
{
    switch (stage) {
    case AtomicFile::Stage::Open:
        return EACCES;
    case AtomicFile::Stage::Write:
    case AtomicFile::Stage::Flush:
        return ENOSPC;
    case AtomicFile::Stage::Rename:
        return EIO;
    }
    return EIO;
}

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    ThrowFileError(QStringLiteral("write"), path, reason);
}

void checkInjected(AtomicFile::Stage stage, const QString& path)
{
    const Injector& injector = faultInjector();
    if (injector && injector(stage, path))
        fail(path, SystemReason(injectedErrno(stage)));
}

// A link keeps pointing where the user put it; we replace what it points to.
QString writeTarget(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return path;
}

// Hidden and ending in ".tmp", so that no listing of entries or keyword files ever sees it.
// The name is shortened when needed: a file name that just fits the limit must still be
// writable.
QString temporaryPathFor(const QString& target)
{
    const QFileInfo info(target);
    const QString suffix = QLatin1Char('.') +
                           QString::number(QRandomGenerator::global()->generate(), 36) +
                           QStringLiteral(".tmp");
    QString base = info.fileName();
    while (!base.isEmpty() && 1 + base.toUtf8().size() + suffix.size() > MaxTemporaryNameBytes) {
        base.chop(1);
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
    }
    return info.path() + QStringLiteral("/.") + base + suffix;
}

bool syncToDisk(QFile& file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

QString lastSystemReason()
{
#ifdef Q_OS_WIN
    return qt_error_string(int(GetLastError()));
#else
    return SystemReason(errno);
#endif
}

bool replaceFile(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t*>(nativeTo.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

#ifndef Q_OS_WIN
// The rename itself must reach the disk too, or a power cut could bring back the old name.
void syncDirectoryOf(const QString& target)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(target).path());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

// Opens a fresh temporary file beside target; throws when the directory refuses one.
void openTemporary(QFile& file, const QString& target, const QString& reportedPath)
{
    constexpr int attempts = 8;
    for (int i = 0; i < attempts; ++i) {
        file.setFileName(temporaryPathFor(target));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return;
        if (!QFileInfo::exists(file.fileName()))
            fail(reportedPath, file.errorString());
    }
    fail(reportedPath, file.errorString());
}

} // namespace

namespace AtomicFile {

int removeLeftovers(const QString& dir)
{
    static const QRegularExpression ours(QStringLiteral("^\\..+\\.[0-9a-z]{1,7}\\.tmp$"));
    const QDateTime settled = QDateTime::currentDateTime().addSecs(-60);
    int removed = 0;
    for (const QString& name : ListDirectory(dir, QStringLiteral(".*.tmp"))) {
        const QString path = JoinPath(dir, name);
        if (ours.match(name).hasMatch() && QFileInfo(path).lastModified() < settled) {
            ForgetFolderReadings();
            if (QFile::remove(path))
                ++removed;
        }
    }
    return removed;
}

void setFaultInjector(std::function<bool(Stage, const QString&)> injector)
{
    faultInjector() = std::move(injector);
}

void write(const QString& path, const QByteArray& data)
{
    const QString target = writeTarget(path);
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir())
        fail(path, SystemReason(EISDIR));
    // A file the user made read-only is not ours to replace, even though the directory would
    // let a rename do it.
    if (targetInfo.exists() && !targetInfo.isWritable())
        fail(path, SystemReason(EACCES));

    checkInjected(Stage::Open, path);
    ForgetFolderReadings();
    QFile temporary;
    openTemporary(temporary, target, path);

    // From here on a failure must not leave the temporary file behind.
    try {
#ifndef Q_OS_WIN
        struct stat existing
        {
        };
        if (::stat(QFile::encodeName(target).constData(), &existing) == 0)
            ::fchmod(temporary.handle(), existing.st_mode & 07777);
#endif
        checkInjected(Stage::Write, path);
        if (temporary.write(data) != data.size())
            fail(path, temporary.errorString());

        checkInjected(Stage::Flush, path);
        if (!temporary.flush() || !syncToDisk(temporary))
            fail(path, lastSystemReason());
        temporary.close();
        if (temporary.error() != QFileDevice::NoError)
            fail(path, temporary.errorString());

        checkInjected(Stage::Rename, path);
        if (!replaceFile(temporary.fileName(), target))
            fail(path, lastSystemReason());
    } catch (...) {
        temporary.close();
        QFile::remove(temporary.fileName());
        throw;
    }
#ifndef Q_OS_WIN
    syncDirectoryOf(target);
#endif
}

} // namespace AtomicFile
