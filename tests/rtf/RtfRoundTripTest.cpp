#include "RtfTestSupport.h"

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
        cursor.setBlockFormat(block);
        if (allowLists && below(3) == 0) {
            const auto style =
                pick({QTextListFormat::ListDisc, QTextListFormat::ListDecimal,
                      QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperRoman});
            QTextList* previous = cursor.block().previous().textList();
            if (previous && previous->format().style() == style && below(4))
                previous->add(cursor.block());
            else {
                QTextListFormat list;
                list.setStyle(style);
                cursor.createList(list);
            }
        }
        const int runs = below(5);
        for (int i = 0; i < runs; ++i) {
            if (below(12) == 0)
                addImage(doc, cursor);
            else
                cursor.insertText(randomText(), randomFormat());
        }
        if (runs == 0 && below(2))
            cursor.setBlockCharFormat(randomFormat());
    }

    void addTable(QTextDocument& doc, QTextCursor& cursor)
    {
        const int rows = 1 + below(3);
        const int columns = 1 + below(3);
        QTextTable* table = cursor.insertTable(rows, columns);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                QTextCursor cell = table->cellAt(r, c).firstCursorPosition();
                const int paragraphs = below(3);
                for (int p = 0; p < paragraphs; ++p) {
                    if (p > 0)
                        cell.insertBlock();
                    addParagraph(doc, cell, false);
                }
            }
        }
        cursor.movePosition(QTextCursor::End);
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
    if (QTextList* list = block.textList())
        text +=
            QStringLiteral(" list%1#%2").arg(list->format().style()).arg(list->itemNumber(block));
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

void describeFrame(const QTextDocument& doc, const QTextFrame* frame, QStringList& out)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (const auto* table = qobject_cast<const QTextTable*>(it.currentFrame())) {
            out << QStringLiteral("TABLE %1x%2").arg(table->rows()).arg(table->columns());
            for (int r = 0; r < table->rows(); ++r)
                for (int c = 0; c < table->columns(); ++c) {
                    out << QStringLiteral("CELL %1,%2").arg(r).arg(c);
                    for (QTextFrame::iterator cell = table->cellAt(r, c).begin(); !cell.atEnd();
                         ++cell)
                        out << describeBlock(doc, cell.currentBlock());
                }
            out << "END TABLE";
        } else if (it.currentBlock().isValid()) {
            out << describeBlock(doc, it.currentBlock());
        }
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
