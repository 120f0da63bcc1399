#include "store/FolderReading.h"

#include <QDateTime>
#include <QFile>
#include <QHash>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>
#endif
#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#else
#include <QDirIterator>
#include <QFileInfo>
#endif

#include <array>
#include <cerrno>
#include <optional>

namespace {

// What tells a folder's state without reading it: any name added, removed or renamed in it
// changes its modification and change times.
struct FolderStamp
{
    qint64 device = 0;
    qint64 inode = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    qint64 size = 0;
    bool operator==(const FolderStamp&) const = default;
};

// Time stamps are coarse (a clock tick on most file systems, two seconds on some), so a change
// made in the same tick as the reading could leave the stamp as it was. Without word of every
// change, a reading is only kept for later when the folder had already been still for longer
// than any tick when it was taken.
constexpr qint64 settledNs = qint64(3) * 1000 * 1000 * 1000;

std::optional<FolderStamp> stampOf(const QString& dir)
{
#ifdef Q_OS_UNIX
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(dir).constData(), &info) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return FolderStamp{qint64(info.st_dev), qint64(info.st_ino), ns(info.st_mtim),
                       ns(info.st_ctim), qint64(info.st_size)};
#else
    Q_UNUSED(dir);
    return std::nullopt; // without a change time we cannot tell; read every time
#endif
}

TFolderEntries readFromDisk(const QString& dir)
{
    TFolderEntries entries;
#ifdef Q_OS_UNIX
    DIR* handle = ::opendir(QFile::encodeName(dir).constData());
    if (!handle)
        return entries;
    while (const dirent* entry = ::readdir(handle)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        TFolderEntry::Kind kind = TFolderEntry::Kind::Other;
        switch (entry->d_type) {
        case DT_REG:
            kind = TFolderEntry::Kind::File;
            break;
        case DT_LNK:
            kind = TFolderEntry::Kind::Link;
            break;
        case DT_UNKNOWN:
            kind = TFolderEntry::Kind::Unknown;
            break;
        default:
            break;
        }
        entries.append({QByteArray(name), kind});
    }
    ::closedir(handle);
#else
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const TFolderEntry::Kind kind = info.isSymLink() ? TFolderEntry::Kind::Link
                                        : info.isFile()  ? TFolderEntry::Kind::File
                                                         : TFolderEntry::Kind::Other;
        entries.append({QFile::encodeName(it.fileName()), kind});
    }
#endif
    return entries;
}

#ifdef Q_OS_LINUX
// The kernel only hears of changes made on this machine: a folder another machine can change
// (network shares, and user-space file systems, which may be either) is never trusted to a watch.
bool sharedWithOtherMachines(const QByteArray& dir)
{
    struct statfs info
    {
    };
    if (::statfs(dir.constData(), &info) != 0)
        return true;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x786F4256UL: // VirtualBox shared folders
        return true;
    default:
        return false;
    }
}
#endif

// Word from the kernel of every name added to or removed from a watched folder, by us or by
// any other program on this machine. With it a reading stays true across user actions and is
// brought up to date by the changes alone, instead of reading thousands of names again after
// each save.
class ChangeWatch
{
public:
    ChangeWatch()
    {
#ifdef Q_OS_LINUX
        fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
#endif
    }
    ~ChangeWatch()
    {
#ifdef Q_OS_LINUX
        if (fd >= 0)
            ::close(fd);
#endif
    }
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    // -1 when the folder cannot be watched (no such facility, or the user's watch limit).
    int watch(const QString& dir)
    {
#ifdef Q_OS_LINUX
        const QByteArray path = QFile::encodeName(dir);
        if (fd >= 0 && !sharedWithOtherMachines(path))
            return ::inotify_add_watch(fd, path.constData(),
                                       IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                           IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
#else
        Q_UNUSED(dir);
#endif
        return -1;
    }

    void unwatch(int wd)
    {
#ifdef Q_OS_LINUX
        if (fd >= 0 && wd >= 0)
            ::inotify_rm_watch(fd, wd);
#else
        Q_UNUSED(wd);
#endif
    }

    struct Change
    {
        int wd;
        enum { Added, Removed, Lost } what;
        QByteArray name;
        bool isDir;
    };

    // Everything reported since the last call; Lost with wd -1 when the kernel dropped news.
    template <typename Apply>
    void drain(Apply apply)
    {
#ifdef Q_OS_LINUX
        if (fd < 0)
            return;
        alignas(inotify_event) std::array<char, 64 * 1024> buffer;
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got <= 0) {
                if (got < 0 && errno == EINTR)
                    continue;
                return;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                const QByteArray name(event->name, qsizetype(qstrnlen(event->name, event->len)));
                const bool isDir = event->mask & IN_ISDIR;
                if (event->mask & IN_Q_OVERFLOW)
                    apply(Change{-1, Change::Lost, {}, false});
                else if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))
                    apply(Change{event->wd, Change::Lost, {}, false});
                else if (event->mask & (IN_CREATE | IN_MOVED_TO))
                    apply(Change{event->wd, Change::Added, name, isDir});
                else if (event->mask & (IN_DELETE | IN_MOVED_FROM))
                    apply(Change{event->wd, Change::Removed, name, isDir});
            }
        }
#else
        Q_UNUSED(apply);
#endif
    }

private:
    int fd = -1;
};

struct KeptReading
{
    TFolderEntries entries;
    bool lost = false;                // the watch reported the folder gone or its news dropped
    std::optional<FolderStamp> stamp; // the folder when read; kept up to date while watched
    bool settled = false;             // the stamp alone can vouch for the reading
    int wd = -1;                      // the folder's watch, when it has one
    bool changedSinceStamp = false;   // word of a change came since the stamp was taken
};

// Readings belong to the thread that made them: a reading shared across threads could outlive
// a change the other thread made.
struct KeptReadings
{
    int reuseDepth = 0;
    QHash<QString, KeptReading> byDir;
    ChangeWatch watch;

    template <typename Predicate>
    void forgetIf(Predicate forgotten)
    {
        byDir.removeIf([&](const auto& it) {
            if (!forgotten(it.key(), it.value()))
                return false;
            watch.unwatch(it.value().wd);
            return true;
        });
    }

    void forget(const QString& dir)
    {
        forgetIf([&](const QString& d, const KeptReading&) { return d == dir; });
    }

    void bringUpToDate()
    {
        watch.drain([&](const ChangeWatch::Change& change) {
            for (auto it = byDir.begin(); it != byDir.end(); ++it) {
                KeptReading& reading = it.value();
                if (change.wd != reading.wd && change.wd != -1)
                    continue;
                if (change.what == ChangeWatch::Change::Lost)
                    reading.lost = true;
                if (reading.lost)
                    continue;
                reading.changedSinceStamp = true;
                TFolderEntries& entries = reading.entries; // detaches from lists handed out
                entries.removeIf([&](const TFolderEntry& e) { return e.name == change.name; });
                if (change.what == ChangeWatch::Change::Added)
                    entries.append({change.name, change.isDir ? TFolderEntry::Kind::Other
                                                              : TFolderEntry::Kind::Unknown});
            }
        });
        forgetIf([](const QString&, const KeptReading& reading) { return reading.lost; });
    }
};

KeptReadings& kept()
{
    thread_local KeptReadings readings;
    return readings;
}

} // namespace

TFolderEntries ReadFolder(const QString& dir)
{
    KeptReadings& readings = kept();
    readings.bringUpToDate();
    const auto it = readings.byDir.find(dir);
    if (it != readings.byDir.end()) {
        KeptReading& reading = it.value();
        const std::optional<FolderStamp> stamp = stampOf(dir);
        if (reading.wd >= 0 && stamp && reading.stamp) {
            // Watched: every change came as news. A changed stamp with no news is a change the
            // watch cannot see (another folder now in its place, moved there whole).
            const bool sameFolder =
                stamp->device == reading.stamp->device && stamp->inode == reading.stamp->inode;
            if (sameFolder && (*stamp == *reading.stamp || reading.changedSinceStamp)) {
                reading.stamp = stamp;
                reading.changedSinceStamp = false;
                return reading.entries;
            }
        } else if (reading.settled ? reading.stamp == stamp : readings.reuseDepth > 0) {
            // Unwatched: a settled reading holds while the folder shows no sign of change; any
            // other only within the user action that took it.
            return reading.entries;
        }
        readings.forget(dir);
    }

    const qint64 startedNs = QDateTime::currentMSecsSinceEpoch() * 1000000;
    KeptReading reading;
    // Watch first, then read: news of a change made while reading then only repeats what the
    // list may already show, and applying it in order leaves the list right either way.
    reading.wd = readings.watch.watch(dir);
    reading.stamp = stampOf(dir);
    reading.entries = readFromDisk(dir);
    reading.settled = reading.stamp && startedNs - reading.stamp->changedNs > settledNs &&
                      stampOf(dir) == reading.stamp;
    if (reading.wd >= 0 || readings.reuseDepth > 0 || reading.settled) {
        readings.byDir.insert(dir, reading);
        readings.bringUpToDate();
        const auto kept = readings.byDir.constFind(dir);
        if (kept != readings.byDir.constEnd())
            return kept->entries;
        // The folder went away or was replaced while read: the list as read is all there is.
    }
    return reading.entries;
}

TFolderReadingReuse::TFolderReadingReuse()
{
    ++kept().reuseDepth;
}

TFolderReadingReuse::~TFolderReadingReuse()
{
    if (--kept().reuseDepth == 0)
        ForgetUnsettledFolderReadings();
}

void ForgetUnsettledFolderReadings()
{
    kept().forgetIf([](const QString&, const KeptReading& reading) {
        return reading.wd < 0 && !reading.settled;
    });
}

void ForgetFolderReadings()
{
    // A watched reading hears of the store's own changes like of any other.
    kept().forgetIf([](const QString&, const KeptReading& reading) { return reading.wd < 0; });
}
