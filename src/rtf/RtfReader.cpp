#include "rtf/RtfReader.h"

#include "rtf/RtfCodePage.h"
#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfObjects.h"
#include "rtf/TextDirection.h"

#include <QColor>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextListFormat>
#include <QUrl>

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace rtf {

namespace {

// Real files nest a few dozen groups deep; anything deeper is damage or an attack, and its
// groups are read as part of the enclosing one.
constexpr int MaxGroupDepth = 400;
// Sizes beyond these are damage; they are clamped so the layout stays sane.
constexpr int MaxTwips = 31680; // 22 inches
constexpr int MaxHalfPoints = 3276;

enum class TDest : unsigned char {
    Text,
    Skip,
    StyleSheet,
    Style,
    LevelText,
    Generator,
    // Content the document cannot hold (headers, footnotes, ...): skipped, but noted when it
    // held any text or picture.
    Dropped,
    // An object or shape kept whole; only its size, class and a picture to show are read.
    Captured,
    ObjectClass,
    FontTable,
    FontName,
    ColorTable,
    Pict,
    FieldInstruction,
    ListPrefix,
    Pn,
    ListTable,
    ListOverrideTable,
};

enum class TUnderline : unsigned char { None, Single, Dotted, Dash, DashDot, DashDotDot, Wave };

struct TCharState
{
    int font = -1; // -1: the \deff font
    int halfPoints = 24;
    int foreground = 0;
    int background = 0;
    int link = -1;
    TUnderline underline = TUnderline::None;
    unsigned char vertical = 0; // 0 none, 1 super, 2 sub
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool operator==(const TCharState&) const = default;
};

struct TCharStateHash
{
    size_t operator()(const TCharState& s) const
    {
        size_t h = size_t(s.font) * 1000003u ^ size_t(s.halfPoints) * 9176u ^
                   size_t(s.foreground) * 7919u ^ size_t(s.background) * 104729u ^
                   size_t(s.link + 1) * 31u;
        return h ^ (size_t(s.underline) << 1) ^ (size_t(s.vertical) << 4) ^ (size_t(s.bold) << 6) ^
               (size_t(s.italic) << 7) ^ (size_t(s.strike) << 8) ^ (size_t(s.hidden) << 9);
    }
};

// More tab stops than a paragraph has; the rest are left out.
constexpr int MaxTabs = 32;

struct TTabStop
{
    int position = 0;       // twips
    unsigned char kind = 0; // 0 left, 1 centre, 2 right, 3 decimal
};

struct TParaState
{
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int depth = 0;   // 0 body, 1 in a table, 2 in a table in a table, ...
    int pnStyle = 0; // the Word 6 form
    int pnStart = 1;
    int ls = 0; // the list table form
    int ilvl = 0;
    int lineSpacing = 0;       // \sl: twips, negative for exactly
    bool lineMultiple = false; // \slmult1: \sl is in 240ths of a line
    unsigned char pendingTabKind = 0;
    unsigned char tabCount = 0;
    std::array<TTabStop, MaxTabs> tabs{};
};

struct TGroup
{
    TCharState ch;
    TParaState para;
    int uc = 1;
    TDest dest = TDest::Text;
    bool ownsDest = false;
    bool ownsField = false;
    // Row properties here belong to a nested table's row (\nesttableprops).
    bool nestedRow = false;
    // Where the group's opening brace is in the file.
    qsizetype start = 0;
};

// One entry of the style sheet: the formatting keywords it gives, to be replayed where a
// paragraph or character style is named.
struct TStyleOp
{
    TKeyword keyword;
    bool hasParam;
    int param;
};

struct TStyleDef
{
    int basedOn = -1;
    std::vector<TStyleOp> ops;
};

struct TListLevel
{
    int nfc = 0;
    char16_t bullet = 0;
};

struct TFont
{
    QString name;
    QString tableName; // the table's own name where {\*\fname} gives the one shown
    int charset = -1;
    int codePage = 0;
};

struct TField
{
    QString instruction;
    int link = -1;
};

struct TPicture
{
    enum Kind { None, Png, Jpeg, Dib, DeviceBitmap, Wmf, Emf, Mac, Os2 } kind = None;
    int width = 0;
    int height = 0;
    int widthGoal = 0;
    int heightGoal = 0;
    int scaleX = 100;
    int scaleY = 100;
    int bitsPerPixel = 1;
    int planes = 1;
    int widthBytes = 0;
    QByteArray data;
    int highNibble = -1;
    // The group, for pictures kept or written back as they came.
    qsizetype start = 0;
    int braceDepth = 0;
    bool inCapture = false;
};

// An object, shape or drawing kept whole, while its group is read.
struct TCapture
{
    bool active = false;
    TKeptKind kind = TKeptKind::OleObject;
    qsizetype start = 0;
    int braceDepth = 0;
    int width = 0; // twips
    int height = 0;
    int scaleX = 100;
    int scaleY = 100;
    int left = 0, right = 0, top = 0, bottom = 0; // a shape's corners, twips
    QString detail;
    QByteArray preview;
    QSizeF previewSize; // points
};

// What the report calls content the document could not take.
enum class TLoss : unsigned char { Header, Footer, Footnote, Comment, HiddenText, Damaged };

QString lossWords(TLoss loss)
{
    switch (loss) {
    case TLoss::Header:
        return QStringLiteral("a header");
    case TLoss::Footer:
        return QStringLiteral("a footer");
    case TLoss::Footnote:
        return QStringLiteral("a footnote");
    case TLoss::Comment:
        return QStringLiteral("a comment");
    case TLoss::HiddenText:
        return QStringLiteral("hidden text");
    case TLoss::Damaged:
        break;
    }
    return QStringLiteral("a damaged picture or object");
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Word's bullets: a disc (in Symbol), "o" in Courier New for a circle, and a small square in
// Wingdings; other programs use the Unicode shapes.
int bulletStyle(char16_t bullet)
{
    switch (bullet) {
    case u'o':
    case 0x25CB: // white circle
    case 0x25E6: // white bullet
    case 0x26AA:
    case 0xF06F:
        return QTextListFormat::ListCircle;
    case 0x25A0: // black square
    case 0x25AA: // small black square
    case 0x25FE:
    case 0xF0A7: // Wingdings small square
    case 0xF06E: // Wingdings black square
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

int listStyleForNfc(int nfc, char16_t bullet)
{
    switch (nfc) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 23:
        return bulletStyle(bullet);
    case 255:
        return 0;
    default:
        return QTextListFormat::ListDecimal;
    }
}

// The target of a HYPERLINK field: its quoted or first argument, with the \l switch naming a
// place inside the document.
QString hyperlinkTarget(const QString& instruction)
{
    static const QRegularExpression pattern(
        QStringLiteral(
            R"re(^\s*HYPERLINK\s+(?:(\\l)\s+)?(?:"((?:[^"\\]|\\.)*)"|(\S+))(?:.*?\\l\s+"([^"]*)")?)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(instruction);
    if (!match.hasMatch())
        return {};
    QString target = match.captured(2).isNull() ? match.captured(3) : match.captured(2);
    // Field codes escape a backslash with a backslash.
    target.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (!match.captured(1).isEmpty())
        target.prepend(u'#');
    else if (!match.captured(4).isEmpty())
        target += u'#' + match.captured(4);
    return target;
}

class TRtfParser
{
public:
    TRtfParser(const QByteArray& bytes, QTextDocument& doc, TRtfReadReport* report)
        : m_data(bytes), m_builder(doc), m_report(report)
    {
        m_groups.reserve(64);
        m_groups.emplace_back();
    }

    void run();

private:
    TGroup& top() { return m_groups.back(); }

    // tokens; at is where the brace is, -1 for a group the file never closes
    void openGroup(qsizetype at);
    void closeGroup(qsizetype at);
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(char symbol);
    void textSpan(const char* begin, const char* end);
    void appendHex(const char* begin, const char* end);
    void rawByte(unsigned char byte);
    void skipBinary(qsizetype count);

    // keyword handling by destination
    void textKeyword(TKeyword keyword, bool hasParam, int param);
    void fontTableKeyword(TKeyword keyword, bool hasParam, int param);
    void pictKeyword(TKeyword keyword, int param);
    void pnKeyword(TKeyword keyword, int param);
    void listTableKeyword(TKeyword keyword, int param);
    void styleKeyword(TKeyword keyword, bool star, bool hasParam, int param);
    void tableKeyword(TKeyword keyword, int param);
    void applyStyle(bool paragraph, int number, int depth = 0);
    bool startDestination(TKeyword keyword);
    void finishDestination(const TGroup& group, qsizetype closeAt);

    // pictures, objects and what is dropped
    void startCapture(TKeptKind kind);
    void capturedKeyword(TKeyword keyword, int param);
    QByteArray groupBytes(qsizetype start, int braceDepth, qsizetype closeAt) const;
    void finishPicture(qsizetype closeAt);
    void finishCapture(qsizetype closeAt);
    void insertObject(const QTextCharFormat& format);
    void droppedKeyword(TKeyword keyword);
    void noteLoss(TLoss loss);

    // text
    QString* textSink();
    void appendChar(char16_t c);
    void appendUnicode(int value);
    void flushBytes();
    void flushRun();
    void beginParagraphContent();
    void endParagraph();
    void endLastParagraph();
    void endCell(int depth);
    void endRow(int depth);
    int rowDepth() const;
    void commitFont();
    void commitListDefinition();

    int codePageOf(int font) const;
    int currentCodePage() const;
    QTextCharFormat formatFor(const TCharState& state);
    QTextCharFormat buildFormat(const TCharState& state);
    TParagraphProps paragraphProps(const TParaState& para) const;

    const QByteArray& m_data;
    TRtfDocumentBuilder m_builder;
    TCodePageDecoder m_decoder;
    TRtfReadReport* m_report;
    std::vector<TLoss> m_losses;
    // Unclosed opening braces so far, groups past MaxGroupDepth included.
    int m_braceDepth = 0;
    // A \bin claimed more bytes than the file has.
    bool m_binTruncated = false;

    std::vector<TGroup> m_groups;
    int m_overflowDepth = 0;
    bool m_starPending = false;
    int m_skipUnits = 0;
    char16_t m_highSurrogate = 0;

    // document tables
    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    std::unordered_map<int, TFont> m_fonts;
    std::vector<QColor> m_colors;
    std::vector<QString> m_links;
    std::unordered_map<int, std::vector<TListLevel>> m_listLevels; // by \listid
    std::unordered_map<int, int> m_listOverrides;                  // \ls -> \listid
    std::unordered_map<int, TStyleDef> m_paragraphStyles;
    std::unordered_map<int, TStyleDef> m_characterStyles;

    // font table in progress
    int m_fontNumber = INT_MIN;
    TFont m_font;
    QString m_fontAltName;
    bool m_fontHasAltName = false;
    // colour table in progress
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    // list table in progress
    int m_listId = 0;
    std::vector<TListLevel> m_listDefinition;
    QString m_levelText;
    bool m_listOpen = false;
    // style in progress
    TStyleDef m_style;
    int m_styleKind = 0; // 0 paragraph, 1 character, 2 section or table
    int m_styleNumber = 0;
    // Whether styles give characters their formatting (see the \generator).
    bool m_styleCharacters = true;
    QString m_generator;
    // table rows in progress, by nesting depth
    std::array<TRowDefinition, MaxTableDepth + 1> m_rows;
    std::array<std::array<std::optional<TBorder>, 6>, MaxTableDepth + 1> m_rowBorders;
    TCellDefinition m_cell;
    TBorder* m_border = nullptr; // what \brdr... words describe
    int m_overrideListId = 0;
    // \pn in progress
    int m_pnStyle = 0;
    int m_pnStart = 1;

    std::vector<TField> m_fields;
    TPicture m_picture;
    TCapture m_capture;
    TLoss m_droppedLoss = TLoss::Header;
    bool m_droppedContent = false;

    // text in progress
    QByteArray m_bytes; // \'hh bytes waiting to be decoded together
    bool m_needTrailByte = false;
    QString m_run;
    TCharState m_runState;
    int m_runDepth = 0;
    QString m_listPrefix; // \pntext or \listtext of the paragraph
    bool m_paragraphHasContent = false;
    bool m_pnInParagraph = false;

    std::unordered_map<TCharState, QTextCharFormat, TCharStateHash> m_formats;
    TCharState m_lastFormatState;
    QTextCharFormat m_lastFormat;
    bool m_lastFormatValid = false;
};

void TRtfParser::run()
{
    const char* p = m_data.constData();
    const char* const end = p + m_data.size();
    while (p < end) {
        const char c = *p;
        if (c == '{') {
            openGroup(p - m_data.constData());
            ++p;
        } else if (c == '}') {
            closeGroup(p - m_data.constData());
            ++p;
        } else if (c == '\\') {
            ++p;
            if (p >= end)
                break;
            if (isLetter(*p)) {
                const char* wordStart = p;
                while (p < end && isLetter(*p))
                    ++p;
                std::string_view word(wordStart, size_t(std::min<ptrdiff_t>(p - wordStart, 32)));
                bool negative = false;
                bool hasParam = false;
                long long value = 0;
                if (p < end && *p == '-' && p + 1 < end && *(p + 1) >= '0' && *(p + 1) <= '9') {
                    negative = true;
                    ++p;
                }
                while (p < end && *p >= '0' && *p <= '9') {
                    hasParam = true;
                    if (value < INT_MAX)
                        value = value * 10 + (*p - '0');
                    ++p;
                }
                value = std::min<long long>(value, INT_MAX);
                const int param = int(negative ? -value : value);
                if (p < end && *p == ' ')
                    ++p;
                if (word == "bin" && hasParam && param > 0) {
                    flushBytes();
                    if (param > end - p)
                        m_binTruncated = true;
                    const qsizetype count = std::min<qsizetype>(param, end - p);
                    if (top().dest == TDest::Pict)
                        m_picture.data.append(p, count);
                    skipBinary(count);
                    p += count;
                    continue;
                }
                controlWord(word, hasParam, param);
            } else if (*p == '\'') {
                ++p;
                const int high = p < end ? hexValue(*p) : -1;
                const int low = p + 1 < end ? hexValue(*(p + 1)) : -1;
                if (high >= 0 && low >= 0) {
                    p += 2;
                    if (m_skipUnits > 0)
                        --m_skipUnits;
                    else if (top().dest == TDest::Dropped)
                        m_droppedContent = true;
                    else if (top().dest != TDest::Skip)
                        rawByte(static_cast<unsigned char>(high * 16 + low));
                } else if (high >= 0) {
                    ++p; // a lone hex digit is damage; it says nothing
                }
            } else {
                controlSymbol(*p);
                ++p;
            }
        } else if (c == '\r' || c == '\n' || c == '\0') {
            // NUL is no text; rich-edit files end with one after the last brace.
            ++p;
        } else {
            const char* spanStart = p;
            while (p < end && *p != '{' && *p != '}' && *p != '\\' && *p != '\r' && *p != '\n' &&
                   *p != '\0')
                ++p;
            textSpan(spanStart, p);
        }
    }
    flushBytes();
    endLastParagraph();
    while (m_groups.size() > 1 || m_overflowDepth > 0)
        closeGroup(-1);
    endLastParagraph();
    m_builder.finish();
    if (m_report) {
        for (TLoss loss : m_losses)
            m_report->dropped << lossWords(loss);
    }
}

void TRtfParser::noteLoss(TLoss loss)
{
    if (std::find(m_losses.begin(), m_losses.end(), loss) == m_losses.end())
        m_losses.push_back(loss);
}

// What follows the last \par is a paragraph too, with the properties in force where the
// document ends.
void TRtfParser::endLastParagraph()
{
    if (top().dest != TDest::Text)
        return;
    flushBytes();
    if (m_paragraphHasContent || !m_listPrefix.isEmpty())
        endParagraph();
    flushRun();
}

void TRtfParser::openGroup(qsizetype at)
{
    flushBytes();
    m_skipUnits = 0;
    m_starPending = false;
    ++m_braceDepth;
    if (int(m_groups.size()) >= MaxGroupDepth) {
        ++m_overflowDepth;
        return;
    }
    TGroup group = top();
    group.ownsDest = false;
    group.ownsField = false;
    group.start = at;
    if (group.dest == TDest::StyleSheet) {
        group.dest = TDest::Style;
        group.ownsDest = true;
        m_style = TStyleDef();
        m_styleKind = 0;
        m_styleNumber = 0;
    }
    m_groups.push_back(group);
}

void TRtfParser::closeGroup(qsizetype at)
{
    flushBytes();
    m_skipUnits = 0;
    m_starPending = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        if (at >= 0)
            --m_braceDepth;
        return;
    }
    // An extra closing brace is damage; the outermost group stays open.
    if (m_groups.size() <= 1)
        return;
    if (at >= 0)
        --m_braceDepth;
    const TGroup closed = m_groups.back();
    m_groups.pop_back();
    // Whatever follows the document's closing brace is damage; it goes on in the state the
    // document ended with, so the last paragraph keeps its properties.
    if (m_groups.size() == 1 && closed.dest == TDest::Text) {
        m_groups.back() = closed;
        m_groups.back().ownsDest = false;
        m_groups.back().ownsField = false;
    }
    if (closed.ownsDest)
        finishDestination(closed, at);
    if (closed.ownsField && !m_fields.empty())
        m_fields.pop_back();
}

void TRtfParser::skipBinary(qsizetype)
{
    // \bin data counts as one fallback unit after \u.
    if (m_skipUnits > 0)
        --m_skipUnits;
}

void TRtfParser::controlSymbol(char symbol)
{
    switch (symbol) {
    case '*':
        m_starPending = true;
        return;
    case '\\':
    case '{':
    case '}':
        textSpan(&symbol, &symbol + 1);
        return;
    case '\r':
    case '\n':
        controlWord("par", false, 0);
        return;
    case '~':
        controlWord("~", false, 0);
        return;
    case '-':
        controlWord("-", false, 0);
        return;
    case '_':
        controlWord("_", false, 0);
        return;
    default:
        // Other symbols (\:, \|, ...) are index and formula marks; they count as fallback units.
        if (m_skipUnits > 0)
            --m_skipUnits;
        return;
    }
}

void TRtfParser::controlWord(std::string_view word, bool hasParam, int param)
{
    flushBytes();
    const bool star = m_starPending;
    m_starPending = false;
    const TDest dest = top().dest;
    if (dest == TDest::Skip)
        return;
    if (m_skipUnits > 0) {
        --m_skipUnits;
        return;
    }
    if (dest == TDest::Dropped) {
        if (star) {
            top().dest = TDest::Skip;
            top().ownsDest = true;
            return;
        }
        droppedKeyword(lookupKeyword(word));
        return;
    }
    if (dest == TDest::StyleSheet)
        return;
    if (dest == TDest::Style) {
        styleKeyword(lookupKeyword(word), star, hasParam, param);
        return;
    }
    if (dest == TDest::Captured || dest == TDest::ObjectClass) {
        const TKeyword keyword = lookupKeyword(word);
        if (keyword == TKeyword::Pict || keyword == TKeyword::ObjectClass)
            startDestination(keyword);
        else
            capturedKeyword(keyword, param);
        return;
    }

    TKeyword keyword = TKeyword::Unknown;
    if (word == "~" || word == "-" || word == "_") {
        if (dest == TDest::Text || dest == TDest::ListPrefix || dest == TDest::FieldInstruction)
            appendChar(word == "~"   ? char16_t(0x00A0)
                       : word == "-" ? char16_t(0x00AD)
                                     : char16_t(0x2011));
        return;
    }
    keyword = lookupKeyword(word);

    if (startDestination(keyword))
        return;
    if (star) {
        // An ignorable destination this reader does not know: its whole group goes.
        top().dest = TDest::Skip;
        top().ownsDest = true;
        return;
    }

    switch (dest) {
    case TDest::Text:
    case TDest::ListPrefix:
    case TDest::FieldInstruction:
        textKeyword(keyword, hasParam, param);
        break;
    case TDest::FontTable:
    case TDest::FontName:
        fontTableKeyword(keyword, hasParam, param);
        break;
    case TDest::ColorTable:
        if (keyword == TKeyword::Red || keyword == TKeyword::Green || keyword == TKeyword::Blue) {
            const int value = std::clamp(param, 0, 255);
            (keyword == TKeyword::Red     ? m_red
             : keyword == TKeyword::Green ? m_green
                                          : m_blue) = value;
            m_colorSet = true;
        }
        break;
    case TDest::Pict:
        pictKeyword(keyword, param);
        break;
    case TDest::Pn:
        pnKeyword(keyword, param);
        break;
    case TDest::ListTable:
    case TDest::ListOverrideTable:
        listTableKeyword(keyword, param);
        break;
    case TDest::LevelText:
        if (keyword == TKeyword::Unicode) {
            appendUnicode(param < 0 ? param + 65536 : param);
            m_skipUnits = top().uc;
        }
        break;
    case TDest::Skip:
    case TDest::StyleSheet:
    case TDest::Style:
    case TDest::Generator:
    case TDest::Dropped:
    case TDest::Captured:
    case TDest::ObjectClass:
        break;
    }
}

// Returns true when the keyword opened a destination in the current group.
bool TRtfParser::startDestination(TKeyword keyword)
{
    TGroup& group = top();
    TDest dest;
    switch (keyword) {
    case TKeyword::SkipDestination:
        dest = TDest::Skip;
        break;
    case TKeyword::FontTable:
        dest = TDest::FontTable;
        m_fontNumber = INT_MIN;
        break;
    case TKeyword::FontName:
        if (group.dest != TDest::FontTable)
            return false;
        dest = TDest::FontName;
        m_fontAltName.clear();
        break;
    case TKeyword::ColorTable:
        dest = TDest::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = 0;
        m_colorSet = false;
        break;
    case TKeyword::Pict:
        // A picture needs a group of its own to be kept whole; the document's group is none.
        if ((group.dest != TDest::Text && group.dest != TDest::Captured) || m_groups.size() < 3)
            return false;
        dest = TDest::Pict;
        m_picture = TPicture();
        m_picture.start = group.start;
        m_picture.braceDepth = m_braceDepth;
        m_picture.inCapture = group.dest == TDest::Captured;
        break;
    case TKeyword::Object:
    case TKeyword::Shape:
    case TKeyword::DrawingObject:
        if (group.dest != TDest::Text || m_groups.size() < 3)
            return false;
        startCapture(keyword == TKeyword::Object ? TKeptKind::OleObject : TKeptKind::DrawingShape);
        return true;
    case TKeyword::ObjectClass:
        if (group.dest != TDest::Captured)
            return false;
        dest = TDest::ObjectClass;
        m_capture.detail.clear();
        break;
    case TKeyword::Header:
    case TKeyword::Footer:
    case TKeyword::Footnote:
    case TKeyword::Annotation:
        dest = TDest::Dropped;
        m_droppedContent = false;
        m_droppedLoss = keyword == TKeyword::Header     ? TLoss::Header
                        : keyword == TKeyword::Footer   ? TLoss::Footer
                        : keyword == TKeyword::Footnote ? TLoss::Footnote
                                                        : TLoss::Comment;
        break;
    case TKeyword::ShapePicture:
        // Word's modern picture wrapper: its \pict is read like any other.
        return true;
    case TKeyword::FieldInstruction:
        if (group.dest != TDest::Text || m_fields.empty())
            return false;
        dest = TDest::FieldInstruction;
        m_fields.back().instruction.clear();
        break;
    case TKeyword::FieldResult:
        if (group.dest != TDest::Text)
            return false;
        if (!m_fields.empty() && m_fields.back().link >= 0)
            group.ch.link = m_fields.back().link;
        return true;
    case TKeyword::Field:
        if (group.dest != TDest::Text)
            return false;
        m_fields.emplace_back();
        group.ownsField = true;
        return true;
    case TKeyword::PnText:
    case TKeyword::ListText:
        if (group.dest != TDest::Text)
            return false;
        dest = TDest::ListPrefix;
        flushRun();
        m_listPrefix.clear();
        break;
    case TKeyword::Pn:
        if (group.dest != TDest::Text)
            return false;
        dest = TDest::Pn;
        m_pnStyle = 0;
        m_pnStart = 1;
        break;
    case TKeyword::ListTable:
        dest = TDest::ListTable;
        m_listOpen = false;
        break;
    case TKeyword::LevelText:
        if (group.dest != TDest::ListTable)
            return false;
        dest = TDest::LevelText;
        flushBytes();
        m_levelText.clear();
        break;
    case TKeyword::StyleSheet:
        dest = TDest::StyleSheet;
        break;
    case TKeyword::Generator:
        dest = TDest::Generator;
        break;
    case TKeyword::NestTableProps:
        // Read as text: the row of a nested table is defined and ended in here.
        if (group.dest != TDest::Text)
            return false;
        group.nestedRow = true;
        return true;
    case TKeyword::ListOverrideTable:
        dest = TDest::ListOverrideTable;
        break;
    default:
        return false;
    }
    group.dest = dest;
    group.ownsDest = true;
    return true;
}

void TRtfParser::finishDestination(const TGroup& group, qsizetype closeAt)
{
    switch (group.dest) {
    case TDest::Dropped:
        if (m_droppedContent)
            noteLoss(m_droppedLoss);
        m_droppedContent = false;
        break;
    case TDest::Captured:
        finishCapture(closeAt);
        break;
    case TDest::FontTable:
        commitFont();
        break;
    case TDest::FontName:
        m_fontHasAltName = !m_fontAltName.trimmed().isEmpty();
        break;
    case TDest::ColorTable:
        if (m_colorSet)
            m_colors.push_back(QColor(m_red, m_green, m_blue));
        m_formats.clear();
        m_lastFormatValid = false;
        break;
    case TDest::Pict:
        finishPicture(closeAt);
        m_picture = TPicture();
        break;
    case TDest::FieldInstruction:
        if (!m_fields.empty()) {
            const QString target = hyperlinkTarget(m_fields.back().instruction);
            if (!target.isEmpty()) {
                m_fields.back().link = int(m_links.size());
                m_links.push_back(target);
            }
        }
        break;
    case TDest::Pn:
        top().para.pnStyle = m_pnStyle;
        top().para.pnStart = m_pnStart;
        m_pnInParagraph = true;
        break;
    case TDest::ListTable:
        commitListDefinition();
        break;
    case TDest::LevelText:
        // The text's first character is its length; a bullet is the one after.
        if (!m_listDefinition.empty() && m_levelText.size() >= 2)
            m_listDefinition.back().bullet = m_levelText[1].unicode();
        break;
    case TDest::Generator:
        // LibreOffice writes every character property into the text and reads its files so
        // that the style sheet's character properties have no force; its files are read alike.
        if (m_generator.startsWith(u"LibreOffice") || m_generator.startsWith(u"OpenOffice"))
            m_styleCharacters = false;
        break;
    case TDest::Style:
        if (m_styleKind == 0)
            m_paragraphStyles[m_styleNumber] = std::move(m_style);
        else if (m_styleKind == 1)
            m_characterStyles[m_styleNumber] = std::move(m_style);
        m_style = TStyleDef();
        break;
    default:
        break;
    }
}

void TRtfParser::droppedKeyword(TKeyword keyword)
{
    switch (keyword) {
    case TKeyword::Unicode:
    case TKeyword::Pict:
    case TKeyword::Object:
    case TKeyword::Shape:
    case TKeyword::DrawingObject:
        m_droppedContent = true;
        break;
    default:
        break;
    }
}

void TRtfParser::startCapture(TKeptKind kind)
{
    TGroup& group = top();
    flushBytes();
    m_capture = TCapture();
    m_capture.active = true;
    m_capture.kind = kind;
    m_capture.start = group.start;
    m_capture.braceDepth = m_braceDepth;
    group.dest = TDest::Captured;
    group.ownsDest = true;
}

void TRtfParser::capturedKeyword(TKeyword keyword, int param)
{
    switch (keyword) {
    case TKeyword::ObjectWidth:
    case TKeyword::DrawingWidth:
        m_capture.width = std::clamp(param, 0, MaxTwips);
        break;
    case TKeyword::ObjectHeight:
    case TKeyword::DrawingHeight:
        m_capture.height = std::clamp(param, 0, MaxTwips);
        break;
    case TKeyword::ObjectScaleX:
        m_capture.scaleX = param;
        break;
    case TKeyword::ObjectScaleY:
        m_capture.scaleY = param;
        break;
    case TKeyword::ShapeLeft:
        m_capture.left = std::clamp(param, -10 * MaxTwips, 10 * MaxTwips);
        break;
    case TKeyword::ShapeRight:
        m_capture.right = std::clamp(param, -10 * MaxTwips, 10 * MaxTwips);
        break;
    case TKeyword::ShapeTop:
        m_capture.top = std::clamp(param, -10 * MaxTwips, 10 * MaxTwips);
        break;
    case TKeyword::ShapeBottom:
        m_capture.bottom = std::clamp(param, -10 * MaxTwips, 10 * MaxTwips);
        break;
    default:
        break;
    }
}

// The group as it stands in the file. One the file never closes gets its closing braces, so
// that it stays a group wherever it is written.
QByteArray TRtfParser::groupBytes(qsizetype start, int braceDepth, qsizetype closeAt) const
{
    if (closeAt >= 0)
        return m_data.mid(start, closeAt + 1 - start);
    return m_data.mid(start) + QByteArray(std::max(1, m_braceDepth - braceDepth + 1), '}');
}

namespace {

qreal points(qreal value)
{
    return std::clamp<qreal>(value, 0, MaxTwips / 20.0);
}

// The size a picture takes in the text, in points: its goal size in twips, scaled; else what
// \picw and \pich say (hundredths of a millimetre for metafiles, pixels for bitmaps and
// QuickDraw pictures).
QSizeF pictureSize(const TPicture& picture, QSize pixels)
{
    const bool metafile = picture.kind == TPicture::Wmf || picture.kind == TPicture::Emf ||
                          picture.kind == TPicture::Os2;
    auto side = [&](int goal, int given, int measured, int scale) {
        qreal value = 0;
        if (goal > 0)
            value = goal / 20.0;
        else if (measured > 0)
            value = measured * 0.75;
        else if (given > 0)
            value = metafile ? given * 72.0 / 2540 : given * 0.75;
        return points(value * std::clamp(scale, 1, 1000) / 100.0);
    };
    return QSizeF(side(picture.widthGoal, picture.width, pixels.width(), picture.scaleX),
                  side(picture.heightGoal, picture.height, pixels.height(), picture.scaleY));
}

// An object without a size of its own still needs room for the words saying what it is.
QSizeF placeholderSize(QSizeF size)
{
    return QSizeF(size.width() > 0 ? size.width() : 96, size.height() > 0 ? size.height() : 48);
}

} // namespace

void TRtfParser::finishPicture(qsizetype closeAt)
{
    if (m_picture.data.isEmpty())
        return;
    // Pictures that Qt can draw become images: PNG and JPEG as they are, bitmaps as .bmp files.
    QByteArray encoded;
    QSize pixels;
    bool keepGroup = false;
    switch (m_picture.kind) {
    case TPicture::Png:
        pixels = encodedPictureSize(m_picture.data, "png");
        encoded = m_picture.data;
        break;
    case TPicture::Jpeg:
        pixels = encodedPictureSize(m_picture.data, "jpeg");
        encoded = m_picture.data;
        break;
    case TPicture::Dib:
        encoded = bitmapFileFromDib(m_picture.data);
        pixels = encodedPictureSize(encoded, "bmp");
        keepGroup = true;
        break;
    case TPicture::DeviceBitmap:
        encoded = bitmapFileFromDeviceBitmap(m_picture.data, m_picture.width, m_picture.height,
                                             m_picture.widthBytes, m_picture.bitsPerPixel,
                                             m_picture.planes);
        pixels = encodedPictureSize(encoded, "bmp");
        keepGroup = true;
        break;
    default:
        break;
    }
    if (!pixels.isValid() || pixels.isEmpty())
        encoded.clear();

    if (m_picture.inCapture) {
        // The picture an object or shape shows; the object itself is kept whole.
        if (m_capture.active && m_capture.preview.isEmpty() && !encoded.isEmpty()) {
            m_capture.preview = encoded;
            m_capture.previewSize = pictureSize(m_picture, pixels);
        }
        return;
    }
    const TGroup& outer = top();
    if (outer.ch.hidden || outer.dest != TDest::Text)
        return;
    // Binary data cut off by the end of the file would swallow whatever followed the group.
    const bool damaged = closeAt < 0 && m_binTruncated;
    if (damaged && (keepGroup || encoded.isEmpty())) {
        noteLoss(TLoss::Damaged);
        return;
    }
    if (!encoded.isEmpty()) {
        const QByteArray group =
            keepGroup ? groupBytes(m_picture.start, m_picture.braceDepth, closeAt) : QByteArray();
        beginParagraphContent();
        flushRun();
        m_builder.insertImage(encoded, pictureSize(m_picture, pixels), formatFor(outer.ch),
                              outer.para.depth, group);
        return;
    }
    TKeptObject object;
    object.group = groupBytes(m_picture.start, m_picture.braceDepth, closeAt);
    switch (m_picture.kind) {
    case TPicture::Wmf:
        object.kind = TKeptKind::WindowsMetafile;
        break;
    case TPicture::Emf:
        object.kind = TKeptKind::EnhancedMetafile;
        break;
    case TPicture::Mac:
        object.kind = TKeptKind::MacPicture;
        break;
    case TPicture::Os2:
        object.kind = TKeptKind::Os2Metafile;
        break;
    case TPicture::DeviceBitmap:
        object.kind = TKeptKind::DeviceBitmap;
        break;
    default:
        object.kind = TKeptKind::Picture;
        break;
    }
    object.size = placeholderSize(pictureSize(m_picture, QSize()));
    insertObject(keptObjectFormat(object));
}

void TRtfParser::finishCapture(qsizetype closeAt)
{
    if (!m_capture.active)
        return;
    TCapture capture = std::move(m_capture);
    m_capture = TCapture();
    const TGroup& outer = top();
    if (outer.ch.hidden || outer.dest != TDest::Text)
        return;
    if (closeAt < 0 && m_binTruncated) {
        noteLoss(TLoss::Damaged);
        return;
    }
    TKeptObject object;
    object.group = groupBytes(capture.start, capture.braceDepth, closeAt);
    object.kind = capture.kind;
    object.detail = capture.detail;
    object.preview = capture.preview;
    QSizeF size(points(capture.width / 20.0 * std::clamp(capture.scaleX, 1, 1000) / 100.0),
                points(capture.height / 20.0 * std::clamp(capture.scaleY, 1, 1000) / 100.0));
    if (capture.kind == TKeptKind::DrawingShape && size.isEmpty())
        size = QSizeF(points((capture.right - capture.left) / 20.0),
                      points((capture.bottom - capture.top) / 20.0));
    if (size.isEmpty())
        size = capture.previewSize;
    object.size = placeholderSize(size);
    insertObject(keptObjectFormat(object));
}

void TRtfParser::insertObject(const QTextCharFormat& objectFormat)
{
    const TGroup& outer = top();
    beginParagraphContent();
    flushRun();
    QTextCharFormat format = formatFor(outer.ch);
    format.merge(objectFormat);
    m_builder.insertObject(format, outer.para.depth);
}

void TRtfParser::textKeyword(TKeyword keyword, bool hasParam, int param)
{
    TGroup& group = top();
    TCharState& ch = group.ch;
    TParaState& para = group.para;
    const bool on = !hasParam || param != 0;
    const bool inPrefix = group.dest != TDest::Text;
    switch (keyword) {
    case TKeyword::Rtf:
    case TKeyword::Ansi:
        m_ansiCodePage = 1252;
        break;
    case TKeyword::Mac:
        m_ansiCodePage = 10000;
        break;
    case TKeyword::Pc:
        m_ansiCodePage = 437;
        break;
    case TKeyword::Pca:
        m_ansiCodePage = 850;
        break;
    case TKeyword::AnsiCpg:
        if (param > 0)
            m_ansiCodePage = param;
        break;
    case TKeyword::Deff:
        m_defaultFont = param;
        m_formats.clear();
        m_lastFormatValid = false;
        break;
    case TKeyword::Font:
        ch.font = param;
        break;

    case TKeyword::Par:
        if (!inPrefix)
            endParagraph();
        break;
    case TKeyword::Sect:
    case TKeyword::Page:
        if (!inPrefix)
            endParagraph();
        break;
    case TKeyword::Line:
        appendChar(QChar::LineSeparator);
        break;
    case TKeyword::Tab:
        appendChar(u'\t');
        break;
    case TKeyword::EmDash:
        appendChar(0x2014);
        break;
    case TKeyword::EnDash:
        appendChar(0x2013);
        break;
    case TKeyword::Bullet:
        appendChar(0x2022);
        break;
    case TKeyword::LQuote:
        appendChar(0x2018);
        break;
    case TKeyword::RQuote:
        appendChar(0x2019);
        break;
    case TKeyword::LDblQuote:
        appendChar(0x201C);
        break;
    case TKeyword::RDblQuote:
        appendChar(0x201D);
        break;
    case TKeyword::Unicode:
        appendUnicode(param < 0 ? param + 65536 : param);
        m_skipUnits = group.uc;
        break;
    case TKeyword::UnicodeSkip:
        group.uc = std::clamp(param, 0, 16);
        break;

    case TKeyword::Plain:
        ch = TCharState{.link = ch.link};
        break;
    case TKeyword::FontSize:
        ch.halfPoints = hasParam ? std::clamp(param, 2, MaxHalfPoints) : 24;
        break;
    case TKeyword::Bold:
        ch.bold = on;
        break;
    case TKeyword::Italic:
        ch.italic = on;
        break;
    case TKeyword::Underline:
        ch.underline = on ? TUnderline::Single : TUnderline::None;
        break;
    case TKeyword::UnderlineDotted:
        ch.underline = on ? TUnderline::Dotted : TUnderline::None;
        break;
    case TKeyword::UnderlineDash:
        ch.underline = on ? TUnderline::Dash : TUnderline::None;
        break;
    case TKeyword::UnderlineDashDot:
        ch.underline = on ? TUnderline::DashDot : TUnderline::None;
        break;
    case TKeyword::UnderlineDashDotDot:
        ch.underline = on ? TUnderline::DashDotDot : TUnderline::None;
        break;
    case TKeyword::UnderlineWave:
        ch.underline = on ? TUnderline::Wave : TUnderline::None;
        break;
    case TKeyword::UnderlineOther:
        ch.underline = on ? TUnderline::Single : TUnderline::None;
        break;
    case TKeyword::UnderlineNone:
        ch.underline = TUnderline::None;
        break;
    case TKeyword::Strike:
    case TKeyword::StrikeDouble:
        ch.strike = on;
        break;
    case TKeyword::Super:
        ch.vertical = on ? 1 : 0;
        break;
    case TKeyword::Sub:
        ch.vertical = on ? 2 : 0;
        break;
    case TKeyword::NoSuperSub:
        ch.vertical = 0;
        break;
    case TKeyword::Hidden:
        ch.hidden = on;
        break;
    case TKeyword::ForeColor:
        ch.foreground = std::max(param, 0);
        break;
    case TKeyword::Highlight:
    case TKeyword::BackColor:
        ch.background = std::max(param, 0);
        break;

    case TKeyword::Pard: {
        const int wasDepth = para.depth;
        para = TParaState();
        if (wasDepth != 0 && !inPrefix)
            flushRun();
        break;
    }
    case TKeyword::AlignLeft:
        para.align = Qt::AlignLeft;
        break;
    case TKeyword::AlignCenter:
        para.align = Qt::AlignHCenter;
        break;
    case TKeyword::AlignRight:
        para.align = Qt::AlignRight;
        break;
    case TKeyword::AlignJustify:
        para.align = Qt::AlignJustify;
        break;
    case TKeyword::LeftIndent:
        para.left = std::clamp(param, -MaxTwips, MaxTwips);
        break;
    case TKeyword::RightIndent:
        para.right = std::clamp(param, -MaxTwips, MaxTwips);
        break;
    case TKeyword::FirstIndent:
        para.first = std::clamp(param, -MaxTwips, MaxTwips);
        break;
    case TKeyword::SpaceBefore:
        para.before = std::clamp(param, 0, MaxTwips);
        break;
    case TKeyword::SpaceAfter:
        para.after = std::clamp(param, 0, MaxTwips);
        break;
    case TKeyword::InTable:
        if (para.depth < 1 && !inPrefix)
            flushRun();
        para.depth = std::max(para.depth, 1);
        break;
    case TKeyword::TableDepth: {
        const int depth = std::clamp(param, 0, MaxTableDepth);
        if (depth != para.depth && !inPrefix)
            flushRun();
        para.depth = depth;
        break;
    }
    case TKeyword::LineSpacing:
        para.lineSpacing = std::clamp(param, -MaxTwips, MaxTwips);
        break;
    case TKeyword::LineMultiple:
        para.lineMultiple = param != 0;
        break;
    case TKeyword::TabRight:
        para.pendingTabKind = 2;
        break;
    case TKeyword::TabCenter:
        para.pendingTabKind = 1;
        break;
    case TKeyword::TabDecimal:
        para.pendingTabKind = 3;
        break;
    case TKeyword::TabBar:
        para.pendingTabKind = 0;
        break;
    case TKeyword::TabPosition:
        if (para.tabCount < MaxTabs)
            para.tabs[para.tabCount++] = {std::clamp(param, 0, MaxTwips), para.pendingTabKind};
        para.pendingTabKind = 0;
        break;
    case TKeyword::ParagraphStyle:
        applyStyle(true, param);
        break;
    case TKeyword::CharacterStyle:
        applyStyle(false, param);
        break;
    case TKeyword::Ls:
        para.ls = std::max(param, 0);
        break;
    case TKeyword::Ilvl:
        para.ilvl = std::clamp(param, 0, 8);
        break;
    case TKeyword::PnLevelBullet:
    case TKeyword::PnLevelBody:
        // Outside a \pn group these still come from old writers; they work on the paragraph.
        para.pnStyle = keyword == TKeyword::PnLevelBullet ? int(QTextListFormat::ListDisc)
                                                          : int(QTextListFormat::ListDecimal);
        break;

    case TKeyword::RowDefaults:
    case TKeyword::RowLeft:
    case TKeyword::CellX:
    case TKeyword::CellMergeFirst:
    case TKeyword::CellMerge:
    case TKeyword::CellVerticalMergeFirst:
    case TKeyword::CellVerticalMerge:
    case TKeyword::CellBorderTop:
    case TKeyword::CellBorderLeft:
    case TKeyword::CellBorderBottom:
    case TKeyword::CellBorderRight:
    case TKeyword::RowBorderTop:
    case TKeyword::RowBorderLeft:
    case TKeyword::RowBorderBottom:
    case TKeyword::RowBorderRight:
    case TKeyword::RowBorderInsideH:
    case TKeyword::RowBorderInsideV:
    case TKeyword::BorderSolid:
    case TKeyword::BorderDotted:
    case TKeyword::BorderDashed:
    case TKeyword::BorderDotDash:
    case TKeyword::BorderDotDotDash:
    case TKeyword::BorderDouble:
    case TKeyword::BorderGroove:
    case TKeyword::BorderRidge:
    case TKeyword::BorderInset:
    case TKeyword::BorderOutset:
    case TKeyword::BorderNone:
    case TKeyword::BorderWidth:
    case TKeyword::BorderColour:
    case TKeyword::CellShading:
    case TKeyword::ParagraphBorder:
        tableKeyword(keyword, param);
        break;
    case TKeyword::Cell:
        if (!inPrefix)
            endCell(1);
        break;
    case TKeyword::Row:
        if (!inPrefix)
            endRow(1);
        break;
    case TKeyword::NestCell:
        if (!inPrefix)
            endCell(std::max(para.depth, 2));
        break;
    case TKeyword::NestRow:
        if (!inPrefix)
            endRow(std::max(para.depth, 2));
        break;
    default:
        break;
    }
}

namespace {

bool isParagraphProperty(TKeyword keyword)
{
    switch (keyword) {
    case TKeyword::AlignLeft:
    case TKeyword::AlignCenter:
    case TKeyword::AlignRight:
    case TKeyword::AlignJustify:
    case TKeyword::LeftIndent:
    case TKeyword::RightIndent:
    case TKeyword::FirstIndent:
    case TKeyword::SpaceBefore:
    case TKeyword::SpaceAfter:
    case TKeyword::LineSpacing:
    case TKeyword::LineMultiple:
    case TKeyword::TabPosition:
    case TKeyword::TabRight:
    case TKeyword::TabCenter:
    case TKeyword::TabDecimal:
    case TKeyword::TabBar:
    case TKeyword::Ls:
    case TKeyword::Ilvl:
        return true;
    default:
        return false;
    }
}

// The formatting a style may give: everything a paragraph and its characters can say.
bool isStyleProperty(TKeyword keyword)
{
    switch (keyword) {
    case TKeyword::Font:
    case TKeyword::FontSize:
    case TKeyword::Bold:
    case TKeyword::Italic:
    case TKeyword::Underline:
    case TKeyword::UnderlineDotted:
    case TKeyword::UnderlineDash:
    case TKeyword::UnderlineDashDot:
    case TKeyword::UnderlineDashDotDot:
    case TKeyword::UnderlineWave:
    case TKeyword::UnderlineOther:
    case TKeyword::UnderlineNone:
    case TKeyword::Strike:
    case TKeyword::StrikeDouble:
    case TKeyword::Super:
    case TKeyword::Sub:
    case TKeyword::NoSuperSub:
    case TKeyword::Hidden:
    case TKeyword::ForeColor:
    case TKeyword::Highlight:
    case TKeyword::BackColor:
        return true;
    default:
        return isParagraphProperty(keyword);
    }
}

int borderStyle(TKeyword keyword)
{
    switch (keyword) {
    case TKeyword::BorderDotted:
        return QTextFrameFormat::BorderStyle_Dotted;
    case TKeyword::BorderDashed:
        return QTextFrameFormat::BorderStyle_Dashed;
    case TKeyword::BorderDotDash:
        return QTextFrameFormat::BorderStyle_DotDash;
    case TKeyword::BorderDotDotDash:
        return QTextFrameFormat::BorderStyle_DotDotDash;
    case TKeyword::BorderDouble:
        return QTextFrameFormat::BorderStyle_Double;
    case TKeyword::BorderGroove:
        return QTextFrameFormat::BorderStyle_Groove;
    case TKeyword::BorderRidge:
        return QTextFrameFormat::BorderStyle_Ridge;
    case TKeyword::BorderInset:
        return QTextFrameFormat::BorderStyle_Inset;
    case TKeyword::BorderOutset:
        return QTextFrameFormat::BorderStyle_Outset;
    case TKeyword::BorderNone:
        return QTextFrameFormat::BorderStyle_None;
    default:
        return QTextFrameFormat::BorderStyle_Solid;
    }
}

} // namespace

void TRtfParser::styleKeyword(TKeyword keyword, bool star, bool hasParam, int param)
{
    switch (keyword) {
    case TKeyword::ParagraphStyle:
        m_styleKind = 0;
        m_styleNumber = param;
        return;
    case TKeyword::CharacterStyle:
        m_styleKind = 1;
        m_styleNumber = param;
        return;
    case TKeyword::OtherStyle:
        m_styleKind = 2;
        return;
    case TKeyword::BasedOn:
        m_style.basedOn = param;
        return;
    default:
        break;
    }
    // Groups inside a style that a reader may ignore (key codes, for one) say nothing of its
    // formatting.
    if (star && !top().ownsDest) {
        top().dest = TDest::Skip;
        top().ownsDest = true;
        return;
    }
    if (isStyleProperty(keyword) && m_style.ops.size() < 256)
        m_style.ops.push_back({keyword, hasParam, param});
}

// A style's formatting as if its keywords stood where it is named: first what it is based on,
// then its own, so that explicit formatting after the style name wins.
void TRtfParser::applyStyle(bool paragraph, int number, int depth)
{
    const auto& styles = paragraph ? m_paragraphStyles : m_characterStyles;
    const auto it = styles.find(number);
    if (it == styles.end() || depth > 10)
        return;
    const TStyleDef& style = it->second;
    // Word's "based on nothing" is 222.
    if (style.basedOn >= 0 && style.basedOn != number && style.basedOn != 222)
        applyStyle(paragraph, style.basedOn, depth + 1);
    for (const TStyleOp& op : style.ops)
        if (m_styleCharacters || isParagraphProperty(op.keyword))
            textKeyword(op.keyword, op.hasParam, op.param);
}

// Row properties describe the row of the table they stand in: the outermost one, or inside
// \nesttableprops the nested table of the paragraph's depth.
int TRtfParser::rowDepth() const
{
    const TGroup& group = m_groups.back();
    return group.nestedRow ? std::clamp(group.para.depth, 2, MaxTableDepth) : 1;
}

void TRtfParser::tableKeyword(TKeyword keyword, int param)
{
    const int depth = rowDepth();
    TRowDefinition& row = m_rows[depth];
    auto colour = [&](int index) {
        return index > 0 && index < int(m_colors.size()) ? m_colors[index] : QColor();
    };
    auto cellBorder = [&](TSide side) {
        m_cell.hasBorder[side] = true;
        m_cell.borders[side] = TBorder();
        m_border = &m_cell.borders[side];
    };
    auto rowBorder = [&](int side) {
        m_rowBorders[depth][side] = TBorder();
        m_border = &*m_rowBorders[depth][side];
    };
    switch (keyword) {
    case TKeyword::RowDefaults:
        row = TRowDefinition();
        m_rowBorders[depth] = {};
        m_cell = TCellDefinition();
        m_border = nullptr;
        break;
    case TKeyword::RowLeft:
        row.left = std::clamp(param, -MaxTwips, MaxTwips);
        break;
    case TKeyword::CellX:
        m_cell.right = std::clamp(param, -MaxTwips, 4 * MaxTwips);
        if (row.cells.size() < size_t(MaxTableColumns))
            row.cells.push_back(m_cell);
        m_cell = TCellDefinition();
        m_border = nullptr;
        break;
    case TKeyword::CellMergeFirst:
        m_cell.horizontalMerge = 1;
        break;
    case TKeyword::CellMerge:
        m_cell.horizontalMerge = 2;
        break;
    case TKeyword::CellVerticalMergeFirst:
        m_cell.verticalMerge = 1;
        break;
    case TKeyword::CellVerticalMerge:
        m_cell.verticalMerge = 2;
        break;
    case TKeyword::CellBorderTop:
        cellBorder(TopSide);
        break;
    case TKeyword::CellBorderLeft:
        cellBorder(LeftSide);
        break;
    case TKeyword::CellBorderBottom:
        cellBorder(BottomSide);
        break;
    case TKeyword::CellBorderRight:
        cellBorder(RightSide);
        break;
    case TKeyword::RowBorderTop:
        rowBorder(TopSide);
        break;
    case TKeyword::RowBorderLeft:
        rowBorder(LeftSide);
        break;
    case TKeyword::RowBorderBottom:
        rowBorder(BottomSide);
        break;
    case TKeyword::RowBorderRight:
        rowBorder(RightSide);
        break;
    case TKeyword::RowBorderInsideH:
        rowBorder(4);
        break;
    case TKeyword::RowBorderInsideV:
        rowBorder(5);
        break;
    case TKeyword::BorderWidth:
        if (m_border)
            m_border->width = std::clamp(param, 0, 1000) / 20.0;
        break;
    case TKeyword::BorderColour:
        if (m_border)
            m_border->colour = colour(param);
        break;
    case TKeyword::CellShading:
        m_cell.background = colour(param);
        break;
    case TKeyword::ParagraphBorder:
        // Paragraph borders are not kept; their \brdr... words must not touch a cell's.
        m_border = nullptr;
        break;
    default:
        if (m_border) {
            m_border->style = borderStyle(keyword);
            if (m_border->width <= 0 && keyword != TKeyword::BorderNone)
                m_border->width = 0.5;
        }
        break;
    }
}

void TRtfParser::fontTableKeyword(TKeyword keyword, bool hasParam, int param)
{
    switch (keyword) {
    case TKeyword::Font:
        if (top().dest == TDest::FontTable) {
            commitFont();
            m_fontNumber = param;
            m_font = TFont();
            m_fontAltName.clear();
            m_fontHasAltName = false;
        }
        break;
    case TKeyword::FontCharset:
        m_font.charset = param;
        break;
    case TKeyword::FontCodePage:
        m_font.codePage = std::max(param, 0);
        break;
    case TKeyword::Unicode:
        appendUnicode(param < 0 ? param + 65536 : param);
        m_skipUnits = top().uc;
        break;
    case TKeyword::UnicodeSkip:
        top().uc = std::clamp(param, 0, 16);
        break;
    default:
        break;
    }
    (void)hasParam;
}

void TRtfParser::pictKeyword(TKeyword keyword, int param)
{
    switch (keyword) {
    case TKeyword::PngBlip:
        m_picture.kind = TPicture::Png;
        break;
    case TKeyword::JpegBlip:
        m_picture.kind = TPicture::Jpeg;
        break;
    case TKeyword::EmfBlip:
        m_picture.kind = TPicture::Emf;
        break;
    case TKeyword::WindowsMetafile:
        m_picture.kind = TPicture::Wmf;
        break;
    case TKeyword::MacPicture:
        m_picture.kind = TPicture::Mac;
        break;
    case TKeyword::Os2Metafile:
        m_picture.kind = TPicture::Os2;
        break;
    case TKeyword::DibBitmap:
        m_picture.kind = TPicture::Dib;
        break;
    case TKeyword::DeviceBitmap:
        m_picture.kind = TPicture::DeviceBitmap;
        break;
    case TKeyword::BitmapBitsPerPixel:
        m_picture.bitsPerPixel = param;
        break;
    case TKeyword::BitmapPlanes:
        m_picture.planes = param;
        break;
    case TKeyword::BitmapWidthBytes:
        m_picture.widthBytes = param;
        break;
    case TKeyword::PicWidth:
        m_picture.width = param;
        break;
    case TKeyword::PicHeight:
        m_picture.height = param;
        break;
    case TKeyword::PicWidthGoal:
        m_picture.widthGoal = std::clamp(param, 0, MaxTwips);
        break;
    case TKeyword::PicHeightGoal:
        m_picture.heightGoal = std::clamp(param, 0, MaxTwips);
        break;
    case TKeyword::PicScaleX:
        m_picture.scaleX = param;
        break;
    case TKeyword::PicScaleY:
        m_picture.scaleY = param;
        break;
    default:
        break;
    }
}

void TRtfParser::pnKeyword(TKeyword keyword, int param)
{
    switch (keyword) {
    case TKeyword::PnLevelBullet:
        m_pnStyle = QTextListFormat::ListDisc;
        break;
    case TKeyword::PnLevelBody:
    case TKeyword::PnLevel:
        if (m_pnStyle == 0)
            m_pnStyle = QTextListFormat::ListDecimal;
        break;
    case TKeyword::PnLevelCont:
        m_pnStyle = 0;
        break;
    case TKeyword::PnDecimal:
        m_pnStyle = QTextListFormat::ListDecimal;
        break;
    case TKeyword::PnUpperLetter:
        m_pnStyle = QTextListFormat::ListUpperAlpha;
        break;
    case TKeyword::PnLowerLetter:
        m_pnStyle = QTextListFormat::ListLowerAlpha;
        break;
    case TKeyword::PnUpperRoman:
        m_pnStyle = QTextListFormat::ListUpperRoman;
        break;
    case TKeyword::PnLowerRoman:
        m_pnStyle = QTextListFormat::ListLowerRoman;
        break;
    case TKeyword::PnStart:
        m_pnStart = std::clamp(param, 0, 32767);
        break;
    default:
        break;
    }
}

void TRtfParser::listTableKeyword(TKeyword keyword, int param)
{
    if (top().dest == TDest::ListTable) {
        switch (keyword) {
        case TKeyword::List:
            commitListDefinition();
            m_listOpen = true;
            m_listId = 0;
            m_listDefinition.clear();
            break;
        case TKeyword::ListId:
            m_listId = param;
            break;
        case TKeyword::ListLevel:
            if (m_listDefinition.size() < 9)
                m_listDefinition.emplace_back();
            break;
        case TKeyword::LevelNfc:
            if (!m_listDefinition.empty())
                m_listDefinition.back().nfc = param;
            break;
        default:
            break;
        }
        return;
    }
    switch (keyword) {
    case TKeyword::ListOverride:
        m_overrideListId = 0;
        break;
    case TKeyword::ListId:
        m_overrideListId = param;
        break;
    case TKeyword::Ls:
        m_listOverrides[param] = m_overrideListId;
        break;
    default:
        break;
    }
}

void TRtfParser::commitListDefinition()
{
    if (m_listOpen)
        m_listLevels[m_listId] = m_listDefinition;
    m_listOpen = false;
}

void TRtfParser::commitFont()
{
    if (m_fontNumber == INT_MIN)
        return;
    flushBytes();
    auto clean = [](QString name) {
        const qsizetype semicolon = name.indexOf(u';');
        if (semicolon >= 0)
            name.truncate(semicolon);
        return name.trimmed();
    };
    const QString tableName = clean(m_font.name);
    m_font.name = clean(m_fontHasAltName ? m_fontAltName : m_font.name);
    if (m_fontHasAltName && tableName != m_font.name)
        m_font.tableName = tableName;
    m_fonts[m_fontNumber] = m_font;
    m_fontNumber = INT_MIN;
    m_font = TFont();
    m_fontHasAltName = false;
    m_formats.clear();
    m_lastFormatValid = false;
}

int TRtfParser::codePageOf(int font) const
{
    const auto it = m_fonts.find(font < 0 ? m_defaultFont : font);
    if (it == m_fonts.end())
        return m_ansiCodePage;
    if (it->second.codePage > 0)
        return it->second.codePage;
    const int fromCharset = codePageForCharset(it->second.charset);
    return fromCharset > 0 ? fromCharset : m_ansiCodePage;
}

int TRtfParser::currentCodePage() const
{
    const TGroup& group = m_groups.back();
    if (group.dest == TDest::FontTable || group.dest == TDest::FontName) {
        if (m_font.codePage > 0)
            return m_font.codePage;
        const int fromCharset = codePageForCharset(m_font.charset);
        return fromCharset > 0 ? fromCharset : m_ansiCodePage;
    }
    return codePageOf(group.ch.font);
}

QString* TRtfParser::textSink()
{
    TGroup& group = top();
    switch (group.dest) {
    case TDest::Text:
        if (group.ch.hidden)
            return nullptr;
        beginParagraphContent();
        if (!(group.ch == m_runState) || group.para.depth != m_runDepth) {
            flushRun();
            m_runState = group.ch;
            m_runDepth = group.para.depth;
        }
        return &m_run;
    case TDest::ListPrefix:
        return &m_listPrefix;
    case TDest::LevelText:
        return &m_levelText;
    case TDest::Generator:
        return m_generator.size() < 200 ? &m_generator : nullptr;
    case TDest::FieldInstruction:
        return m_fields.empty() ? nullptr : &m_fields.back().instruction;
    case TDest::FontTable:
        return m_fontNumber == INT_MIN ? nullptr : &m_font.name;
    case TDest::FontName:
        return &m_fontAltName;
    default:
        return nullptr;
    }
}

void TRtfParser::beginParagraphContent()
{
    if (m_paragraphHasContent)
        return;
    m_paragraphHasContent = true;
    const TParaState& para = top().para;
    const bool hasList = para.pnStyle != 0 || para.ls > 0;
    if (!hasList && !m_listPrefix.isEmpty()) {
        // A list marker without a list: readers that know no lists show the marker as text.
        flushRun();
        m_runState = top().ch;
        m_runDepth = para.depth;
        m_run = m_listPrefix;
    }
    m_listPrefix.clear();
}

void TRtfParser::appendChar(char16_t c)
{
    if (QString* sink = textSink())
        sink->append(QChar(c));
}

void TRtfParser::appendUnicode(int value)
{
    const char16_t c = char16_t(value & 0xFFFF);
    if (QChar::isHighSurrogate(c)) {
        m_highSurrogate = c;
        return;
    }
    QString* sink = textSink();
    if (!sink) {
        m_highSurrogate = 0;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (m_highSurrogate) {
            sink->append(QChar(m_highSurrogate));
            sink->append(QChar(c));
        } else {
            sink->append(QChar(QChar::ReplacementCharacter));
        }
    } else {
        if (m_highSurrogate)
            sink->append(QChar(QChar::ReplacementCharacter));
        sink->append(QChar(c));
    }
    m_highSurrogate = 0;
}

void TRtfParser::rawByte(unsigned char byte)
{
    const TDest dest = top().dest;
    if (dest == TDest::Pict)
        return;
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        if (QString* sink = textSink())
            sink->append(QChar(QChar::ReplacementCharacter));
    }
    const int codePage = currentCodePage();
    if (m_needTrailByte)
        m_needTrailByte = false;
    else if (isLeadByte(codePage, byte))
        m_needTrailByte = true;
    m_bytes.append(char(byte));
}

void TRtfParser::flushBytes()
{
    m_needTrailByte = false;
    if (m_bytes.isEmpty())
        return;
    const int codePage = currentCodePage();
    if (QString* sink = textSink())
        m_decoder.decodeInto(codePage, m_bytes.constData(), m_bytes.size(), *sink);
    m_bytes.clear();
}

void TRtfParser::textSpan(const char* begin, const char* end)
{
    const TDest dest = top().dest;
    if (dest == TDest::Skip || dest == TDest::Captured)
        return;
    if (dest == TDest::Dropped) {
        if (std::any_of(begin, end, [](char c) { return c != ' ' && c != '\t'; }))
            m_droppedContent = true;
        return;
    }
    if (dest == TDest::ObjectClass) {
        if (m_capture.detail.size() < 80)
            m_capture.detail += QString::fromLatin1(begin, end - begin).left(80).trimmed();
        return;
    }
    if (dest == TDest::Text && top().ch.hidden) {
        if (std::any_of(begin, end, [](char c) { return c != ' ' && c != '\t'; }))
            noteLoss(TLoss::HiddenText);
        return;
    }
    if (m_skipUnits > 0) {
        const qsizetype skipped = std::min<qsizetype>(m_skipUnits, end - begin);
        m_skipUnits -= int(skipped);
        begin += skipped;
        if (begin == end)
            return;
    }
    if (dest == TDest::Pict) {
        appendHex(begin, end);
        return;
    }
    if (dest == TDest::ColorTable) {
        if (std::find(begin, end, ';') != end) {
            for (const char* p = begin; p < end; ++p) {
                if (*p != ';')
                    continue;
                m_colors.push_back(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
                m_red = m_green = m_blue = 0;
                m_colorSet = false;
            }
        }
        return;
    }
    if (dest == TDest::Pn || dest == TDest::ListTable || dest == TDest::ListOverrideTable)
        return;

    // A double-byte character whose trail byte is a plain ASCII character.
    if (m_needTrailByte) {
        m_bytes.append(*begin++);
        m_needTrailByte = false;
    }
    const char* p = begin;
    while (p < end) {
        const char* ascii = p;
        while (p < end && static_cast<unsigned char>(*p) < 0x80)
            ++p;
        if (p > ascii) {
            flushBytes();
            if (QString* sink = textSink()) {
                sink->append(QLatin1StringView(ascii, p - ascii));
                if (dest == TDest::FontTable && sink->contains(u';'))
                    commitFont();
            }
        }
        // Raw 8-bit bytes are text in the current code page, as if written \'hh.
        while (p < end && static_cast<unsigned char>(*p) >= 0x80) {
            rawByte(static_cast<unsigned char>(*p));
            ++p;
            if (m_needTrailByte && p < end) {
                m_bytes.append(*p++);
                m_needTrailByte = false;
            }
        }
    }
}

// Photos come as megabytes of hex digits, one line at a time.
void TRtfParser::appendHex(const char* begin, const char* end)
{
    static const auto nibbles = [] {
        std::array<signed char, 256> table{};
        table.fill(-1);
        for (int c = 0; c < 256; ++c)
            table[c] = static_cast<signed char>(hexValue(char(c)));
        return table;
    }();
    QByteArray& data = m_picture.data;
    const qsizetype start = data.size();
    if (data.capacity() < start + (end - begin) / 2 + 1)
        data.reserve(std::max<qsizetype>(start + (end - begin) / 2 + 1, data.capacity() * 2));
    data.resize(start + (end - begin) / 2 + 1);
    char* out = data.data() + start;
    int high = m_picture.highNibble;
    for (const char* p = begin; p < end; ++p) {
        const int nibble = nibbles[static_cast<unsigned char>(*p)];
        if (nibble < 0)
            continue;
        if (high < 0) {
            high = nibble;
        } else {
            *out++ = char(high * 16 + nibble);
            high = -1;
        }
    }
    m_picture.highNibble = high;
    data.resize(out - data.constData());
}

void TRtfParser::flushRun()
{
    if (m_run.isEmpty())
        return;
    if (m_report && !m_report->rightToLeft)
        m_report->rightToLeft = HoldsRightToLeft(m_run);
    m_builder.insertText(m_run, formatFor(m_runState), m_runDepth);
    // Keeps the buffer: runs are many and short.
    m_run.truncate(0);
}

TParagraphProps TRtfParser::paragraphProps(const TParaState& para) const
{
    TParagraphProps props;
    QTextBlockFormat& format = props.format;
    if (para.align != Qt::AlignLeft)
        format.setAlignment(para.align);
    if (para.pnStyle != 0) {
        props.listStyle = para.pnStyle;
        props.listKey = -1;
        props.listStart = para.pnStart;
        props.listRestart = m_pnInParagraph && para.pnStart <= 1;
    }
    if (para.ls > 0) {
        const auto override = m_listOverrides.find(para.ls);
        const int listId = override == m_listOverrides.end() ? 0 : override->second;
        const auto levels = m_listLevels.find(listId);
        int style = QTextListFormat::ListDecimal;
        if (levels != m_listLevels.end() && !levels->second.empty()) {
            const TListLevel& level =
                levels->second[std::min<size_t>(para.ilvl, levels->second.size() - 1)];
            style = listStyleForNfc(level.nfc, level.bullet);
        }
        if (style != 0) {
            props.listStyle = style;
            props.listKey = para.ls;
            props.listLevel = para.ilvl;
        } else {
            props.listStyle = 0;
            props.listKey = 0;
            format.setProperty(UnmarkedListLevel, para.ilvl + 1);
        }
    }
    int first = para.first;
    if (props.listStyle != 0) {
        // A list paragraph's negative first-line indent is the room for its marker, which the
        // list itself provides here.
        first += std::clamp(para.left, 0, 360);
    }
    if (para.left)
        format.setLeftMargin(para.left / 20.0);
    if (para.right)
        format.setRightMargin(para.right / 20.0);
    if (first)
        format.setTextIndent(first / 20.0);
    if (para.before)
        format.setTopMargin(para.before / 20.0);
    if (para.after)
        format.setBottomMargin(para.after / 20.0);
    // Single spacing (240 of 240ths) is what a paragraph has anyway.
    if (para.lineSpacing < 0)
        format.setLineHeight(-para.lineSpacing / 20.0, QTextBlockFormat::FixedHeight);
    else if (para.lineSpacing > 0 && para.lineMultiple && para.lineSpacing != 240)
        format.setLineHeight(para.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    else if (para.lineSpacing > 0 && !para.lineMultiple)
        format.setLineHeight(para.lineSpacing / 20.0, QTextBlockFormat::MinimumHeight);
    if (para.tabCount > 0) {
        QList<QTextOption::Tab> tabs;
        for (int i = 0; i < para.tabCount; ++i) {
            static const QTextOption::TabType types[] = {
                QTextOption::LeftTab, QTextOption::CenterTab, QTextOption::RightTab,
                QTextOption::DelimiterTab};
            const TTabStop& stop = para.tabs[i];
            tabs << QTextOption::Tab(stop.position / 20.0, types[stop.kind],
                                     stop.kind == 3 ? QChar(u'.') : QChar());
        }
        format.setTabPositions(tabs);
    }
    return props;
}

void TRtfParser::endParagraph()
{
    flushBytes();
    beginParagraphContent();
    flushRun();
    const TGroup& group = top();
    m_builder.endParagraph(paragraphProps(group.para), formatFor(group.ch), group.para.depth);
    m_paragraphHasContent = false;
    m_pnInParagraph = false;
    m_listPrefix.clear();
}

void TRtfParser::endCell(int depth)
{
    flushBytes();
    beginParagraphContent();
    flushRun();
    const TGroup& group = top();
    m_builder.endCell(paragraphProps(group.para), formatFor(group.ch), depth);
    m_paragraphHasContent = false;
    m_pnInParagraph = false;
    m_listPrefix.clear();
}

void TRtfParser::endRow(int depth)
{
    flushBytes();
    flushRun();
    depth = std::clamp(depth, 1, MaxTableDepth);
    // Borders given for the whole row go to the cells that have none of their own there.
    TRowDefinition definition = m_rows[depth];
    const auto& rowBorders = m_rowBorders[depth];
    for (size_t c = 0; c < definition.cells.size(); ++c) {
        TCellDefinition& cell = definition.cells[c];
        const bool first = c == 0, last = c + 1 == definition.cells.size();
        const std::optional<TBorder> sides[4] = {
            rowBorders[TopSide] ? rowBorders[TopSide] : rowBorders[4],
            first ? rowBorders[LeftSide] : rowBorders[5],
            rowBorders[BottomSide] ? rowBorders[BottomSide] : rowBorders[4],
            last ? rowBorders[RightSide] : rowBorders[5]};
        for (int side = 0; side < 4; ++side) {
            if (!cell.hasBorder[side] && sides[side]) {
                cell.hasBorder[side] = true;
                cell.borders[side] = *sides[side];
            }
        }
    }
    m_builder.endRow(depth, definition);
    m_paragraphHasContent = false;
    m_pnInParagraph = false;
    m_listPrefix.clear();
}

QTextCharFormat TRtfParser::formatFor(const TCharState& state)
{
    if (m_lastFormatValid && state == m_lastFormatState)
        return m_lastFormat;
    m_lastFormatState = state;
    m_lastFormat = buildFormat(state);
    m_lastFormatValid = true;
    return m_lastFormat;
}

QTextCharFormat TRtfParser::buildFormat(const TCharState& state)
{
    const auto cached = m_formats.find(state);
    if (cached != m_formats.end())
        return cached->second;
    QTextCharFormat format;
    const auto font = m_fonts.find(state.font < 0 ? m_defaultFont : state.font);
    if (font != m_fonts.end() && !font->second.name.isEmpty()) {
        format.setFontFamilies(QStringList{font->second.name});
        if (!font->second.tableName.isEmpty())
            format.setProperty(FontTableName,
                               QStringList{font->second.name, font->second.tableName});
    }
    format.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    switch (state.underline) {
    case TUnderline::None:
        break;
    case TUnderline::Single:
        format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    case TUnderline::Dotted:
        format.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case TUnderline::Dash:
        format.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case TUnderline::DashDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotLine);
        break;
    case TUnderline::DashDotDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotDotLine);
        break;
    case TUnderline::Wave:
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    }
    if (state.strike)
        format.setFontStrikeOut(true);
    if (state.vertical == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    // Index 0 is "automatic" whatever the table holds there.
    if (state.foreground > 0 && state.foreground < int(m_colors.size()) &&
        m_colors[state.foreground].isValid())
        format.setForeground(m_colors[state.foreground]);
    if (state.background > 0 && state.background < int(m_colors.size()) &&
        m_colors[state.background].isValid())
        format.setBackground(m_colors[state.background]);
    if (state.link >= 0 && state.link < int(m_links.size())) {
        format.setAnchor(true);
        format.setAnchorHref(m_links[state.link]);
    }
    m_formats.emplace(state, format);
    return format;
}

} // namespace

} // namespace rtf

bool ReadRtf(const QByteArray& bytes, QTextDocument& doc, TRtfReadReport* report)
{
    if (report)
        *report = {};
    if (!bytes.startsWith("{\\rtf"))
        return false;
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    {
        rtf::TRtfParser parser(bytes, doc, report);
        parser.run();
    }
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return true;
}
