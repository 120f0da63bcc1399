#include "spell/WordSplitter.h"

namespace {

bool isHyphen(QChar c)
{
    // Hyphen-minus, hyphen and non-breaking hyphen; dashes separate words.
    return c == u'-' || c == u'\u2010' || c == u'\u2011';
}

bool isLetter(QChar c)
{
    return c.isLetter() || c.isMark();
}

// Characters a word is made of; digits and underscores join it so that "abc123" is seen whole
// and then left out.
bool isWordChar(QChar c)
{
    return isLetter(c) || c.isNumber() || c == u'_';
}

bool isBlank(QChar c)
{
    return c.isSpace() || c == QChar::ObjectReplacementCharacter;
}

// Scripts written without spaces between words: splitting them needs more than a dictionary.
bool isUnspacedScript(QChar c)
{
    switch (c.script()) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
    case QChar::Script_Tibetan:
        return true;
    default:
        return false;
    }
}

bool startsWithIgnoringCase(QStringView text, QStringView prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// A blank-free run that is a web or e-mail address as a whole, surrounding brackets and
// punctuation included.
bool isAddress(QStringView chunk)
{
    if (chunk.contains(u"://"))
        return true;
    qsizetype lead = 0;
    while (lead < chunk.size() && !isWordChar(chunk[lead]))
        ++lead;
    const QStringView body = chunk.mid(lead);
    if (startsWithIgnoringCase(body, u"www.") || startsWithIgnoringCase(body, u"mailto:"))
        return true;
    // name@host: an "@" with a word character on either side.
    for (qsizetype i = 1; i + 1 < chunk.size(); ++i)
        if (chunk[i] == u'@' && isWordChar(chunk[i - 1]) && isWordChar(chunk[i + 1]))
            return true;
    return false;
}

bool worthChecking(QStringView word)
{
    bool lower = false, upper = false;
    for (const QChar c : word) {
        if (c.isNumber() || c == u'_' || isUnspacedScript(c))
            return false;
        lower = lower || c.isLower();
        upper = upper || c.isUpper() || c.isTitleCase();
    }
    // Capitals only: an acronym or a shout. Scripts without letter case have neither.
    return lower || !upper;
}

// Appends the checkable words of a blank-free run starting at offset.
void splitChunk(QStringView text, qsizetype from, qsizetype to, std::vector<TWordSpan>& out)
{
    qsizetype i = from;
    while (i < to) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < to) {
            if (isWordChar(text[i])) {
                ++i;
            } else if ((IsApostrophe(text[i]) || isHyphen(text[i])) && i + 1 < to &&
                       isLetter(text[i - 1]) && isLetter(text[i + 1])) {
                ++i;
            } else {
                break;
            }
        }
        const QStringView word = text.mid(start, i - start);
        if (worthChecking(word))
            out.push_back({int(start), int(i - start)});
    }
}

} // namespace

bool IsApostrophe(QChar c)
{
    return c == u'\'' || c == u'\u2019';
}

std::vector<TWordSpan> CheckableWords(QStringView text)
{
    std::vector<TWordSpan> words;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isBlank(text[i]))
            ++i;
        const qsizetype start = i;
        while (i < n && !isBlank(text[i]))
            ++i;
        if (i > start && !isAddress(text.mid(start, i - start)))
            splitChunk(text, start, i, words);
    }
    return words;
}

std::vector<TWordSpan> HyphenParts(QStringView word)
{
    std::vector<TWordSpan> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= word.size(); ++i) {
        if (i < word.size() && !isHyphen(word[i]))
            continue;
        const QStringView part = word.mid(start, i - start);
        if (!part.isEmpty() && worthChecking(part))
            parts.push_back({int(start), int(i - start)});
        start = i + 1;
    }
    return parts;
}

QString NormalizedWord(QStringView word)
{
    QString normal = word.toString();
    normal.replace(QChar(u'\u2019'), QLatin1Char('\''));
    return normal;
}
