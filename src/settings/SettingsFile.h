#pragma once

#include <QString>

// Sections-and-keys accessor for jornix.ini. Nothing is cached: every read parses the file
// afresh and every write rewrites the whole file atomically, so the file on disk is always the
// only state and another copy of the program (or the user's editor) sees each change at once.
class TSettingsFile
{
public:
    // Texts longer than this are cut when read, as the private-profile calls always did.
    static constexpr int MaxStringLength = 999;
    // A settings file is a few kilobytes; anything this large is not ours and is left alone.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    // A path whose file name has an extension gets it replaced by "ini"; one without gets
    // "ini" appended. So "jornix.ini" stays as it is and "jornix.exe" becomes "jornix.ini".
    explicit TSettingsFile(const QString& path);

    const QString& path() const { return m_path; }

    // The default when the key is missing or the file cannot be read; otherwise the value's
    // leading digits (an optional "-" first), 0 when it has none, and the default again when
    // the number does not fit an int.
    int ReadInt(const QString& section, const QString& key, int defaultValue) const;
    // At most MaxStringLength characters; the default when the key is missing or empty.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    // Each returns whether the file now holds the change; failures never throw.
    bool WriteInt(const QString& section, const QString& key, int value);
    bool WriteString(const QString& section, const QString& key, const QString& value);
    bool DeleteKey(const QString& section, const QString& key);

private:
    QString m_path;
};

// The first failed write to a settings file since the last call, with the path and the
// system's reason, or empty when every write went through. Taking it clears it.
QString TakeSettingsWriteError();
