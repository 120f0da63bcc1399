#include "rtf/RtfObjectHandlers.h"

#include "rtf/RtfObjects.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCache>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMutex>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace rtf {

namespace {

// Decoded pictures kept for repainting: about three screens full of them. One picture larger
// than that still stays until the next one is decoded.
constexpr qsizetype DecodedCacheBytes = 48 << 20;

class TDecodedPictures
{
public:
    TDecodedPictures()
    {
        m_cache.setMaxCost(DecodedCacheBytes);
        m_decoder.setMaxThreadCount(1);
    }

    // The picture decoded at (at most) the given pixel size; a null image when the bytes are no
    // picture Qt can read.
    QImage get(const QString& name, const QByteArray& encoded, QSize pixels)
    {
        const QString key = keyOf(name, pixels);
        {
            QMutexLocker lock(&m_mutex);
            if (const QImage* cached = m_cache.object(key))
                return *cached;
        }
        const QImage image = decode(encoded, pixels);
        QMutexLocker lock(&m_mutex);
        keep(key, image);
        return image;
    }

    // The picture decoded, when it already is; otherwise a null image, and it is decoded on
    // another thread, once however often it is asked for meanwhile.
    QImage getSoon(const QString& name, const QByteArray& encoded, QSize pixels)
    {
        const QString key = keyOf(name, pixels);
        QMutexLocker lock(&m_mutex);
        if (const QImage* cached = m_cache.object(key))
            return *cached;
        if (!m_decoding.contains(key)) {
            m_decoding.insert(key);
            m_decoder.start([this, key, encoded, pixels] {
                const QImage image = decode(encoded, pixels);
                QMutexLocker lock(&m_mutex);
                keep(key, image);
                m_decoding.remove(key);
            });
        }
        return {};
    }

    bool decoding(const QString& name, QSize pixels)
    {
        QMutexLocker lock(&m_mutex);
        return m_decoding.contains(keyOf(name, pixels));
    }

    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_cache.clear();
    }

private:
    static QString keyOf(const QString& name, QSize pixels)
    {
        return name + u'@' + QString::number(pixels.width()) + u'x' +
               QString::number(pixels.height());
    }
    // With the mutex held.
    void keep(const QString& key, const QImage& image)
    {
        const qsizetype cost = std::max<qsizetype>(image.sizeInBytes(), 1);
        m_cache.setMaxCost(std::max(DecodedCacheBytes, cost));
        m_cache.insert(key, new QImage(image), cost);
    }

    static QImage decode(const QByteArray& encoded, QSize pixels)
    {
        QByteArray bytes = encoded;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize native = encodedPictureSize(encoded);
        // Photos are decoded at the size shown (JPEG does it while decoding), never larger
        // than they are.
        if (native.isValid() && pixels.isValid() && !pixels.isEmpty() &&
            (pixels.width() < native.width() || pixels.height() < native.height()))
            reader.setScaledSize(native.scaled(pixels, Qt::KeepAspectRatio).expandedTo({1, 1}));
        return reader.read();
    }

    QMutex m_mutex;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_decoding;
    // One picture at a time, leaving the other processors to the program. Last, so that it is
    // gone (its work done) before what that work fills.
    QThreadPool m_decoder;
};

TDecodedPictures& decodedPictures()
{
    static TDecodedPictures pictures;
    return pictures;
}

// Sizes in the text are points; the layout counts in its device's pixels.
qreal pixelsPerPoint(const QTextDocument* doc)
{
    qreal dpi = 96;
    if (const QPaintDevice* device = doc->documentLayout()->paintDevice())
        dpi = device->logicalDpiY();
    else if (const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr)
        dpi = screen->logicalDotsPerInchY();
    return dpi / 72.0;
}

// The pixels the rectangle covers on the painter's device.
QSize devicePixels(const QPainter* painter, const QRectF& rect)
{
    const QRectF mapped = painter->transform().mapRect(rect);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    return QSize(std::max(1, int(std::ceil(mapped.width() * ratio))),
                 std::max(1, int(std::ceil(mapped.height() * ratio))));
}

void drawPlaceholder(QPainter* painter, const QRectF& rect, const QTextDocument* doc,
                     const QString& label)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    QPen border(QColor(128, 128, 128));
    border.setStyle(Qt::DashLine);
    border.setWidthF(std::max(1.0, rect.height() / 200));
    painter->setPen(border);
    painter->setBrush(QColor(240, 240, 240));
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    const qreal ppp = pixelsPerPoint(doc);
    QFont font = doc->defaultFont();
    const qreal pixelSize = std::min(rect.height() * 0.4, 10 * ppp);
    if (pixelSize >= 4 && rect.width() > 3 * pixelSize) {
        font.setPixelSize(int(pixelSize));
        font.setBold(false);
        font.setItalic(false);
        painter->setFont(font);
        painter->setPen(QColor(80, 80, 80));
        const QRectF inner = rect.adjusted(pixelSize / 2, 0, -pixelSize / 2, 0);
        const QString text =
            QFontMetricsF(font, painter->device()).elidedText(label, Qt::ElideRight, inner.width());
        painter->drawText(inner, Qt::AlignCenter, text);
    }
    painter->restore();
}

// Looks a few times a second on context's thread whether the picture is decoded: the thread
// that decodes it never has to reach over to another's objects.
void whenDecoded(const QString& key, QSize pixels, QObject* context, std::function<void()> ready)
{
    QTimer::singleShot(15, context, [key, pixels, context, ready] {
        if (decodedPictures().decoding(key, pixels))
            whenDecoded(key, pixels, context, ready);
        else
            ready();
    });
}

// Pictures this large (encoded) are decoded aside when drawn on screen.
constexpr qsizetype DecodeAsideBytes = 256 * 1024;

// The editor's own window, not a printer, a PDF or a picture being made of the page.
bool onScreen(const QPainter* painter)
{
    return painter->device() && painter->device()->devType() == QInternal::Widget;
}

void drawPicture(QPainter* painter, const QRectF& rect, const QImage& image)
{
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(rect, image);
    painter->restore();
}

} // namespace

void ClearDecodedPictures()
{
    decodedPictures().clear();
}

QImage DecodedPictureSoon(const QString& key, const QByteArray& encoded, QSize pixels,
                          QObject* context, std::function<void()> ready)
{
    const QImage image = decodedPictures().getSoon(key, encoded, pixels);
    if (image.isNull() && decodedPictures().decoding(key, pixels))
        whenDecoded(key, pixels, context, std::move(ready));
    return image;
}

QSizeF TPictureHandler::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format)
{
    const QTextImageFormat image = format.toImageFormat();
    qreal width = image.hasProperty(QTextFormat::ImageWidth) ? image.width() : 0;
    qreal height = image.hasProperty(QTextFormat::ImageHeight) ? image.height() : 0;
    if (width <= 0 || height <= 0) {
        // Without a size of its own a picture shows at its pixel size at 96 dpi.
        QSizeF natural;
        const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(image.name()));
        if (resource.userType() == QMetaType::QByteArray)
            natural = QSizeF(encodedPictureSize(resource.toByteArray())) * 0.75;
        else if (resource.userType() == QMetaType::QImage)
            natural = QSizeF(resource.value<QImage>().size()) * 0.75;
        else if (resource.userType() == QMetaType::QPixmap)
            natural = QSizeF(resource.value<QPixmap>().size()) * 0.75;
        if (natural.isEmpty())
            natural = QSizeF(12, 12);
        if (width <= 0 && height <= 0) {
            width = natural.width();
            height = natural.height();
        } else if (width <= 0) {
            width = height * natural.width() / natural.height();
        } else {
            height = width * natural.height() / natural.width();
        }
    }
    return QSizeF(width, height) * pixelsPerPoint(doc);
}

void TPictureHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                                 const QTextFormat& format)
{
    const QString name = format.toImageFormat().name();
    const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.userType() == QMetaType::QByteArray) {
        const QByteArray encoded = resource.toByteArray();
        // Pictures read from files are named by their content; any other name is not known to
        // stand for the same picture in every document.
        const QString key =
            name.startsWith(QLatin1StringView(PictureScheme) + u':') ? name : pictureName(encoded);
        const QSize pixels = devicePixels(painter, rect);
        if (onScreen(painter) && encoded.size() >= DecodeAsideBytes) {
            // A photo takes tens of milliseconds to decode: the screen is not held up for it.
            // The picture is drawn once it is decoded; until then its place is only shaded.
            QAbstractTextDocumentLayout* layout = doc->documentLayout();
            image = DecodedPictureSoon(key, encoded, pixels, layout,
                                       [layout] { emit layout->update(); });
            if (image.isNull()) {
                painter->fillRect(rect, QColor(240, 240, 240));
                return;
            }
        } else {
            image = decodedPictures().get(key, encoded, pixels);
        }
    } else if (resource.userType() == QMetaType::QImage) {
        image = resource.value<QImage>();
    } else if (resource.userType() == QMetaType::QPixmap) {
        painter->drawPixmap(rect, resource.value<QPixmap>(), QRectF());
        return;
    }
    if (image.isNull())
        drawPlaceholder(painter, rect, doc, keptObjectLabel(QTextFormat()));
    else
        drawPicture(painter, rect, image);
}

QSizeF TKeptObjectHandler::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format)
{
    const QSizeF points(std::max(format.doubleProperty(KeptWidth), 1.0),
                        std::max(format.doubleProperty(KeptHeight), 1.0));
    return points * pixelsPerPoint(doc);
}

void TKeptObjectHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                                    const QTextFormat& format)
{
    const QByteArray preview = format.property(KeptPreview).toByteArray();
    if (!preview.isEmpty()) {
        const QImage image = decodedPictures().get(format.stringProperty(KeptPreviewKey), preview,
                                                   devicePixels(painter, rect));
        if (!image.isNull()) {
            drawPicture(painter, rect, image);
            return;
        }
    }
    drawPlaceholder(painter, rect, doc, keptObjectLabel(format));
}

bool HasObjectHandlers(const QTextDocument& doc)
{
    return dynamic_cast<TKeptObjectHandler*>(
               doc.documentLayout()->handlerForObject(KeptObjectType)) != nullptr;
}

void InstallObjectHandlers(QTextDocument& doc)
{
    if (HasObjectHandlers(doc))
        return;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    layout->registerHandler(QTextFormat::ImageObject, new TPictureHandler(layout));
    layout->registerHandler(KeptObjectType, new TKeptObjectHandler(layout));
    // A document laid out before has its objects at the old handlers' sizes; only their lines
    // are laid out again.
    if (!doc.pageSize().isValid())
        return;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().objectType() != QTextFormat::NoObject)
                doc.markContentsDirty(fragment.position(), fragment.length());
        }
    }
}

} // namespace rtf
