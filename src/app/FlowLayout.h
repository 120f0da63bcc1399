#pragma once

#include <QAbstractTextDocumentLayout>
#include <QBasicTimer>
#include <QHash>
#include <QTextBlock>

class QTextBlockFormat;

// The editor's layout of a document that is one flow of paragraphs (no tables, no frames):
// it lays out only the paragraphs someone looks at and gives every other one an estimated
// height, so that a far jump (Ctrl+End, a find, a Replace All that ends at the bottom) in a
// document of megabytes lays out a screen, not the megabytes above it.
//
// A paragraph laid out here is laid out exactly as Qt's own layout lays it out (the same
// lines, positions, margins, list markers); only the heights of paragraphs nobody has looked
// at yet are guesses, and the background layout replaces them one slice at a time.
//
// The height of every paragraph lives in the document's block tree (the field Qt keeps for
// line counts), in 1/64 pixels, so that the top of any paragraph and the paragraph at any
// height are found in logarithmic time and stay right through every edit.
class TFlowLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT
public:
    explicit TFlowLayout(QTextDocument* document);

    // The document is a flow of paragraphs this layout can show.
    static bool canShow(const QTextDocument& document);
    // Gives document this layout if it can show it and has no layout yet (taking a layout
    // away later would throw every paragraph's layout and data away). Returns the layout, or
    // nullptr when the document keeps Qt's own.
    static TFlowLayout* installOn(QTextDocument& document);
    // The document's layout if it is this one.
    static TFlowLayout* of(const QTextDocument& document);
    // Hands document, shown by this layout until now, to Qt's own layout.
    static void giveUp(QTextDocument& document);
    // The paragraph is laid out, by this layout or Qt's (asking creates no layout object).
    static bool isLaidOut(const QTextBlock& block);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    // With the estimated heights of the paragraphs not laid out yet.
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    // Lays the paragraph out, and the paragraphs around it within the neighbourhood.
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    // How far above and below a paragraph laid out on demand the paragraphs are laid out too:
    // a screen's height, so that the screen shown after a jump needs nothing more.
    void setNeighbourhood(qreal pixels);
    // Lays out paragraphs not laid out yet, from the first such, until the time is up; true
    // when every paragraph is laid out.
    bool layOutFor(qint64 nanoseconds);
    void layOutWhole();
    bool laidOutWhole() const;

signals:
    // A table or a frame came into the document: Qt's own layout has to take over.
    void cannotShowDocument();

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    void timerEvent(QTimerEvent* event) override;

private:
    struct Metrics
    {
        qreal averageCharWidth = 0;
        int lineHeight = 0; // 1/64 pixels
    };

    qreal scale() const;
    void takeFrame();
    int gapBetween(qreal bottomMarginAbove, qreal topMargin) const;
    int gapAbove(const QTextBlock& block, const QTextBlockFormat& format) const;
    int blockIndent(const QTextBlockFormat& format) const;

    // The top of the paragraph's extent (its gap above included), from the top of the document.
    int extentTop(const QTextBlock& block) const;
    QTextBlock blockAtY(int y) const;
    void setExtent(const QTextBlock& block, int height) const;
    int estimate(const QTextBlock& block, int gap) const;
    const Metrics& metricsOf(int charFormatIndex) const;
    // Lays the paragraph out exactly and records its height.
    void layOut(const QTextBlock& block) const;
    void place(const QTextBlock& block) const;
    // Where the lines of a placed paragraph stand.
    QRectF textRect(const QTextBlock& block) const;
    void layOutAround(const QTextBlock& block) const;
    void estimateAll(bool keepHeights);
    void sizeChanged() const;

    void drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                   const QRectF& clip) const;
    void drawListMarker(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                        const QTextCharFormat* selectionFormat) const;
    int hitTestBlock(const QTextBlock& block, const QPointF& point, Qt::HitTestAccuracy accuracy,
                     bool* exact) const;

    struct Frame
    {
        int top = 0, bottom = 0, left = 0, right = 0; // 1/64 pixels
        qreal leftMargin = 0, rightMargin = 0, rightEdge = 0;
    };

    Frame frame;
    qreal neighbourhood = 1200;
    qreal laidWidth = -1;
    mutable qreal widestLine = 0;
    mutable QHash<int, Metrics> metrics;
    mutable bool drawing = false;
    mutable QBasicTimer sizeTimer;
    mutable QSizeF reportedSize;
    mutable int firstNotLaidOut = 0; // a block number below which every paragraph is laid out
};
