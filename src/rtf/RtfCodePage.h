#pragma once

#include <QString>

#include <array>
#include <memory>
#include <unordered_map>

class QStringDecoder;

namespace rtf {

// Windows has no real code page for the Symbol charset; 42 is what it calls CP_SYMBOL.
constexpr int SymbolCodePage = 42;

// The code page a font's \fcharset stands for; 0 when the charset says nothing (then the
// document's \ansicpg applies).
int codePageForCharset(int charset);

// Shift-JIS, GBK, Korean, Big5 and Johab send a lead byte and a trail byte; the trail byte can
// sit in the ASCII range and arrive as a plain character.
bool isDoubleByteCodePage(int codePage);
bool isLeadByte(int codePage, unsigned char byte);

// Decodes byte runs in any code page through QStringDecoder. Single-byte code pages are
// turned into a 256-entry table on first use, because \'hh runs are short and many.
class TCodePageDecoder
{
public:
    TCodePageDecoder();
    ~TCodePageDecoder();
    TCodePageDecoder(const TCodePageDecoder&) = delete;
    TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;

    void decodeInto(int codePage, const char* data, qsizetype size, QString& out);

private:
    struct TEntry
    {
        bool singleByte = true;
        std::array<char16_t, 256> table{};
        std::unique_ptr<QStringDecoder> decoder;
    };
    TEntry& entryFor(int codePage);

    std::unordered_map<int, std::unique_ptr<TEntry>> m_entries;
    int m_lastCodePage = -1;
    TEntry* m_last = nullptr;
};

// The Windows-1252 byte of a character, or 0 when 1252 cannot hold it.
unsigned char windows1252Byte(char16_t ch);

} // namespace rtf
