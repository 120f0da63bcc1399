#include "rtf/DocumentFile.h"

#include "rtf/RtfReader.h"
#include "rtf/TextDirection.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace {

// Text files hold tab, line feed, form feed and carriage return; every other C0 byte means
// the file is something else. DOS editors closed files with Ctrl+Z, which is tolerated last.
bool holdsForeignControlBytes(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\f' || byte == '\r' ||
            byte == 0x0B)
            continue;
        if (byte == 0x1A && i + 1 == bytes.size())
            continue;
        return true;
    }
    return false;
}

bool decodeStrict(QStringDecoder& decoder, QByteArrayView bytes, QString& text)
{
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

TDocumentFormat LoadDocumentBytes(const QByteArray& bytes, QTextDocument& doc,
                                  TRtfReadReport* report)
{
    if (ReadRtf(bytes, doc, report))
        return TDocumentFormat::Rtf;
    if (report)
        *report = {};

    QString text;
    QByteArrayView view(bytes);
    const bool utf16 = view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF");
    if (utf16) {
        // Notepad's "Unicode" files: NUL bytes here are half characters, not binary data.
        QStringDecoder decoder(view.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE);
        if (!decodeStrict(decoder, view.sliced(2), text))
            return TDocumentFormat::Unreadable;
        for (QChar c : std::as_const(text)) {
            if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f' &&
                c.unicode() != 0x0B)
                return TDocumentFormat::Unreadable;
        }
    } else {
        if (holdsForeignControlBytes(view))
            return TDocumentFormat::Unreadable;
        if (view.startsWith("\xEF\xBB\xBF"))
            view = view.sliced(3);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        if (!decodeStrict(utf8, view, text)) {
            QStringDecoder windows1252("windows-1252", QStringDecoder::Flag::Stateless);
            text = windows1252.decode(view);
        }
    }
    if (text.endsWith(QChar(0x1A)))
        text.chop(1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\f', u'\n');
    text.replace(QChar(0x0B), QChar(QChar::LineSeparator));

    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(text);
    if (report)
        report->rightToLeft = HoldsRightToLeft(text);
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return TDocumentFormat::PlainText;
}
