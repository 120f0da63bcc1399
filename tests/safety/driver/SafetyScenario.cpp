#include "SafetyScenario.h"

#include <QRegularExpression>

namespace Safety {

namespace {

constexpr int EntryParagraphs = 1600;
constexpr int KeywordParagraphs = 40;

QString versionText(int n, int paragraphs)
{
    const QChar letter = n % 2 == 0 ? QLatin1Char('A') : QLatin1Char('B');
    const QString tag = QStringLiteral("version %1 #%2").arg(letter).arg(n);
    QString text;
    text.reserve(paragraphs * 120);
    text += QStringLiteral("Start of ") + tag;
    for (int i = 0; i < paragraphs; ++i) {
        text += QLatin1Char('\n');
        text += QStringLiteral("%1, paragraph %2: ").arg(tag).arg(i);
        // Both versions have text of their own, not only their own markers.
        // Long paragraphs, as people write them; both versions have words of their own.
        const QString words =
            letter == QLatin1Char('A')
                ? QStringLiteral("the morning walk by the river, cold and bright, a heron. ")
                : QStringLiteral("rain all day; letters written, bread baked, a long nap. ");
        text += words.repeated(paragraphs == EntryParagraphs ? 10 : 1);
    }
    text += QStringLiteral("\nEnd of ") + tag;
    return text;
}

int versionOf(const QString& plainText, int paragraphs)
{
    static const QRegularExpression head(QStringLiteral("^Start of version [AB] #(\\d+)\n"));
    const QRegularExpressionMatch match = head.match(plainText);
    if (!match.hasMatch())
        return -1;
    bool ok = false;
    const int n = match.captured(1).toInt(&ok);
    if (!ok)
        return -1;
    // An editor may end the document with an empty paragraph of its own; the words must match.
    QString text = plainText;
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text == versionText(n, paragraphs) ? n : -1;
}

} // namespace

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Entry:
        return QStringLiteral("entry");
    case Kind::Keyword:
        return QStringLiteral("keyword");
    case Kind::Startup:
        return QStringLiteral("startup");
    case Kind::Settings:
        return QStringLiteral("settings");
    }
    return {};
}

std::optional<Kind> kindNamed(const QString& name)
{
    for (Kind kind : {Kind::Entry, Kind::Keyword, Kind::Startup, Kind::Settings})
        if (kindName(kind) == name)
            return kind;
    return std::nullopt;
}

QDateTime fixedNow()
{
    return QDateTime(QDate(2026, 12, 7), QTime(10, 0));
}

QString entryFileName()
{
    return QStringLiteral("jx20261207.rtf");
}

QString keywordName()
{
    return QStringLiteral("Safety");
}

QString anchorName()
{
    return QStringLiteral("Anchor");
}

QString entryText(int n)
{
    return versionText(n, EntryParagraphs);
}

QString keywordText(int n)
{
    return versionText(n, KeywordParagraphs);
}

int entryVersionOf(const QString& plainText)
{
    return versionOf(plainText, EntryParagraphs);
}

int keywordVersionOf(const QString& plainText)
{
    return versionOf(plainText, KeywordParagraphs);
}

QStringList startupTabs(int n)
{
    if (n % 2 == 0)
        return {anchorName()};
    return {anchorName(), keywordName()};
}

int settingsValue(int n)
{
    return n + 1;
}

QList<QPair<QString, QString>> settingsVersionKeys()
{
    return {{QStringLiteral("General"), QStringLiteral("AutoSave Interval")},
            {QStringLiteral("Printing"), QStringLiteral("Left Margin")},
            {QStringLiteral("Printing"), QStringLiteral("Right Margin")},
            {QStringLiteral("Printing"), QStringLiteral("Top Margin")},
            {QStringLiteral("Printing"), QStringLiteral("Bottom Margin")}};
}

} // namespace Safety
