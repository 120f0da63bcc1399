#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// Reads printed PDF files back through poppler's command-line tools.
struct TPdfWord
{
    int Page = 0; // from 0
    QRectF Box;   // points from the sheet's top-left corner
    QString Text;
};

QStringList pdfPages(const QString& path);     // text of each page, reading order
QList<TPdfWord> pdfWords(const QString& path); // every word with its box
QString pdfTitle(const QString& path);
