#pragma once

#include "spell/WordSplitter.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTimer>

#include <chrono>
#include <functional>
#include <utility>

class TSpellChecker;

// Marks misspelled words of one document with a red wavy underline as the user types.
//
// The marks live in the paragraphs' layouts, never in the document's character formats, so they
// can reach neither a saved file nor a printout. A whole document is never checked in one go:
// a change the size of typing is checked at once, a large one (a document loaded, a big paste)
// when the program is idle, in short slices, the paragraphs on screen first.
//
// Laying a paragraph out again after its marks changed makes the view reposition every
// paragraph below it, which in a document of 100,000 paragraphs costs as much as typing a key.
// So marks are laid out only near the view (a screen above it, two below), all of a slice's in
// one go, and the rest when they scroll into view; the check itself covers the whole document.
class TSpellHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Installs itself on document, as its child, so it goes with the document. Nothing is
    // checked before setActive(true).
    TSpellHighlighter(QTextDocument* document, const TSpellChecker& checker);

    // The first and last character positions on screen, or -1 for a document not shown.
    // Without it the whole document counts as on screen.
    using VisibleRange = std::function<std::pair<int, int>()>;
    void setVisibleRange(VisibleRange range);
    // Where the caret is: the word being typed there is not marked until the caret leaves it.
    void setCaret(std::function<int()> caret);

    // On: starts checking (anything not checked yet, or checked with other dictionaries).
    // Off: stops, and takes the marks away (those out of view when they come into view).
    void setActive(bool active);
    bool isActive() const { return m_active; }

    // The checker's dictionaries changed.
    void recheckAll();
    // word is right now (added to the dictionary or ignored): the paragraphs where it was
    // marked are checked again at once.
    void recheckWord(const QString& word);
    // The view scrolled or changed size: what came into view is checked and marked next.
    void visibleAreaChanged();
    // The caret moved: a word held back while being typed gets its mark once the caret left it.
    void caretMoved();

    // Work is waiting for an idle moment.
    bool hasPendingWork() const;
    // One slice of the idle work: the paragraphs near the view (however long they take), then
    // the others until budget is spent. Tests and benchmarks drive it directly.
    void runSlice(std::chrono::milliseconds budget);
    // Every slice until nothing is left (tests).
    void finishPendingWork();

    // The misspelled words of block as last checked; nullptr when it was not checked since it
    // last changed, or with other dictionaries.
    const std::vector<TWordSpan>* misspellingsOf(const QTextBlock& block) const;
    // Paragraphs checked so far (benchmarks, tests).
    qint64 checkedParagraphs() const { return m_checkedParagraphs; }
    // Paragraphs whose marks were laid out anew so far (tests).
    qint64 drawnParagraphs() const { return m_drawnParagraphs; }

    // The mark: a red wavy underline.
    static QTextCharFormat markFormat();

protected:
    void highlightBlock(const QString& text) override;
    bool event(QEvent* event) override;

private:
    void onContentsChange(int from, int removed, int added);
    bool isCurrent(const QTextBlock& block) const;
    void checkBlock(const QTextBlock& block);
    std::vector<TWordSpan> wantedMarks(const QTextBlock& block) const;
    bool needsDrawing(const QTextBlock& block) const;
    void drawBlocks(const std::vector<QTextBlock>& blocks);
    void drawNearView();
    std::pair<QTextBlock, QTextBlock> nearView() const;
    void startSweep();
    void scheduleSlice();

    const TSpellChecker& m_checker;
    QTextCharFormat m_format;
    VisibleRange m_visibleRange;
    std::function<int()> m_caret;
    QTimer m_sliceTimer;
    bool m_active = false;
    bool m_drawing = false;
    // QSyntaxHighlighter queues a pass over every paragraph when it is put on a document that
    // has text; that pass is what this class exists to avoid.
    bool m_dropQueuedPass = false;
    // Idle work: the paragraphs near the view, then a round through all of them from there.
    bool m_viewPending = false;
    int m_sweepNext = 0; // -1: from the view
    int m_sweepLeft = 0;
    // Where the word being typed ends, kept unmarked while the caret stays there; -1 for
    // none. A position and not a cursor: the document announces some changes (its clear())
    // while it holds its cursors aside, and a cursor made or dropped then is never forgotten.
    int m_heldBack = -1;
    qint64 m_checkedParagraphs = 0;
    qint64 m_drawnParagraphs = 0;
};
