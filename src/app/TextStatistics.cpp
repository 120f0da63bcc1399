#include "app/TextStatistics.h"

TTextStatistics CountTextStatistics(QStringView text)
{
    TTextStatistics stats;
    bool inWord = false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == 0)
            break;
        if (c == u'\n')
            ++stats.lines;
        if (c == u' ' || c == u'\n' || c == u'\t' || c == u'\r') {
            inWord = false;
            continue;
        }
        ++stats.characters;
        if (!inWord) {
            ++stats.words;
            inWord = true;
        }
    }
    return stats;
}

QString WordCountMessage(bool forSelection, const TTextStatistics& stats)
{
    QString text = forSelection ? QStringLiteral("Statistics for Selection:")
                                : QStringLiteral("Statistics for File:");
    text += QStringLiteral("\n\nNumber of Words: ") + QString::number(stats.words);
    if (!forSelection)
        text += QStringLiteral("\nNumber of Lines: ") + QString::number(stats.lines);
    text += QStringLiteral("\nNumber of Characters: ") + QString::number(stats.characters);
    return text;
}
