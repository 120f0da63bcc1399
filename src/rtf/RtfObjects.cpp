#include "rtf/RtfObjects.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QImageReader>
#include <QTextCharFormat>
#include <QtEndian>

#include <algorithm>

namespace rtf {

QTextCharFormat keptObjectFormat(const TKeptObject& object)
{
    QTextCharFormat format;
    format.setObjectType(KeptObjectType);
    format.setProperty(KeptGroup, object.group);
    format.setProperty(KeptKindProperty, int(object.kind));
    if (!object.detail.isEmpty())
        format.setProperty(KeptDetail, object.detail);
    format.setProperty(KeptWidth, object.size.width());
    format.setProperty(KeptHeight, object.size.height());
    if (!object.preview.isEmpty()) {
        format.setProperty(KeptPreview, object.preview);
        format.setProperty(KeptPreviewKey, pictureName(object.preview));
    }
    return format;
}

bool isKeptObject(const QTextFormat& format)
{
    return format.objectType() == KeptObjectType;
}

QString keptObjectLabel(const QTextFormat& format)
{
    const QString detail = format.stringProperty(KeptDetail);
    switch (TKeptKind(format.intProperty(KeptKindProperty))) {
    case TKeptKind::WindowsMetafile:
        return QCoreApplication::translate("rtf", "Windows metafile");
    case TKeptKind::EnhancedMetafile:
        return QCoreApplication::translate("rtf", "Enhanced metafile");
    case TKeptKind::MacPicture:
        return QCoreApplication::translate("rtf", "Macintosh picture");
    case TKeptKind::Os2Metafile:
        return QCoreApplication::translate("rtf", "OS/2 metafile");
    case TKeptKind::DeviceBitmap:
        return QCoreApplication::translate("rtf", "Device-dependent bitmap");
    case TKeptKind::OleObject:
        return detail.isEmpty()
                   ? QCoreApplication::translate("rtf", "Embedded object")
                   : QCoreApplication::translate("rtf", "Embedded object (%1)").arg(detail);
    case TKeptKind::DrawingShape:
        return QCoreApplication::translate("rtf", "Drawing");
    case TKeptKind::Picture:
        break;
    }
    return QCoreApplication::translate("rtf", "Picture");
}

QString pictureName(const QByteArray& encoded)
{
    return QString::fromLatin1(PictureScheme) + u':' +
           QString::fromLatin1(QCryptographicHash::hash(encoded, QCryptographicHash::Sha1).toHex());
}

QSize encodedPictureSize(const QByteArray& encoded, const char* format)
{
    QByteArray bytes = encoded;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (!reader.canRead())
        return {};
    // A bitmap stored top-down reports a negative height.
    const QSize size = reader.size();
    return QSize(std::abs(size.width()), std::abs(size.height()));
}

namespace {

quint32 le32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

void appendLe32(QByteArray& out, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    out.append(buffer, 4);
}

void appendLe16(QByteArray& out, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    out.append(buffer, 2);
}

QByteArray fileHeader(qsizetype fileSize, qsizetype bitsOffset)
{
    QByteArray header("BM");
    appendLe32(header, quint32(fileSize));
    appendLe32(header, 0);
    appendLe32(header, quint32(bitsOffset));
    return header;
}

} // namespace

QByteArray bitmapFileFromDib(const QByteArray& dib)
{
    if (dib.size() < 12)
        return {};
    const quint32 headerSize = le32(dib, 0);
    qsizetype paletteBytes = 0;
    if (headerSize == 12) {
        // The OS/2 header: three bytes per colour.
        const int bitCount = le16(dib, 10);
        if (bitCount <= 8)
            paletteBytes = qsizetype(3) << bitCount;
    } else if (headerSize >= 40 && dib.size() >= 40) {
        const int bitCount = le16(dib, 14);
        const quint32 compression = le32(dib, 16);
        const quint32 used = le32(dib, 32);
        qsizetype colours = used;
        if (colours == 0 && bitCount <= 8)
            colours = qsizetype(1) << bitCount;
        if (colours > 256 && bitCount <= 8)
            return {};
        if (colours > 65536)
            return {};
        paletteBytes = colours * 4;
        // The colour masks of BI_BITFIELDS and BI_ALPHABITFIELDS follow a short header.
        if (headerSize == 40 && compression == 3)
            paletteBytes += 12;
        else if (headerSize == 40 && compression == 6)
            paletteBytes += 16;
    } else {
        return {};
    }
    const qsizetype bitsOffset = 14 + qsizetype(headerSize) + paletteBytes;
    if (bitsOffset > 14 + dib.size())
        return {};
    return fileHeader(14 + dib.size(), bitsOffset) + dib;
}

QByteArray bitmapFileFromDeviceBitmap(const QByteArray& bits, int width, int height, int widthBytes,
                                      int bitsPerPixel, int planes)
{
    if (planes > 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return {};
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768)
        return {};
    const qint64 rowBytes = (qint64(width) * bitsPerPixel + 7) / 8;
    if (widthBytes < rowBytes || qint64(widthBytes) * height > bits.size())
        return {};
    // Rows of a .bmp file are padded to four bytes; the device bitmap's are padded to two.
    const qint64 stride = (rowBytes + 3) & ~qint64(3);
    if (stride * height > (qint64(1) << 28))
        return {};
    const qsizetype paletteBytes = bitsPerPixel == 1 ? 8 : 0;
    const qsizetype bitsOffset = 14 + 40 + paletteBytes;
    const qsizetype fileSize = bitsOffset + qsizetype(stride * height);

    QByteArray out = fileHeader(fileSize, bitsOffset);
    out.reserve(fileSize);
    appendLe32(out, 40);
    appendLe32(out, quint32(width));
    appendLe32(out, quint32(height));
    appendLe16(out, 1);
    appendLe16(out, quint16(bitsPerPixel));
    appendLe32(out, 0); // BI_RGB
    appendLe32(out, quint32(stride * height));
    appendLe32(out, 2835); // 72 dpi
    appendLe32(out, 2835);
    appendLe32(out, bitsPerPixel == 1 ? 2 : 0);
    appendLe32(out, 0);
    if (bitsPerPixel == 1) {
        appendLe32(out, 0x00000000); // 0 is black
        appendLe32(out, 0x00FFFFFF); // 1 is white
    }
    const QByteArray padding(int(stride - rowBytes), '\0');
    // The device bitmap runs top-down, a .bmp file bottom-up.
    for (int row = height - 1; row >= 0; --row) {
        out.append(bits.constData() + qsizetype(row) * widthBytes, qsizetype(rowBytes));
        out.append(padding);
    }
    return out;
}

} // namespace rtf
