#include "rtf/RtfDocumentBuilder.h"

#include "rtf/CellBorderSides.h"
#include "rtf/RtfObjects.h"

#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <private/qtextdocument_p.h>

#include <algorithm>
#include <climits>

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

TRtfDocumentBuilder::TRow::TRow() : cells(1)
{
}

TRtfDocumentBuilder::TTable::TTable() : rows(1)
{
}

TRtfDocumentBuilder::TRtfDocumentBuilder(QTextDocument& doc) : m_doc(doc), m_cursor(&doc)
{
    m_cursor.beginEditBlock();
}

TRtfDocumentBuilder::~TRtfDocumentBuilder() = default;

TRtfDocumentBuilder::TCell& TRtfDocumentBuilder::currentCell()
{
    return m_open.back().rows.back().cells.back();
}

void TRtfDocumentBuilder::insertText(const QString& text, const QTextCharFormat& format, int depth)
{
    enterContext(depth);
    if (!m_open.empty()) {
        currentCell().push_back({TOperation::Text, cleanText(text), format, {}, {}});
    } else {
        ensureBlock();
        insertRun(cleanText(text), format);
    }
}

void TRtfDocumentBuilder::insertImage(const QByteArray& encoded, QSizeF pointSize,
                                      const QTextCharFormat& format, int depth,
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
    insertObject(imageFormat, depth);
}

void TRtfDocumentBuilder::insertObject(const QTextCharFormat& format, int depth)
{
    enterContext(depth);
    if (!m_open.empty()) {
        currentCell().push_back({TOperation::Object, {}, format, {}, {}});
    } else {
        ensureBlock();
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }
}

void TRtfDocumentBuilder::endParagraph(const TParagraphProps& props,
                                       const QTextCharFormat& markFormat, int depth)
{
    enterContext(depth);
    TOperation operation{TOperation::ParagraphEnd, {}, markFormat, props, {}};
    if (!m_open.empty()) {
        currentCell().push_back(std::move(operation));
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
                                  int depth)
{
    enterContext(std::max(depth, 1));
    TRow& row = m_open.back().rows.back();
    if (int(row.cells.size()) >= MaxTableColumns) {
        row.cells.back().push_back({TOperation::ParagraphEnd, {}, markFormat, props, {}});
        return;
    }
    row.cells.back().push_back({TOperation::CellEnd, {}, markFormat, props, {}});
    row.cells.emplace_back();
}

void TRtfDocumentBuilder::endRow(int depth, const TRowDefinition& definition)
{
    if (m_open.empty() || depth < 1)
        return;
    enterContext(std::min<int>(depth, int(m_open.size())));
    TRow& row = m_open.back().rows.back();
    row.definition = definition;
    // The \cell before \row has opened a cell that nothing fills.
    if (row.cells.size() > 1 && row.cells.back().empty())
        row.cells.pop_back();
    m_open.back().rows.emplace_back();
}

void TRtfDocumentBuilder::finish()
{
    enterContext(0);
    m_pendingBlock = false;
    m_cursor.endEditBlock();
}

void TRtfDocumentBuilder::enterContext(int depth)
{
    depth = std::clamp(depth, 0, MaxTableDepth);
    while (int(m_open.size()) > depth)
        closeTable();
    while (int(m_open.size()) < depth)
        m_open.emplace_back();
}

void TRtfDocumentBuilder::closeTable()
{
    TTable table = std::move(m_open.back());
    m_open.pop_back();
    if (!table.rows.empty() && table.rows.back().cells.size() == 1 &&
        table.rows.back().cells.back().empty())
        table.rows.pop_back();
    if (table.rows.empty())
        return;
    if (m_open.empty()) {
        insertTables(table);
        return;
    }
    currentCell().push_back(
        {TOperation::Table, {}, {}, {}, std::make_unique<TTable>(std::move(table))});
}

namespace {

// Cells cost memory whether filled or not. A row counts as wide as the cells it fills, and as
// its \cellx list only while that stays in proportion, so damage cannot make empty grids.
int rowColumns(size_t filled, size_t defined)
{
    const int cells = int(filled);
    return std::max(cells, std::min({int(defined), MaxTableColumns, 2 * cells}));
}

} // namespace

void TRtfDocumentBuilder::insertTables(TTable& table)
{
    // Rows of very different widths in one table would also leave most of the grid empty; a
    // run of narrow rows after wide ones (or the other way round) becomes a table of its own.
    std::vector<TRow>& rows = table.rows;
    size_t first = 0;
    while (first < rows.size()) {
        size_t last = first;
        int columns = rowColumns(rows[first].cells.size(), rows[first].definition.cells.size());
        qint64 filled = qint64(rows[first].cells.size());
        while (last + 1 < rows.size()) {
            const TRow& next = rows[last + 1];
            const int wider =
                std::max(columns, rowColumns(next.cells.size(), next.definition.cells.size()));
            const qint64 more = filled + qint64(next.cells.size());
            if (qint64(last + 2 - first) * wider > 4 * more + 4096)
                break;
            columns = wider;
            filled = more;
            ++last;
        }
        insertTable(table, first, last);
        first = last + 1;
    }
}

namespace {

struct TPlacedCell
{
    int row = 0;
    int column = 0;
    int lastColumn = 0;
    int rowSpan = 1;
    size_t cell = 0;                            // in its row
    std::vector<std::pair<int, size_t>> merged; // cells whose content joins this one
};

void applyCellFormat(QTextTableCell& cell, const TCellDefinition& definition)
{
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    bool changed = false;
    for (int side = 0; side < 4; ++side) {
        if (!definition.hasBorder[side])
            continue;
        const TBorder& border = definition.borders[side];
        format.setProperty(rtf::CellBorderSides[side].width, border.width);
        format.setProperty(rtf::CellBorderSides[side].style, border.style);
        format.setProperty(rtf::CellBorderSides[side].brush,
                           QBrush(border.colour.isValid() ? border.colour : QColor(Qt::black)));
        changed = true;
    }
    if (definition.background.isValid()) {
        format.setBackground(definition.background);
        changed = true;
    }
    if (changed)
        cell.setFormat(format);
}

} // namespace

void TRtfDocumentBuilder::insertTable(TTable& table, size_t first, size_t last)
{
    const int outerCellStart = m_cellStart;
    std::vector<TRow>& rows = table.rows;
    const int rowCount = int(last - first + 1);

    // Where each cell's right edge is: its \cellx, or a guess past the last one.
    std::vector<std::vector<int>> rights(rowCount);
    bool grid = true;
    std::vector<int> edges;
    for (int r = 0; r < rowCount; ++r) {
        const TRow& row = rows[first + r];
        const std::vector<TCellDefinition>& defined = row.definition.cells;
        int previous = row.definition.left;
        for (size_t c = 0; c < row.cells.size(); ++c) {
            const int right = c < defined.size() ? defined[c].right : previous + 1440;
            if (right <= previous)
                grid = false;
            rights[r].push_back(right);
            edges.push_back(right);
            previous = right;
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    if (int(edges.size()) > MaxTableColumns)
        grid = false;

    // Cells are laid on a grid of all the rows' edges, so that rows cut differently (a cell
    // over two columns in one row) keep their shape; without a sane grid, cell by cell.
    int columns = 0;
    std::vector<TPlacedCell> placed;
    std::vector<int> openAbove; // per column: the placed cell a \clvmrg below it continues
    for (int r = 0; r < rowCount; ++r) {
        const TRow& row = rows[first + r];
        const std::vector<TCellDefinition>& defined = row.definition.cells;
        if (!grid)
            columns = std::max(columns, rowColumns(row.cells.size(), defined.size()));
        else
            columns = int(edges.size());
        openAbove.resize(columns, -1);
        int rowStart = int(placed.size());
        for (size_t c = 0; c < row.cells.size(); ++c) {
            int start = int(c), end = int(c);
            if (grid) {
                end =
                    int(std::lower_bound(edges.begin(), edges.end(), rights[r][c]) - edges.begin());
                start = c == 0
                            ? 0
                            : int(std::lower_bound(edges.begin(), edges.end(), rights[r][c - 1]) -
                                  edges.begin()) +
                                  1;
            }
            const TCellDefinition* definition = c < defined.size() ? &defined[c] : nullptr;
            // A cell merged into the one before it widens that one.
            if (definition && definition->horizontalMerge == 2 && int(placed.size()) > rowStart) {
                placed.back().lastColumn = end;
                placed.back().merged.emplace_back(r, c);
                continue;
            }
            // A cell merged into the one above it lengthens that one, when they line up.
            if (definition && definition->verticalMerge == 2 && start < int(openAbove.size()) &&
                openAbove[start] >= 0) {
                TPlacedCell& above = placed[openAbove[start]];
                if (above.column == start && above.lastColumn == end &&
                    above.row + above.rowSpan == r) {
                    ++above.rowSpan;
                    above.merged.emplace_back(r, c);
                    continue;
                }
            }
            TPlacedCell cell;
            cell.row = r;
            cell.column = start;
            cell.lastColumn = end;
            cell.cell = c;
            placed.push_back(std::move(cell));
            for (int k = start; k <= end && k < int(openAbove.size()); ++k)
                openAbove[k] = -1;
            if (definition && definition->verticalMerge == 1 && start < int(openAbove.size()))
                openAbove[start] = int(placed.size()) - 1;
        }
        // A horizontal merge can make a cell wider after it was entered as a start above.
        for (size_t i = rowStart; i < placed.size(); ++i)
            if (placed[i].lastColumn >= columns)
                placed[i].lastColumn = columns - 1;
    }
    columns = std::max(columns, 1);

    // RTF ends the paragraph before a table with \par; in the document the table follows that
    // paragraph directly.
    m_pendingBlock = false;
    QTextTableFormat format;
    format.setBorder(0);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorderCollapse(true);
    if (grid) {
        QList<QTextLength> widths;
        int previous = std::min(rows[first].definition.left, edges.front() - 1);
        for (int edge : edges) {
            widths << QTextLength(QTextLength::FixedLength, (edge - previous) / 20.0);
            previous = edge;
        }
        format.setColumnWidthConstraints(widths);
    }
    QTextTable* qtable = m_cursor.insertTable(rowCount, columns, format);
    for (const TPlacedCell& cell : placed) {
        const int span = cell.lastColumn - cell.column + 1;
        if (cell.rowSpan > 1 || span > 1)
            qtable->mergeCells(cell.row, cell.column, cell.rowSpan, span);
    }
    for (TPlacedCell& cell : placed) {
        QTextTableCell target = qtable->cellAt(cell.row, cell.column);
        TRow& row = rows[first + cell.row];
        if (cell.cell < row.definition.cells.size())
            applyCellFormat(target, row.definition.cells[cell.cell]);
        m_cursor = target.firstCursorPosition();
        m_cellStart = target.firstPosition();
        m_pendingBlock = false;
        m_previousList = nullptr;
        ++m_replaying;
        for (TOperation& operation : row.cells[cell.cell])
            apply(operation);
        // What stood in merged cells (they are empty as a rule) is kept in paragraphs of its
        // own at the end.
        for (const auto& [r, c] : cell.merged) {
            TCell& content = rows[first + r].cells[c];
            if (std::all_of(content.begin(), content.end(), [](const TOperation& operation) {
                    return operation.kind == TOperation::CellEnd;
                }))
                continue;
            m_pendingBlock = false;
            m_cursor.insertBlock(QTextBlockFormat(), m_cursor.charFormat());
            for (TOperation& operation : content)
                apply(operation);
        }
        m_pendingBlock = false;
        --m_replaying;
    }
    m_previousList = nullptr;
    m_cellStart = outerCellStart;
    m_cursor.setPosition(qtable->lastPosition() + 1);
}

void TRtfDocumentBuilder::insertRun(const QString& text, const QTextCharFormat& format)
{
    // What QTextCursor::insertText does for a run of plain text (no block or frame marks, as
    // cleanText leaves it), without its cost: for every run it copies the format, takes the
    // copy apart to drop an object index a text run never has and hashes it again, which is a
    // seventh of reading a rich-edit file, made of little but such runs.
    if (format.hasProperty(QTextFormat::ObjectIndex)) {
        m_cursor.insertText(text, format);
        return;
    }
    QTextDocumentPrivate* document = QTextDocumentPrivate::get(&m_doc);
    document->insert(m_cursor.position(), text,
                     document->formatCollection()->indexForFormat(format));
}

// In a cell as in the body, the paragraph a \par opens is made when something goes into it,
// so that a table right after the \par follows that paragraph directly.
void TRtfDocumentBuilder::apply(TOperation& operation)
{
    switch (operation.kind) {
    case TOperation::Text:
        ensureBlock();
        insertRun(operation.text, operation.format);
        break;
    case TOperation::Object:
        ensureBlock();
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), operation.format);
        break;
    case TOperation::ParagraphEnd:
        ensureBlock();
        applyParagraph(operation.props, operation.format);
        m_pendingBlock = true;
        m_pendingCharFormat = operation.format;
        break;
    case TOperation::CellEnd:
        ensureBlock();
        applyParagraph(operation.props, operation.format);
        break;
    case TOperation::Table:
        if (operation.table)
            insertTables(*operation.table);
        break;
    }
}

void TRtfDocumentBuilder::applyParagraph(const TParagraphProps& props,
                                         const QTextCharFormat& markFormat)
{
    m_cursor.setBlockFormat(props.format);
    if (m_cursor.block().length() == 1) {
        // The first paragraph mark of a table cell carries the cell's own format (its borders),
        // which the mark's character format must not wipe out.
        if (m_replaying && m_cursor.block().position() == m_cellStart)
            m_cursor.mergeBlockCharFormat(markFormat);
        else
            m_cursor.setBlockCharFormat(markFormat);
    }

    if (props.listStyle == 0) {
        m_previousList = nullptr;
        return;
    }
    const std::tuple<int, int, int> key{props.listKey, props.listLevel, props.listStyle};
    // A paragraph of one level ends the lists below it: what follows there counts anew.
    if (props.listKey > 0) {
        for (auto it = m_listsByKey.lower_bound({props.listKey, props.listLevel + 1, INT_MIN});
             it != m_listsByKey.end() && std::get<0>(it->first) == props.listKey;)
            it = m_listsByKey.erase(it);
    }
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
        format.setIndent(props.listLevel + 1);
        list = m_cursor.createList(format);
        m_listsByKey[key] = list;
    }
    m_previousList = list;
    m_previousListKey = key;
}

} // namespace rtf
