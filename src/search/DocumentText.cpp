#include "search/DocumentText.h"

#include "rtf/DocumentFile.h"

#include <QFile>
#include <QTextDocument>

std::optional<QString> DocumentPlainText(const QByteArray& bytes)
{
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    if (LoadDocumentBytes(bytes, doc) == TDocumentFormat::Unreadable)
        return std::nullopt;
    return doc.toPlainText();
}

TDocumentText ReadDocumentText(const QString& path)
{
    TDocumentText result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.problem = file.errorString();
        return result;
    }
    std::optional<QString> text = DocumentPlainText(bytes);
    if (!text) {
        result.problem = QStringLiteral("neither RTF nor text");
        return result;
    }
    result.readable = true;
    result.text = std::move(*text);
    return result;
}
