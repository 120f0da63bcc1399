#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text the index holds for a document: what the editor would show, without its formatting.
// Safe in any thread.
struct TDocumentText
{
    bool readable = false;
    QString text;
    QString problem; // why it is not readable
};

// The plain text of a document's bytes, read as the editor reads them; nullopt when the editor
// could not read them either.
std::optional<QString> DocumentPlainText(const QByteArray& bytes);

TDocumentText ReadDocumentText(const QString& path);
