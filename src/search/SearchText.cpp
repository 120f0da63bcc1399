#include "search/SearchText.h"

#include <QChar>

#include <array>

namespace {

// The combining accents that SQLite's tokenizer treats as part of a word and drops when folding.
// Every other combining mark separates words there, so it does here.
bool isFoldedAccent(char32_t c)
{
    static constexpr char32_t accents[] = {
        0x300, 0x301, 0x302, 0x303, 0x304, 0x306, 0x307, 0x308, 0x309, 0x30A, 0x30B, 0x30C, 0x30F,
        0x311, 0x31B, 0x323, 0x324, 0x325, 0x326, 0x327, 0x328, 0x32D, 0x32E, 0x330, 0x331};
    if (c < 0x300 || c > 0x331)
        return false;
    for (char32_t a : accents)
        if (a == c)
            return true;
    return false;
}

// The index's tokenizer carries its own character tables, of an older Unicode than Qt's: to it,
// a character assigned later is unassigned, and unassigned characters belong to words and fold
// to themselves.
constexpr QChar::UnicodeVersion IndexUnicode = QChar::Unicode_6_1;

bool unknownToIndex(char32_t c)
{
    const QChar::UnicodeVersion version = QChar::unicodeVersion(c);
    return version == QChar::Unicode_Unassigned || version > IndexUnicode ||
           (c >= 0xFDD0 && c <= 0xFDEF) || (c > 0xFFFF && QChar::isNonCharacter(c));
}

// Characters whose category changed since the index's tables were made: there, they are still
// what they were.
enum class TOldCategory { None, WordPart, Separator };

TOldCategory oldCategory(char32_t c)
{
    if (c == 0x1885 || c == 0x1886) // Mongolian baluda: letters then, marks now
        return TOldCategory::WordPart;
    if ((c >= 0x19B0 && c <= 0x19C0) || c == 0x19C8 || c == 0x19C9 || c == 0x1CF2 ||
        c == 0x1CF3) // New Tai Lue vowel signs and Vedic signs: marks then, letters now
        return TOldCategory::Separator;
    return TOldCategory::None;
}

// Accents are removed only from Latin letters that decompose into a plain ASCII letter and
// accents, as the index does; Greek, Cyrillic and the rest keep theirs.
constexpr char32_t LatinFirst = 0xC0, LatinLast = 0x24F;
constexpr char32_t LatinExtraFirst = 0x1E00, LatinExtraLast = 0x1EFF;

char32_t asciiBaseOf(char32_t c)
{
    char32_t base = c;
    while (QChar::decompositionTag(base) == QChar::Canonical) {
        const QString parts = QChar::decomposition(base);
        if (parts.isEmpty())
            break;
        base = parts.at(0).unicode();
    }
    if (base == c || base >= 0x80 || !QChar::isLetter(base))
        return 0;
    return base;
}

struct TLatinBases
{
    std::array<char16_t, LatinLast - LatinFirst + 1> main{};
    std::array<char16_t, LatinExtraLast - LatinExtraFirst + 1> extra{};
    TLatinBases()
    {
        for (char32_t c = LatinFirst; c <= LatinLast; ++c)
            main[c - LatinFirst] = char16_t(asciiBaseOf(c));
        for (char32_t c = LatinExtraFirst; c <= LatinExtraLast; ++c)
            extra[c - LatinExtraFirst] = char16_t(asciiBaseOf(c));
        // A with dot above and macron keeps its marks in the index.
        main[0x1E0 - LatinFirst] = main[0x1E1 - LatinFirst] = 0;
    }
};

char32_t latinBase(char32_t c)
{
    static const TLatinBases bases;
    if (c >= LatinFirst && c <= LatinLast)
        return bases.main[c - LatinFirst];
    if (c >= LatinExtraFirst && c <= LatinExtraLast)
        return bases.extra[c - LatinExtraFirst];
    return 0;
}

char32_t foldOne(char32_t c, bool keepCase)
{
    if (c < 0x80) {
        if (!keepCase && c >= 'A' && c <= 'Z')
            return c + ('a' - 'A');
        return c;
    }
    if (unknownToIndex(c))
        return c;
    char32_t folded = keepCase ? c : QChar::toCaseFolded(c);
    if (const char32_t base = latinBase(folded))
        folded = keepCase ? base : QChar::toCaseFolded(base);
    return folded;
}

void append(QString& out, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(char16_t(c));
    }
}

// The code point at pos and how many UTF-16 units it takes. A lone surrogate stands for itself.
char32_t codePointAt(QStringView text, qsizetype pos, qsizetype& units)
{
    const QChar c = text[pos];
    if (c.isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, text[pos + 1]);
    }
    units = 1;
    return c.unicode();
}

void appendFolded(QString& out, char32_t c, bool keepCase)
{
    if (isFoldedAccent(c))
        return;
    append(out, foldOne(c, keepCase));
}

} // namespace

bool IsSearchWordCharacter(char32_t c)
{
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (isFoldedAccent(c) || unknownToIndex(c))
        return true;
    if (const TOldCategory old = oldCategory(c); old != TOldCategory::None)
        return old == TOldCategory::WordPart;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Other_PrivateUse:
        return true;
    default:
        return false;
    }
}

QString FoldSearchWord(QStringView word, bool keepCase)
{
    QString out;
    out.reserve(word.size());
    qsizetype units = 1;
    for (qsizetype i = 0; i < word.size(); i += units)
        appendFolded(out, codePointAt(word, i, units), keepCase);
    return out;
}

TSearchWordReader::TSearchWordReader(QStringView text, bool keepCase)
    : text(text), keepCase(keepCase)
{
}

bool TSearchWordReader::next(TSearchWord& word)
{
    qsizetype units = 1;
    // Skip to the first character of a word.
    while (pos < text.size()) {
        const char16_t u = text[pos].unicode();
        if (u < 0x80) {
            if ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'))
                break;
            ++pos;
            continue;
        }
        if (IsSearchWordCharacter(codePointAt(text, pos, units)))
            break;
        pos += units;
    }
    if (pos >= text.size())
        return false;
    word.start = pos;
    word.folded.resize(0);
    while (pos < text.size()) {
        const char16_t u = text[pos].unicode();
        if (u < 0x80) {
            if (u >= 'A' && u <= 'Z') {
                word.folded += QChar(keepCase ? u : char16_t(u + ('a' - 'A')));
            } else if ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z')) {
                word.folded += QChar(u);
            } else {
                break;
            }
            ++pos;
            continue;
        }
        const char32_t c = codePointAt(text, pos, units);
        if (!IsSearchWordCharacter(c))
            break;
        appendFolded(word.folded, c, keepCase);
        pos += units;
    }
    word.end = pos;
    return true;
}

qsizetype EndOfFoldedPrefix(QStringView word, qsizetype foldedLength, bool keepCase)
{
    QString folded;
    qsizetype units = 1;
    qsizetype i = 0;
    while (i < word.size() && folded.size() < foldedLength) {
        appendFolded(folded, codePointAt(word, i, units), keepCase);
        i += units;
    }
    // Accents that follow the last letter of the prefix belong to it.
    while (i < word.size() && isFoldedAccent(codePointAt(word, i, units)))
        i += units;
    return i;
}
