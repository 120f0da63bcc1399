#pragma once

#include <QByteArray>

class QTextDocument;

// Units in the documents this layer reads and writes: paragraph indents and spacing
// (QTextBlockFormat leftMargin, rightMargin, textIndent, topMargin, bottomMargin) and image
// sizes (QTextImageFormat width, height) are in points, one unit per point, so that RTF twips
// convert exactly both ways (twips / 20). Bulleted and numbered paragraphs keep their left
// indent in leftMargin; the list itself (QTextList, QTextListFormat indent 1) only says
// "bullet" or "numbered".

// Replaces the whole content of doc with what the RTF bytes hold. Never throws, never hangs;
// damaged input loads as much as can be read. Returns false only when bytes is not RTF at all
// (does not start with "{\rtf"); the document is then left unchanged.
bool ReadRtf(const QByteArray& bytes, QTextDocument& doc);
