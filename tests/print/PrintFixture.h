#pragma once

#include "print/DocumentPrinter.h"

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>

// Prints into PDF files in a temporary folder, on letter paper (11 inches high) at 600 dpi and,
// unless asked otherwise, with the printable area covering the whole sheet.
class PrintTest : public testing::Test
{
protected:
    std::unique_ptr<QPrinter> pdfPrinter(const QString& name, double printerMarginInches = 0)
    {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path(name));
        printer->setResolution(600);
        printer->setPageSize(QPageSize(QPageSize::Letter));
        printer->setPageMargins(QMarginsF(printerMarginInches, printerMarginInches,
                                          printerMarginInches, printerMarginInches),
                                QPageLayout::Inch);
        return printer;
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    static TPrintOptions options(const QString& header = QStringLiteral("Recipes"))
    {
        TPrintOptions o;
        o.PageHeaderText = header;
        o.PrintJobTitle = QStringLiteral("Tarvex's Diary - ") + header;
        return o;
    }

    // Lines "L0001", "L0002", ... in a fixed 12-point font, so page counts do not depend on the
    // application's default font.
    static std::unique_ptr<QTextDocument> numberedLines(int count, bool finalBreak = false)
    {
        auto doc = std::make_unique<QTextDocument>();
        doc->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        QString text;
        for (int i = 1; i <= count; ++i) {
            text += QStringLiteral("L%1").arg(i, 4, 10, QLatin1Char('0'));
            if (i < count || finalBreak)
                text += QLatin1Char('\n');
        }
        QTextCursor(doc.get()).insertText(text);
        doc->setModified(false);
        return doc;
    }

private:
    QTemporaryDir m_dir;
};
