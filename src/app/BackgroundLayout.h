#pragma once

#include <QObject>
#include <QPointer>

class QAbstractTextDocumentLayout;
class QTextDocument;

// Lays a long document out while the program has nothing else to do, in slices short enough
// that a key or a scroll never waits long for one.
//
// A QTextEdit shown with a whole new document lays out only its first screen and leaves the rest
// to a timer of the document's layout. That timer takes ever larger steps (up to 200,000
// characters, tens of milliseconds each), so the editor would stutter for the first seconds after
// a long document opens. This object stands in for those steps: each tick of the layout's timer
// lays out only what fits into a few milliseconds. When it can find nothing to lay out, the tick
// goes through to the layout, which then finishes as it always would.
class TBackgroundLayout : public QObject
{
    Q_OBJECT
public:
    explicit TBackgroundLayout(QObject* parent = nullptr);

    // Follows document from now on (the one an editor has just been given, with its layout).
    void follow(QTextDocument* document);
    // The document is laid out to its last paragraph.
    bool finished() const;

    // How long one slice may run.
    static constexpr qint64 SliceNanoseconds = 4'000'000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isSteppingTimer(int timerId) const;
    // Lays out paragraphs from the first one not laid out yet; false when there was none.
    bool layOutSlice();

    QPointer<QTextDocument> document;
    QPointer<QAbstractTextDocumentLayout> layout;
    int frontier = 0; // everything before this position is laid out
};
