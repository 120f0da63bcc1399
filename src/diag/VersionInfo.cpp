#include "diag/VersionInfo.h"

#include "diag/ElfSection.h"

#include <QFile>
#include <QStringList>

#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// The fixed part of the file's VERSIONINFO resource, copied out of the block it comes in.
bool readResource(const QString& path, std::vector<char>& block, TFixedFileInfo& fixed)
{
    const auto* name = reinterpret_cast<const wchar_t*>(path.utf16());
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(name, &handle);
    if (size == 0)
        return false;
    block.assign(size, 0);
    if (!GetFileVersionInfoW(name, 0, size, block.data()))
        return false;
    void* root = nullptr;
    UINT rootSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", &root, &rootSize) || rootSize < sizeof fixed)
        return false;
    std::memcpy(&fixed, root, sizeof fixed);
    return true;
}
#else
bool readResource(const QString& path, std::vector<char>& block, TFixedFileInfo& fixed)
{
    // A real record is 52 bytes; the limit only keeps a damaged file from costing memory.
    constexpr std::size_t maxSize = 4096;
    auto section =
        readElfSection(QFile::encodeName(path).toStdString(), VersionSectionName, maxSize);
    if (!section || section->size() < sizeof fixed)
        return false;
    block = std::move(*section);
    std::memcpy(&fixed, block.data(), sizeof fixed);
    return true;
}
#endif

} // namespace

TVersionInfo::TVersionInfo(const QString& moduleFileName) : m_moduleFileName(moduleFileName)
{
}

bool TVersionInfo::ReadVersionResource()
{
    m_fixed = TFixedFileInfo{};
    m_block.clear();
    if (m_moduleFileName.isEmpty() || !readResource(m_moduleFileName, m_block, m_fixed))
        return false;
    return m_fixed.signature == TFixedFileInfo::ValidSignature;
}

QString TVersionInfo::VersionString(bool buildForm)
{
    if (!ReadVersionResource())
        return QString();
    return composeVersion(m_fixed, buildForm);
}

std::uint32_t TVersionInfo::FileFlags()
{
    return ReadVersionResource() ? m_fixed.fileFlags : 0;
}

QString TVersionInfo::VersionStringWithFlags(bool buildForm)
{
    const QString version = VersionString(buildForm);
    return version + composeFlags(FileFlags());
}

QString TVersionInfo::composeVersion(const TFixedFileInfo& info, bool buildForm)
{
    const std::uint32_t ms = info.fileVersionMS, ls = info.fileVersionLS;
    QString s = QStringLiteral("%1.%2").arg(ms >> 16).arg(ms & 0xFFFF);
    if (ls == 0)
        return s;
    const std::uint32_t release = ls >> 16, build = ls & 0xFFFF;
    if (buildForm) {
        if (release > 0)
            s += QStringLiteral(".%1").arg(release);
        if (build > 0)
            s += QStringLiteral(" Build %1").arg(build);
    } else {
        if (release > 0)
            s += QStringLiteral(".%1").arg(release);
        if (build > 0) {
            // Keep the release's place, or "1.1.0.7" would read as release 7.
            if (release == 0)
                s += QStringLiteral(".0");
            s += QStringLiteral(".%1").arg(build);
        }
    }
    return s;
}

QString TVersionInfo::composeFlags(std::uint32_t flags)
{
    static const struct
    {
        std::uint32_t bit;
        const char* word;
    } words[] = {{FileFlag::PreRelease, "Pre-Release"},
                 {FileFlag::Debug, "Debug"},
                 {FileFlag::SpecialBuild, "Special"},
                 {FileFlag::PrivateBuild, "Private"}};
    QStringList set;
    for (const auto& w : words)
        if (flags & w.bit)
            set << QLatin1String(w.word);
    if (set.isEmpty())
        return QString();
    return QStringLiteral(" (") + set.join(QStringLiteral(", ")) + QStringLiteral(" Build)");
}
