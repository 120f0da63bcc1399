#pragma once

#include <QString>
#include <vector>

class QTextDocument;

// Replaces the length characters at each of starts (ascending, not overlapping) by text, each
// in the format of the last character it replaces, as one edit block. Returns the position
// just after the last text put in, or -1 when starts is empty.
int ReplaceRanges(QTextDocument& document, const std::vector<qsizetype>& starts, int length,
                  const QString& text);
