#include "diag/ElfSection.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>

#if __has_include(<elf.h>)
#include <elf.h>
#define JORNIX_HAVE_ELF 1
#endif

#ifdef JORNIX_HAVE_ELF

namespace {

class Reader
{
public:
    explicit Reader(const std::string& path) : m_in(path, std::ios::binary)
    {
        if (m_in) {
            m_in.seekg(0, std::ios::end);
            const std::streamoff end = m_in.tellg();
            m_size = end > 0 ? std::uint64_t(end) : 0;
        }
    }

    bool read(std::uint64_t offset, void* out, std::uint64_t length)
    {
        if (!m_in || offset > m_size || length > m_size - offset)
            return false;
        m_in.seekg(std::streamoff(offset));
        m_in.read(static_cast<char*>(out), std::streamsize(length));
        return bool(m_in);
    }

private:
    std::ifstream m_in;
    std::uint64_t m_size = 0;
};

template <typename Ehdr, typename Shdr>
std::optional<std::vector<char>> findSection(Reader& file, const char* name, std::size_t maxSize)
{
    Ehdr header;
    if (!file.read(0, &header, sizeof header))
        return std::nullopt;
    if (header.e_shentsize < sizeof(Shdr) || header.e_shnum == 0 ||
        header.e_shstrndx >= header.e_shnum)
        return std::nullopt;

    auto sectionHeader = [&](std::uint64_t index, Shdr& out) {
        return file.read(std::uint64_t(header.e_shoff) + index * header.e_shentsize, &out,
                         sizeof out);
    };
    Shdr names;
    if (!sectionHeader(header.e_shstrndx, names) || names.sh_type == SHT_NOBITS)
        return std::nullopt;

    const std::size_t nameLength = std::strlen(name) + 1; // with its terminating zero
    std::vector<char> candidate(nameLength);
    for (std::uint64_t i = 0; i < header.e_shnum; ++i) {
        Shdr section;
        if (!sectionHeader(i, section))
            return std::nullopt;
        if (section.sh_type == SHT_NOBITS || section.sh_name >= names.sh_size ||
            nameLength > names.sh_size - section.sh_name)
            continue;
        if (!file.read(std::uint64_t(names.sh_offset) + section.sh_name, candidate.data(),
                       nameLength) ||
            std::memcmp(candidate.data(), name, nameLength) != 0)
            continue;
        if (section.sh_size > maxSize)
            return std::nullopt;
        std::vector<char> bytes(std::size_t(section.sh_size));
        if (!file.read(section.sh_offset, bytes.data(), bytes.size()))
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<char>> readElfSection(const std::string& path, const char* name,
                                                std::size_t maxSize)
{
    Reader file(path);
    unsigned char ident[EI_NIDENT];
    if (!file.read(0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return std::nullopt;
    // The record is written in this machine's byte order; a foreign file is not ours.
    const unsigned char nativeOrder =
        std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    if (ident[EI_DATA] != nativeOrder)
        return std::nullopt;
    switch (ident[EI_CLASS]) {
    case ELFCLASS64:
        return findSection<Elf64_Ehdr, Elf64_Shdr>(file, name, maxSize);
    case ELFCLASS32:
        return findSection<Elf32_Ehdr, Elf32_Shdr>(file, name, maxSize);
    default:
        return std::nullopt;
    }
}

#else

std::optional<std::vector<char>> readElfSection(const std::string&, const char*, std::size_t)
{
    return std::nullopt;
}

#endif
