#pragma once

#include <QObject>
#include <QPointer>
#include <QTextOption>

class QTextDocument;
struct TRtfReadReport;

// A paragraph with no direction of its own runs in the direction of its first letter that has
// one. Qt's layout works that out again, for every paragraph below the caret, after each key:
// with 100,000 short paragraphs that alone costs tens of milliseconds a key. In a document
// without a single right-to-left letter the answer is always "left to right", so the document
// is told so and the layout stops asking. The first right-to-left letter to arrive takes the
// hint back; what is shown is the same either way.
class TDirectionHint : public QObject
{
    Q_OBJECT
public:
    explicit TDirectionHint(QObject* parent = nullptr);

    // Follows document from now on (the one the editor has just been given), before it has a
    // layout: the hint given then costs nothing.
    void follow(QTextDocument* document);
    // Notes on a document read elsewhere whether its reading met right-to-left letters, so
    // that follow need not go through it again (slow for a long document read on another
    // thread).
    static void lookAhead(QTextDocument& doc, const TRtfReadReport& report);
    // The document's text options as they would be without the hint: what a new document
    // should start from.
    QTextOption withoutHint(QTextOption option) const;

private:
    void contentsChange(int from, int removed, int added);
    void takeBack();

    QPointer<QTextDocument> document;
    bool hinted = false;
};
