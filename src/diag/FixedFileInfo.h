#pragma once

#include <cstdint>

// The fixed part of a program's version record, laid out as Windows keeps it (52 bytes), so the
// same record serves the Windows resource and the ELF section we carry on Linux.
struct TFixedFileInfo
{
    static constexpr std::uint32_t ValidSignature = 0xFEEF04BD;

    std::uint32_t signature = 0;
    std::uint32_t strucVersion = 0;
    std::uint32_t fileVersionMS = 0; // major << 16 | minor
    std::uint32_t fileVersionLS = 0; // release << 16 | build
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;
};
static_assert(sizeof(TFixedFileInfo) == 52);

// Build flags that earn a word in the version text.
namespace FileFlag {
inline constexpr std::uint32_t Debug = 0x1;
inline constexpr std::uint32_t PreRelease = 0x2;
inline constexpr std::uint32_t Patched = 0x4; // no word
inline constexpr std::uint32_t PrivateBuild = 0x8;
inline constexpr std::uint32_t SpecialBuild = 0x20;
} // namespace FileFlag

// Where the record sits in our ELF program files.
inline constexpr char VersionSectionName[] = ".jornix_version";
