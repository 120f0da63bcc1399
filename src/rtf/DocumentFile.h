#pragma once

#include <QByteArray>

class QTextDocument;
struct TRtfReadReport;

enum class TDocumentFormat { Rtf, PlainText, Unreadable };

// The file-load rule: RTF when the bytes start with "{\rtf"; otherwise plain text (UTF-8 when
// valid UTF-8, else Windows-1252; UTF-16 with a byte-order mark as well); Unreadable when the
// bytes hold NUL or other control bytes no text file has. On Unreadable the document is left
// unchanged, so the caller can report the file and write nothing over it. The report, when
// given, says what of an RTF file the document could not take (see RtfReader.h); it is
// emptied for text files.
TDocumentFormat LoadDocumentBytes(const QByteArray& bytes, QTextDocument& doc,
                                  TRtfReadReport* report = nullptr);
