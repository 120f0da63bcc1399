#pragma once

#include <QByteArray>
#include <QString>
#include <QTextCharFormat>
#include <QTextDocument>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace rtftest {

// A document loaded from RTF text given as a C string.
std::unique_ptr<QTextDocument> read(const QByteArray& rtf);

// Block texts joined with '|' (tables included, in document order).
QString blocks(const QTextDocument& doc);

// The character format of the first character of the first occurrence of needle.
QTextCharFormat formatAt(const QTextDocument& doc, const QString& needle);

QString family(const QTextCharFormat& format);

QByteArray sampleBytes(const QString& name);

} // namespace rtftest
