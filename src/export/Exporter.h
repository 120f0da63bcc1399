#pragma once

#include "print/DocumentPrinter.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

class QTextDocument;

enum class TExportFormat { Pdf = 0, Html = 1, Odt = 2, Text = 3 };

// "pdf", "html", "odt", "txt".
QString ExportExtension(TExportFormat format);
// The file dialog's filter for the format: "PDF document (*.pdf)".
QString ExportFilter(TExportFormat format);

// How an export looks: the PDF pages as printing lays them out, and the font of text that names
// none (the editor's default font).
struct TExportSettings
{
    TExportFormat format = TExportFormat::Pdf;
    TPrintOptions print; // margins and the header and footer switches; PDF only
    QPageSize pageSize{QPageSize::A4};
    QFont defaultFont;
    QString title;   // the document's title (PDF, HTML, ODT)
    QString creator; // the program that made it (PDF)
};

// A failed export. The message names the target and the system's reason; nothing was left
// behind at the target.
class TExportError : public std::runtime_error
{
public:
    explicit TExportError(const QString& message);
    QString message() const;
};

// One stored diary entry, with the backup copy that stands in for a file left empty.
struct TExportEntry
{
    QDate date;
    QString path;
    QString backupPath;
};

// The stored entries of docsDir dated from to to (both included), oldest first.
QList<TExportEntry> EntriesInRange(const QString& docsDir, const QString& backupDir, QDate from,
                                   QDate to);

struct TExportReport
{
    int exported = 0;    // entries written to the target
    QStringList skipped; // one line per entry that could not be read: the file and why
    bool cancelled = false;
    bool written = false; // the target holds the export
};

// Told how many of total entries are done; returns false when the user asks to stop.
using TExportProgress = std::function<bool(int done, int total)>;

// Writes document (as it is, never changed) to path, replacing any file there in one step; in
// PDF its pages carry headerText. Throws TExportError.
void ExportDocument(const QTextDocument& document, const QString& headerText, const QString& path,
                    const TExportSettings& settings);

// Writes the entries, each under a heading with its long date (in PDF each from a new page,
// headed as printing heads a diary entry). An entry that cannot be read is left out and listed
// in the report; an empty one is left out. Nothing is written when no entry could be read or
// when progress asked to stop. Throws TExportError when the target cannot be written.
TExportReport ExportEntries(const QList<TExportEntry>& entries, const QString& path,
                            const TExportSettings& settings, const TExportProgress& progress = {});
