#pragma once

#include <QByteArray>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QTextFormat>

class QTextCharFormat;

namespace rtf {

// Pictures and objects this program cannot show (metafiles, OLE objects, drawing shapes) stay
// in the document as one inline object each. Its format holds the original RTF group, braces
// included, which the writer puts back byte for byte, and the size it takes in the text.
inline constexpr int KeptObjectType = QTextFormat::UserObject + 0x52;

enum TObjectProperty {
    // QByteArray: the original group ({\pict...}, {\object...}, {\shp...}, {\do...}).
    KeptGroup = QTextFormat::UserProperty + 0x5200,
    // int: a TKeptKind.
    KeptKindProperty,
    // QString: what the file says the object is, e.g. the class of an OLE object.
    KeptDetail,
    // qreal, points.
    KeptWidth,
    KeptHeight,
    // QByteArray: a picture the file gives for showing the object (an OLE object's result, a
    // shape's picture) in a format Qt reads; empty when there is none.
    KeptPreview,
    // QString: a name for KeptPreview that is the same wherever the same bytes are.
    KeptPreviewKey,
    // On an image: the original {\pict} group of a picture whose RTF form is not PNG or JPEG
    // (device-independent and device bitmaps), written back instead of a new encoding.
    PictureGroup,
    // On a block: int, the level (from 1) of a list without markers the paragraph is in, as
    // LibreOffice puts its headings into the outline. The paragraph shows as any other.
    UnmarkedListLevel,
    // On characters: QStringList {family, name}: the font's name in the file's font table where
    // it differs from the family shown ({\*\fname}), kept while the family stays the same.
    FontTableName,
};

enum class TKeptKind {
    Picture,
    WindowsMetafile,
    EnhancedMetafile,
    MacPicture,
    Os2Metafile,
    DeviceBitmap,
    OleObject,
    DrawingShape,
};

struct TKeptObject
{
    QByteArray group;
    TKeptKind kind = TKeptKind::Picture;
    QString detail;
    QSizeF size; // points
    QByteArray preview;
};

QTextCharFormat keptObjectFormat(const TKeptObject& object);
bool isKeptObject(const QTextFormat& format);
// What the placeholder says, e.g. "Windows metafile" or "Embedded object (Paint.Picture)".
QString keptObjectLabel(const QTextFormat& format);

// The name under which a picture's bytes are kept: the same for the same bytes, so that
// pictures copied between documents never meet a different picture of the same name.
QString pictureName(const QByteArray& encoded);
inline constexpr char PictureScheme[] = "rtfimage";

// The pixel size an encoded picture says it has, read from its header alone; invalid when Qt
// cannot read the picture. A format (e.g. "png") makes the bytes count only in that format.
QSize encodedPictureSize(const QByteArray& encoded, const char* format = nullptr);

// A device-independent bitmap (BITMAPINFO followed by the bits) as a .bmp file, which Qt
// reads; empty when the header is damaged.
QByteArray bitmapFileFromDib(const QByteArray& dib);

// A device-dependent bitmap holds bare rows of pixels without colours of its own; only
// monochrome (black and white) and direct-colour (24 and 32 bits) ones can be shown honestly.
// Returns a .bmp file, or nothing when the bitmap is not one of those or its data is short.
QByteArray bitmapFileFromDeviceBitmap(const QByteArray& bits, int width, int height, int widthBytes,
                                      int bitsPerPixel, int planes);

} // namespace rtf
