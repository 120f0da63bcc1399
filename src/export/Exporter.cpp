#include "export/Exporter.h"

#include "export/ExportTarget.h"
#include "print/PrintTexts.h"
#include "rtf/DocumentFile.h"
#include "store/DocumentLoad.h"
#include "store/EntryNames.h"
#include "store/EntryScan.h"
#include "store/Paths.h"

#include <QBuffer>
#include <QLocale>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextDocumentWriter>

#include <memory>
#include <optional>

QString ExportExtension(TExportFormat format)
{
    switch (format) {
    case TExportFormat::Pdf:
        return QStringLiteral("pdf");
    case TExportFormat::Html:
        return QStringLiteral("html");
    case TExportFormat::Odt:
        return QStringLiteral("odt");
    case TExportFormat::Text:
        break;
    }
    return QStringLiteral("txt");
}

QString ExportFilter(TExportFormat format)
{
    switch (format) {
    case TExportFormat::Pdf:
        return QStringLiteral("PDF document (*.pdf)");
    case TExportFormat::Html:
        return QStringLiteral("Web page (*.html *.htm)");
    case TExportFormat::Odt:
        return QStringLiteral("OpenDocument text (*.odt)");
    case TExportFormat::Text:
        break;
    }
    return QStringLiteral("Plain text (*.txt)");
}

TExportError::TExportError(const QString& message) : std::runtime_error(message.toStdString())
{
}

QString TExportError::message() const
{
    return QString::fromUtf8(what());
}

QList<TExportEntry> EntriesInRange(const QString& docsDir, const QString& backupDir, QDate from,
                                   QDate to)
{
    QList<TExportEntry> entries;
    for (const QDate& date : ListEntryDates(docsDir)) {
        if (date < from || date > to)
            continue;
        const QString name = EntryFileNameOf(date);
        entries.append(
            {date, ResolveCaseInsensitive(docsDir, name), ResolveCaseInsensitive(backupDir, name)});
    }
    return entries;
}

namespace {

QString longDate(QDate date)
{
    return QLocale().toString(date, QLocale::LongFormat);
}

bool isEmpty(const QTextDocument& doc)
{
    return doc.characterCount() <= 1;
}

// An entry as opening it would show it: its file, or the backup copy when the file was left
// empty. Null with no problem for a day without text; null with the reason when unreadable.
std::unique_ptr<QTextDocument> readEntry(const TExportEntry& entry, const QFont& font,
                                         QString& problem)
{
    const TLoadDecision decision = DecideLoadSource(entry.path, entry.backupPath);
    if (decision.source == TLoadSource::Nothing)
        return nullptr;
    const QString path = decision.source == TLoadSource::File ? entry.path : entry.backupPath;
    QByteArray bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const std::exception& e) {
        problem = QString::fromUtf8(e.what());
        return nullptr;
    }
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    if (LoadDocumentBytes(bytes, *doc) == TDocumentFormat::Unreadable) {
        problem = QStringLiteral("\"%1\" holds neither RTF nor text").arg(path);
        return nullptr;
    }
    if (isEmpty(*doc))
        return nullptr;
    return doc;
}

// Puts the entry's long date above its text as a heading of its own.
void addHeading(QTextDocument& doc, QDate date, const QFont& font)
{
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::Start);
    // The new block below takes over the first paragraph's formats; the first block becomes
    // the heading.
    cursor.insertBlock(cursor.blockFormat(), cursor.charFormat());
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat block;
    block.setHeadingLevel(2);
    block.setBottomMargin(font.pointSizeF() > 0 ? font.pointSizeF() : 12);
    cursor.setBlockFormat(block);
    QTextCharFormat heading;
    QFont headingFont = font;
    if (headingFont.pointSizeF() > 0)
        headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    headingFont.setBold(true);
    heading.setFont(headingFont);
    cursor.insertText(longDate(date), heading);
}

// Appends part to whole, pictures included (a document keeps its pictures as resources, which
// a fragment does not carry).
void appendDocument(QTextDocument& whole, const QTextDocument& part, bool first)
{
    for (QTextBlock block = part.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant image = part.resource(QTextDocument::ImageResource, name);
            if (image.isValid())
                whole.addResource(QTextDocument::ImageResource, name, image);
        }
    }
    QTextCursor cursor(&whole);
    cursor.movePosition(QTextCursor::End);
    if (!first)
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    const int start = cursor.position();
    cursor.insertFragment(QTextDocumentFragment(&part));
    // The fragment's first paragraph went into the block it was put in, and took that block's
    // formats: it gets its own back (a heading stays a heading), set off from the entry above.
    QTextBlockFormat head = part.begin().blockFormat();
    if (!first)
        head.setTopMargin(qMax(head.topMargin(), part.defaultFont().pointSizeF() > 0
                                                     ? 2 * part.defaultFont().pointSizeF()
                                                     : 24));
    cursor.setPosition(start);
    cursor.setBlockFormat(head);
}

QString plainTextOf(const QTextDocument& doc)
{
    QString text = doc.toPlainText();
    // A picture has no text; its place holder character means nothing outside the editor.
    text.remove(QChar::ObjectReplacementCharacter);
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text;
}

// Where the pieces of an export go, in the target's format.
class TSink
{
public:
    explicit TSink(const QString& path, const TExportSettings& settings)
        : m_settings(settings), m_target(path)
    {
        if (settings.format == TExportFormat::Pdf) {
            m_pdf = std::make_unique<QPdfWriter>(&m_target.file());
            m_pdf->setPageSize(settings.pageSize);
            // The print margins place the body; the writer's own would move it off them.
            m_pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
            m_pdf->setTitle(settings.title);
            m_pdf->setCreator(settings.creator);
            m_pages = std::make_unique<TPageSeries>(*m_pdf, settings.print);
        } else {
            m_whole.setUndoRedoEnabled(false);
            m_whole.setDefaultFont(settings.defaultFont);
            m_whole.setMetaInformation(QTextDocument::DocumentTitle, settings.title);
        }
    }

    void add(const QTextDocument& doc, const QString& header)
    {
        switch (m_settings.format) {
        case TExportFormat::Pdf:
            m_pages->addDocument(doc, header);
            break;
        case TExportFormat::Text:
            if (m_count > 0)
                m_text += QLatin1Char('\n');
            m_text += plainTextOf(doc);
            break;
        case TExportFormat::Html:
        case TExportFormat::Odt:
            if (m_count == 0)
                m_whole.setDefaultFont(doc.defaultFont());
            appendDocument(m_whole, doc, m_count == 0);
            break;
        }
        ++m_count;
    }

    void commit()
    {
        switch (m_settings.format) {
        case TExportFormat::Pdf:
            m_pages->finish();
            break;
        case TExportFormat::Text:
            m_target.write(m_text.toUtf8());
            break;
        case TExportFormat::Odt: {
            // The writer closes its device when done, which a file that is only put in place
            // at the end does not allow: the package is made in memory first.
            QBuffer package;
            package.open(QIODevice::WriteOnly);
            QTextDocumentWriter writer(&package, "odf");
            if (!writer.write(&m_whole))
                m_target.fail(QStringLiteral("the OpenDocument text could not be made"));
            m_target.write(package.data());
            break;
        }
        case TExportFormat::Html:
            m_target.writeHtml(m_whole);
            break;
        }
        m_target.commit();
    }

private:
    const TExportSettings& m_settings;
    TExportTarget m_target; // opened first: an unwritable target is told before any work
    // Destroyed before the target: the writer ends its output into the still open file.
    std::unique_ptr<QPdfWriter> m_pdf;
    std::unique_ptr<TPageSeries> m_pages;
    QTextDocument m_whole;
    QString m_text;
    int m_count = 0;
};

void rethrowAsExportError(const QString& path, const std::exception& e)
{
    throw TExportError(
        QStringLiteral("\"%1\" could not be written: %2").arg(path, QString::fromUtf8(e.what())));
}

} // namespace

void ExportDocument(const QTextDocument& document, const QString& headerText, const QString& path,
                    const TExportSettings& settings)
{
    TSink sink(path, settings);
    try {
        sink.add(document, headerText);
        sink.commit();
    } catch (const TExportError&) {
        throw;
    } catch (const std::exception& e) {
        rethrowAsExportError(path, e);
    }
}

TExportReport ExportEntries(const QList<TExportEntry>& entries, const QString& path,
                            const TExportSettings& settings, const TExportProgress& progress)
{
    TExportReport report;
    TSink sink(path, settings);
    const int total = int(entries.size());
    try {
        for (int i = 0; i < total; ++i) {
            if (progress && !progress(i, total)) {
                report.cancelled = true;
                return report;
            }
            const TExportEntry& entry = entries[i];
            QString problem;
            std::unique_ptr<QTextDocument> doc = readEntry(entry, settings.defaultFont, problem);
            if (!doc) {
                if (!problem.isEmpty())
                    report.skipped << problem;
                continue;
            }
            addHeading(*doc, entry.date, settings.defaultFont);
            sink.add(*doc, PageHeaderText(QStringLiteral("Diary"), entry.date));
            ++report.exported;
        }
        if (progress && !progress(total, total)) {
            report.cancelled = true;
            return report;
        }
        if (report.exported == 0)
            return report;
        sink.commit();
    } catch (const TExportError&) {
        throw;
    } catch (const std::exception& e) {
        rethrowAsExportError(path, e);
    }
    report.written = true;
    return report;
}
