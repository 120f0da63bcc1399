#include "settings/IniText.h"

#include <QStringDecoder>

#include <limits>

namespace IniText {

namespace {

// A line opening a section name that never closes ("[Main Window" and nothing more) is junk.
// It has to go before parsing: SimpleIni would take it, line break and all, as the name of the
// section the following keys belong to, and every later rewrite would make the file longer.
QByteArray withoutBrokenSectionLines(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const QByteArray line = text.mid(start, end - start);
        const QByteArray trimmed = line.trimmed();
        if (!(trimmed.startsWith('[') && !trimmed.contains(']')))
            out += line;
        // Keep the line break itself, so line numbers and blank-line structure stay.
        while (end < text.size() && (text[end] == '\n' || text[end] == '\r'))
            out += text[end++];
        start = end;
    }
    return out;
}

} // namespace

QByteArray toParsableUtf8(const QByteArray& raw)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asUtf8 = utf8.decode(raw);
    QByteArray text;
    if (utf8.hasError()) {
        QStringDecoder windows("windows-1252");
        text = windows.isValid() ? QString(windows.decode(raw)).toUtf8()
                                 : QString::fromLatin1(raw).toUtf8();
    } else {
        text = raw;
    }
    text.replace('\0', ' ');
    return withoutBrokenSectionLines(text);
}

std::optional<int> leadingInt(const char* value)
{
    const bool negative = *value == '-';
    if (negative)
        ++value;
    long long n = 0;
    for (; *value >= '0' && *value <= '9'; ++value) {
        n = n * 10 + (*value - '0');
        // One past INT_MAX is still needed for INT_MIN.
        if (n > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        n = -n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(n);
}

QString capped(const QString& text, int maxLength)
{
    if (text.size() <= maxLength)
        return text;
    qsizetype cut = maxLength;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

QString singleLine(QString value)
{
    for (QChar& c : value)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return value;
}

} // namespace IniText
