#include "SpellTestSupport.h"

#include "spell/Dictionaries.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList codesOf(const std::vector<TDictionaryInfo>& list)
{
    QStringList codes;
    for (const TDictionaryInfo& d : list)
        codes << d.code;
    return codes;
}

TEST(Dictionaries, FoundWhenBothFilesExistTheFirstFolderWinning)
{
    QTemporaryDir first, second;
    auto touch = [](const QTemporaryDir& dir, const char* name) {
        WriteBytes(dir.filePath(name), "x");
    };
    touch(first, "en_US.aff");
    touch(first, "en_US.dic");
    touch(first, "fr.aff");         // no word list
    touch(first, "hyph_de_DE.dic"); // hyphenation patterns have no affix file
    touch(second, "en_US.aff");
    touch(second, "en_US.dic");
    touch(second, "de_DE.aff");
    touch(second, "de_DE.dic");
    const auto found = FindDictionaries({first.path(), "/no/such/folder", second.path()});
    EXPECT_EQ(codesOf(found), (QStringList{"de_DE", "en_US"}));
    EXPECT_EQ(found[1].affPath, first.filePath("en_US.aff"));
    EXPECT_EQ(found[1].dicPath, first.filePath("en_US.dic"));
    EXPECT_EQ(found[0].dicPath, second.filePath("de_DE.dic"));
    EXPECT_TRUE(FindDictionaries({}).empty());
}

TEST(Dictionaries, NamesDefaultsAndPackages)
{
    EXPECT_EQ(DictionaryDisplayName("en_US"), "English (United States)");
    EXPECT_EQ(DictionaryDisplayName("de_DE"), "German (Germany)");
    EXPECT_EQ(DictionaryDisplayName("fr"), "French");
    EXPECT_EQ(DictionaryDisplayName("de_DE_frami"), "German (Germany, de_DE_frami)");
    EXPECT_EQ(DictionaryDisplayName("xx_unknown"), "xx_unknown");

    const std::vector<TDictionaryInfo> installed{
        {"de_AT", {}, {}}, {"de_DE", {}, {}}, {"en_GB", {}, {}}, {"en_US", {}, {}}};
    EXPECT_EQ(DefaultDictionaries(installed, QLocale("de_DE")), (QStringList{"de_DE"}));
    EXPECT_EQ(DefaultDictionaries(installed, QLocale("de_CH")), (QStringList{"de_AT"}));
    EXPECT_EQ(DefaultDictionaries(installed, QLocale("en_AU")), (QStringList{"en_GB"}));
    EXPECT_EQ(DefaultDictionaries(installed, QLocale::c()), (QStringList{"en_US"}));
    EXPECT_TRUE(DefaultDictionaries(installed, QLocale("fr_FR")).isEmpty());
    EXPECT_TRUE(DefaultDictionaries({}, QLocale("en_US")).isEmpty());

    EXPECT_EQ(DictionaryPackageFor(QLocale("en_US")), "hunspell-en-us");
    EXPECT_EQ(DictionaryPackageFor(QLocale::c()), "hunspell-en-us");
    EXPECT_EQ(DictionaryPackageFor(QLocale("en_GB")), "hunspell-en-gb");
    EXPECT_EQ(DictionaryPackageFor(QLocale("en_IE")), "hunspell-en-us");
    EXPECT_EQ(DictionaryPackageFor(QLocale("de_CH")), "hunspell-de-ch");
    EXPECT_EQ(DictionaryPackageFor(QLocale("pt_BR")), "hunspell-pt-br");
    EXPECT_EQ(DictionaryPackageFor(QLocale("fr_CA")), "hunspell-fr");
    EXPECT_EQ(DictionaryPackageFor(QLocale("nb_NO")), "hunspell-no");
}

} // namespace
