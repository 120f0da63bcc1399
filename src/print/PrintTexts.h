#pragma once

#include <QDate>
#include <QString>

// The header names the tab; on the Diary tab it adds the entry's date in the user's long format.
QString PageHeaderText(const QString& tabCaption, QDate currentDate);

// The name of the job in the print queue carries the date on every tab.
QString PrintJobTitle(const QString& productName, const QString& tabCaption, QDate currentDate);
