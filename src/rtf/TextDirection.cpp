#include "rtf/TextDirection.h"

#include <QChar>

bool HoldsRightToLeft(QStringView text)
{
    // Nothing below U+0590 is written right to left; most text never gets past this test.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x0590)
            continue;
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        const QChar::Direction direction = QChar::direction(code);
        if (direction == QChar::DirR || direction == QChar::DirAL)
            return true;
    }
    return false;
}
