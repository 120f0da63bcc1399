#pragma once

#include <QDate>
#include <QList>
#include <QString>

// The neighbours of the current entry among the stored entries "jx*.rtf" of the documents folder.
struct TEntryNeighbours
{
    bool hasPrev = false;
    bool hasNext = false;
    QDate prev;
    QDate next;
};

// Names without a valid date are left out; with fewer than two stored entries there are no
// neighbours; the current name is found ignoring letter case; when it is not stored, there is no
// previous entry and the next one is the first stored entry.
TEntryNeighbours ScanEntryNeighbours(const QString& docsDir, const QString& entryFileName);

// The dates of the stored entries of docsDir whose names match pattern ("jx202612*.rtf"),
// ascending, each date once; names without a valid date are left out.
QList<QDate> ListEntryDates(const QString& docsDir,
                            const QString& pattern = QStringLiteral("jx*.rtf"));
