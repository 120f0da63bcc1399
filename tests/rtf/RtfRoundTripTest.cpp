#include "RtfTestSupport.h"

#include "rtf/RtfObjects.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Builds random documents with everything the editor can hold.
class TDocumentGenerator
{
public:
    explicit TDocumentGenerator(quint32 seed) : m_random(seed) {}

    void fill(QTextDocument& doc)
    {
        doc.setDefaultFont(QFont(pick({"DejaVu Sans", "Arial", "Tahoma"}), pick({10, 11, 12})));
        QTextCursor cursor(&doc);
        const int paragraphs = 1 + below(7);
        for (int i = 0; i < paragraphs; ++i) {
            if (i > 0)
                cursor.insertBlock();
            if (below(10) == 0) {
                addTable(doc, cursor);
                continue;
            }
            addParagraph(doc, cursor, true);
        }
    }

private:
    int below(int n) { return int(m_random.bounded(n)); }
    template <typename T> T pick(std::initializer_list<T> values)
    {
        return values.begin()[below(int(values.size()))];
    }
    QString pick(std::initializer_list<const char*> values)
    {
        return QString::fromUtf8(values.begin()[below(int(values.size()))]);
    }

    QString randomText()
    {
        static const QStringList pieces = {"word",
                                           "Tagebuch",
                                           " ",
                                           "  ",
                                           "a{b}c\\d",
                                           "café",
                                           "€ “quoted” — dash",
                                           "Привет",
                                           "日本語のテキスト",
                                           "中文",
                                           "😀",
                                           "\t",
                                           QString(QChar::LineSeparator),
                                           QString(QChar(0x00A0)),
                                           "?",
                                           "x",
                                           "ä ö ü ß",
                                           "\u0394\u03b4",
                                           "line2",
                                           "1.5",
                                           "-",
                                           "\u2022"};
        QString text;
        const int n = 1 + below(4);
        for (int i = 0; i < n; ++i)
            text += pieces[below(int(pieces.size()))];
        return text;
    }

    QTextCharFormat randomFormat()
    {
        QTextCharFormat format;
        if (below(3))
            format.setFontFamilies(
                {pick({"DejaVu Sans", "DejaVu Serif", "Times New Roman", "Liberation Mono", "Arial",
                       "MS Gothic", "Ünïcode Font"})});
        if (below(3))
            format.setFontPointSize(pick({8.0, 9.5, 10.0, 12.0, 14.0, 20.0, 36.0}));
        format.setFontWeight(below(3) == 0 ? QFont::Bold : QFont::Normal);
        format.setFontItalic(below(3) == 0);
        format.setFontStrikeOut(below(5) == 0);
        if (below(4) == 0)
            format.setUnderlineStyle(
                pick({QTextCharFormat::SingleUnderline, QTextCharFormat::SingleUnderline,
                      QTextCharFormat::DotLine, QTextCharFormat::DashUnderline,
                      QTextCharFormat::WaveUnderline}));
        if (below(8) == 0)
            format.setVerticalAlignment(below(2) ? QTextCharFormat::AlignSuperScript
                                                 : QTextCharFormat::AlignSubScript);
        if (below(3) == 0)
            format.setForeground(
                pick({QColor(255, 0, 0), QColor(0, 128, 0), QColor(1, 2, 3), QColor(0, 0, 0)}));
        if (below(6) == 0)
            format.setBackground(pick({QColor(255, 255, 0), QColor(0, 255, 255)}));
        if (below(8) == 0) {
            format.setAnchor(true);
            format.setAnchorHref(pick({"https://example.org/page?x=1&y=2", "mailto:me@example.org",
                                       "file:///home/me/Notes%20today.txt", "#here"}));
        }
        return format;
    }

    void addImage(QTextDocument& doc, QTextCursor& cursor)
    {
        QImage image(1 + below(5), 1 + below(5), QImage::Format_ARGB32);
        image.fill(QColor(below(256), below(256), below(256)));
        const QString name = QStringLiteral("generated:%1").arg(m_imageCount++);
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(1 + below(300));
        format.setHeight(1 + below(200));
        cursor.insertImage(format);
    }

    void addParagraph(QTextDocument& doc, QTextCursor& cursor, bool allowLists)
    {
        QTextBlockFormat block;
        block.setAlignment(pick(
            {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify}));
        if (below(2))
            block.setLeftMargin(pick({0.0, 10.0, 12.5, 36.0, 72.0}));
        if (below(4) == 0)
            block.setRightMargin(pick({0.0, 5.0, 18.0}));
        if (below(4) == 0)
            block.setTextIndent(pick({-18.0, -9.0, 12.0, 0.05}));
        if (below(4) == 0)
            block.setTopMargin(pick({0.0, 6.0, 12.0}));
        if (below(4) == 0)
            block.setBottomMargin(pick({0.0, 3.0, 10.0}));
        if (below(4) == 0) {
            QList<QTextOption::Tab> tabs;
            qreal position = 0;
            for (int i = below(4); i >= 0; --i) {
                position += pick({18.0, 36.0, 72.5, 100.25});
                tabs << QTextOption::Tab(
                    position,
                    pick({QTextOption::LeftTab, QTextOption::RightTab, QTextOption::CenterTab}));
            }
            block.setTabPositions(tabs);
        }
        switch (below(8)) {
        case 0:
            block.setLineHeight(pick({115.0, 150.0, 200.0}), QTextBlockFormat::ProportionalHeight);
            break;
        case 1:
            block.setLineHeight(pick({14.0, 18.5}), QTextBlockFormat::FixedHeight);
            break;
        case 2:
            block.setLineHeight(pick({12.0, 20.0}), QTextBlockFormat::MinimumHeight);
            break;
        default:
            break;
        }
        cursor.setBlockFormat(block);
        if (allowLists && below(3) == 0) {
            const auto style =
                pick({QTextListFormat::ListDisc, QTextListFormat::ListDecimal,
                      QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperRoman,
                      QTextListFormat::ListCircle, QTextListFormat::ListSquare});
            const int indent = below(3) ? 1 : 2 + below(2);
            QTextList* previous = cursor.block().previous().textList();
            if (previous && previous->format().style() == style &&
                previous->format().indent() == indent && below(4))
                previous->add(cursor.block());
            else {
                QTextListFormat list;
                list.setStyle(style);
                list.setIndent(indent);
                cursor.createList(list);
            }
        } else if (allowLists && below(12) == 0) {
            // A paragraph of a list without markers, as LibreOffice puts its headings.
            QTextBlockFormat unmarked = cursor.blockFormat();
            unmarked.setProperty(rtf::UnmarkedListLevel, 1 + below(3));
            cursor.setBlockFormat(unmarked);
        }
        const int runs = below(5);
        for (int i = 0; i < runs; ++i) {
            if (below(12) == 0)
                addImage(doc, cursor);
            else
                cursor.insertText(randomText(), randomFormat());
        }
        if (runs == 0 && below(2))
            cursor.mergeBlockCharFormat(randomFormat()); // keeps a table cell's own format
    }

    QTextTableCellFormat randomCellFormat()
    {
        QTextTableCellFormat format;
        static const int widths[] = {
            QTextFormat::TableCellTopBorder, QTextFormat::TableCellLeftBorder,
            QTextFormat::TableCellBottomBorder, QTextFormat::TableCellRightBorder};
        for (int side = 0; side < 4; ++side) {
            if (below(2))
                continue;
            format.setProperty(widths[side], pick({0.5, 1.0, 2.25}));
            format.setProperty(
                widths[side] + 4, // the side's style
                pick({QTextFrameFormat::BorderStyle_Solid, QTextFrameFormat::BorderStyle_Dotted,
                      QTextFrameFormat::BorderStyle_Dashed, QTextFrameFormat::BorderStyle_Double}));
            format.setProperty(widths[side] + 8, // the side's brush
                               QBrush(pick({QColor(0, 0, 0), QColor(200, 0, 0)})));
        }
        if (below(5) == 0)
            format.setBackground(QColor(255, 255, 200));
        return format;
    }

    void addTable(QTextDocument& doc, QTextCursor& cursor, int depth = 1)
    {
        const int rows = 1 + below(3);
        const int columns = 1 + below(3);
        QTextTableFormat format;
        if (below(3) == 0)
            format.setBorder(0);
        QList<QTextLength> widths;
        for (int c = 0; c < columns; ++c)
            widths << QTextLength(QTextLength::FixedLength, pick({50.0, 72.0, 144.5, 200.0}));
        format.setColumnWidthConstraints(widths);
        QTextTable* table = cursor.insertTable(rows, columns, format);
        // A few cells over several rows or columns, none overlapping another.
        std::vector<bool> taken(rows * columns, false);
        std::vector<bool> crossed(rows * columns, false); // the edge right of the cell is merged

        for (int tries = below(3); tries > 0; --tries) {
            const int r = below(rows), c = below(columns);
            const int rowSpan = 1 + below(rows - r), columnSpan = 1 + below(columns - c);
            bool free = rowSpan * columnSpan > 1;
            for (int i = r; i < r + rowSpan; ++i)
                for (int j = c; j < c + columnSpan; ++j)
                    free = free && !taken[i * columns + j];
            // A column edge no row has is no column in a file; a table is not made that way.
            for (int j = c; free && j + 1 < c + columnSpan; ++j) {
                bool used = false;
                for (int i = 0; i < rows && !used; ++i)
                    used = (i < r || i >= r + rowSpan) && !crossed[i * columns + j];
                free = used;
            }
            if (!free)
                continue;
            for (int i = r; i < r + rowSpan; ++i) {
                for (int j = c; j < c + columnSpan; ++j) {
                    taken[i * columns + j] = true;
                    crossed[i * columns + j] = j + 1 < c + columnSpan;
                }
            }
            table->mergeCells(r, c, rowSpan, columnSpan);
        }
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                QTextTableCell tableCell = table->cellAt(r, c);
                if (tableCell.row() != r || tableCell.column() != c)
                    continue;
                if (below(3) == 0)
                    tableCell.setFormat(randomCellFormat());
                QTextCursor cell = tableCell.firstCursorPosition();
                const int paragraphs = below(3);
                for (int p = 0; p < paragraphs; ++p) {
                    if (p > 0)
                        cell.insertBlock();
                    addParagraph(doc, cell, false);
                }
                if (depth < 3 && below(6) == 0) {
                    addTable(doc, cell, depth + 1);
                    if (below(2))
                        addParagraph(doc, cell, false);
                }
            }
        }
        cursor = table->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextBlock);
    }

    QRandomGenerator m_random;
    int m_imageCount = 0;
};

QString describeFormat(const QTextDocument& doc, const QTextCharFormat& format)
{
    QString family = format.property(QTextFormat::FontFamilies).toStringList().value(0);
    if (family.isEmpty())
        family = doc.defaultFont().family();
    const qreal size = format.hasProperty(QTextFormat::FontPointSize)
                           ? format.fontPointSize()
                           : doc.defaultFont().pointSizeF();
    QString text = QStringLiteral("%1/%2").arg(family).arg(size);
    if (format.fontWeight() >= QFont::DemiBold)
        text += "/b";
    if (format.fontItalic())
        text += "/i";
    if (format.underlineStyle() != QTextCharFormat::NoUnderline)
        text += QStringLiteral("/u%1").arg(format.underlineStyle());
    if (format.fontStrikeOut())
        text += "/s";
    if (format.verticalAlignment() != QTextCharFormat::AlignNormal)
        text += QStringLiteral("/v%1").arg(format.verticalAlignment());
    if (format.foreground().style() != Qt::NoBrush)
        text += "/fg" + format.foreground().color().name();
    if (format.background().style() != Qt::NoBrush)
        text += "/bg" + format.background().color().name();
    if (format.isAnchor())
        text += "/link:" + format.anchorHref();
    if (format.isImageFormat()) {
        const QTextImageFormat image = format.toImageFormat();
        const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(image.name()));
        QImage pixels = resource.userType() == QMetaType::QByteArray
                            ? QImage::fromData(resource.toByteArray())
                            : resource.value<QImage>();
        pixels = pixels.convertToFormat(QImage::Format_ARGB32);
        text += QStringLiteral("/img%1x%2:%3x%4:%5")
                    .arg(image.width())
                    .arg(image.height())
                    .arg(pixels.width())
                    .arg(pixels.height())
                    .arg(pixels.isNull() ? 0 : pixels.pixel(0, 0));
    }
    return text;
}

QString describeBlock(const QTextDocument& doc, const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    QString text = QStringLiteral("P[a%1 l%2 r%3 f%4 t%5 b%6")
                       .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
                       .arg(format.leftMargin())
                       .arg(format.rightMargin())
                       .arg(format.textIndent())
                       .arg(format.topMargin())
                       .arg(format.bottomMargin());
    for (const QTextOption::Tab& tab : format.tabPositions())
        text += QStringLiteral(" tab%1@%2").arg(tab.type).arg(tab.position);
    if (format.lineHeightType() != QTextBlockFormat::SingleHeight)
        text += QStringLiteral(" line%1:%2").arg(format.lineHeightType()).arg(format.lineHeight());
    if (format.hasProperty(rtf::UnmarkedListLevel))
        text += QStringLiteral(" outline%1").arg(format.intProperty(rtf::UnmarkedListLevel));
    if (QTextList* list = block.textList())
        text += QStringLiteral(" list%1/%2#%3")
                    .arg(list->format().style())
                    .arg(list->format().indent())
                    .arg(list->itemNumber(block));
    text += "] ";
    QString lastFormat;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QString formatText = describeFormat(doc, it.fragment().charFormat());
        if (formatText != lastFormat)
            text += "<" + formatText + ">";
        lastFormat = formatText;
        text += it.fragment().text();
    }
    return text;
}

// A side of a cell as it shows: the cell's own border, else the table's.
QString describeBorder(const QTextTable* table, const QTextTableCellFormat& cell, int side)
{
    const int width = QTextFormat::TableCellTopBorder + side;
    if (cell.hasProperty(width))
        return QStringLiteral("%1/%2/%3")
            .arg(cell.doubleProperty(width))
            .arg(cell.intProperty(width + 4))
            .arg(cell.brushProperty(width + 8).color().name());
    const QTextTableFormat format = table->format();
    if (format.border() <= 0)
        return QStringLiteral("-");
    return QStringLiteral("%1/%2/%3")
        .arg(format.border())
        .arg(format.borderStyle())
        .arg(format.borderBrush().color().name());
}

void describeFrame(const QTextDocument& doc, const QTextFrame* frame, QStringList& out);

void describeTable(const QTextDocument& doc, const QTextTable* table, QStringList& out)
{
    QStringList widths;
    for (const QTextLength& width : table->format().columnWidthConstraints())
        widths << QString::number(width.rawValue());
    out << QStringLiteral("TABLE %1x%2 [%3]")
               .arg(table->rows())
               .arg(table->columns())
               .arg(widths.join(u' '));
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                out << QStringLiteral("COVERED %1,%2").arg(r).arg(c);
                continue;
            }
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            QStringList borders;
            for (int side = 0; side < 4; ++side)
                borders << describeBorder(table, format, side);
            out << QStringLiteral("CELL %1,%2 span%3x%4 %5 bg%6")
                       .arg(r)
                       .arg(c)
                       .arg(cell.rowSpan())
                       .arg(cell.columnSpan())
                       .arg(borders.join(u' '))
                       .arg(format.background().style() == Qt::NoBrush
                                ? QString()
                                : format.background().color().name());
            for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto* inner = qobject_cast<const QTextTable*>(it.currentFrame()))
                    describeTable(doc, inner, out);
                else if (it.currentBlock().isValid())
                    out << describeBlock(doc, it.currentBlock());
            }
        }
    }
    out << "END TABLE";
}

void describeFrame(const QTextDocument& doc, const QTextFrame* frame, QStringList& out)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (const auto* table = qobject_cast<const QTextTable*>(it.currentFrame()))
            describeTable(doc, table, out);
        else if (it.currentBlock().isValid())
            out << describeBlock(doc, it.currentBlock());
    }
}

QString describe(const QTextDocument& doc)
{
    QStringList lines;
    describeFrame(doc, doc.rootFrame(), lines);
    return lines.join(u'\n');
}

} // namespace

TEST(RtfRoundTrip, RandomDocumentsSurviveWriteAndReadAndWritingIsAFixedPoint)
{
    for (quint32 seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        QTextDocument original;
        TDocumentGenerator(seed).fill(original);
        const QByteArray written = WriteRtf(original);

        QTextDocument reread;
        reread.setDefaultFont(original.defaultFont());
        ASSERT_TRUE(ReadRtf(written, reread));
        ASSERT_EQ(describe(reread).toStdString(), describe(original).toStdString())
            << written.toStdString();

        const QByteArray rewritten = WriteRtf(reread);
        ASSERT_EQ(rewritten.toStdString(), written.toStdString());
        if (HasFailure())
            return;
    }
}

namespace {

// Random RTF whose formatting comes mostly from a style sheet: paragraph and character styles
// based on each other (loops included), named in the text with explicit words after them.
QByteArray styledRtf(quint32 seed)
{
    QRandomGenerator random(seed);
    auto below = [&](int n) { return int(random.bounded(n)); };
    static const char* const properties[] = {"\\b",
                                             "\\b0",
                                             "\\i",
                                             "\\ul",
                                             "\\ulnone",
                                             "\\strike",
                                             "\\fs20",
                                             "\\fs32",
                                             "\\f0",
                                             "\\f1",
                                             "\\f2",
                                             "\\cf1",
                                             "\\cf2",
                                             "\\qc",
                                             "\\qr",
                                             "\\qj",
                                             "\\li360",
                                             "\\ri720",
                                             "\\fi-180",
                                             "\\sb120",
                                             "\\sa240",
                                             "\\sl360\\slmult1",
                                             "\\sl-300\\slmult0",
                                             "\\tx720",
                                             "\\tqr\\tx4320",
                                             "\\super",
                                             "\\nosupersub"};
    auto someProperties = [&](int most) {
        QByteArray out;
        for (int i = below(most + 1); i > 0; --i)
            out += properties[below(int(std::size(properties)))];
        return out + ' ';
    };
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
                     "{\\f1\\fswiss Arial;}{\\f2\\fmodern Courier New;}}"
                     "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue200;}{\\stylesheet";
    const int styles = 1 + below(6);
    for (int s = 0; s < styles; ++s) {
        const bool character = below(3) == 0;
        rtf += character ? "{\\*\\cs" : "{\\s";
        rtf += QByteArray::number(s + 1);
        if (below(2))
            rtf += "\\sbasedon" + QByteArray::number(1 + below(styles));
        rtf += someProperties(4) + "Style " + QByteArray::number(s) + ";}";
    }
    rtf += "}";
    const int paragraphs = 1 + below(6);
    for (int p = 0; p < paragraphs; ++p) {
        rtf += "\\pard\\plain";
        if (below(4))
            rtf += "\\s" + QByteArray::number(1 + below(styles));
        rtf += someProperties(2) + "para" + QByteArray::number(p);
        for (int run = below(3); run > 0; --run) {
            rtf += "{";
            if (below(2))
                rtf += "\\cs" + QByteArray::number(1 + below(styles));
            rtf += someProperties(2) + "run" + QByteArray::number(run) + "}";
        }
        rtf += "\\par\r\n";
    }
    return rtf + "}";
}

} // namespace

TEST(RtfRoundTrip, FormattingFromStylesIsWrittenAsDirectFormattingAndThatIsAFixedPoint)
{
    for (quint32 seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        const QByteArray styled = styledRtf(seed);
        QTextDocument first;
        ASSERT_TRUE(ReadRtf(styled, first));
        const QByteArray written = WriteRtf(first);
        // No style is left in the file: what the styles gave stands in the text.
        EXPECT_FALSE(written.contains("\\stylesheet"));
        EXPECT_FALSE(written.contains("\\cs"));

        QTextDocument second;
        second.setDefaultFont(first.defaultFont());
        ASSERT_TRUE(ReadRtf(written, second));
        ASSERT_EQ(describe(second).toStdString(), describe(first).toStdString())
            << styled.toStdString() << "\n"
            << written.toStdString();
        ASSERT_EQ(WriteRtf(second).toStdString(), written.toStdString());
    }
}
