#pragma once

#include <QDate>
#include <QList>
#include <QString>

// The days of one month that have a stored entry in docsDir, as bits: bit d is day d (1..31).
// One look at the folder's listing, however many days are asked about afterwards.
quint32 EntryDaysOfMonth(const QString& docsDir, int year, int month);

// The stored entries of docsDir on the day and month of date in earlier years, newest first.
// On 28 February of a year without a 29th, the 29 Februaries of earlier years come with it, so
// that their day is never skipped for three years running.
QList<QDate> EntriesOnThisDay(const QString& docsDir, QDate date);
