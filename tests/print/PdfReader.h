#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Reads printed PDF files back through poppler's command-line tools.
struct TPdfWord
{
    int Page = 0; // from 0
    QRectF Box;   // points from the sheet's top-left corner
    QString Text;
};

struct TPdfImage
{
    int Page = 0;      // from 0
    QSizeF SizeInches; // as placed on the page
};

QStringList pdfPages(const QString& path);     // text of each page, reading order
QList<TPdfWord> pdfWords(const QString& path); // every word with its box
QString pdfTitle(const QString& path);
QList<TPdfImage> pdfImages(const QString& path);             // every picture, in page order
QImage pdfPageImage(const QString& path, int page, int dpi); // page from 0, rendered
