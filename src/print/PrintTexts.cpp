#include "print/PrintTexts.h"

#include <QLocale>

namespace {

QString longDate(QDate date)
{
    return QLocale().toString(date, QLocale::LongFormat);
}

} // namespace

QString PageHeaderText(const QString& tabCaption, QDate currentDate)
{
    if (tabCaption == QLatin1String("Diary"))
        return tabCaption + QLatin1String(" - ") + longDate(currentDate);
    return tabCaption;
}

QString PrintJobTitle(const QString& productName, const QString& tabCaption, QDate currentDate)
{
    return productName + QLatin1String(" - ") + tabCaption + QLatin1String(" - ") +
           longDate(currentDate);
}
