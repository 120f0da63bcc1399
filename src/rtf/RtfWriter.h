#pragma once

#include <QByteArray>

class QTextDocument;

// The whole document as RTF in the style of the Windows rich-edit control, so that the files
// open the same in WordPad, Word, LibreOffice and pandoc. Units as described in RtfReader.h.
QByteArray WriteRtf(const QTextDocument& doc);
