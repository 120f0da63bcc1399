#pragma once

#include <QCalendarWidget>
#include <QHash>

#include <functional>

// The date control's calendar: the days that have a diary entry stand in bold and today is
// framed. A month's marks are looked up once, the first time it is painted after the calendar
// shows or after refreshMarks(), and drawn in the cells' own painting: with twenty years of
// entries, setting a text format on every stored day would cost more than the whole month.
class TEntryCalendar : public QCalendarWidget
{
    Q_OBJECT
public:
    // Days of a month with an entry, as bits (bit d for day d).
    using TMonthLookup = std::function<quint32(int year, int month)>;

    TEntryCalendar(TMonthLookup entryDays, std::function<QDate()> today, QWidget* parent = nullptr);

    bool hasEntry(QDate date) const;

public slots:
    // The documents changed: marks are looked up again when next painted.
    void refreshMarks();

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
    void showEvent(QShowEvent* event) override;

private:
    TMonthLookup m_entryDays;
    std::function<QDate()> m_today;
    mutable QHash<int, quint32> m_months; // year * 12 + month - 1 -> days
};
