#pragma once

#include <QTextEdit>
#include <functional>
#include <memory>
#include <vector>

class TBackgroundLayout;
class TDirectionHint;

// The one editor of the main window: a QTextEdit that loads and saves whole documents as RTF and
// offers the operations the commands rely on, in plain-text character positions from 0.
class TRichEditor : public QTextEdit
{
    Q_OBJECT
public:
    enum class Alignment { Left = 0, Right = 1, Centre = 2, Other = 3 };
    enum class Effect { Bold = 0, Italic = 1, Underline = 2, StrikeOut = 3 };
    struct Effects
    {
        bool bold = false, italic = false, underline = false, strikeOut = false;
        bool operator==(const Effects&) const = default;
    };
    // The effects a run shows: bold from semibold on (the weight a save writes as bold), any
    // kind of underline (dotted, wave, double...) as underlined.
    static Effects effectsOf(const QTextCharFormat& format);

    explicit TRichEditor(QWidget* parent = nullptr);

    // A new empty document set up as the one shown is (default font, text options, margins),
    // not yet laid out by the editor: a whole file read into it is read, not laid out paragraph
    // by paragraph as it comes in. Fill it, then hand it to showDocument.
    std::unique_ptr<QTextDocument> newDocument() const;
    // Sets a document filled elsewhere up as newDocument sets up its own.
    void takeDefaults(QTextDocument& doc) const;
    // Shows document in place of the one shown, which goes: the caret at its start, scrolled
    // to the top, nothing modified, no undo history. Only the first screen is laid out now, the
    // rest while the program is idle. A document that could not be read is shown read-only, so
    // nothing typed can ever be saved over its file.
    void showDocument(std::unique_ptr<QTextDocument> document, bool readOnly);
    // Lays the rest of a long document out in the background (for those who wait for it).
    const TBackgroundLayout& backgroundLayout() const { return *layoutInBackground; }
    // Empties the content; the next text typed takes the default font.
    void clearContent();

    bool isModified() const;
    void setModified(bool modified);
    // The document holds no character at all (a line break or a blank is a character).
    bool isEmptyDocument() const;

    void setDefaultFont(const QString& family, int pointSize);
    QFont defaultFont() const;

    // Character effects of the selection (at the caret: what the next typed text gets).
    Effects effects() const;
    // The whole character format the selection reports, as effects() reads it.
    QTextCharFormat selectionCharFormat() const;
    // Turns one effect on or off over the selection (at the caret: for the text typed next).
    // Nothing else about the runs changes: an underline that stays on keeps its kind, a run
    // that is bold already keeps its weight, a run that is not bold keeps a light weight.
    void setEffect(Effect effect, bool on);
    // All four effects, each as setEffect writes it.
    void setEffects(const Effects& effects);
    // Hands the format of every run the selection touches (and of its empty paragraphs) to
    // change, and keeps what comes back, as one undo step; at the caret, the format of the
    // text typed next. Runs keep whatever change leaves alone, links and pictures among them.
    void changeSelectionFormat(const std::function<void(QTextCharFormat&)>& change);
    Alignment alignment() const;
    void setAlignment(Alignment alignment);
    bool hasBullets() const;
    // Bullets on or off for the paragraphs touched by the selection; the left indent in points.
    void setBullets(bool on);
    double leftIndentPoints() const;
    void setLeftIndentPoints(double points);
    // Takes the paragraphs the selection touches out of their list and leaves them no left
    // indent, as one undo step.
    void removeBullets();

    // Selection in plain-text positions.
    int selectionStart() const;
    int selectionLength() const;
    void setSelection(int start, int length);
    QString selectedPlainText() const;
    int textLength() const;
    // Puts text at the selection or caret as one change that undo does not take back.
    void replaceSelectionKeepingNoUndo(const QString& text);
    // Replaces the length characters at each of starts (ascending, not overlapping) by text, as
    // one change that undo does not take back; the caret ends after the last text put in.
    void replaceRangesKeepingNoUndo(const std::vector<qsizetype>& starts, int length,
                                    const QString& text);
    // First match of what at or after from, or -1.
    int findText(const QString& what, int from, bool wholeWord, bool matchCase) const;
    // The lines as displayed: a wrapped paragraph gives several, an empty last line none.
    QStringList displayedLines() const;
    // Lays out every paragraph not laid out yet (the editor lays out what is shown, and the
    // rest while the program is idle).
    void layOutWhole() const;

    // Shows document in place of the present one (which goes if the editor owns it). Every
    // document the editor is given passes through here, so that documentReplaced tells of each.
    void setDocument(QTextDocument* document);

signals:
    // The paragraph at the caret changed its list or indent without the caret moving.
    void paragraphFormatChanged();
    // The editor shows another document; whatever follows the old one must follow this one.
    void documentReplaced(QTextDocument* document);
    // The user asked for the pop-up menu: with the mouse, over textPosition, or from the
    // keyboard (Menu key, Shift+F10), at the caret. globalPos is where the menu goes.
    void contextMenuWanted(const QPoint& globalPos, int textPosition);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Copies carry RTF from our own writer ("text/rtf") beside text and HTML, and pasting takes
    // RTF before HTML, so pictures and kept objects travel whole within the program.
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    // A document handed to the editor gets the drawing of pictures and kept objects before
    // anything of it is shown.
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void contextMenuAtCaret();
    void leaveFlowLayout();

    TBackgroundLayout* layoutInBackground = nullptr;
    TDirectionHint* directionHint = nullptr;
};
