#include "store/Paths.h"

#include "store/AtomicFile.h"
#include "store/FolderReading.h"
#include "store/JournalError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <string_view>


namespace {

// Past this a "document" is certainly not one of ours; refusing it keeps a stray disk image in
// the documents folder from eating all memory.
constexpr qint64 maxReadableFileSize = qint64(512) * 1024 * 1024;

bool sameCharIgnoringCase(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Greedy match with backtracking to the last "*": linear for the patterns we use.
template <typename Name, typename Pattern, typename Same>
bool matchWildcard(const Name& name, const Pattern& pattern, Same same)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    const auto nameSize = qsizetype(name.size());
    const auto patternSize = qsizetype(pattern.size());
    while (n < nameSize) {
        if (p < patternSize && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < patternSize && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < patternSize && pattern[p] == '*')
        ++p;
    return p == patternSize;
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameByteIgnoringCase(char a, char b)
{
    return asciiLower(a) == asciiLower(b);
}

std::string_view bytesOf(const QByteArray& bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

QString JoinPath(const QString& dir, const QString& name)
{
    if (dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}

QString ResolveCaseInsensitive(const QString& dir, const QString& name)
{
    const QString exact = JoinPath(dir, name);
    const QFileInfo exactInfo(exact);
    if (exactInfo.exists() || exactInfo.isSymLink())
        return exact;

    const QByteArray nameBytes = name.toUtf8();
    const bool asciiName = isAscii(bytesOf(nameBytes));
    QString best;
    const TFolderEntries entries = ReadFolder(dir);
    for (const TFolderEntry& entry : entries) {
        const std::string_view bytes = bytesOf(entry.name);
        const bool bothAscii = asciiName && isAscii(bytes);
        // Two ASCII names are told apart on their bytes; any other pair needs case folding.
        if (bothAscii && !std::ranges::equal(bytes, bytesOf(nameBytes), sameByteIgnoringCase))
            continue;
        const QString candidate = QFile::decodeName(entry.name);
        if (!bothAscii && (candidate.size() != name.size() ||
                           candidate.compare(name, Qt::CaseInsensitive) != 0))
            continue;
        if (best.isEmpty() || candidate < best)
            best = candidate;
    }
    return best.isEmpty() ? exact : JoinPath(dir, best);
}

bool MatchesWildcard(QStringView name, QStringView pattern)
{
    return matchWildcard(name, pattern, sameCharIgnoringCase);
}

QList<QByteArray> ListDirectoryBytes(const QString& dir, const QString& pattern)
{
    // Dot files are left out unless asked for, as a shell does: our own temporary files are
    // hidden and must never show up as documents.
    const bool wantHidden = pattern.startsWith(QLatin1Char('.'));
    // With a plain ASCII pattern most names are told apart on their bytes, before any of them
    // is decoded.
    const QByteArray asciiPattern = pattern.toUtf8();
    const bool byteMatching = isAscii(bytesOf(asciiPattern));
    QList<QByteArray> names;
    const TFolderEntries entries = ReadFolder(dir);
    for (const TFolderEntry& entry : entries) {
        if (!wantHidden && entry.name.startsWith('.'))
            continue;
        if (entry.kind == TFolderEntry::Kind::Other)
            continue;
        const std::string_view bytes = bytesOf(entry.name);
        if (byteMatching && isAscii(bytes)) {
            if (!matchWildcard(bytes, bytesOf(asciiPattern), sameByteIgnoringCase))
                continue;
        } else if (!MatchesWildcard(QFile::decodeName(entry.name), pattern)) {
            continue;
        }
        // The type usually comes with the name; only links and file systems that do not tell
        // need a look at the file, and only for matching names.
        if (entry.kind != TFolderEntry::Kind::File &&
            !QFileInfo(JoinPath(dir, QFile::decodeName(entry.name))).isFile())
            continue;
        names.append(entry.name);
    }
    return names;
}

QStringList ListDirectory(const QString& dir, const QString& pattern)
{
    QStringList names;
    for (const QByteArray& name : ListDirectoryBytes(dir, pattern))
        names.append(QFile::decodeName(name));
    return names;
}

QStringList SortedNames(QStringList names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    const auto last =
        std::unique(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) == 0;
        });
    names.erase(last, names.end());
    return names;
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

qint64 FileLength(const QString& path)
{
    if (QFileInfo(path).isDir())
        return -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.size();
}

bool CopyFileReplacing(const QString& from, const QString& to)
{
    if (!FileExists(from))
        return false;
    try {
        AtomicFile::write(to, ReadWholeFile(from));
        return true;
    } catch (const TJournalError&) {
        return false;
    }
}

bool DeleteFileIfExists(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isDir())
        return false;
    ForgetFolderReadings();
    QFile::remove(path);
    const QFileInfo after(path);
    return !after.exists() && !after.isSymLink();
}

bool RenameFile(const QString& from, const QString& to)
{
    ForgetFolderReadings();
    return QFile::rename(from, to);
}

bool CreateDirectoryLevel(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    ForgetFolderReadings();
    QDir().mkdir(path);
    return QFileInfo(path).isDir();
}

QByteArray ReadWholeFile(const QString& path)
{
    const QString verb = QStringLiteral("read");
    if (QFileInfo(path).isDir())
        ThrowFileError(verb, path, SystemReason(EISDIR));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowFileError(verb, path, file.errorString());
    if (file.size() > maxReadableFileSize)
        ThrowFileError(verb, path,
                       QStringLiteral("the file is too large (%1 bytes)").arg(file.size()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        ThrowFileError(verb, path, file.errorString());
    return bytes;
}

QString DecodeTextFile(const QByteArray& bytes)
{
    // Stateless, or a file ending inside a multi-byte sequence would pass as valid.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    if (windows1252.isValid())
        return windows1252.decode(bytes);
    // A Qt without code-page support still reads the Latin-1 range right.
    return QString::fromLatin1(bytes);
}
