#include "rtf/RtfWriter.h"

#include "rtf/CellBorderSides.h"
#include "rtf/FontWeight.h"
#include "rtf/RtfCodePage.h"
#include "rtf/RtfObjects.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int DefaultHalfPoints = 24;
// The page width Word gives a table whose columns nobody sized: 6.5 inches.
constexpr int TableWidthTwips = 9360;
// Word's row edge: left of the margin by the gap between cells.
constexpr int TableLeftTwips = -108;
constexpr int HexLineLength = 128;

struct TRunProps
{
    int font = -1;
    int halfPoints = DefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    int underline = QTextCharFormat::NoUnderline;
    int vertical = QTextCharFormat::AlignNormal;
    int foreground = 0;
    int background = 0;
    bool operator==(const TRunProps&) const = default;
};

struct TParaProps
{
    int align = 0; // 0 left, 1 centre, 2 right, 3 justify
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int depth = 0;
    int lineSpacing = 0; // \sl
    bool lineMultiple = false;
    QList<QTextOption::Tab> tabs;
    bool operator==(const TParaProps&) const = default;
};

// A list written in the list table form: its \ls number and how its marker looks.
struct TWrittenList
{
    int number = 0;
    int style = 0; // QTextListFormat::Style; 0 for a list without markers
};

int twips(qreal points)
{
    return int(std::lround(std::clamp<qreal>(points, -31680 / 20.0, 31680 / 20.0) * 20));
}

bool isMonospace(const QString& family)
{
    static QHash<QString, bool> known;
    const auto it = known.constFind(family);
    if (it != known.constEnd())
        return *it;
    // The font database needs the GUI application; without one no font counts as monospace.
    const bool fixed = QGuiApplication::instance() && QFontDatabase::isFixedPitch(family);
    known.insert(family, fixed);
    return fixed;
}

QByteArray fontFamilyWord(const QString& family)
{
    if (family.compare(u"Symbol", Qt::CaseInsensitive) == 0 ||
        family.startsWith(u"Wingdings", Qt::CaseInsensitive))
        return "\\ftech";
    if (isMonospace(family))
        return "\\fmodern";
    const QString lower = family.toLower();
    if (lower.contains(u"sans") || lower == u"arial" || lower == u"helvetica" ||
        lower == u"calibri" || lower == u"verdana" || lower == u"tahoma" ||
        lower.startsWith(u"segoe"))
        return "\\fswiss";
    if (lower.contains(u"serif") || lower.contains(u"times") || lower.contains(u"roman") ||
        lower == u"georgia" || lower == u"cambria" || lower.contains(u"garamond"))
        return "\\froman";
    return "\\fnil";
}

const char* underlineWord(int style)
{
    switch (style) {
    case QTextCharFormat::SingleUnderline:
        return "\\ul";
    case QTextCharFormat::DashUnderline:
        return "\\uldash";
    case QTextCharFormat::DotLine:
        return "\\uld";
    case QTextCharFormat::DashDotLine:
        return "\\uldashd";
    case QTextCharFormat::DashDotDotLine:
        return "\\uldashdd";
    case QTextCharFormat::WaveUnderline:
        return "\\ulwave";
    default:
        return "\\ulnone";
    }
}

int levelNfc(int style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    case 0:
        return 255;
    default:
        return 23;
    }
}

char16_t bulletOf(int style)
{
    switch (style) {
    case QTextListFormat::ListCircle:
        return 0x25E6;
    case QTextListFormat::ListSquare:
        return 0x25AA;
    default:
        return 0x2022;
    }
}

const char* borderWord(int style)
{
    switch (style) {
    case QTextFrameFormat::BorderStyle_Dotted:
        return "\\brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed:
        return "\\brdrdash";
    case QTextFrameFormat::BorderStyle_DotDash:
        return "\\brdrdashd";
    case QTextFrameFormat::BorderStyle_DotDotDash:
        return "\\brdrdashdd";
    case QTextFrameFormat::BorderStyle_Double:
        return "\\brdrdb";
    case QTextFrameFormat::BorderStyle_Groove:
        return "\\brdrengrave";
    case QTextFrameFormat::BorderStyle_Ridge:
        return "\\brdremboss";
    case QTextFrameFormat::BorderStyle_Inset:
        return "\\brdrinset";
    case QTextFrameFormat::BorderStyle_Outset:
        return "\\brdroutset";
    default:
        return "\\brdrs";
    }
}

const char* listWords(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return "\\pnlvlbody\\pndec";
    case QTextListFormat::ListLowerAlpha:
        return "\\pnlvlbody\\pnlcltr";
    case QTextListFormat::ListUpperAlpha:
        return "\\pnlvlbody\\pnucltr";
    case QTextListFormat::ListLowerRoman:
        return "\\pnlvlbody\\pnlcrm";
    case QTextListFormat::ListUpperRoman:
        return "\\pnlvlbody\\pnucrm";
    default:
        return nullptr; // every other style is a bullet
    }
}

class TRtfWriter
{
public:
    explicit TRtfWriter(const QTextDocument& doc) : m_doc(doc)
    {
        const QFont font = doc.defaultFont();
        m_defaultFamily = font.family();
        qreal points = font.pointSizeF();
        if (points <= 0)
            points = font.pixelSize() > 0 ? font.pixelSize() * 0.75 : 12;
        m_defaultHalfPoints = std::clamp(int(std::lround(points * 2)), 2, 3276);
    }

    QByteArray write();

private:
    void writeFrame(const QTextFrame* frame, int depth);
    void writeTable(const QTextTable* table, int depth);
    void writeCell(const QTextTableCell& cell, int depth);
    void writeRowDefinition(const QTextTable* table, int row, const std::vector<int>& edges);
    void writeBlock(const QTextBlock& block, int depth, const char* ending);
    void writeListPrefix(const QTextBlock& block, QTextList* list, const TRunProps& firstRun,
                         bool withPn);
    void writeListTablePrefix(const QTextBlock& block, QTextList* list, const TRunProps& firstRun);
    int listNumber(const QTextList* list, int style);
    QByteArray listTables() const;
    void writeRunProps(const TRunProps& props, bool afterPard);
    void writeText(QStringView text);
    void writeImage(const QTextImageFormat& format);
    void writeGroup(const QByteArray& group);
    void openLink(const QString& href);
    void closeLink();
    void word(const char* text);
    void word(const char* text, int value);
    void writeEscaped(QStringView text, QByteArray& out);

    TRunProps propsFor(const QTextCharFormat& format);
    const TRunProps& propsForIndex(int formatIndex, const QTextCharFormat& format);
    int fontIndex(const QString& family, const QString& tableName = QString());
    int colorIndex(const QBrush& brush);

    const QTextDocument& m_doc;
    QString m_defaultFamily;
    int m_defaultHalfPoints = DefaultHalfPoints;

    QByteArray m_body;
    bool m_needDelimiter = false;
    QStringList m_fonts;
    QStringList m_fontTableNames;
    QHash<QString, int> m_fontIndex;
    std::vector<std::pair<const QTextList*, TWrittenList>> m_lists;
    int m_unmarkedList = 0;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    // Fragments share a few formats; their properties are worked out once per format.
    std::vector<TRunProps> m_propsByFormat;
    std::vector<QString> m_hrefByFormat;
    std::vector<bool> m_propsKnown;
    TRunProps m_scratchProps;
    const QList<QTextFormat> m_allFormats = m_doc.allFormats();

    TRunProps m_state;
    TParaProps m_para;
    bool m_paraWritten = false;
    const QTextList* m_previousList = nullptr;
    QString m_link;
    TRunProps m_stateBeforeLink;
};

void TRtfWriter::word(const char* text)
{
    m_body += text;
    m_needDelimiter = true;
}

void TRtfWriter::word(const char* text, int value)
{
    m_body += text;
    // Numbers go straight into the buffer; QByteArray::number allocates each time.
    char digits[12];
    int length = 0;
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        digits[length++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        m_body += '-';
    while (length)
        m_body += digits[--length];
    m_needDelimiter = true;
}

int TRtfWriter::fontIndex(const QString& family, const QString& tableName)
{
    const QString key = tableName.isEmpty() ? family : family + QChar(0) + tableName;
    const auto it = m_fontIndex.constFind(key);
    if (it != m_fontIndex.constEnd())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts << family;
    m_fontTableNames << tableName;
    m_fontIndex.insert(key, index);
    return index;
}

int TRtfWriter::colorIndex(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QRgb rgb = brush.color().rgb() & 0xFFFFFF;
    const auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd())
        return *it;
    m_colors << rgb;
    const int index = int(m_colors.size());
    m_colorIndex.insert(rgb, index);
    return index;
}

TRunProps TRtfWriter::propsFor(const QTextCharFormat& format)
{
    TRunProps props;
    // A run without a family of its own shows in the document's default font; that is the font
    // it must have in the file too.
    QString family = format.property(QTextFormat::FontFamilies).toStringList().value(0);
    if (family.isEmpty())
        family = format.stringProperty(QTextFormat::FontFamily);
    if (family.isEmpty())
        family = m_defaultFamily;
    // The name the font had in the file read, while the family is still the one read there.
    const QStringList tableName = format.property(rtf::FontTableName).toStringList();
    props.font = fontIndex(family, tableName.size() == 2 && tableName[0] == family ? tableName[1]
                                                                                   : QString());
    if (format.hasProperty(QTextFormat::FontPointSize))
        props.halfPoints = std::clamp(int(std::lround(format.fontPointSize() * 2)), 2, 3276);
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        props.halfPoints = std::clamp(
            int(std::lround(format.intProperty(QTextFormat::FontPixelSize) * 1.5)), 2, 3276);
    else
        props.halfPoints = m_defaultHalfPoints;
    props.bold = IsBoldWeight(format.fontWeight());
    props.italic = format.fontItalic();
    props.strike = format.fontStrikeOut();
    props.underline = format.underlineStyle();
    if (props.underline == QTextCharFormat::SpellCheckUnderline)
        props.underline = QTextCharFormat::NoUnderline;
    props.vertical = format.verticalAlignment();
    if (props.vertical != QTextCharFormat::AlignSuperScript &&
        props.vertical != QTextCharFormat::AlignSubScript)
        props.vertical = QTextCharFormat::AlignNormal;
    props.foreground = colorIndex(format.foreground());
    props.background = colorIndex(format.background());
    return props;
}

const TRunProps& TRtfWriter::propsForIndex(int formatIndex, const QTextCharFormat& format)
{
    if (formatIndex < 0 || formatIndex > 1000000) {
        m_scratchProps = propsFor(format);
        return m_scratchProps;
    }
    if (size_t(formatIndex) >= m_propsKnown.size()) {
        m_propsKnown.resize(formatIndex + 1, false);
        m_propsByFormat.resize(formatIndex + 1);
        m_hrefByFormat.resize(formatIndex + 1);
    }
    if (!m_propsKnown[formatIndex]) {
        m_propsByFormat[formatIndex] = propsFor(format);
        m_hrefByFormat[formatIndex] = format.isAnchor() ? format.anchorHref() : QString();
        m_propsKnown[formatIndex] = true;
    }
    return m_propsByFormat[formatIndex];
}

// After \pard every property is written that a resetting reader would get wrong and every one
// that a keeping reader would get wrong, so both end up with the same formatting.
void TRtfWriter::writeRunProps(const TRunProps& props, bool afterPard)
{
    const TRunProps defaults;
    auto changed = [&](auto member) {
        return props.*member != m_state.*member || (afterPard && props.*member != defaults.*member);
    };
    if (props.font != m_state.font || afterPard)
        word("\\f", props.font);
    if (props.halfPoints != m_state.halfPoints || afterPard)
        word("\\fs", props.halfPoints);
    if (changed(&TRunProps::bold))
        word(props.bold ? "\\b" : "\\b0");
    if (changed(&TRunProps::italic))
        word(props.italic ? "\\i" : "\\i0");
    if (changed(&TRunProps::underline))
        word(underlineWord(props.underline));
    if (changed(&TRunProps::strike))
        word(props.strike ? "\\strike" : "\\strike0");
    if (changed(&TRunProps::vertical))
        word(props.vertical == QTextCharFormat::AlignSuperScript ? "\\super"
             : props.vertical == QTextCharFormat::AlignSubScript ? "\\sub"
                                                                 : "\\nosupersub");
    if (changed(&TRunProps::foreground))
        word("\\cf", props.foreground);
    if (changed(&TRunProps::background))
        word("\\highlight", props.background);
    m_state = props;
}

void TRtfWriter::writeEscaped(QStringView text, QByteArray& out)
{
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        // Plain printable ASCII goes out in one piece.
        const char16_t* plain = p;
        while (p < end && *p >= 0x20 && *p < 0x7F && *p != u'\\' && *p != u'{' && *p != u'}')
            ++p;
        if (p > plain) {
            if (m_needDelimiter) {
                out += ' ';
                m_needDelimiter = false;
            }
            const qsizetype start = out.size();
            out.resize(start + (p - plain));
            char* dst = out.data() + start;
            for (const char16_t* c = plain; c < p; ++c)
                *dst++ = char(*c);
            continue;
        }
        const char16_t c = *p++;
        if (c == u'\\' || c == u'{' || c == u'}') {
            if (m_needDelimiter) {
                out += ' ';
                m_needDelimiter = false;
            }
            out += '\\';
            out += char(c);
            continue;
        }
        switch (c) {
        case u'\t':
            out += "\\tab";
            m_needDelimiter = true;
            continue;
        case QChar::LineSeparator:
            out += "\\line";
            m_needDelimiter = true;
            continue;
        case 0x00A0:
            out += "\\~";
            m_needDelimiter = false;
            continue;
        case 0x00AD:
            out += "\\-";
            m_needDelimiter = false;
            continue;
        case 0x2011:
            out += "\\_";
            m_needDelimiter = false;
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == QChar::ObjectReplacementCharacter || c == QChar::ParagraphSeparator ||
            c == 0xFDD0 || c == 0xFDD1)
            continue;
        m_needDelimiter = false;
        static const char hex[] = "0123456789abcdef";
        if (const unsigned char byte = rtf::windows1252Byte(c)) {
            const char escape[4] = {'\\', '\'', hex[byte >> 4], hex[byte & 15]};
            out.append(escape, 4);
        } else {
            // A literal '?' as fallback would let a reader that skips it eat a following space.
            out += "\\u";
            out += QByteArray::number(int(static_cast<int16_t>(c)));
            out += "\\'3f";
        }
    }
}

void TRtfWriter::writeText(QStringView text)
{
    writeEscaped(text, m_body);
}

void TRtfWriter::openLink(const QString& href)
{
    m_stateBeforeLink = m_state;
    m_link = href;
    // The target goes in quotes; a URL in its encoded form holds no quote or backslash.
    QByteArray target = QUrl(href).toEncoded();
    if (target.isEmpty())
        target = href.toUtf8();
    target.replace('"', "%22").replace('\\', "%5C");
    m_body += "{\\field{\\*\\fldinst{HYPERLINK \"";
    m_needDelimiter = false;
    writeEscaped(QString::fromLatin1(target), m_body);
    m_body += "\"}}{\\fldrslt{";
    m_needDelimiter = false;
}

void TRtfWriter::closeLink()
{
    if (m_link.isNull())
        return;
    m_body += "}}}";
    m_needDelimiter = false;
    m_link = QString();
    m_state = m_stateBeforeLink;
}

void TRtfWriter::writeGroup(const QByteArray& group)
{
    m_body += group;
    m_needDelimiter = false;
}

void TRtfWriter::writeImage(const QTextImageFormat& format)
{
    // Bitmaps read from RTF go back in the form they came in.
    const QByteArray group = format.property(rtf::PictureGroup).toByteArray();
    if (!group.isEmpty()) {
        writeGroup(group);
        return;
    }
    const QUrl url(format.name());
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, url);
    QByteArray data;
    // PNG and JPEG pictures are written as they are, never encoded again; anything else is
    // stored as PNG.
    if (resource.userType() == QMetaType::QByteArray)
        data = resource.toByteArray();
    bool jpeg = data.startsWith("\xFF\xD8\xFF");
    if (!data.startsWith("\x89PNG") && !jpeg) {
        jpeg = false;
        QImage image;
        if (resource.userType() == QMetaType::QImage)
            image = resource.value<QImage>();
        else if (resource.userType() == QMetaType::QPixmap)
            image = resource.value<QPixmap>().toImage();
        else if (resource.userType() == QMetaType::QByteArray)
            image = QImage::fromData(data);
        data.clear();
        if (image.isNull() && url.isLocalFile())
            image = QImage(url.toLocalFile());
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image))
            return;
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QSize pixels = QImageReader(&buffer).size();
    if (pixels.isEmpty())
        return;
    // Sizes are in points; without one the picture shows at its pixel size at 96 dpi.
    qreal width = format.width() > 0 ? format.width() : 0;
    qreal height = format.height() > 0 ? format.height() : 0;
    if (width <= 0 && height <= 0) {
        width = pixels.width() * 0.75;
        height = pixels.height() * 0.75;
    } else if (width <= 0) {
        width = height * pixels.width() / pixels.height();
    } else if (height <= 0) {
        height = width * pixels.height() / pixels.width();
    }

    m_body += "{\\pict";
    word(jpeg ? "\\jpegblip" : "\\pngblip");
    word("\\picw", pixels.width());
    word("\\pich", pixels.height());
    word("\\picwgoal", twips(width));
    word("\\pichgoal", twips(height));
    m_body += "\r\n";
    // Photos are megabytes; their hex goes straight into the output.
    static const char digits[] = "0123456789abcdef";
    constexpr qsizetype BytesPerLine = HexLineLength / 2;
    const qsizetype lines = (data.size() + BytesPerLine - 1) / BytesPerLine;
    qsizetype at = m_body.size();
    m_body.resize(at + data.size() * 2 + lines * 2);
    char* out = m_body.data();
    const auto* in = reinterpret_cast<const unsigned char*>(data.constData());
    for (qsizetype i = 0; i < data.size(); ++i) {
        out[at++] = digits[in[i] >> 4];
        out[at++] = digits[in[i] & 15];
        if ((i + 1) % BytesPerLine == 0 || i + 1 == data.size()) {
            out[at++] = '\r';
            out[at++] = '\n';
        }
    }
    m_body += '}';
    m_needDelimiter = false;
}

void TRtfWriter::writeListPrefix(const QTextBlock& block, QTextList* list,
                                 const TRunProps& firstRun, bool withPn)
{
    const QTextListFormat::Style style = list->format().style();
    const char* numbering = listWords(style);
    if (!numbering) {
        const int symbol = fontIndex(QStringLiteral("Symbol"));
        m_body += "{\\pntext";
        word("\\f", symbol);
        m_body += "\\'B7";
        word("\\tab");
        m_body += '}';
        m_needDelimiter = false;
        if (!withPn)
            return;
        m_body += "{\\*\\pn";
        word("\\pnlvlblt");
        word("\\pnf", symbol);
        word("\\pnindent0");
        word("\\pnstart", list->itemNumber(block) + 1);
        m_body += "{\\pntxtb\\'B7}}";
    } else {
        m_body += "{\\pntext";
        word("\\f", firstRun.font);
        writeText(list->itemText(block));
        word("\\tab");
        m_body += '}';
        m_needDelimiter = false;
        if (!withPn)
            return;
        m_body += "{\\*\\pn";
        m_body += numbering;
        word("\\pnf", firstRun.font);
        word("\\pnindent0");
        word("\\pnstart", list->itemNumber(block) + 1);
        m_body += "{\\pntxta.}}";
    }
    m_needDelimiter = false;
}

// The list table form: the paragraph names its list and level; the marker text goes first
// for readers without lists.
void TRtfWriter::writeListTablePrefix(const QTextBlock& block, QTextList* list,
                                      const TRunProps& firstRun)
{
    const int style = list->format().style();
    m_body += "{\\listtext";
    word("\\f", firstRun.font);
    if (levelNfc(style) == 23) {
        m_needDelimiter = false;
        writeText(QString(QChar(bulletOf(style))));
    } else {
        writeText(list->itemText(block));
    }
    word("\\tab");
    m_body += '}';
    m_needDelimiter = false;
    word("\\ls", listNumber(list, style));
    word("\\ilvl", std::clamp(list->format().indent() - 1, 0, 8));
}

// Each list gets a list of its own in the table; the lists without markers share one.
int TRtfWriter::listNumber(const QTextList* list, int style)
{
    if (!list) {
        if (m_unmarkedList == 0) {
            m_lists.push_back({nullptr, {int(m_lists.size()) + 1, 0}});
            m_unmarkedList = int(m_lists.size());
        }
        return m_unmarkedList;
    }
    for (const auto& [known, written] : m_lists)
        if (known == list)
            return written.number;
    m_lists.push_back({list, {int(m_lists.size()) + 1, style}});
    return int(m_lists.size());
}

QByteArray TRtfWriter::listTables() const
{
    if (m_lists.empty())
        return {};
    QByteArray out = "{\\*\\listtable";
    for (const auto& [list, written] : m_lists) {
        const QByteArray id = QByteArray::number(written.number);
        const int nfc = levelNfc(written.style);
        out += "\r\n{\\list\\listtemplateid" + id;
        for (int level = 0; level < 9; ++level) {
            out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" +
                   QByteArray::number(nfc) + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1";
            if (nfc == 23)
                out += "{\\leveltext\\'01\\u" + QByteArray::number(int(bulletOf(written.style))) +
                       " ?;}{\\levelnumbers;}";
            else if (nfc == 255)
                out += "{\\leveltext\\'00;}{\\levelnumbers;}";
            else
                out += "{\\leveltext\\'02\\'0" + QByteArray::number(level) +
                       ".;}{\\levelnumbers\\'01;}";
            out += "\\fi-360\\li" + QByteArray::number(720 * (level + 1)) + '}';
        }
        out += "\\listid" + id + '}';
    }
    out += "}\r\n{\\*\\listoverridetable";
    for (const auto& [list, written] : m_lists) {
        const QByteArray id = QByteArray::number(written.number);
        out += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + '}';
    }
    out += "}\r\n";
    return out;
}

void TRtfWriter::writeBlock(const QTextBlock& block, int depth, const char* ending)
{
    const QTextBlockFormat format = block.blockFormat();
    QTextList* list = block.textList();
    const int level = list ? std::max(list->format().indent(), 1) - 1 : 0;
    // Bullets and numbers of the first level go in the Word 6 form every reader knows; deeper
    // levels, circles and squares need the list table.
    const bool listTable =
        list && (level > 0 || list->format().style() == QTextListFormat::ListCircle ||
                 list->format().style() == QTextListFormat::ListSquare);
    const int unmarkedLevel = list ? 0 : format.intProperty(rtf::UnmarkedListLevel);

    TParaProps para;
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    para.align = (align & Qt::AlignHCenter)                       ? 1
                 : (align & (Qt::AlignRight | Qt::AlignTrailing)) ? 2
                 : (align & Qt::AlignJustify)                     ? 3
                                                                  : 0;
    para.left = twips(format.leftMargin());
    para.right = twips(format.rightMargin());
    para.first = twips(format.textIndent());
    para.before = twips(format.topMargin());
    para.after = twips(format.bottomMargin());
    para.depth = depth;
    if (format.hasProperty(QTextFormat::LineHeight)) {
        const qreal height = format.lineHeight();
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            para.lineSpacing = int(std::lround(std::clamp<qreal>(height, 1, 1000) * 240 / 100));
            para.lineMultiple = true;
            break;
        case QTextBlockFormat::FixedHeight:
            para.lineSpacing = -twips(height);
            break;
        case QTextBlockFormat::MinimumHeight:
            para.lineSpacing = twips(height);
            break;
        default:
            break;
        }
    }
    if (format.hasProperty(QTextFormat::TabPositions))
        para.tabs = format.tabPositions();
    if (list) {
        // The marker hangs in front of the text, in up to a quarter inch of the left indent.
        para.first -= std::clamp(para.left, 0, 360);
    }

    // The first run's formatting also goes into a numbered paragraph's marker.
    QTextBlock::iterator it = block.begin();
    const QTextCharFormat firstFormat =
        it.atEnd() ? block.charFormat() : it.fragment().charFormat();
    const TRunProps firstRun = it.atEnd()
                                   ? propsFor(firstFormat)
                                   : propsForIndex(it.fragment().charFormatIndex(), firstFormat);

    // The rich-edit way: the items of one list share the paragraph properties, so the items after
    // the first only repeat the marker text.
    const bool continuesList = list && !listTable && list == m_previousList && m_paraWritten &&
                               para == m_para && list->itemNumber(block) > 0;
    bool afterPard = false;
    if (continuesList) {
        writeListPrefix(block, list, firstRun, false);
    } else {
        word("\\pard");
        afterPard = true;
        if (depth > 0)
            word("\\intbl");
        if (depth > 1)
            word("\\itap", depth);
        if (listTable) {
            writeListTablePrefix(block, list, firstRun);
        } else if (list) {
            writeListPrefix(block, list, firstRun, true);
        } else if (unmarkedLevel > 0) {
            word("\\ls", listNumber(nullptr, 0));
            word("\\ilvl", std::clamp(unmarkedLevel - 1, 0, 8));
        }
        static const char* const alignWords[] = {nullptr, "\\qc", "\\qr", "\\qj"};
        if (para.align)
            word(alignWords[para.align]);
        if (para.first)
            word("\\fi", para.first);
        if (para.left)
            word("\\li", para.left);
        if (para.right)
            word("\\ri", para.right);
        if (para.before)
            word("\\sb", para.before);
        if (para.after)
            word("\\sa", para.after);
        if (para.lineSpacing) {
            word("\\sl", para.lineSpacing);
            word("\\slmult", para.lineMultiple ? 1 : 0);
        }
        for (const QTextOption::Tab& tab : std::as_const(para.tabs)) {
            if (tab.type == QTextOption::RightTab)
                word("\\tqr");
            else if (tab.type == QTextOption::CenterTab)
                word("\\tqc");
            else if (tab.type == QTextOption::DelimiterTab)
                word("\\tqdec");
            word("\\tx", std::max(0, twips(tab.position)));
        }
    }
    m_para = para;
    m_paraWritten = true;
    m_previousList = list;

    if (it.atEnd()) {
        writeRunProps(firstRun, afterPard);
    }
    const QString blockText = it.atEnd() ? QString() : block.text();
    const int blockStart = block.position();
    for (; !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int formatIndex = fragment.charFormatIndex();
        const QTextCharFormat charFormat = formatIndex >= 0 && formatIndex < m_allFormats.size()
                                               ? m_allFormats.at(formatIndex).toCharFormat()
                                               : fragment.charFormat();
        const TRunProps props = propsForIndex(formatIndex, charFormat);
        const QString href = formatIndex >= 0 && size_t(formatIndex) < m_hrefByFormat.size()
                                 ? m_hrefByFormat[formatIndex]
                                 : (charFormat.isAnchor() ? charFormat.anchorHref() : QString());
        if (href != m_link || (href.isEmpty() && !m_link.isNull())) {
            closeLink();
            if (!href.isEmpty())
                openLink(href);
        }
        writeRunProps(props, afterPard);
        afterPard = false;
        // Fragments of objects are one character each as a rule; any longer one still holds
        // one object per character.
        if (charFormat.isImageFormat()) {
            for (int i = 0; i < fragment.length(); ++i)
                writeImage(charFormat.toImageFormat());
            continue;
        }
        if (rtf::isKeptObject(charFormat)) {
            const QByteArray group = charFormat.property(rtf::KeptGroup).toByteArray();
            for (int i = 0; i < fragment.length(); ++i)
                writeGroup(group);
            continue;
        }
        writeText(
            QStringView(blockText).sliced(fragment.position() - blockStart, fragment.length()));
    }
    closeLink();
    word(ending);
    m_body += "\r\n";
    m_needDelimiter = false;
}

namespace {

// Where each column's right edge is, in twips from the row's \trleft: from the widths the
// table's columns were given, or else equal shares of a page-wide table.
std::vector<int> columnEdges(const QTextTable* table)
{
    const int columns = table->columns();
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    std::vector<int> edges;
    if (widths.size() != columns ||
        std::all_of(widths.begin(), widths.end(), [](const QTextLength& width) {
            return width.type() == QTextLength::VariableLength;
        })) {
        for (int c = 0; c < columns; ++c)
            edges.push_back(TableWidthTwips * (c + 1) / columns);
        return edges;
    }
    int fixed = 0, variable = 0;
    for (const QTextLength& width : widths) {
        if (width.type() == QTextLength::FixedLength)
            fixed += twips(width.rawValue());
        else if (width.type() == QTextLength::PercentageLength)
            fixed += int(TableWidthTwips * width.rawValue() / 100);
        else
            ++variable;
    }
    const int share = variable ? std::max(360, (TableWidthTwips - fixed) / variable) : 0;
    int edge = TableLeftTwips;
    for (const QTextLength& width : widths) {
        if (width.type() == QTextLength::FixedLength)
            edge += std::max(1, twips(width.rawValue()));
        else if (width.type() == QTextLength::PercentageLength)
            edge += std::max(1, int(TableWidthTwips * width.rawValue() / 100));
        else
            edge += share;
        edges.push_back(edge);
    }
    return edges;
}

} // namespace

// One row's \trowd: a cell for each cell that starts in the row or continues one from above,
// as wide as the columns it spans.
void TRtfWriter::writeRowDefinition(const QTextTable* table, int row, const std::vector<int>& edges)
{
    static const char* const sideWords[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};

    const QTextTableFormat tableFormat = table->format();
    word("\\trowd");
    word("\\trgaph", 108);
    word("\\trleft", TableLeftTwips);
    for (int c = 0; c < table->columns();) {
        const QTextTableCell cell = table->cellAt(row, c);
        const int span = std::max(1, cell.columnSpan());
        if (cell.row() < row)
            word("\\clvmrg");
        else if (cell.rowSpan() > 1)
            word("\\clvmgf");
        // A cell's own borders, else the table's border all round.
        const QTextTableCellFormat format = cell.format().toTableCellFormat();
        for (int side = 0; side < 4; ++side) {
            qreal width = 0;
            int style = QTextFrameFormat::BorderStyle_Solid;
            QBrush brush;
            if (format.hasProperty(rtf::CellBorderSides[side].width)) {
                width = format.doubleProperty(rtf::CellBorderSides[side].width);
                style = format.intProperty(rtf::CellBorderSides[side].style);
                brush = format.brushProperty(rtf::CellBorderSides[side].brush);
            } else if (tableFormat.border() > 0) {
                width = tableFormat.border();
                style = tableFormat.borderStyle();
                brush = tableFormat.borderBrush();
            }
            if (width <= 0 || style == QTextFrameFormat::BorderStyle_None)
                continue;
            word(sideWords[side]);
            word(borderWord(style));
            word("\\brdrw", std::clamp(twips(width), 1, 255));
            if (brush.style() != Qt::NoBrush && (brush.color().rgb() & 0xFFFFFF) != 0)
                word("\\brdrcf", colorIndex(brush));
        }
        if (format.background().style() != Qt::NoBrush)
            word("\\clcbpat", colorIndex(format.background()));
        word("\\cellx", edges[std::min<size_t>(c + span - 1, edges.size() - 1)]);
        c += span;
    }
}

void TRtfWriter::writeCell(const QTextTableCell& cell, int depth)
{
    // A cell's blocks and the tables in it, in order; the last block ends the cell.
    std::vector<std::pair<QTextBlock, const QTextTable*>> parts;
    for (QTextFrame::iterator it = cell.isValid() ? cell.begin() : QTextFrame::iterator();
         cell.isValid() && !it.atEnd(); ++it) {
        if (it.currentBlock().isValid()) {
            parts.emplace_back(it.currentBlock(), nullptr);
        } else if (QTextFrame* inner = it.currentFrame()) {
            if (const auto* nested = qobject_cast<const QTextTable*>(inner)) {
                parts.emplace_back(QTextBlock(), nested);
            } else {
                for (QTextBlock b = m_doc.findBlock(inner->firstPosition());
                     b.isValid() && b.position() < inner->lastPosition(); b = b.next())
                    parts.emplace_back(b, nullptr);
            }
        }
    }
    size_t lastBlock = parts.size();
    for (size_t i = 0; i < parts.size(); ++i)
        if (!parts[i].second)
            lastBlock = i;
    const char* cellEnd = depth > 1 ? "\\nestcell" : "\\cell";
    m_previousList = nullptr;
    m_paraWritten = false;
    if (lastBlock == parts.size()) {
        word("\\pard");
        word("\\intbl");
        if (depth > 1)
            word("\\itap", depth);
        word(cellEnd);
        m_body += "\r\n";
        m_needDelimiter = false;
        return;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].second) {
            writeTable(parts[i].second, depth + 1);
            m_previousList = nullptr;
            m_paraWritten = false;
        } else {
            writeBlock(parts[i].first, depth, i == lastBlock ? cellEnd : "\\par");
        }
    }
}

// The outermost tables' rows are defined before their cells; a nested table's rows after them,
// in \nesttableprops, with a paragraph break for readers that know no nested tables.
void TRtfWriter::writeTable(const QTextTable* table, int depth)
{
    const int rows = table->rows();
    const int columns = table->columns();
    const std::vector<int> edges = columnEdges(table);
    m_previousList = nullptr;
    for (int r = 0; r < rows; ++r) {
        if (depth <= 1) {
            writeRowDefinition(table, r, edges);
            m_body += "\r\n";
            m_needDelimiter = false;
        }
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table->cellAt(r, c);
            // A merged cell's text belongs to its first row; below, the cell stands empty.
            if (cell.row() == r)
                writeCell(cell, std::max(depth, 1));
            else
                writeCell(QTextTableCell(), std::max(depth, 1));
            c += std::max(1, cell.columnSpan());
        }
        if (depth <= 1) {
            word("\\row");
        } else {
            m_body += "{\\*\\nesttableprops";
            writeRowDefinition(table, r, edges);
            word("\\nestrow");
            m_body += "}{\\nonesttables\\par}";
            m_needDelimiter = false;
        }
        m_body += "\r\n";
        m_needDelimiter = false;
    }
    m_previousList = nullptr;
    m_paraWritten = false;
}

void TRtfWriter::writeFrame(const QTextFrame* frame, int depth)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                writeTable(table, depth + 1);
            else
                writeFrame(child, depth);
        } else if (it.currentBlock().isValid()) {
            writeBlock(it.currentBlock(), depth, "\\par");
        }
    }
}

QByteArray TRtfWriter::write()
{
    m_body.reserve(m_doc.characterCount() * 2 + 256);
    writeFrame(m_doc.rootFrame(), 0);

    QByteArray out;
    out.reserve(m_body.size() + 512);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        const QString& family = m_fonts[i];
        const bool symbol = family.compare(u"Symbol", Qt::CaseInsensitive) == 0;
        out += "{\\f" + QByteArray::number(i) + fontFamilyWord(family) +
               (symbol ? "\\fcharset2" : "\\fcharset0");
        // The file's own name for the font, with the family it shows in beside it.
        const QString& tableName = m_fontTableNames[i];
        if (!tableName.isEmpty()) {
            out += "{\\*\\fname";
            m_needDelimiter = true;
            writeEscaped(family, out);
            out += ";}";
            m_needDelimiter = false;
        } else {
            m_needDelimiter = true;
        }
        writeEscaped(tableName.isEmpty() ? family : tableName, out);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (QRgb rgb : m_colors)
        out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
               QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
    out += "}\r\n";
    out += listTables();
    out += "{\\*\\generator jornix;}\\viewkind4\\uc1 \r\n";
    out += m_body;
    out += "}\r\n";
    return out;
}

} // namespace

QByteArray WriteRtf(const QTextDocument& doc)
{
    return TRtfWriter(doc).write();
}
