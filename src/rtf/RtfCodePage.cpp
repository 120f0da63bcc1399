#include "rtf/RtfCodePage.h"

#include <QList>
#include <QStringDecoder>

namespace rtf {

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return SymbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

bool isDoubleByteCodePage(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361;
}

bool isLeadByte(int codePage, unsigned char byte)
{
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    case 1361:
        return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xF9);
    default:
        return false;
    }
}

namespace {

std::unique_ptr<QStringDecoder> openDecoder(int codePage)
{
    QList<QByteArray> names;
    const QByteArray number = QByteArray::number(codePage);
    switch (codePage) {
    case 437:
        names << "IBM437";
        break;
    case 850:
        names << "IBM850";
        break;
    case 10000:
        names << "macintosh";
        break;
    case 65001:
        names << "UTF-8";
        break;
    // ICU has no Johab table; the Korean Windows code page is the nearest it offers.
    case 1361:
        names << "windows-949";
        break;
    default:
        break;
    }
    names << "windows-" + number << "cp" + number << "ibm-" + number;
    for (const QByteArray& name : names) {
        auto decoder =
            std::make_unique<QStringDecoder>(name.constData(), QStringDecoder::Flag::Stateless);
        if (decoder->isValid())
            return decoder;
    }
    return std::make_unique<QStringDecoder>("windows-1252", QStringDecoder::Flag::Stateless);
}

} // namespace

TCodePageDecoder::TCodePageDecoder() = default;
TCodePageDecoder::~TCodePageDecoder() = default;

TCodePageDecoder::TEntry& TCodePageDecoder::entryFor(int codePage)
{
    if (codePage == m_lastCodePage)
        return *m_last;
    auto& slot = m_entries[codePage];
    if (!slot) {
        slot = std::make_unique<TEntry>();
        const bool symbol = codePage == SymbolCodePage;
        slot->decoder = openDecoder(symbol ? 1252 : codePage);
        slot->singleByte = !isDoubleByteCodePage(codePage) && codePage != 65001;
        if (slot->singleByte) {
            for (int byte = 0; byte < 256; ++byte) {
                const char c = char(byte);
                const QString s = slot->decoder->decode(QByteArrayView(&c, 1));
                slot->table[byte] = s.size() == 1 ? s.at(0).unicode() : char16_t(0xFFFD);
            }
            // The Symbol font's bullet sits at B7, where Windows shows it as a bullet.
            if (symbol)
                slot->table[0xB7] = 0x2022;
        }
    }
    m_lastCodePage = codePage;
    m_last = slot.get();
    return *slot;
}

void TCodePageDecoder::decodeInto(int codePage, const char* data, qsizetype size, QString& out)
{
    TEntry& entry = entryFor(codePage);
    if (entry.singleByte) {
        const qsizetype start = out.size();
        out.resize(start + size);
        QChar* dst = out.data() + start;
        for (qsizetype i = 0; i < size; ++i)
            dst[i] = QChar(entry.table[static_cast<unsigned char>(data[i])]);
        return;
    }
    out += entry.decoder->decode(QByteArrayView(data, size));
    entry.decoder->resetState();
}

unsigned char windows1252Byte(char16_t ch)
{
    static const std::unordered_map<char16_t, unsigned char> reverse = [] {
        std::unordered_map<char16_t, unsigned char> map;
        QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
        for (int byte = 0x80; byte < 256; ++byte) {
            const char c = char(byte);
            const QString s = decoder.decode(QByteArrayView(&c, 1));
            if (s.size() == 1 && s.at(0) != QChar(0xFFFD) &&
                !(s.at(0).unicode() >= 0x80 && s.at(0).unicode() < 0xA0))
                map.emplace(s.at(0).unicode(), static_cast<unsigned char>(byte));
        }
        return map;
    }();
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<unsigned char>(ch);
    const auto it = reverse.find(ch);
    return it == reverse.end() ? 0 : it->second;
}

} // namespace rtf
