#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

// One spelling dictionary on disk: a pair of files <code>.aff and <code>.dic.
struct TDictionaryInfo
{
    QString code; // as the files are named: "en_US", "de_DE_frami"
    QString affPath;
    QString dicPath;
    bool operator==(const TDictionaryInfo&) const = default;
};

// Where the system's dictionary packages put their files.
QStringList SystemDictionaryDirs();

// Every dictionary in dirs that has both of its files, by code. A code found in several
// folders is taken from the first that has it, as the system's own tools do.
std::vector<TDictionaryInfo> FindDictionaries(const QStringList& dirs);

// "English (United States)" for en_US; a code Qt knows no language for is shown as it is.
QString DictionaryDisplayName(const QString& code);

// The dictionary to start with for a user who never chose: the locale's own ("en_US" for
// en_US), else another of the same language, else none. The C locale counts as en_US.
QStringList DefaultDictionaries(const std::vector<TDictionaryInfo>& available,
                                const QLocale& locale);

// The Debian package that brings the locale's dictionary ("hunspell-en-us", "hunspell-fr").
QString DictionaryPackageFor(const QLocale& locale);
