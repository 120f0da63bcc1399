#pragma once

#include <QRect>
#include <QSizeF>
#include <QTextBlock>

#include <memory>

class QPaintDevice;
class QPainter;
class QTextDocument;
class QTextImageFormat;

// The editor's own text layout run over a device's metrics: a private copy of the document is
// laid out as one long column as wide as the body, and pages are cut from it at line bounds.
class TTextFormatter
{
public:
    TTextFormatter(const QTextDocument& source, QPaintDevice& device);
    ~TTextFormatter();
    TTextFormatter(const TTextFormatter&) = delete;
    TTextFormatter& operator=(const TTextFormatter&) = delete;

    // Characters a caret can pass over: every paragraph break counts as one.
    int textLength() const;

    // Lays the text out from the line holding `first` into `area` (twips), up to and including
    // the line that holds `last` (-1: to the end). With a painter the lines are drawn with the
    // area's corner at the painter's current origin; without one they are only measured.
    // Returns the first position that was not laid out, or -1 when everything up to `last` was;
    // `area`'s bottom is moved to the bottom of the text laid out.
    //
    // A line taller than the whole area first has its pictures made small enough to fit,
    // keeping their proportions. A line still too tall (a huge font) is cut across areas when
    // `lineOffset` is given: on entry it says how many twips of the first line earlier areas
    // took, and on return how many twips of the line holding the returned position are taken
    // now (0: the next area starts at the top of a line). Without it, such a line does not fit.
    int formatRange(QPainter* painter, int first, int last, QRect& area, int* lineOffset = nullptr);

    // The position of the last character on the laid-out line holding `position`.
    int lastCharOfLine(int position) const;

    // Drops the layout so that the next call lays the text out afresh.
    void clearCache();

private:
    // The lines laid out by one call, in the layout's pixels.
    struct TBand
    {
        QTextBlock TopBlock; // holds the first line
        int TopLine = 0;
        int TopBlockLines = 0; // lines of TopBlock inside the band
        double Top = 0;
        double Bottom = 0;
    };

    void ensureWidth(double widthPx);
    void drawBand(QPainter& painter, const TBand& band);
    // Makes every picture wider than the body as wide as the body.
    void fitPicturesToWidth(double widthPx);
    // Makes the pictures on the line small enough for the line to be heightPx high at most.
    // False when there was no picture to make smaller.
    bool fitPicturesToHeight(const QTextBlock& block, int lineIndex, double heightPx);
    // Scales the picture at position to size × factor, size being its laid-out size.
    void scalePicture(int position, const QTextImageFormat& format, QSizeF size, double factor);

    const QTextDocument& m_source;
    QPaintDevice& m_device;
    std::unique_ptr<QTextDocument> m_document;
    double m_widthPx = -1;
};
