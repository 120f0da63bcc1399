#include "spell/SpellChecker.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <hunspell.hxx>

#include <algorithm>

namespace {

// Hunspell names its encodings as the affix files do ("ISO8859-1", "microsoft-cp1251");
// the converters know them by their registered names.
QString converterName(const std::string& hunspellName)
{
    QString name = QString::fromStdString(hunspellName).trimmed();
    static const QRegularExpression iso(QStringLiteral("^ISO-?8859-(\\d+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = iso.match(name); m.hasMatch())
        return QStringLiteral("ISO-8859-") + m.captured(1);
    if (name.startsWith(QLatin1String("microsoft-cp"), Qt::CaseInsensitive))
        return QStringLiteral("windows-") + name.mid(12);
    if (name.compare(QLatin1String("TIS620-2533"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TIS-620");
    return name.isEmpty() ? QStringLiteral("ISO-8859-1") : name;
}

// Capitalised at the start of a sentence: the personal list holds the word as the user added
// it, usually in lower case.
QString withLowerFirst(const QString& word)
{
    if (word.isEmpty() || !word[0].isUpper())
        return word;
    QString lower = word;
    lower[0] = lower[0].toLower();
    return lower;
}

} // namespace

struct TSpellChecker::Dictionary
{
    QString code;
    QString identity; // the files as they really are, so a linked copy is loaded once
    std::unique_ptr<Hunspell> speller;
    bool utf8 = true;
    QStringEncoder encoder;
    QStringDecoder decoder;

    // The word in the dictionary's own encoding; false when it has a character that encoding
    // lacks (the dictionary cannot know such a word).
    bool encode(const QString& word, std::string& out)
    {
        if (utf8) {
            out = word.toStdString();
            return true;
        }
        encoder.resetState();
        const QByteArray bytes = encoder.encode(word);
        if (encoder.hasError())
            return false;
        out.assign(bytes.constData(), size_t(bytes.size()));
        return true;
    }

    QString decode(const std::string& bytes)
    {
        if (utf8)
            return QString::fromStdString(bytes);
        decoder.resetState();
        return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
};

TSpellChecker::TSpellChecker() = default;
TSpellChecker::~TSpellChecker() = default;

QStringList TSpellChecker::setDictionaries(const std::vector<TDictionaryInfo>& dictionaries)
{
    QStringList failed;
    std::vector<std::unique_ptr<Dictionary>> loaded;
    for (const TDictionaryInfo& info : dictionaries) {
        const QFileInfo aff(info.affPath), dic(info.dicPath);
        if (!aff.isFile() || !aff.isReadable() || !dic.isFile() || !dic.isReadable()) {
            failed << info.code;
            continue;
        }
        const QString identity =
            aff.canonicalFilePath() + QLatin1Char('\n') + dic.canonicalFilePath();
        const auto same = [&](const auto& d) { return d->identity == identity; };
        if (std::any_of(loaded.begin(), loaded.end(), same))
            continue;
        // Keep what was loaded already rather than read the same files again.
        auto kept = std::find_if(m_dictionaries.begin(), m_dictionaries.end(), same);
        if (kept != m_dictionaries.end()) {
            loaded.push_back(std::move(*kept));
            m_dictionaries.erase(kept);
            continue;
        }
        auto d = std::make_unique<Dictionary>();
        d->code = info.code;
        d->identity = identity;
        d->speller = std::make_unique<Hunspell>(QFile::encodeName(info.affPath).constData(),
                                                QFile::encodeName(info.dicPath).constData());
        const QString encoding = converterName(d->speller->get_dict_encoding());
        d->utf8 = encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
        if (!d->utf8) {
            d->encoder = QStringEncoder(encoding.toLatin1().constData());
            d->decoder = QStringDecoder(encoding.toLatin1().constData());
            if (!d->encoder.isValid() || !d->decoder.isValid()) {
                failed << info.code;
                continue;
            }
        }
        std::string encoded;
        for (const QString& word : std::as_const(m_personal))
            if (d->encode(word, encoded))
                d->speller->add(encoded);
        loaded.push_back(std::move(d));
    }
    m_dictionaries = std::move(loaded);
    m_verdicts.clear();
    ++m_generation;
    return failed;
}

QStringList TSpellChecker::dictionaries() const
{
    QStringList codes;
    for (const auto& d : m_dictionaries)
        codes << d->code;
    return codes;
}

bool TSpellChecker::hasDictionaries() const
{
    return !m_dictionaries.empty();
}

bool TSpellChecker::lookUp(const QString& word) const
{
    if (const auto it = m_verdicts.constFind(word); it != m_verdicts.cend())
        return *it;
    bool right = false;
    std::string encoded;
    for (const auto& d : m_dictionaries) {
        if (d->encode(word, encoded) && d->speller->spell(encoded)) {
            right = true;
            break;
        }
    }
    // A long session can meet very many different words; the verdicts are cheap to redo.
    if (m_verdicts.size() > 200000)
        m_verdicts.clear();
    m_verdicts.insert(word, right);
    return right;
}

bool TSpellChecker::isCorrect(QStringView word) const
{
    if (m_dictionaries.empty() || word.isEmpty())
        return true;
    const QString normal = NormalizedWord(word);
    if (m_ignored.contains(normal) || m_personal.contains(normal) ||
        m_personal.contains(withLowerFirst(normal)))
        return true;
    return lookUp(normal);
}

std::vector<TWordSpan> TSpellChecker::misspellings(QStringView text) const
{
    std::vector<TWordSpan> wrong;
    if (m_dictionaries.empty())
        return wrong;
    for (const TWordSpan& word : CheckableWords(text)) {
        const QStringView whole = text.mid(word.start, word.length);
        if (isCorrect(whole))
            continue;
        const std::vector<TWordSpan> parts = HyphenParts(whole);
        if (parts.size() == 1 && parts.front().length == word.length) {
            wrong.push_back(word);
            continue;
        }
        // "Kaffee-break": each piece may come from another language.
        for (const TWordSpan& part : parts)
            if (!isCorrect(whole.mid(part.start, part.length)))
                wrong.push_back({word.start + part.start, part.length});
    }
    return wrong;
}

std::optional<TWordSpan> TSpellChecker::misspellingAt(QStringView text, int position) const
{
    for (const TWordSpan& span : misspellings(text))
        if (span.contains(position))
            return span;
    return std::nullopt;
}

QStringList TSpellChecker::suggestions(const QString& word, int max) const
{
    const QString normal = NormalizedWord(word);
    const bool typographic = normal != word;
    std::vector<QStringList> perDictionary;
    std::string encoded;
    for (const auto& d : m_dictionaries) {
        if (!d->encode(normal, encoded))
            continue;
        QStringList list;
        for (const std::string& s : d->speller->suggest(encoded))
            list << d->decode(s);
        perDictionary.push_back(list);
    }
    QStringList merged;
    for (qsizetype rank = 0; merged.size() < max; ++rank) {
        bool any = false;
        for (const QStringList& list : perDictionary) {
            if (rank >= list.size())
                continue;
            any = true;
            QString s = list[rank];
            if (typographic)
                s.replace(QLatin1Char('\''), QChar(u'\u2019'));
            if (!merged.contains(s) && merged.size() < max)
                merged << s;
        }
        if (!any)
            break;
    }
    return merged;
}

void TSpellChecker::addPersonalWords(const QStringList& words)
{
    std::string encoded;
    for (const QString& raw : words) {
        const QString word = NormalizedWord(raw.trimmed());
        if (word.isEmpty() || m_personal.contains(word))
            continue;
        m_personal.insert(word);
        // Hunspell then also offers the word among its suggestions.
        for (const auto& d : m_dictionaries)
            if (d->encode(word, encoded))
                d->speller->add(encoded);
    }
}

void TSpellChecker::ignore(const QString& word)
{
    m_ignored.insert(NormalizedWord(word));
}
