#pragma once

#include "spell/Dictionaries.h"
#include "spell/WordSplitter.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// Spelling in several languages at once: a word is right when any of the loaded dictionaries,
// the personal word list or the words ignored for this session accept it. With no dictionary
// loaded every word is right, so nothing is ever marked.
class TSpellChecker
{
public:
    TSpellChecker();
    ~TSpellChecker();
    TSpellChecker(const TSpellChecker&) = delete;
    TSpellChecker& operator=(const TSpellChecker&) = delete;

    // Loads these dictionaries in place of the ones loaded before (one that another code
    // points to by a link is loaded once). Returns the codes whose files could not be read.
    QStringList setDictionaries(const std::vector<TDictionaryInfo>& dictionaries);
    // Codes of the dictionaries in use, in the order given.
    QStringList dictionaries() const;
    bool hasDictionaries() const;
    // Changes whenever the dictionaries do, so that earlier verdicts can be told from new ones.
    int generation() const { return m_generation; }

    bool isCorrect(QStringView word) const;
    // The misspelled words of a paragraph. A hyphenated word that no dictionary knows whole is
    // judged piece by piece, and only the wrong pieces are returned.
    std::vector<TWordSpan> misspellings(QStringView text) const;
    // The misspelled word at or touching position in text, if there is one.
    std::optional<TWordSpan> misspellingAt(QStringView text, int position) const;
    // Up to max replacements, the best of each dictionary first, without repeats. A word
    // written with typographic apostrophes gets them in its suggestions too.
    QStringList suggestions(const QString& word, int max = 7) const;

    // Words of the user's own list: right from now on, in any dictionary.
    void addPersonalWords(const QStringList& words);
    // Right for the rest of the session, spelled exactly so.
    void ignore(const QString& word);

private:
    struct Dictionary;
    bool lookUp(const QString& normalWord) const;

    std::vector<std::unique_ptr<Dictionary>> m_dictionaries;
    QSet<QString> m_personal;
    QSet<QString> m_ignored;
    // Verdicts of the dictionaries by word: a journal uses the same few thousand words over and
    // over, and asking Hunspell costs a hundred times more than a look-up here.
    mutable QHash<QString, bool> m_verdicts;
    int m_generation = 0;
};
