// The program's version record. On Windows the .rc resource carries it; on ELF systems the same
// 52-byte fixed record lives in a section of its own, which the About box reads back from the
// program file on disk. The numbers can be given at build time; the defaults are this release.

#if defined(__ELF__)

#include <cstdint>

#ifndef JORNIX_VERSION_MAJOR
#define JORNIX_VERSION_MAJOR 1
#endif
#ifndef JORNIX_VERSION_MINOR
#define JORNIX_VERSION_MINOR 1
#endif
#ifndef JORNIX_VERSION_RELEASE
#define JORNIX_VERSION_RELEASE 5
#endif
#ifndef JORNIX_VERSION_BUILD
#define JORNIX_VERSION_BUILD 0
#endif
#ifndef JORNIX_VERSION_FLAGS
#define JORNIX_VERSION_FLAGS 0
#endif

#define JORNIX_STR2(x) #x
#define JORNIX_STR(x) JORNIX_STR2(x)
#define JORNIX_VERSION_TEXT                                                                        \
    JORNIX_STR(JORNIX_VERSION_MAJOR)                                                               \
    "." JORNIX_STR(JORNIX_VERSION_MINOR) "." JORNIX_STR(JORNIX_VERSION_RELEASE) "." JORNIX_STR(    \
        JORNIX_VERSION_BUILD)

// The linker must keep the record although no code refers to it.
#if defined(__has_attribute) && __has_attribute(retain)
#define JORNIX_KEEP __attribute__((used, retain))
#else
#define JORNIX_KEEP __attribute__((used))
#endif

namespace {
constexpr std::uint32_t versionMS = (JORNIX_VERSION_MAJOR << 16) | JORNIX_VERSION_MINOR;
constexpr std::uint32_t versionLS = (JORNIX_VERSION_RELEASE << 16) | JORNIX_VERSION_BUILD;
} // namespace

extern "C" {

// signature, structure version, file version MS/LS, product version MS/LS, flags mask, flags,
// operating system (32-bit Windows), file type (application), subtype, date MS/LS.
extern const std::uint32_t jornix_version_record[13];
JORNIX_KEEP __attribute__((section(".jornix_version"), aligned(4)))
const std::uint32_t jornix_version_record[13] = {
    0xFEEF04BDu,          0x00010000u, versionMS, versionLS, versionMS, versionLS, 0x3Fu,
    JORNIX_VERSION_FLAGS, 0x4u,        0x1u,      0u,        0u,        0u};

// The string table of the Windows resource, as "name\0value\0" pairs, for file-property tools.
extern const char jornix_version_strings[];
// clang-format off
JORNIX_KEEP __attribute__((section(".jornix_version_strings")))
const char jornix_version_strings[] =
    "Translation\0"      "080904E4\0"
    "CompanyName\0"      "Tarvex\0"
    "FileDescription\0"  "Journal Program\0"
    "FileVersion\0"      JORNIX_VERSION_TEXT "\0"
    "InternalName\0"     "jornix\0"
    "LegalCopyright\0"   "\0"
    "LegalTrademarks\0"  "\0"
    "OriginalFilename\0" "jornix.exe\0"
    "ProductName\0"      "Tarvex's Diary\0"
    "ProductVersion\0"   "1.0.0.0\0"
    "Comments\0"         "\0";
// clang-format on
}

#endif
