#pragma once

#include "spell/Dictionaries.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ostream>
#include <vector>

struct TWordSpan;

void PrintTo(const QString& s, std::ostream* os);
void PrintTo(const TWordSpan& span, std::ostream* os);

// Tiny dictionaries of our own, written into a temporary folder, so that verdicts and
// suggestions never depend on what the machine has installed:
//   en_XX (UTF-8): hello, world, spelling, don't, well, known, check, the, words (+s forms)
//   de_XX (UTF-8): Kaffee, Straße, gut, Wort, Haus
//   fr_XX (ISO8859-1): café, été, oui, mot
class TinyDictionaries
{
public:
    TinyDictionaries();
    QString dir() const { return m_dir.path(); }
    TDictionaryInfo info(const QString& code) const;
    std::vector<TDictionaryInfo> infos(const QStringList& codes) const;
    // Writes code.aff and code.dic with these bytes.
    void write(const QString& code, const QByteArray& aff, const QByteArray& dic) const;

private:
    QTemporaryDir m_dir;
};

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
