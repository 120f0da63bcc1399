#include "spell/SpellHighlighter.h"

#include "spell/SpellChecker.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace {

// What a paragraph's last check found, kept with the paragraph itself so that it follows the
// paragraph through edits elsewhere and goes when the paragraph goes.
class TSpellBlockData : public QTextBlockUserData
{
public:
    int revision = -1;   // the paragraph's revision when it was checked
    int length = -1;     // and its length, for changes inside one edit of several steps
    int generation = -1; // the checker's dictionaries then
    std::vector<TWordSpan> misspelled;
    std::vector<TWordSpan> drawn; // the marks the paragraph's layout carries
};

TSpellBlockData* dataOf(const QTextBlock& block)
{
    return dynamic_cast<TSpellBlockData*>(block.userData());
}

// Changes up to this size are checked at once; typing, a pasted sentence or two.
constexpr int MaxParagraphsChecked = 8;
constexpr int MaxCharactersChecked = 20000;
// An edit this small that leaves the caret right after it is typing.
constexpr int MaxTypedCharacters = 4;
constexpr auto SliceBudget = std::chrono::milliseconds(5);

} // namespace

TSpellHighlighter::TSpellHighlighter(QTextDocument* document, const TSpellChecker& checker)
    : QSyntaxHighlighter(document), m_checker(checker), m_format(markFormat())
{
    // The base class has just queued a pass over the whole document (when it has text) and
    // follows every change with a check of all paragraphs it touches, a loaded document being
    // one change. Neither is wanted: changes come here instead, and the queued pass is dropped.
    m_dropQueuedPass = !document->isEmpty();
    disconnect(document, SIGNAL(contentsChange(int, int, int)), this,
               SLOT(_q_reformatBlocks(int, int, int)));
    connect(document, &QTextDocument::contentsChange, this, &TSpellHighlighter::onContentsChange);
    // A document tells of its changes only once it has a layout; one that nobody shows yet
    // gets it now.
    document->documentLayout();
    m_sliceTimer.setSingleShot(true);
    connect(&m_sliceTimer, &QTimer::timeout, this, [this] { runSlice(SliceBudget); });
}

QTextCharFormat TSpellHighlighter::markFormat()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    format.setUnderlineColor(Qt::red);
    return format;
}

void TSpellHighlighter::setVisibleRange(VisibleRange range)
{
    m_visibleRange = std::move(range);
}

void TSpellHighlighter::setCaret(std::function<int()> caret)
{
    m_caret = std::move(caret);
}

bool TSpellHighlighter::event(QEvent* event)
{
    if (m_dropQueuedPass && event->type() == QEvent::MetaCall) {
        m_dropQueuedPass = false;
        return true;
    }
    return QSyntaxHighlighter::event(event);
}

std::pair<QTextBlock, QTextBlock> TSpellHighlighter::nearView() const
{
    QTextDocument* doc = document();
    if (!m_visibleRange)
        return {doc->begin(), doc->lastBlock()};
    const auto [firstPosition, lastPosition] = m_visibleRange();
    if (firstPosition < 0)
        return {}; // not on screen at all
    QTextBlock first = doc->findBlock(firstPosition);
    QTextBlock last = doc->findBlock(lastPosition);
    if (!first.isValid())
        first = doc->begin();
    if (!last.isValid())
        last = doc->lastBlock();
    // A screen above and two below: scrolling a little finds its marks already there.
    const int shown = std::max(1, last.blockNumber() - first.blockNumber() + 1);
    const int from = std::max(0, first.blockNumber() - shown);
    const int to = std::min(doc->blockCount() - 1, last.blockNumber() + 2 * shown);
    return {doc->findBlockByNumber(from), doc->findBlockByNumber(to)};
}

bool TSpellHighlighter::isCurrent(const QTextBlock& block) const
{
    const TSpellBlockData* data = dataOf(block);
    return data && data->generation == m_checker.generation() &&
           data->revision == block.revision() && data->length == block.length();
}

const std::vector<TWordSpan>* TSpellHighlighter::misspellingsOf(const QTextBlock& block) const
{
    return isCurrent(block) ? &dataOf(block)->misspelled : nullptr;
}

std::vector<TWordSpan> TSpellHighlighter::wantedMarks(const QTextBlock& block) const
{
    const TSpellBlockData* data = dataOf(block);
    if (!data || !m_active)
        return {};
    // Until it is checked again nothing better is known than what it shows.
    if (!isCurrent(block))
        return data->drawn;
    int heldBack = -1;
    if (m_heldBack >= 0 && block.contains(m_heldBack))
        heldBack = m_heldBack - block.position();
    std::vector<TWordSpan> marks;
    for (const TWordSpan& span : data->misspelled)
        if (span.end() != heldBack)
            marks.push_back(span);
    return marks;
}

bool TSpellHighlighter::needsDrawing(const QTextBlock& block) const
{
    const TSpellBlockData* data = dataOf(block);
    return data && wantedMarks(block) != data->drawn;
}

void TSpellHighlighter::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active) {
        startSweep();
        return;
    }
    m_sliceTimer.stop();
    m_viewPending = false;
    m_sweepLeft = 0;
    m_heldBack = -1;
    drawNearView();
}

void TSpellHighlighter::recheckAll()
{
    if (m_active)
        startSweep();
}

void TSpellHighlighter::recheckWord(const QString& word)
{
    if (!m_active)
        return;
    const QString normal = NormalizedWord(word);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const TSpellBlockData* data = dataOf(block);
        if (!data || data->misspelled.empty())
            continue;
        const QString text = block.text();
        for (const TWordSpan& span : data->misspelled) {
            if (NormalizedWord(QStringView(text).mid(span.start, span.length))
                    .compare(normal, Qt::CaseInsensitive) == 0) {
                checkBlock(block);
                break;
            }
        }
    }
    drawNearView();
}

void TSpellHighlighter::visibleAreaChanged()
{
    m_viewPending = m_active;
    scheduleSlice();
}

void TSpellHighlighter::caretMoved()
{
    if (m_heldBack < 0 || (m_caret && m_caret() == m_heldBack))
        return;
    const QTextBlock block = document()->findBlock(m_heldBack);
    m_heldBack = -1;
    if (block.isValid() && needsDrawing(block))
        drawBlocks({block});
}

void TSpellHighlighter::onContentsChange(int from, int removed, int added)
{
    if (m_drawing || !m_active)
        return;
    QTextDocument* doc = document();
    const QTextBlock first = doc->findBlock(from);
    QTextBlock last = doc->findBlock(from + added);
    if (!first.isValid())
        return;
    if (!last.isValid())
        last = doc->lastBlock();

    // The word held back before moves with the text after the change, or goes with it.
    if (m_heldBack > from && m_heldBack < from + removed)
        m_heldBack = -1;
    else if (m_heldBack >= from + removed)
        m_heldBack += added - removed;
    const QTextBlock wasHeldBack = m_heldBack >= 0 ? doc->findBlock(m_heldBack) : QTextBlock();
    const int caret = m_caret ? m_caret() : -1;
    const bool typing =
        caret >= 0 && added + removed <= MaxTypedCharacters && caret == from + added;
    m_heldBack = typing ? caret : -1;

    if (last.blockNumber() - first.blockNumber() >= MaxParagraphsChecked ||
        added > MaxCharactersChecked) {
        startSweep();
        return;
    }
    std::vector<QTextBlock> changed;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        checkBlock(block);
        if (needsDrawing(block))
            changed.push_back(block);
        if (block == last)
            break;
    }
    // The word typed before is finished now, when the typing went on in another paragraph.
    if (wasHeldBack.isValid() && needsDrawing(wasHeldBack) &&
        std::find(changed.begin(), changed.end(), wasHeldBack) == changed.end())
        changed.push_back(wasHeldBack);
    // Inside the document's own change notice, so the view lays these paragraphs out together
    // with the edit itself.
    drawBlocks(changed);
}

void TSpellHighlighter::checkBlock(const QTextBlock& block)
{
    TSpellBlockData* data = dataOf(block);
    if (!data) {
        data = new TSpellBlockData;
        QTextBlock(block).setUserData(data); // the paragraph owns it from now on
    }
    data->misspelled = m_checker.misspellings(block.text());
    data->revision = block.revision();
    data->length = block.length();
    data->generation = m_checker.generation();
    ++m_checkedParagraphs;
}

void TSpellHighlighter::highlightBlock(const QString& /*text*/)
{
    // Only a full rehighlight() or rehighlightBlock() by someone else comes here; the marks
    // are those drawBlocks() would lay out.
    const QTextBlock block = currentBlock();
    TSpellBlockData* data = dataOf(block);
    if (!data)
        return;
    data->drawn = wantedMarks(block);
    for (const TWordSpan& mark : data->drawn)
        setFormat(mark.start, mark.length, m_format);
    ++m_drawnParagraphs;
}

void TSpellHighlighter::drawBlocks(const std::vector<QTextBlock>& blocks)
{
    int from = INT_MAX, to = -1;
    for (const QTextBlock& block : blocks) {
        QTextLayout* layout = block.layout();
        // Text being composed by an input method keeps its own formats; its paragraph is
        // drawn once the composition is done.
        if (!layout->preeditAreaText().isEmpty())
            continue;
        TSpellBlockData* data = dataOf(block);
        data->drawn = wantedMarks(block);
        QList<QTextLayout::FormatRange> ranges;
        for (const TWordSpan& mark : data->drawn)
            ranges.append({mark.start, mark.length, m_format});
        layout->setFormats(ranges);
        from = std::min(from, block.position());
        to = std::max(to, block.position() + block.length());
        ++m_drawnParagraphs;
    }
    if (to < 0)
        return;
    // One relayout for all of them. Inside a change notice of the document it joins the
    // relayout of the edit.
    const QScopedValueRollback<bool> drawing(m_drawing, true);
    document()->markContentsDirty(from, to - from);
}

void TSpellHighlighter::drawNearView()
{
    const auto [first, last] = nearView();
    std::vector<QTextBlock> blocks;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (needsDrawing(block))
            blocks.push_back(block);
        if (block == last)
            break;
    }
    drawBlocks(blocks);
}

void TSpellHighlighter::startSweep()
{
    // Where the view is gets known in the slice: here the document may be in the middle of
    // telling of a change that its layout has not heard of yet, and asking the view would
    // make the layout walk paragraphs that are no longer there.
    m_viewPending = true;
    m_sweepNext = -1;
    m_sweepLeft = document()->blockCount();
    scheduleSlice();
}

void TSpellHighlighter::scheduleSlice()
{
    if (!m_sliceTimer.isActive())
        m_sliceTimer.start(0);
}

bool TSpellHighlighter::hasPendingWork() const
{
    return m_active && (m_viewPending || m_sweepLeft > 0);
}

void TSpellHighlighter::finishPendingWork()
{
    while (hasPendingWork())
        runSlice(std::chrono::hours(1));
    m_sliceTimer.stop();
}

void TSpellHighlighter::runSlice(std::chrono::milliseconds budget)
{
    QElapsedTimer clock;
    clock.start();
    QTextDocument* doc = document();
    if (m_active && m_viewPending) {
        m_viewPending = false;
        const auto [first, last] = nearView();
        if (m_sweepNext < 0)
            m_sweepNext = first.isValid() ? first.blockNumber() : 0;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (!isCurrent(block))
                checkBlock(block);
            if (block == last)
                break;
        }
    }
    if (m_active && m_sweepLeft > 0) {
        const qint64 budgetNs = std::chrono::nanoseconds(budget).count();
        QTextBlock block = doc->findBlockByNumber(m_sweepNext);
        if (!block.isValid())
            block = doc->begin();
        while (m_sweepLeft > 0 && clock.nsecsElapsed() < budgetNs) {
            if (!isCurrent(block))
                checkBlock(block);
            --m_sweepLeft;
            block = block.next();
            if (!block.isValid())
                block = doc->begin();
        }
        m_sweepNext = block.blockNumber();
    }
    // Checked paragraphs out of view keep their verdict until they come into view.
    drawNearView();
    if (hasPendingWork())
        scheduleSlice();
}
