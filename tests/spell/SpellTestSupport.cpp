#include "SpellTestSupport.h"

#include "spell/WordSplitter.h"

#include <QDir>
#include <QFile>

void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

void PrintTo(const TWordSpan& span, std::ostream* os)
{
    *os << '{' << span.start << ", " << span.length << '}';
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

TinyDictionaries::TinyDictionaries()
{
    write(QStringLiteral("en_XX"),
          "SET UTF-8\nTRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ'\nWORDCHARS '\n"
          "SFX S Y 1\nSFX S 0 s .\n",
          "9\nhello/S\nworld/S\nspelling/S\ndon't\nwell\nknown\ncheck/S\nthe\nword/S\n");
    write(QStringLiteral("de_XX"),
          "SET UTF-8\nTRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ\n",
          QStringLiteral("5\nKaffee\nStraße\ngut\nWort\nHaus\n").toUtf8());
    // é is one byte here, as in dictionaries of the older encodings.
    write(QStringLiteral("fr_XX"), "SET ISO8859-1\nTRY esianrtolcdugmphbyfvkwz\n",
          QStringLiteral("4\ncafé\nété\noui\nmot\n").toLatin1());
}

void TinyDictionaries::write(const QString& code, const QByteArray& aff,
                             const QByteArray& dic) const
{
    WriteBytes(m_dir.filePath(code + ".aff"), aff);
    WriteBytes(m_dir.filePath(code + ".dic"), dic);
}

TDictionaryInfo TinyDictionaries::info(const QString& code) const
{
    return {code, m_dir.filePath(code + ".aff"), m_dir.filePath(code + ".dic")};
}

std::vector<TDictionaryInfo> TinyDictionaries::infos(const QStringList& codes) const
{
    std::vector<TDictionaryInfo> list;
    for (const QString& code : codes)
        list.push_back(info(code));
    return list;
}
