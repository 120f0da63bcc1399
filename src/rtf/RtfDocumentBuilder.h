#pragma once

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <map>
#include <utility>
#include <vector>

class QTextDocument;
class QTextList;

namespace rtf {

// More columns than any real table has; the rest of a longer row stays in the last cell.
inline constexpr int MaxTableColumns = 64;

struct TParagraphProps
{
    QTextBlockFormat format;
    int listStyle = 0;        // 0 or a QTextListFormat::Style
    int listKey = 0;          // 0 none, -1 the Word 6 \pn form, else the \ls number
    int listStart = 1;        // \pnstart
    bool listRestart = false; // the paragraph starts its own Word 6 list
};

// Puts what the parser reads into a QTextDocument through one cursor: paragraphs, lists,
// tables and images. Paragraph properties arrive when a paragraph ends, as RTF gives them.
// Table content is collected until the table ends and then inserted as one table of the
// final size, because growing a QTextTable row by row costs time in the square of its size.
class TRtfDocumentBuilder
{
public:
    explicit TRtfDocumentBuilder(QTextDocument& doc);

    void insertText(const QString& text, const QTextCharFormat& format, bool inTable);
    // The encoded picture (which Qt can read) becomes the document's image resource as it is;
    // nothing is decoded here. A non-empty group is the picture's RTF form to write back.
    void insertImage(const QByteArray& encoded, QSizeF pointSize, const QTextCharFormat& format,
                     bool inTable, const QByteArray& group);
    // One object replacement character in the given (object) format.
    void insertObject(const QTextCharFormat& format, bool inTable);
    void endParagraph(const TParagraphProps& props, const QTextCharFormat& markFormat,
                      bool inTable);
    void endCell(const TParagraphProps& props, const QTextCharFormat& markFormat,
                 int definedColumns);
    void endRow(int definedColumns);
    void finish();

private:
    struct TOperation
    {
        enum Kind { Text, Object, ParagraphEnd, CellEnd } kind;
        QString text;
        QTextCharFormat format;
        TParagraphProps props;
    };
    using TCell = std::vector<TOperation>;
    struct TRow
    {
        std::vector<TCell> cells{TCell()};
        int definedColumns = 0;
    };

    void enterContext(bool inTable);
    void ensureBlock();
    void apply(const TOperation& operation);
    void applyParagraph(const TParagraphProps& props, const QTextCharFormat& markFormat);
    void flushTable();
    void insertTable(size_t first, size_t last, int columns);

    QTextDocument& m_doc;
    QTextCursor m_cursor;

    bool m_inTable = false;
    bool m_replayingCell = false;
    std::vector<TRow> m_rows;
    // The paragraph a \par opens is made when something goes into it: the last \par of a file and
    // the \par before a table open none.
    bool m_pendingBlock = false;
    QTextCharFormat m_pendingCharFormat;

    QTextList* m_previousList = nullptr;
    std::pair<int, int> m_previousListKey{0, 0};
    std::map<std::pair<int, int>, QTextList*> m_listsByKey;
};

} // namespace rtf
