#include "app/TEntryCalendar.h"

#include <QPainter>
#include <QTextCharFormat>

TEntryCalendar::TEntryCalendar(TMonthLookup entryDays, std::function<QDate()> today,
                               QWidget* parent)
    : QCalendarWidget(parent), m_entryDays(std::move(entryDays)), m_today(std::move(today))
{
    setObjectName(QStringLiteral("EntryCalendar"));
}

bool TEntryCalendar::hasEntry(QDate date) const
{
    if (!date.isValid())
        return false;
    const int month = date.year() * 12 + date.month() - 1;
    auto it = m_months.constFind(month);
    if (it == m_months.constEnd())
        it = m_months.insert(month, m_entryDays(date.year(), date.month()));
    return (*it >> date.day()) & 1u;
}

void TEntryCalendar::refreshMarks()
{
    m_months.clear();
    update();
    // The cells are painted by the calendar's inner view, which needs telling on its own.
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

void TEntryCalendar::showEvent(QShowEvent* event)
{
    // Shown again after a while: saves, deletions and other programs may have changed the folder.
    m_months.clear();
    QCalendarWidget::showEvent(event);
}

void TEntryCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const
{
    const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                       : isActiveWindow() ? QPalette::Active
                                                          : QPalette::Inactive;
    const bool shownMonth = date.year() == yearShown() && date.month() == monthShown();
    const bool choosable = date >= minimumDate() && date <= maximumDate();
    const bool selected = date == selectedDate();

    painter->save();
    QColor text = palette().color(group, QPalette::Text);
    // Weekends keep the colour the calendar gives them.
    const QBrush weekday = weekdayTextFormat(Qt::DayOfWeek(date.dayOfWeek())).foreground();
    if (weekday.style() != Qt::NoBrush)
        text = weekday.color();
    if (!shownMonth || !choosable)
        text = palette().color(QPalette::Disabled, QPalette::Text);
    if (selected) {
        painter->fillRect(rect, palette().brush(group, QPalette::Highlight));
        text = palette().color(group, QPalette::HighlightedText);
    }
    QFont font = this->font();
    font.setBold(hasEntry(date));
    painter->setFont(font);
    painter->setPen(text);
    painter->drawText(rect, Qt::AlignCenter, locale().toString(date.day()));
    if (date == m_today()) {
        painter->setPen(QPen(selected ? text : palette().color(group, QPalette::Highlight), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}
