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

int digitsAt(const QString& text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i)
        value = value * 10 + (text[i].unicode() - '0');
    return value;
}

} // namespace

QString EntryFileNameOf(QDate date)
{
    return QString::asprintf("jx%04d%02d%02d.rtf", date.year(), date.month(), date.day());
}

std::optional<QDate> DateOfEntryFileName(const QString& fileName)
{
    constexpr qsizetype nameLength = 14; // "jx" + 8 digits + ".rtf"
    if (fileName.size() != nameLength ||
        !fileName.startsWith(QLatin1String("jx"), Qt::CaseInsensitive) ||
        !fileName.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        return std::nullopt;
    for (qsizetype i = 2; i < 10; ++i) {
        const char16_t c = fileName[i].unicode();
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const QDate date(digitsAt(fileName, 2, 4), digitsAt(fileName, 6, 2), digitsAt(fileName, 8, 2));
    if (!date.isValid())
        return std::nullopt;
    return date;
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
