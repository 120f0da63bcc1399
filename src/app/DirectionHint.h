#pragma once

#include <QObject>
#include <QPointer>
#include <QTextOption>

class QTextDocument;

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
    // Looks for right-to-left letters in a document about to be followed, on the thread that
    // read it, so that follow need not: a long document just read elsewhere is slow to go
    // through for the first time.
    static void lookAhead(QTextDocument& doc);
    // The document's text options as they would be without the hint: what a new document
    // should start from.
    QTextOption withoutHint(QTextOption option) const;

    bool active() const { return hinted; }

    // Whether text holds a letter written right to left (Hebrew, Arabic and the like).
    static bool holdsRightToLeft(QStringView text);

private:
    void contentsChange(int from, int removed, int added);
    void takeBack();

    QPointer<QTextDocument> document;
    bool hinted = false;
};
