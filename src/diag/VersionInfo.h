#pragma once

#include "diag/FixedFileInfo.h"

#include <QString>

#include <vector>

// The version of a program file, read from the record the build put into it (a VERSIONINFO
// resource on Windows, an ELF section on Linux). Read from disk on every call, never compiled
// in, so the text always matches the file that is actually there.
class TVersionInfo
{
public:
    explicit TVersionInfo(const QString& moduleFileName);

    // Fills the copy of the fixed record; true when a record with a valid signature was read.
    bool ReadVersionResource();
    // "1.1.5", "1.1.0.7" or, in the Build form, "1.1 Build 7"; empty without a record.
    QString VersionString(bool buildForm);
    // The record's file flags; 0 without a record.
    std::uint32_t FileFlags();
    // VersionString followed by " (Pre-Release, Debug Build)" and the like for special builds.
    QString VersionStringWithFlags(bool buildForm);

    const TFixedFileInfo& fixedInfo() const { return m_fixed; }

    // The texts for a record already in hand.
    static QString composeVersion(const TFixedFileInfo& info, bool buildForm);
    static QString composeFlags(std::uint32_t flags);

private:
    QString m_moduleFileName;
    TFixedFileInfo m_fixed;
    std::vector<char> m_block; // the raw record last read
};
