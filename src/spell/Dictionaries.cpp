#include "spell/Dictionaries.h"

#include <QDir>
#include <QFileInfo>

#include <map>

namespace {

// "en_US" for the locale; the C locale (no LANG at all, or C.UTF-8) speaks American English.
QString localeCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("en_US");
    return locale.name();
}

QString languageOf(const QString& code)
{
    return code.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('-'), 0, 0).toLower();
}

} // namespace

QStringList SystemDictionaryDirs()
{
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell/dicts")};
}

std::vector<TDictionaryInfo> FindDictionaries(const QStringList& dirs)
{
    std::map<QString, TDictionaryInfo> found;
    for (const QString& dirPath : dirs) {
        const QDir dir(dirPath);
        const QStringList affixFiles =
            dir.entryList({QStringLiteral("*.aff")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& aff : affixFiles) {
            const QString code = aff.chopped(4);
            // Hyphenation patterns and thesauri share the folder; they never come with an
            // affix file, and a code is never empty.
            if (code.isEmpty() || found.count(code))
                continue;
            const QFileInfo dic(dir.filePath(code + QStringLiteral(".dic")));
            if (!dic.isFile() || !dic.isReadable())
                continue;
            found.emplace(code, TDictionaryInfo{code, dir.filePath(aff), dic.filePath()});
        }
    }
    std::vector<TDictionaryInfo> result;
    result.reserve(found.size());
    for (auto& [code, info] : found)
        result.push_back(std::move(info));
    return result;
}

QString DictionaryDisplayName(const QString& code)
{
    const QString base = code.section(QLatin1Char('-'), 0, 0);
    const QStringList parts = base.split(QLatin1Char('_'));
    const QString language = parts[0].toLower();
    const QString territory = parts.size() > 1 ? parts[1].toUpper() : QString();
    const QLocale locale(territory.isEmpty() ? language : language + QLatin1Char('_') + territory);
    if (language.size() < 2 || locale.language() == QLocale::C)
        return code;
    QStringList details;
    const bool knownTerritory =
        !territory.isEmpty() && QLocale::territoryToCode(locale.territory()) == territory;
    if (knownTerritory)
        details << QLocale::territoryToString(locale.territory());
    // Variants of one language and country ("de_DE_frami", "en_US-large") are told apart by
    // their code, and so is a country Qt does not know.
    if (parts.size() > 2 || base != code || (!territory.isEmpty() && !knownTerritory))
        details << code;
    QString name = QLocale::languageToString(locale.language());
    if (!details.isEmpty())
        name += QStringLiteral(" (") + details.join(QStringLiteral(", ")) + QLatin1Char(')');
    return name;
}

QStringList DefaultDictionaries(const std::vector<TDictionaryInfo>& available,
                                const QLocale& locale)
{
    const QString wanted = localeCode(locale);
    for (const TDictionaryInfo& d : available)
        if (d.code == wanted)
            return {d.code};
    const QString language = languageOf(wanted);
    for (const TDictionaryInfo& d : available)
        if (languageOf(d.code) == language)
            return {d.code};
    return {};
}

QString DictionaryPackageFor(const QLocale& locale)
{
    const QString code = localeCode(locale);
    const QString language = languageOf(code);
    const QString territory = code.section(QLatin1Char('_'), 1, 1).toLower();
    // Languages whose dictionaries Debian packages per country, each with the one most people
    // of that language install.
    static const std::map<QString, std::pair<QStringList, QString>> perCountry = {
        {QStringLiteral("en"),
         {{QStringLiteral("us"), QStringLiteral("gb"), QStringLiteral("au"), QStringLiteral("ca"),
           QStringLiteral("za")},
          QStringLiteral("us")}},
        {QStringLiteral("de"),
         {{QStringLiteral("de"), QStringLiteral("at"), QStringLiteral("ch")},
          QStringLiteral("de")}},
        {QStringLiteral("pt"),
         {{QStringLiteral("br"), QStringLiteral("pt")}, QStringLiteral("pt")}},
    };
    if (const auto it = perCountry.find(language); it != perCountry.end()) {
        const auto& [countries, usual] = it->second;
        const QString country = countries.contains(territory) ? territory : usual;
        return QStringLiteral("hunspell-%1-%2").arg(language, country);
    }
    if (language == QLatin1String("nb") || language == QLatin1String("nn"))
        return QStringLiteral("hunspell-no");
    return QStringLiteral("hunspell-") + language;
}
