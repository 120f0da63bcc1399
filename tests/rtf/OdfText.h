#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What LibreOffice makes of a document, read from its flat ODF (.fodt) form: every character of
// the body in reading order, each with the formatting it shows. Paragraphs end in '\n'.
namespace odftest {

struct TCharLook
{
    QString font;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QString colour; // "#rrggbb"; empty for automatic (black counts as automatic)
    QString align;  // left, right, center, justify
    bool inList = false;
    bool operator==(const TCharLook&) const = default;
    QString describe() const;
};

struct TFlatText
{
    QString text;
    std::vector<TCharLook> looks; // one for each character of text
    int frames = 0;               // pictures and objects (draw:frame)
    QStringList frameSizes;       // "width x height" of each, as written
};

TFlatText flatten(const QByteArray& fodt);

struct TFidelity
{
    qsizetype characters = 0; // of the original, paragraph ends left out
    qsizetype sameText = 0;   // found again in the copy
    qsizetype sameLook = 0;   // found again and formatted the same
    QString firstDifference;  // for the report
    double textShare() const { return characters ? 100.0 * sameText / characters : 100; }
    double lookShare() const { return characters ? 100.0 * sameLook / characters : 100; }
};

// Lines the copy up with the original character by character (a shortest edit script where the
// texts differ) and counts what survived.
TFidelity compare(const TFlatText& original, const TFlatText& copy);

} // namespace odftest
