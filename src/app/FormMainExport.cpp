#include "app/TFormMain.h"

#include "app/CurrentPrinter.h"
#include "app/TEntryCalendar.h"
#include "app/TPrompter.h"
#include "app/TRichEditor.h"
#include "dialogs/TExportDialog.h"
#include "export/Exporter.h"
#include "print/PrintTexts.h"
#include "store/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStandardPaths>

namespace {

// Up to this many entries an export is over before a progress dialog would be read.
constexpr int QuietEntryCount = 36;
// The longest list of unreadable entries a message shows.
constexpr int ListedProblems = 12;

QString isoDate(QDate date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString problemList(const QStringList& problems)
{
    QStringList shown = problems.mid(0, ListedProblems);
    if (problems.size() > ListedProblems)
        shown << QStringLiteral("... and %1 more").arg(problems.size() - ListedProblems);
    return shown.join(QLatin1Char('\n'));
}

// Whether path is the folder dir, however either is written.
bool sameFolder(const QString& path, const QString& dir)
{
    const QString a = QFileInfo(path).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(dir).canonicalFilePath();
}

} // namespace

void TFormMain::buildExportCommands()
{
    makeCommand("FileExport", &TFormMain::FileExportExecute);
}

void TFormMain::FileExportExecute()
{
    const QDate shown = Journal->CurrentDate.isValid() ? Journal->CurrentDate : env.today();
    const QDate first(shown.year(), shown.month(), 1);
    TExportDialog dialog(this, PageHeaderText(selectedCaption(), shown), first,
                         first.addMonths(1).addDays(-1), [this] { return makeEntryCalendar(); });
    dialog.setScope(TExportDialog::Scope(lastExportScope));
    dialog.setFormat(TExportFormat(lastExportFormat));
    if (prompter->execDialog(dialog) != QDialog::Accepted)
        return;
    lastExportScope = int(dialog.scope());
    lastExportFormat = int(dialog.format());
    if (dialog.scope() == TExportDialog::Scope::CurrentDocument)
        exportDocument(dialog.format());
    else
        exportEntries(qMin(dialog.from(), dialog.to()), qMax(dialog.from(), dialog.to()),
                      dialog.format());
}

TExportSettings TFormMain::exportSettings(TExportFormat format, const QString& title) const
{
    TExportSettings s;
    s.format = format;
    s.print = printOptions();
    // The paper of the printer last printed on; otherwise what the user's country uses.
    if (CurrentPrinter)
        s.pageSize = CurrentPrinter->printer().pageLayout().pageSize();
    else
        s.pageSize =
            QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                 : QPageSize::A4);
    s.defaultFont = Editor->document()->defaultFont();
    s.title = title;
    s.creator = ProductName;
    return s;
}

std::optional<QString> TFormMain::askExportTarget(const QString& proposedName, TExportFormat format)
{
    QString dir = lastExportDir;
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (dir.isEmpty() || !QFileInfo(dir).isDir())
            dir = QDir::homePath();
    }
    const QString extension = ExportExtension(format);
    QString proposed = JoinPath(dir, proposedName + u'.' + extension);
    for (;;) {
        const std::optional<QString> chosen = prompter->chooseExportFile(
            this, QStringLiteral("Export As"), proposed, ExportFilter(format));
        if (!chosen || chosen->isEmpty())
            return std::nullopt;
        QString path = QFileInfo(*chosen).absoluteFilePath();
        if (QFileInfo(path).suffix().isEmpty())
            path += u'.' + extension;
        proposed = path;
        const QFileInfo target(path);
        lastExportDir = target.absolutePath();

        // An export must never take the place of one of the journal's own files.
        const bool journalFolder = sameFolder(target.absolutePath(), Journal->DocsDir) ||
                                   sameFolder(target.absolutePath(), Journal->BackupDir);
        if ((journalFolder &&
             (target.suffix().compare(QStringLiteral("rtf"), Qt::CaseInsensitive) == 0 ||
              target.fileName().compare(QStringLiteral("startup.txt"), Qt::CaseInsensitive) ==
                  0)) ||
            (sameFolder(target.absolutePath(), env.programDir) &&
             target.fileName().compare(QStringLiteral("jornix.ini"), Qt::CaseInsensitive) == 0)) {
            showError(QStringLiteral("\"%1\" is one of the journal's own files. Please choose "
                                     "another name for the export")
                          .arg(path));
            continue;
        }
        if (target.isDir()) {
            showError(QStringLiteral("\"%1\" is a folder. Please choose a file name for the export")
                          .arg(path));
            continue;
        }
        if (!target.exists() && !target.isSymLink())
            return path;
        QString question =
            QStringLiteral("\"%1\" already exists.\nDo you want to replace it?").arg(path);
        if (format == TExportFormat::Html) {
            const QString pictures = JoinPath(target.absolutePath(),
                                              target.completeBaseName() + QStringLiteral("_files"));
            if (QFileInfo::exists(pictures))
                question = QStringLiteral("\"%1\" already exists, with its pictures in \"%2\".\n"
                                          "Do you want to replace them?")
                               .arg(path, pictures);
        }
        if (prompter->question(this, Title, question))
            return path;
    }
}

void TFormMain::exportDocument(TExportFormat format)
{
    const QString caption = selectedCaption();
    const QString header = PageHeaderText(caption, Journal->CurrentDate);
    const QString name = diaryTabSelected()
                             ? QStringLiteral("Diary %1").arg(isoDate(Journal->CurrentDate))
                             : caption;
    const std::optional<QString> path = askExportTarget(name, format);
    if (!path)
        return;
    // The editor's document is read as it stands, saved or not, and never changed.
    ExportDocument(*Editor->document(), header, *path, exportSettings(format, header));
    UpdateStatusHint(QStringLiteral("Exported to \"%1\"").arg(*path));
}

void TFormMain::exportEntries(QDate from, QDate to, TExportFormat format)
{
    // The entries are read from their files: what was typed into the one shown goes there first.
    if (Editor->isModified())
        SaveCurrentDocument();
    const QString days =
        from == to ? longDate(from) : QStringLiteral("%1 to %2").arg(longDate(from), longDate(to));
    const QString none =
        QStringLiteral("There are no diary entries from %1, so nothing was exported.").arg(days);
    const QList<TExportEntry> entries =
        EntriesInRange(Journal->DocsDir, Journal->BackupDir, from, to);
    if (entries.isEmpty()) {
        showInformation(none);
        return;
    }
    const QString name = from == to
                             ? QStringLiteral("Diary %1").arg(isoDate(from))
                             : QStringLiteral("Diary %1 to %2").arg(isoDate(from), isoDate(to));
    const std::optional<QString> path = askExportTarget(name, format);
    if (!path)
        return;

    std::unique_ptr<TProgress> progress;
    if (entries.size() > QuietEntryCount)
        progress = prompter->progress(
            this, Title, QStringLiteral("Exporting %1 diary entries...").arg(entries.size()),
            int(entries.size()));
    TExportProgress follow;
    if (progress)
        follow = [&](int done, int) { return progress->advance(done); };
    const TExportReport report = ExportEntries(
        entries, *path, exportSettings(format, QStringLiteral("Diary - ") + days), follow);
    progress.reset();

    if (report.cancelled) {
        UpdateStatusHint(QStringLiteral("Export cancelled; nothing was written"));
        return;
    }
    if (!report.written) {
        if (report.skipped.isEmpty())
            showInformation(none);
        else
            showError(QStringLiteral("None of the diary entries from %1 could be read, so nothing "
                                     "was exported:\n%2")
                          .arg(days, problemList(report.skipped)));
        return;
    }
    UpdateStatusHint(QStringLiteral("Exported to \"%1\"").arg(*path));
    if (!report.skipped.isEmpty())
        showInformation(
            QStringLiteral("The diary entries were exported to \"%1\", but %2 could not "
                           "be read and %3 left out:\n%4")
                .arg(*path,
                     report.skipped.size() == 1
                         ? QStringLiteral("one of them")
                         : QStringLiteral("%1 of them").arg(report.skipped.size()),
                     report.skipped.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"),
                     problemList(report.skipped)));
}
