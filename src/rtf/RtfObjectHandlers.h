#pragma once

#include <QImage>
#include <QObject>
#include <QTextObjectInterface>

#include <functional>

class QTextDocument;

namespace rtf {

// Puts on the document's layout the drawing of pictures and of objects kept from RTF files.
// Pictures are decoded when first drawn, at the size they are drawn, and a few are kept
// decoded; their sizes in the text (points) are turned into the layout's device pixels. A
// kept object shows the picture the file gave for it, or a box of its size saying what it is.
// Documents are read without a layout; whoever lays one out (the editor, printing) calls this
// first. Calling it again does nothing.
void InstallObjectHandlers(QTextDocument& doc);
bool HasObjectHandlers(const QTextDocument& doc);

// Forgets every decoded picture (they are decoded again when drawn).
void ClearDecodedPictures();

// The picture of key decoded at (at most) pixels, when it already is; otherwise a null image,
// and it is decoded on another thread, once however often it is asked for meanwhile; ready then
// runs on context's thread, unless context is gone by then. Large pictures drawn on screen go
// this way, so that scrolling to a photo never waits for it.
QImage DecodedPictureSoon(const QString& key, const QByteArray& encoded, QSize pixels,
                          QObject* context, std::function<void()> ready);

class TPictureHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;
};

class TKeptObjectHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;
};

} // namespace rtf
