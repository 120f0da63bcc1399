#include "app/TRichEditor.h"

#include "app/BackgroundLayout.h"
#include "app/DirectionHint.h"
#include "app/DocumentReplace.h"
#include "app/FlowLayout.h"
#include "app/TextSearch.h"
#include "rtf/FontWeight.h"
#include "rtf/RtfObjectHandlers.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextList>

TRichEditor::TRichEditor(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    setTabChangesFocus(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setDefaultFont(QStringLiteral("Arial"), 12);
    layoutInBackground = new TBackgroundLayout(this);
    layoutInBackground->follow(document());
    directionHint = new TDirectionHint(this);
    directionHint->follow(document());
    rtf::InstallObjectHandlers(*document());
}

void TRichEditor::paintEvent(QPaintEvent* event)
{
    rtf::InstallObjectHandlers(*document());
    QTextEdit::paintEvent(event);
}

std::unique_ptr<QTextDocument> TRichEditor::newDocument() const
{
    auto doc = std::make_unique<QTextDocument>();
    takeDefaults(*doc);
    return doc;
}

void TRichEditor::takeDefaults(QTextDocument& doc) const
{
    const QTextDocument& shown = *document();
    doc.setDefaultFont(shown.defaultFont());
    doc.setDefaultTextOption(directionHint->withoutHint(shown.defaultTextOption()));
    doc.setDocumentMargin(shown.documentMargin());
    doc.setIndentWidth(shown.indentWidth());
    doc.setDefaultStyleSheet(shown.defaultStyleSheet());
    doc.setDefaultCursorMoveStyle(shown.defaultCursorMoveStyle());
    // Not the maximum block count: setting it, even to none, switches undo off for good.
}

void TRichEditor::showDocument(std::unique_ptr<QTextDocument> incoming, bool readOnly)
{
    QTextDocument* previous = document();
    // The editor lays a new document out down to the place it is scrolled to.
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    QTextDocument* doc = incoming.release();
    doc->setParent(this);
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    const bool previousIsOurs = previous->parent() == this;
    setReadOnly(readOnly);
    setDocument(doc);
    // Freed once the new document is on screen; the editor frees its first document itself.
    if (previousIsOurs)
        previous->deleteLater();
}

void TRichEditor::clearContent()
{
    setReadOnly(false);
    const QFont font = document()->defaultFont();
    clear();
    document()->setDefaultFont(font);
    setCurrentCharFormat(QTextCharFormat());
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

bool TRichEditor::isModified() const
{
    return document()->isModified();
}

void TRichEditor::setModified(bool modified)
{
    document()->setModified(modified);
}

bool TRichEditor::isEmptyDocument() const
{
    return document()->characterCount() <= 1;
}

void TRichEditor::setDefaultFont(const QString& family, int pointSize)
{
    QFont font = document()->defaultFont();
    font.setFamily(family);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    document()->setDefaultFont(font);
}

QFont TRichEditor::defaultFont() const
{
    return document()->defaultFont();
}

namespace {

// The format the selection reports: that of its first character, or at an empty selection
// the one the next typed character takes.
QTextCharFormat reportedFormat(const QTextEdit& edit)
{
    const QTextCursor cursor = edit.textCursor();
    if (!cursor.hasSelection())
        return edit.currentCharFormat();
    QTextCursor first(edit.document());
    first.setPosition(cursor.selectionStart() + 1);
    return first.charFormat();
}

} // namespace

QTextCharFormat TRichEditor::selectionCharFormat() const
{
    return reportedFormat(*this);
}

TRichEditor::Effects TRichEditor::effectsOf(const QTextCharFormat& format)
{
    Effects e;
    e.bold = IsBoldWeight(format.fontWeight());
    e.italic = format.fontItalic();
    // fontUnderline() answers true for a single underline only.
    if (format.hasProperty(QTextFormat::TextUnderlineStyle)) {
        const auto style = format.underlineStyle();
        e.underline =
            style != QTextCharFormat::NoUnderline && style != QTextCharFormat::SpellCheckUnderline;
    } else {
        e.underline = format.boolProperty(QTextFormat::FontUnderline);
    }
    e.strikeOut = format.fontStrikeOut();
    return e;
}

TRichEditor::Effects TRichEditor::effects() const
{
    return effectsOf(reportedFormat(*this));
}

void TRichEditor::setEffect(Effect effect, bool on)
{
    changeSelectionFormat([effect, on](QTextCharFormat& format) {
        const Effects now = effectsOf(format);
        switch (effect) {
        case Effect::Bold:
            if (now.bold != on)
                format.setFontWeight(on ? QFont::Bold : QFont::Normal);
            break;
        case Effect::Italic:
            format.setFontItalic(on);
            break;
        case Effect::Underline:
            if (now.underline != on) {
                format.clearProperty(QTextFormat::FontUnderline);
                format.setUnderlineStyle(on ? QTextCharFormat::SingleUnderline
                                            : QTextCharFormat::NoUnderline);
            }
            break;
        case Effect::StrikeOut:
            format.setFontStrikeOut(on);
            break;
        }
    });
}

void TRichEditor::setEffects(const Effects& e)
{
    QTextCursor undoStep = textCursor();
    undoStep.beginEditBlock();
    setEffect(Effect::Bold, e.bold);
    setEffect(Effect::Italic, e.italic);
    setEffect(Effect::Underline, e.underline);
    setEffect(Effect::StrikeOut, e.strikeOut);
    undoStep.endEditBlock();
}

void TRichEditor::changeSelectionFormat(const std::function<void(QTextCharFormat&)>& change)
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat format = currentCharFormat();
        change(format);
        setCurrentCharFormat(format);
        return;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    // Gathered first: setting a format merges and splits the fragments being walked.
    struct TRun
    {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<TRun> runs;
    std::vector<std::pair<int, QTextCharFormat>> emptyParagraphs;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        // An empty paragraph has no run; its own format is what typing there takes.
        if (block.length() == 1) {
            QTextCharFormat format = block.charFormat();
            change(format);
            if (format != block.charFormat())
                emptyParagraphs.emplace_back(block.position(), format);
            continue;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(fragment.position(), start);
            const int to = std::min(fragment.position() + fragment.length(), end);
            if (from >= to)
                continue;
            QTextCharFormat format = fragment.charFormat();
            change(format);
            if (format != fragment.charFormat())
                runs.push_back({from, to, format});
        }
    }
    if (runs.empty() && emptyParagraphs.empty())
        return;
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (const TRun& run : runs) {
        edit.setPosition(run.from);
        edit.setPosition(run.to, QTextCursor::KeepAnchor);
        edit.setCharFormat(run.format);
    }
    for (const auto& [position, format] : emptyParagraphs) {
        edit.setPosition(position);
        edit.setBlockCharFormat(format);
    }
    edit.endEditBlock();
}

TRichEditor::Alignment TRichEditor::alignment() const
{
    // "Absolute" only says that left means left in right-to-left text too.
    const Qt::Alignment a =
        textCursor().blockFormat().alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
    if (a == Qt::AlignLeft || a == Qt::AlignLeading || a == Qt::AlignAbsolute || a == 0)
        return Alignment::Left;
    if (a == Qt::AlignRight || a == Qt::AlignTrailing)
        return Alignment::Right;
    if (a == Qt::AlignHCenter)
        return Alignment::Centre;
    return Alignment::Other;
}

void TRichEditor::setAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Left:
        QTextEdit::setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    case Alignment::Right:
        QTextEdit::setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case Alignment::Centre:
        QTextEdit::setAlignment(Qt::AlignHCenter);
        break;
    case Alignment::Other:
        break;
    }
}

bool TRichEditor::hasBullets() const
{
    return textCursor().currentList() != nullptr;
}

namespace {

// Applies fn to every block the selection touches, as one undo step.
template <typename Fn> void forEachSelectedBlock(QTextEdit& edit, Fn fn)
{
    QTextCursor cursor = edit.textCursor();
    QTextBlock block = edit.document()->findBlock(cursor.selectionStart());
    const QTextBlock last = edit.document()->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    while (block.isValid()) {
        fn(block);
        if (block == last)
            break;
        block = block.next();
    }
    cursor.endEditBlock();
}

} // namespace

void TRichEditor::setBullets(bool on)
{
    QTextList* shared = nullptr;
    forEachSelectedBlock(*this, [&](const QTextBlock& block) {
        QTextCursor c(block);
        if (on) {
            if (block.textList())
                return;
            if (!shared) {
                QTextListFormat format;
                format.setStyle(QTextListFormat::ListDisc);
                format.setIndent(1);
                shared = c.createList(format);
            } else {
                shared->add(block);
            }
        } else if (QTextList* list = block.textList()) {
            list->remove(block);
            QTextBlockFormat format = c.blockFormat();
            format.setObjectIndex(-1);
            format.setIndent(0);
            c.setBlockFormat(format);
        }
    });
}

double TRichEditor::leftIndentPoints() const
{
    return textCursor().blockFormat().leftMargin();
}

void TRichEditor::setLeftIndentPoints(double points)
{
    forEachSelectedBlock(*this, [&](const QTextBlock& block) {
        QTextCursor c(block);
        QTextBlockFormat format = c.blockFormat();
        format.setLeftMargin(points);
        c.setBlockFormat(format);
    });
}

void TRichEditor::removeBullets()
{
    QTextCursor undoStep = textCursor();
    undoStep.beginEditBlock();
    setLeftIndentPoints(0);
    setBullets(false);
    undoStep.endEditBlock();
}

void TRichEditor::keyPressEvent(QKeyEvent* event)
{
    // Shift+F10 opens the pop-up menu on every desktop, but only some platforms turn it into a
    // menu request themselves (the Menu key they all do).
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        contextMenuAtCaret();
        event->accept();
        return;
    }
    // Left to itself the edit control would move the list's indent into the paragraph's own
    // indent level, which no file keeps: the paragraph would jump back after a save, and Bullets
    // would then indent it twice. Taking the bullet off here follows the Bullets command instead.
    const bool backspace = event->key() == Qt::Key_Backspace &&
                           !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
    if (backspace && !isReadOnly()) {
        const QTextCursor cursor = textCursor();
        if (!cursor.hasSelection() && cursor.atBlockStart() && cursor.currentList()) {
            removeBullets();
            ensureCursorVisible();
            event->accept();
            emit paragraphFormatChanged();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

int TRichEditor::selectionStart() const
{
    return textCursor().selectionStart();
}

int TRichEditor::selectionLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichEditor::setSelection(int start, int length)
{
    const int end = textLength();
    start = std::clamp(start, 0, end);
    length = std::clamp(length, 0, end - start);
    QTextCursor c(document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString TRichEditor::selectedPlainText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

int TRichEditor::textLength() const
{
    return document()->characterCount() - 1;
}

void TRichEditor::replaceSelectionKeepingNoUndo(const QString& text)
{
    // Switching undo off forgets the undo history, so an undo right after cannot take the
    // inserted text back (nor reach behind it into a state that no longer matches).
    document()->setUndoRedoEnabled(false);
    QTextCursor c = textCursor();
    c.insertText(text);
    setTextCursor(c);
    document()->setUndoRedoEnabled(true);
}

void TRichEditor::replaceRangesKeepingNoUndo(const std::vector<qsizetype>& starts, int length,
                                             const QString& text)
{
    if (starts.empty())
        return;
    document()->setUndoRedoEnabled(false);
    const int end = ReplaceRanges(*document(), starts, length, text);
    document()->setUndoRedoEnabled(true);
    QTextCursor c(document());
    c.setPosition(end);
    setTextCursor(c);
}

int TRichEditor::findText(const QString& what, int from, bool wholeWord, bool matchCase) const
{
    return int(FindForward(toPlainText(), what, from, {wholeWord, matchCase}));
}

void TRichEditor::leaveFlowLayout()
{
    QTextDocument* doc = document();
    if (!TFlowLayout::of(*doc) || TFlowLayout::canShow(*doc))
        return;
    TFlowLayout::giveUp(*doc);
    rtf::InstallObjectHandlers(*doc);
    layoutInBackground->follow(doc);
    // Qt's layout starts from the top: the caret (where the table came in) is shown again.
    ensureCursorVisible();
}

void TRichEditor::scrollContentsBy(int dx, int dy)
{
    // Moving what is on screen is right only when nothing on it moved in the document: while
    // estimated heights are still giving way, a paragraph laid out on the way changes where
    // the ones shown stand, so the view is painted afresh instead.
    const TFlowLayout* flow = TFlowLayout::of(*document());
    if (flow && !flow->laidOutWhole()) {
        viewport()->update();
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImAnchorRectangle);
        return;
    }
    QTextEdit::scrollContentsBy(dx, dy);
}

void TRichEditor::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    if (TFlowLayout* flow = TFlowLayout::of(*document()))
        flow->setNeighbourhood(viewport()->height());
}

void TRichEditor::layOutWhole() const
{
    if (TFlowLayout* flow = TFlowLayout::of(*document()))
        flow->layOutWhole();
    else
        document()->size();
}

QStringList TRichEditor::displayedLines() const
{
    QStringList lines;
    layOutWhole();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        const bool lastBlock = !block.next().isValid();
        if (lastBlock && text.isEmpty())
            break;
        if (!layout || layout->lineCount() == 0) {
            lines << text;
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            QString part = text.mid(line.textStart(), line.textLength());
            part.replace(QChar::LineSeparator, QString());
            lines << part;
        }
    }
    return lines;
}

namespace {

const QString RtfMimeType = QStringLiteral("text/rtf");
// Other programs offer RTF under these names too.
const QStringList RtfMimeTypes = {RtfMimeType, QStringLiteral("application/rtf"),
                                  QStringLiteral("text/richtext")};

using TPictures = QHash<QUrl, QVariant>;

// The pictures between two positions. A fragment's images name resources of the document they
// came from, and a fragment carries none of them; the pictures are shared, not copied.
TPictures picturesBetween(const QTextDocument& doc, int start, int end)
{
    TPictures pictures;
    for (QTextBlock b = doc.findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end ||
                !fragment.charFormat().isImageFormat())
                continue;
            const QUrl name(fragment.charFormat().toImageFormat().name());
            const QVariant resource = doc.resource(QTextDocument::ImageResource, name);
            if (resource.isValid())
                pictures.insert(name, resource);
        }
    }
    return pictures;
}

void addPictures(QTextDocument& doc, const TPictures& pictures)
{
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        doc.addResource(QTextDocument::ImageResource, it.key(), it.value());
}

// The copied selection, turned into text, HTML or RTF when another program (or a paste) asks.
class TSelectionMimeData : public QMimeData
{
public:
    TSelectionMimeData(const QTextCursor& selection, const QFont& defaultFont)
        : m_fragment(selection.selection()), m_defaultFont(defaultFont),
          m_pictures(picturesBetween(*selection.document(), selection.selectionStart(),
                                     selection.selectionEnd()))
    {
    }

    QStringList formats() const override
    {
        return {QStringLiteral("text/plain"), QStringLiteral("text/html"), RtfMimeType};
    }
    bool hasFormat(const QString& mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override
    {
        if (mimeType == QLatin1StringView("text/plain"))
            return m_fragment.toPlainText().remove(QChar::ObjectReplacementCharacter);
        if (mimeType == QLatin1StringView("text/html"))
            return m_fragment.toHtml();
        if (mimeType == RtfMimeType) {
            QTextDocument copy;
            copy.setDefaultFont(m_defaultFont);
            addPictures(copy, m_pictures);
            QTextCursor(&copy).insertFragment(m_fragment);
            return WriteRtf(copy);
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    QTextDocumentFragment m_fragment;
    QFont m_defaultFont;
    TPictures m_pictures;
};

} // namespace

QMimeData* TRichEditor::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return QTextEdit::createMimeDataFromSelection();
    return new TSelectionMimeData(cursor, document()->defaultFont());
}

bool TRichEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText() || source->hasHtml() ||
           std::any_of(RtfMimeTypes.cbegin(), RtfMimeTypes.cend(),
                       [&](const QString& type) { return source->hasFormat(type); });
}

void TRichEditor::insertFromMimeData(const QMimeData* source)
{
    QByteArray rtf;
    for (const QString& type : RtfMimeTypes) {
        if (source->hasFormat(type)) {
            rtf = source->data(type);
            break;
        }
    }
    if (!rtf.startsWith("{\\rtf") && !source->hasHtml()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    // Rich paste goes through our own RTF writer and reader, so that nothing can enter the
    // document that would not survive being saved.
    QTextDocument kept;
    kept.setDefaultFont(document()->defaultFont());
    if (rtf.startsWith("{\\rtf")) {
        ReadRtf(rtf, kept);
    } else {
        QTextDocument pasted;
        pasted.setDefaultFont(document()->defaultFont());
        pasted.setHtml(source->html());
        ReadRtf(WriteRtf(pasted), kept);
    }
    addPictures(*document(), picturesBetween(kept, 0, kept.characterCount()));
    textCursor().insertFragment(QTextDocumentFragment(&kept));
    ensureCursorVisible();
}

void TRichEditor::setDocument(QTextDocument* document)
{
    // Before the document has a layout, which would otherwise start over for the hint.
    directionHint->follow(document);
    // A flow of paragraphs gets the layout that lays out only what is looked at; a table that
    // comes in later (pasted) hands the document to Qt's own.
    if (TFlowLayout* flow = TFlowLayout::installOn(*document)) {
        flow->setNeighbourhood(viewport()->height());
        connect(flow, &TFlowLayout::cannotShowDocument, this, &TRichEditor::leaveFlowLayout,
                Qt::QueuedConnection);
    }
    // Pictures and kept objects are measured by their own handlers from the first layout on.
    rtf::InstallObjectHandlers(*document);
    QTextEdit::setDocument(document);
    // A cursor of its own: the editor would otherwise carry the typing format of the previous
    // document's caret over.
    setTextCursor(QTextCursor(document));
    layoutInBackground->follow(document);
    emit documentReplaced(this->document());
}

void TRichEditor::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        contextMenuAtCaret();
    } else {
        // The mouse's position is the viewport's; the caret stays where it is.
        emit contextMenuWanted(event->globalPos(), cursorForPosition(event->pos()).position());
    }
    event->accept();
}

void TRichEditor::contextMenuAtCaret()
{
    ensureCursorVisible();
    emit contextMenuWanted(viewport()->mapToGlobal(cursorRect().bottomLeft()),
                           textCursor().position());
}
