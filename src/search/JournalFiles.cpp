#include "search/JournalFiles.h"

#include "store/EntryNames.h"
#include "store/Paths.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

std::optional<TDocumentName> DocumentNameOf(const QString& fileName)
{
    if (const std::optional<QDate> date = DateOfEntryFileName(fileName))
        return TDocumentName{TDocumentKind::Entry, *date, {}};
    if (!fileName.startsWith(QLatin1Char('.')) && MatchesWildcard(fileName, u"kw_*.rtf"))
        return TDocumentName{TDocumentKind::Keyword, {}, KeywordOfFileName(fileName)};
    return std::nullopt;
}

namespace {

#ifdef Q_OS_UNIX
qint64 mtimeMsOf(const struct stat& st)
{
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}
#endif

// Most names in the folder are entries, told apart on their bytes before any decoding.
bool maybeDocument(const char* name)
{
    const char c0 = name[0];
    const char c1 = c0 ? name[1] : 0;
    return ((c0 == 'j' || c0 == 'J') && (c1 == 'x' || c1 == 'X')) ||
           ((c0 == 'k' || c0 == 'K') && (c1 == 'w' || c1 == 'W'));
}

} // namespace

std::optional<TFileState> FileStateOf(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return TFileState{qint64(st.st_size), mtimeMsOf(st)};
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return TFileState{info.size(), info.lastModified().toMSecsSinceEpoch()};
#endif
}

QList<TJournalFile> ListJournalFiles(const QString& docsDir)
{
    QList<TJournalFile> files;
#ifdef Q_OS_UNIX
    // Twenty years of entries are thousands of files; one pass over the folder with a stat of
    // each document keeps catching up cheap when nothing changed.
    const int dirFd =
        ::open(QFile::encodeName(docsDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return files;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return files;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!maybeDocument(entry->d_name))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (!DocumentNameOf(name))
            continue;
        struct stat st;
        if (::fstatat(dirFd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        files.append({name, {qint64(st.st_size), mtimeMsOf(st)}});
    }
    ::closedir(dir);
#else
    QDirIterator it(docsDir, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!DocumentNameOf(info.fileName()))
            continue;
        files.append({info.fileName(), {info.size(), info.lastModified().toMSecsSinceEpoch()}});
    }
#endif
    return files;
}

TCatchUpPlan PlanCatchUp(const QList<TJournalFile>& onDisk,
                         const QHash<QString, TFileState>& indexed)
{
    TCatchUpPlan plan;
    QHash<QString, bool> seen;
    seen.reserve(onDisk.size());
    for (const TJournalFile& file : onDisk) {
        seen.insert(file.name, true);
        const auto it = indexed.constFind(file.name);
        if (it == indexed.constEnd() || !(*it == file.state))
            plan.read << file.name;
    }
    for (auto it = indexed.constBegin(); it != indexed.constEnd(); ++it)
        if (!seen.contains(it.key()))
            plan.remove << it.key();
    // Newest first: the entries a user is most likely to look for are searchable soonest.
    std::sort(plan.read.begin(), plan.read.end(), std::greater<>());
    plan.remove.sort();
    return plan;
}
