#pragma once

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <array>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class QTextDocument;
class QTextList;
class QTextTable;

namespace rtf {

// More columns than any real table has; the rest of a longer row stays in the last cell.
inline constexpr int MaxTableColumns = 64;
// Tables inside tables inside tables...; deeper ones are read as part of the deepest kept.
inline constexpr int MaxTableDepth = 8;

struct TParagraphProps
{
    QTextBlockFormat format;
    int listStyle = 0;        // 0 or a QTextListFormat::Style
    int listKey = 0;          // 0 none, -1 the Word 6 \pn form, else the \ls number
    int listLevel = 0;        // \ilvl
    int listStart = 1;        // \pnstart
    bool listRestart = false; // the paragraph starts its own Word 6 list
};

struct TBorder
{
    qreal width = 0; // points
    int style = 0;   // QTextFrameFormat::BorderStyle
    QColor colour;
    bool operator==(const TBorder&) const = default;
};

enum TSide { TopSide, LeftSide, BottomSide, RightSide };

struct TCellDefinition
{
    int right = 0;                     // twips, \cellx
    unsigned char horizontalMerge = 0; // 0 none, 1 first (\clmgf), 2 merged (\clmrg)
    unsigned char verticalMerge = 0;   // 0 none, 1 first (\clvmgf), 2 merged (\clvmrg)
    std::array<bool, 4> hasBorder{};   // by TSide
    std::array<TBorder, 4> borders{};
    QColor background;
};

struct TRowDefinition
{
    int left = 0; // twips, \trleft
    std::vector<TCellDefinition> cells;
};

// Puts what the parser reads into a QTextDocument through one cursor: paragraphs, lists,
// tables (nested ones too) and objects. Paragraph properties arrive when a paragraph ends, as
// RTF gives them. Table content is collected until the table ends and then inserted as one
// table of the final size, because growing a QTextTable row by row costs time in the square of
// its size. A depth of 0 is the body, 1 a table, 2 a table in a table's cell, and so on.
class TRtfDocumentBuilder
{
public:
    explicit TRtfDocumentBuilder(QTextDocument& doc);
    ~TRtfDocumentBuilder();

    void insertText(const QString& text, const QTextCharFormat& format, int depth);
    // The encoded picture (which Qt can read) becomes the document's image resource as it is;
    // nothing is decoded here. A non-empty group is the picture's RTF form to write back.
    void insertImage(const QByteArray& encoded, QSizeF pointSize, const QTextCharFormat& format,
                     int depth, const QByteArray& group);
    // One object replacement character in the given (object) format.
    void insertObject(const QTextCharFormat& format, int depth);
    void endParagraph(const TParagraphProps& props, const QTextCharFormat& markFormat, int depth);
    void endCell(const TParagraphProps& props, const QTextCharFormat& markFormat, int depth);
    void endRow(int depth, const TRowDefinition& definition);
    void finish();

private:
    struct TTable;
    struct TOperation
    {
        enum Kind { Text, Object, ParagraphEnd, CellEnd, Table } kind;
        QString text;
        QTextCharFormat format;
        TParagraphProps props;
        std::unique_ptr<TTable> table;
    };
    using TCell = std::vector<TOperation>;
    struct TRow
    {
        std::vector<TCell> cells;
        TRowDefinition definition;
        TRow();
    };
    struct TTable
    {
        std::vector<TRow> rows;
        TTable();
    };

    void enterContext(int depth);
    void closeTable();
    TCell& currentCell();
    void ensureBlock();
    // Text at the cursor, in format.
    void insertRun(const QString& text, const QTextCharFormat& format);
    void apply(TOperation& operation);
    void applyParagraph(const TParagraphProps& props, const QTextCharFormat& markFormat);
    void insertTables(TTable& table);
    void insertTable(TTable& table, size_t first, size_t last);

    QTextDocument& m_doc;
    QTextCursor m_cursor;

    // The tables being read, outermost first.
    std::vector<TTable> m_open;
    int m_replaying = 0;
    int m_cellStart = -1; // where the cell being filled begins
    // The paragraph a \par opens is made when something goes into it: the last \par of a file and
    // the \par before a table open none.
    bool m_pendingBlock = false;
    QTextCharFormat m_pendingCharFormat;

    QTextList* m_previousList = nullptr;
    std::tuple<int, int, int> m_previousListKey{0, 0, 0};
    std::map<std::tuple<int, int, int>, QTextList*> m_listsByKey;
};

} // namespace rtf
