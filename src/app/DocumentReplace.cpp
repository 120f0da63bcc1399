#include "app/DocumentReplace.h"

#include <QTextCursor>
#include <QTextDocument>

int ReplaceRanges(QTextDocument& document, const std::vector<qsizetype>& starts, int length,
                  const QString& text)
{
    if (starts.empty())
        return -1;
    QTextCursor c(&document);
    // One edit block, so the layout is redone once and not after each of perhaps 100,000
    // replacements; from the back, so the positions still to come stay valid.
    c.beginEditBlock();
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        c.setPosition(int(*it));
        c.setPosition(int(*it) + length, QTextCursor::KeepAnchor);
        c.insertText(text);
    }
    c.endEditBlock();
    const qsizetype shift = qsizetype(text.size()) - length;
    return int(starts.back() + shift * qsizetype(starts.size() - 1) + text.size());
}
