#pragma once

#include <QRect>
#include <QtGlobal>

// One printed page as the measuring pass found it. TextArea is in twips: its width() and
// height() are the extents of the body (QRect's right() and bottom() are one less, as always).
struct tagTPageOffset
{
    qint32 FirstChar = 0;
    qint32 LastChar = -1;
    QRect TextArea;
    // A line taller than the body is printed in slices, one a page: how far down the page's
    // first line (twips) this page begins; 0 for a page that begins at the top of a line.
    qint32 LineOffset = 0;
};
