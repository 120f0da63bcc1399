#include "store/EntryScan.h"

#include "store/EntryNames.h"
#include "store/Paths.h"

#include <algorithm>

QList<QDate> ListEntryDates(const QString& docsDir, const QString& pattern)
{
    QList<QDate> dates;
    for (const QByteArray& name : ListDirectoryBytes(docsDir, pattern)) {
        if (const std::optional<QDate> date = DateOfEntryFileBytes(name))
            dates.append(*date);
    }
    // The names have fixed widths, so their order is the order of the dates; names that differ
    // only in letter case are one entry.
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}

TEntryNeighbours ScanEntryNeighbours(const QString& docsDir, const QString& entryFileName)
{
    TEntryNeighbours neighbours;
    const QList<QDate> dates = ListEntryDates(docsDir);
    if (dates.size() < 2)
        return neighbours;

    // Every stored name is "jx" + date + ".rtf", so finding the name ignoring case is finding
    // its date.
    qsizetype current = -1;
    if (const std::optional<QDate> currentDate = DateOfEntryFileName(entryFileName)) {
        const auto it = std::lower_bound(dates.begin(), dates.end(), *currentDate);
        if (it != dates.end() && *it == *currentDate)
            current = it - dates.begin();
    }
    if (current > 0) {
        neighbours.hasPrev = true;
        neighbours.prev = dates[current - 1];
    }
    if (current < dates.size() - 1) {
        neighbours.hasNext = true;
        neighbours.next = dates[current + 1];
    }
    return neighbours;
}
