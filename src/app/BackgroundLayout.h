#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPointer>

class QAbstractTextDocumentLayout;
class QTextBlock;
class QTextDocument;
class QTextEdit;
class TFlowLayout;

// Lays the rest of a long document out while the program has nothing else to do, in slices
// short enough that a key or a scroll never waits long for one.
//
// An editor given a whole new document lays out only its first screen and leaves the rest to a
// timer of the document's layout. That timer takes ever larger steps (up to 200,000 characters,
// tens of milliseconds each), so the editor would stutter for the first seconds after a long
// document opens. This object stands in for those steps with slices of a few milliseconds.
//
// A document shown through the editor's own layout (TFlowLayout) has estimated heights for the
// paragraphs not laid out yet; the slices turn them into real ones from the top down, and the
// paragraph at the top of the view stays where it is meanwhile.
//
// With Qt's layout it also mends what that layout gets wrong while a run is under way:
// - an edit made before the run is through ends it as if it were, leaving the paragraphs below
//   never laid out (they would not show, and the scroll bar would end where the run stopped).
//   The run then starts afresh, and the view keeps its place.
// - a paragraph not laid out sits at the very top with no height, so a click between two
//   paragraphs or in the margin was taken for one below all others: the caret went to the end
//   of the document, which was laid out whole on the spot. Such paragraphs are parked far
//   below everything until they are laid out.
class TBackgroundLayout : public QObject
{
    Q_OBJECT
public:
    explicit TBackgroundLayout(QTextEdit* editor);

    // Follows document from now on (the one the editor has just been given).
    void follow(QTextDocument* document);
    // The document is laid out to its last paragraph.
    bool finished() const;

    // How long one slice may run.
    static constexpr qint64 SliceNanoseconds = 4'000'000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    bool isSteppingTimer(int timerId) const;
    // The layout's own run is under way (its stepping timer is set).
    bool runUnderWay() const;
    QTextBlock firstBlockNotLaidOut() const;
    void startSlices();
    void layOutSlice();
    void restartRun();
    void parkFrom(QTextBlock block);
    // A slice of a flow layout's work; the paragraph at the top of the view stays where it is
    // while the heights above it turn from estimates into what they are.
    void layOutFlowSlice(TFlowLayout& flow);

    QTextEdit* editor;
    QPointer<QTextDocument> document;
    QPointer<QAbstractTextDocumentLayout> layout;
    QBasicTimer slices;
    int frontier = 0; // the first paragraph not laid out at the last slice
};
