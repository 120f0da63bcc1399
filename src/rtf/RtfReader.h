#pragma once

#include <QByteArray>
#include <QStringList>

class QTextDocument;

// Units in the documents this layer reads and writes: paragraph indents and spacing
// (QTextBlockFormat leftMargin, rightMargin, textIndent, topMargin, bottomMargin) and image
// sizes (QTextImageFormat width, height) are in points, one unit per point, so that RTF twips
// convert exactly both ways (twips / 20); so are tab stops, fixed and minimum line heights,
// table column widths (fixed lengths) and cell border widths. Proportional line heights are
// percent of single spacing. Bulleted and numbered paragraphs keep their left indent in
// leftMargin; the list itself (QTextList) says "bullet" (disc, circle, square) or "numbered",
// and its level as QTextListFormat indent (1 for the first level).
//
// Style sheets are applied where a style is named and leave no trace: the document holds
// their formatting directly. Tables nest; merged cells are QTextTable merges; a table's border
// is 0 and each cell carries the borders the file gave it.
//
// Pictures keep their encoded bytes: the image resource under the picture's name is a
// QByteArray (PNG, JPEG, or a .bmp file made from a bitmap), decoded only when it is drawn.
// What the editor cannot show at all (metafiles, OLE objects, drawing shapes) is an inline
// object holding the original group (see RtfObjects.h), which the writer puts back unchanged.

// What a read could not put into the document.
struct TRtfReadReport
{
    // Each kind of content that was left out, once, in words for the user: "a header",
    // "a footer", "a footnote", "a comment", "hidden text", "a damaged picture or object".
    // Formatting this program does not know is not counted.
    QStringList dropped;
    bool lossy() const { return !dropped.isEmpty(); }
    // Some of the text read is written right to left (Hebrew, Arabic and the like).
    bool rightToLeft = false;
};

// Replaces the whole content of doc with what the RTF bytes hold. Never throws, never hangs;
// damaged input loads as much as can be read. Returns false only when bytes is not RTF at all
// (does not start with "{\rtf"); the document is then left unchanged. The document needs no
// layout, and none is made.
bool ReadRtf(const QByteArray& bytes, QTextDocument& doc, TRtfReadReport* report = nullptr);
