#include "rtf/RtfDocumentBuilder.h"

#include "rtf/RtfObjects.h"

#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace rtf {

namespace {

constexpr char16_t BeginningOfFrame = 0xFDD0;
constexpr char16_t EndOfFrame = 0xFDD1;
constexpr char16_t ObjectReplacement = 0xFFFC;

bool isStructural(char16_t c)
{
    return (c < 0x20 && c != u'\t') || c == QChar::ParagraphSeparator || c == BeginningOfFrame ||
           c == EndOfFrame || c == ObjectReplacement;
}

// Characters the document treats as structure (block and frame marks) must not come in as
// text; a stray CR or LF escaped as \'0a is a line break at most.
QString cleanText(const QString& text)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return isStructural(c.unicode()); }))
        return text;
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!isStructural(u))
            out += c;
        else if (u == u'\n' || u == QChar::ParagraphSeparator)
            out += QChar(QChar::LineSeparator);
    }
    return out;
}

} // namespace

TRtfDocumentBuilder::TRtfDocumentBuilder(QTextDocument& doc) : m_doc(doc), m_cursor(&doc)
{
    m_cursor.beginEditBlock();
}

void TRtfDocumentBuilder::insertText(const QString& text, const QTextCharFormat& format,
                                     bool inTable)
{
    enterContext(inTable);
    if (m_inTable) {
        m_rows.back().cells.back().push_back({TOperation::Text, cleanText(text), format, {}});
    } else {
        ensureBlock();
        m_cursor.insertText(cleanText(text), format);
    }
}

void TRtfDocumentBuilder::insertImage(const QByteArray& encoded, QSizeF pointSize,
                                      const QTextCharFormat& format, bool inTable,
                                      const QByteArray& group)
{
    const QString name = pictureName(encoded);
    m_doc.addResource(QTextDocument::ImageResource, QUrl(name), encoded);

    QTextImageFormat imageFormat;
    imageFormat.merge(format);
    imageFormat.setObjectType(QTextFormat::ImageObject);
    imageFormat.setName(name);
    imageFormat.setWidth(pointSize.width());
    imageFormat.setHeight(pointSize.height());
    if (!group.isEmpty())
        imageFormat.setProperty(PictureGroup, group);
    insertObject(imageFormat, inTable);
}

void TRtfDocumentBuilder::insertObject(const QTextCharFormat& format, bool inTable)
{
    enterContext(inTable);
    if (m_inTable) {
        m_rows.back().cells.back().push_back({TOperation::Object, {}, format, {}});
    } else {
        ensureBlock();
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }
}

void TRtfDocumentBuilder::endParagraph(const TParagraphProps& props,
                                       const QTextCharFormat& markFormat, bool inTable)
{
    enterContext(inTable);
    TOperation operation{TOperation::ParagraphEnd, {}, markFormat, props};
    if (m_inTable) {
        m_rows.back().cells.back().push_back(std::move(operation));
    } else {
        ensureBlock();
        apply(operation);
    }
}

void TRtfDocumentBuilder::ensureBlock()
{
    if (!m_pendingBlock)
        return;
    // A fresh format, so the new paragraph does not inherit the list of the one before.
    m_cursor.insertBlock(QTextBlockFormat(), m_pendingCharFormat);
    m_pendingBlock = false;
}

void TRtfDocumentBuilder::endCell(const TParagraphProps& props, const QTextCharFormat& markFormat,
                                  int definedColumns)
{
    enterContext(true);
    TRow& row = m_rows.back();
    row.definedColumns = std::max(row.definedColumns, definedColumns);
    if (int(row.cells.size()) >= MaxTableColumns) {
        row.cells.back().push_back({TOperation::ParagraphEnd, {}, markFormat, props});
        return;
    }
    row.cells.back().push_back({TOperation::CellEnd, {}, markFormat, props});
    row.cells.emplace_back();
}

void TRtfDocumentBuilder::endRow(int definedColumns)
{
    if (!m_inTable)
        return;
    TRow& row = m_rows.back();
    row.definedColumns = std::max(row.definedColumns, definedColumns);
    // The \cell before \row has opened a cell that nothing fills.
    if (row.cells.size() > 1 && row.cells.back().empty())
        row.cells.pop_back();
    m_rows.emplace_back();
}

void TRtfDocumentBuilder::finish()
{
    enterContext(false);
    m_pendingBlock = false;
    m_cursor.endEditBlock();
}

void TRtfDocumentBuilder::enterContext(bool inTable)
{
    if (inTable == m_inTable)
        return;
    if (inTable) {
        m_rows.assign(1, TRow());
        m_inTable = true;
    } else {
        m_inTable = false;
        flushTable();
    }
}

namespace {

// Cells cost memory whether filled or not. A row counts as wide as the cells it fills, and as
// its \cellx list only while that stays in proportion, so damage cannot make empty grids.
int rowColumns(size_t filled, int defined)
{
    const int cells = int(filled);
    return std::max(cells, std::min({defined, MaxTableColumns, 2 * cells}));
}

} // namespace

void TRtfDocumentBuilder::flushTable()
{
    if (!m_rows.empty() && m_rows.back().cells.size() == 1 && m_rows.back().cells.back().empty())
        m_rows.pop_back();
    // Rows of very different widths in one table would also leave most of the grid empty; a
    // run of narrow rows after wide ones (or the other way round) becomes a table of its own.
    size_t first = 0;
    while (first < m_rows.size()) {
        size_t last = first;
        int columns = rowColumns(m_rows[first].cells.size(), m_rows[first].definedColumns);
        qint64 filled = qint64(m_rows[first].cells.size());
        while (last + 1 < m_rows.size()) {
            const TRow& next = m_rows[last + 1];
            const int wider = std::max(columns, rowColumns(next.cells.size(), next.definedColumns));
            const qint64 more = filled + qint64(next.cells.size());
            if (qint64(last + 2 - first) * wider > 4 * more + 4096)
                break;
            columns = wider;
            filled = more;
            ++last;
        }
        insertTable(first, last, columns);
        first = last + 1;
    }
    m_rows.clear();
    m_previousList = nullptr;
}

void TRtfDocumentBuilder::insertTable(size_t first, size_t last, int columns)
{
    // RTF ends the paragraph before a table with \par; in the document the table follows that
    // paragraph directly.
    m_pendingBlock = false;
    QTextTableFormat format;
    format.setBorder(1);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorderCollapse(true);
    QTextTable* table = m_cursor.insertTable(int(last - first + 1), columns, format);
    for (size_t r = first; r <= last; ++r) {
        const TRow& row = m_rows[r];
        for (int c = 0; c < int(row.cells.size()); ++c) {
            m_cursor = table->cellAt(int(r - first), c).firstCursorPosition();
            m_previousList = nullptr;
            m_replayingCell = true;
            for (const TOperation& operation : row.cells[c])
                apply(operation);
            m_replayingCell = false;
        }
    }
    m_previousList = nullptr;
    m_cursor.setPosition(table->lastPosition() + 1);
}

void TRtfDocumentBuilder::apply(const TOperation& operation)
{
    switch (operation.kind) {
    case TOperation::Text:
        m_cursor.insertText(operation.text, operation.format);
        break;
    case TOperation::Object:
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), operation.format);
        break;
    case TOperation::ParagraphEnd:
        applyParagraph(operation.props, operation.format);
        m_pendingBlock = true;
        m_pendingCharFormat = operation.format;
        if (m_replayingCell)
            ensureBlock();
        break;
    case TOperation::CellEnd:
        applyParagraph(operation.props, operation.format);
        break;
    }
}

void TRtfDocumentBuilder::applyParagraph(const TParagraphProps& props,
                                         const QTextCharFormat& markFormat)
{
    m_cursor.setBlockFormat(props.format);
    if (m_cursor.block().length() == 1)
        m_cursor.setBlockCharFormat(markFormat);

    if (props.listStyle == 0) {
        m_previousList = nullptr;
        return;
    }
    const std::pair<int, int> key{props.listKey, props.listStyle};
    QTextList* list = nullptr;
    if (props.listRestart) {
        list = nullptr;
    } else if (m_previousList && m_previousListKey == key) {
        list = m_previousList;
    } else {
        const auto known = m_listsByKey.find(key);
        // The list table form keeps counting across other paragraphs; the Word 6 form only when
        // \pnstart says the numbering goes on.
        if (known != m_listsByKey.end() &&
            (props.listKey > 0 ||
             (props.listStart > 1 && known->second->count() == props.listStart - 1)))
            list = known->second;
    }
    if (list) {
        list->add(m_cursor.block());
    } else {
        QTextListFormat format;
        format.setStyle(static_cast<QTextListFormat::Style>(props.listStyle));
        format.setIndent(1);
        list = m_cursor.createList(format);
        m_listsByKey[key] = list;
    }
    m_previousList = list;
    m_previousListKey = key;
}

} // namespace rtf
