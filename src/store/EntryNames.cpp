#include "store/EntryNames.h"

#include "store/Paths.h"

namespace {

constexpr QChar brokenBar(0x00A6);

bool isForbiddenInKeyword(QChar c)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    return forbidden.contains(c) || c == brokenBar;
}

// Line breaks would split the name in startup.txt, and no file system likes control characters
// in names.
bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

char16_t asciiLower(char16_t c)
{
    return c >= 'A' && c <= 'Z' ? char16_t(c - 'A' + 'a') : c;
}

// One reading for names as text and as the file system's bytes: every character of an entry
// name is ASCII, so a name with any other character is simply not one.
template <typename Name>
std::optional<QDate> dateOfEntryName(const Name& name, qsizetype size)
{
    constexpr qsizetype nameLength = 14; // "jx" + 8 digits + ".rtf"
    if (size != nameLength)
        return std::nullopt;
    const auto at = [&](qsizetype i) { return asciiLower(char16_t(name(i))); };
    if (at(0) != 'j' || at(1) != 'x' || at(10) != '.' || at(11) != 'r' || at(12) != 't' ||
        at(13) != 'f')
        return std::nullopt;
    int digits[8];
    for (qsizetype i = 2; i < 10; ++i) {
        const char16_t c = at(i);
        if (c < '0' || c > '9')
            return std::nullopt;
        digits[i - 2] = c - '0';
    }
    const QDate date(digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3],
                     digits[4] * 10 + digits[5], digits[6] * 10 + digits[7]);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

QString EntryFileNameOf(QDate date)
{
    const int year = date.year();
    if (year < 0 || year > 9999)
        return QString::asprintf("jx%04d%02d%02d.rtf", year, date.month(), date.day());
    // The Quick List names every entry of twenty years at each refresh: no formatting engine.
    char16_t name[] = u"jx00000000.rtf";
    const int digits[] = {year, date.month() * 100 + date.day()};
    for (int i = 9, part = 1; part >= 0; --part) {
        int value = digits[part];
        for (int n = 0; n < 4; ++n, --i, value /= 10)
            name[i] = char16_t('0' + value % 10);
    }
    return QString::fromUtf16(name, 14);
}

std::optional<QDate> DateOfEntryFileName(const QString& fileName)
{
    return dateOfEntryName([&](qsizetype i) { return fileName[i].unicode(); }, fileName.size());
}

std::optional<QDate> DateOfEntryFileBytes(QByteArrayView fileName)
{
    return dateOfEntryName([&](qsizetype i) { return static_cast<unsigned char>(fileName[i]); },
                           fileName.size());
}

QString KeywordFileName(const QString& keyword)
{
    return QStringLiteral("kw_") + keyword + QStringLiteral(".rtf");
}

QString KeywordFilePath(const QString& dir, const QString& keyword)
{
    return ResolveCaseInsensitive(dir, KeywordFileName(keyword));
}

QString KeywordOfFileName(const QString& fileName)
{
    const QString rest = fileName.mid(3);
    const qsizetype end = rest.indexOf(QLatin1String(".rtf"));
    return end < 0 ? rest : rest.left(end);
}

std::optional<QString> KeywordNameProblem(const QString& keyword)
{
    if (keyword.isEmpty())
        return QStringLiteral("You must enter a Keyword name!");
    for (const QChar c : keyword) {
        if (isForbiddenInKeyword(c))
            return QStringLiteral("Invalid Keyword name!\nA Keyword name cannot contain the "
                                  "following characters: \\ / : ? \" > < |");
        if (isControl(c))
            return QStringLiteral("Invalid Keyword name!\nA Keyword name cannot contain line "
                                  "breaks, tabs or other control characters.");
    }
    if (keyword.compare(QLatin1String("Diary"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Invalid Keyword name!\n\"%1\" is the name of the diary tab; "
                              "please choose another name.")
            .arg(keyword);
    if (KeywordFileName(keyword).toUtf8().size() > MaxFileNameBytes)
        return QStringLiteral("Invalid Keyword name!\nThe Keyword name is too long: it can have "
                              "at most %1 characters (fewer with letters outside plain ASCII).")
            .arg(MaxFileNameBytes - KeywordFileName(QString()).size());
    return std::nullopt;
}
