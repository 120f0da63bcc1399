#include "AppFixture.h"
#include "app/TEntryCalendar.h"
#include "dialogs/TExportDialog.h"
#include "print/PdfReader.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

struct TDialogSeen
{
    QString document;
    QDate from, to;
    TExportDialog::Scope scope = TExportDialog::Scope::CurrentDocument;
    TExportFormat format = TExportFormat::Pdf;
};

// Answers the export dialog: keeps what it offered, then picks scope and format.
std::function<int(QDialog&)> choose(TExportDialog::Scope scope, TExportFormat format,
                                    TDialogSeen* seen = nullptr, QDate from = {}, QDate to = {})
{
    return [=](QDialog& d) {
        auto& dialog = dynamic_cast<TExportDialog&>(d);
        if (seen)
            *seen = {dialog.RadioDocument->text(), dialog.from(), dialog.to(), dialog.scope(),
                     dialog.format()};
        dialog.setScope(scope);
        dialog.setFormat(format);
        if (from.isValid())
            dialog.setRange(from, to);
        return int(QDialog::Accepted);
    };
}

} // namespace

class ExportCommandTest : public AppFixture
{
protected:
    QTemporaryDir target;

    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QDir().mkpath(docs("Backup"));
        writeFile(docs("jx20261130.rtf"), rtfWith("end of November"));
        writeFile(docs("jx20261201.rtf"), rtfWith("first of December"));
        writeFile(docs("jx20261203.rtf"), rtfWith("third of December"));
    }
    QString out(const QString& name) const { return target.filePath(name); }
    void exportWith(std::function<int(QDialog&)> dialog, std::optional<QString> file = {})
    {
        prompter.dialogs.push_back(std::move(dialog));
        if (file)
            prompter.exportFiles.push_back(*file);
        form->command("FileExport")->trigger();
    }
    static QString longDate(int y, int m, int d)
    {
        return QLocale().toString(QDate(y, m, d), QLocale::LongFormat);
    }
};

TEST_F(ExportCommandTest, CommandStandsInTheFileMenuAfterPrintWithItsOwnShortcut)
{
    start();
    QAction* exportCommand = form->command("FileExport");
    ASSERT_NE(exportCommand, nullptr);
    EXPECT_EQ(exportCommand->text(), "&Export...");
    EXPECT_EQ(exportCommand->shortcut(), QKeySequence("Ctrl+Shift+E"));
    EXPECT_EQ(form->command("FormatCentreAlign")->shortcut(), QKeySequence("Ctrl+E"));
    QMenu* file = form->menuBar()->actions().first()->menu();
    const QList<QAction*> items = file->actions();
    const qsizetype print = items.indexOf(form->command("FilePrint"));
    ASSERT_GE(print, 0);
    EXPECT_EQ(items.value(print + 1), exportCommand);

    // Cancelling the dialog asks for no file and writes nothing. Its date boxes drop down the
    // calendar that marks the days with entries.
    bool marked = false;
    prompter.dialogs.push_back([&](QDialog& d) {
        auto& dialog = dynamic_cast<TExportDialog&>(d);
        auto* calendar = dynamic_cast<TEntryCalendar*>(dialog.DateTo->calendarWidget());
        marked = calendar && calendar->hasEntry(QDate(2026, 12, 3)) &&
                 !calendar->hasEntry(QDate(2026, 12, 2));
        return int(QDialog::Rejected);
    });
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(prompter.texts("dialog"), QStringList{"ExportDialog"});
    EXPECT_TRUE(marked);
    EXPECT_TRUE(prompter.texts("exportFile").isEmpty());
}

TEST_F(ExportCommandTest, TheDocumentShownIsExportedAsItIsWithoutBeingSavedOrChanged)
{
    start();
    type("typed, not saved");
    TDialogSeen seen;
    exportWith(choose(TExportDialog::Scope::CurrentDocument, TExportFormat::Text, &seen),
               out("today.txt"));
    EXPECT_TRUE(seen.document.endsWith("Diary - " + longDate(2026, 12, 7)));
    EXPECT_EQ(seen.scope, TExportDialog::Scope::CurrentDocument) << "the first time";
    EXPECT_EQ(seen.from, QDate(2026, 12, 1)) << "the range offered is the month shown";
    EXPECT_EQ(seen.to, QDate(2026, 12, 31));
    ASSERT_EQ(prompter.texts("exportFile").size(), 1);
    EXPECT_TRUE(
        prompter.texts("exportFile")[0].contains("/Diary 2026-12-07.txt | Plain text (*.txt)"))
        << prompter.texts("exportFile")[0].toStdString();

    EXPECT_EQ(readFile(out("today.txt")), "typed, not saved\n");
    EXPECT_TRUE(editor().isModified());
    EXPECT_EQ(plainText(), "typed, not saved");
    EXPECT_FALSE(readFile(docs("jx20261207.rtf")).contains("typed")) << "export saves nothing";

    // A name typed without an extension gets the format's; the dialog remembers the choice.
    prompter.clear();
    exportWith(choose(TExportDialog::Scope::CurrentDocument, TExportFormat::Pdf, &seen),
               out("no extension"));
    EXPECT_EQ(seen.format, TExportFormat::Text);
    EXPECT_TRUE(pdfPages(out("no extension.pdf")).value(0).contains("typed, not saved"));
    EXPECT_TRUE(prompter.texts("exportFile").value(0).startsWith(target.path()))
        << "the folder used last";
    EXPECT_TRUE(prompter.texts("error").isEmpty());
}

TEST_F(ExportCommandTest, ARangeOfEntriesGoesToPdfInOrderWithWhatWasTypedAndTheEditorUntouched)
{
    start();
    type("the seventh, typed");
    TDialogSeen seen;
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Pdf, &seen), out("dec.pdf"));
    EXPECT_TRUE(
        prompter.texts("exportFile").value(0).contains("Diary 2026-12-01 to 2026-12-31.pdf"));
    const QStringList pages = pdfPages(out("dec.pdf"));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains("first of December") && pages[0].contains(longDate(2026, 12, 1)));
    EXPECT_TRUE(pages[1].contains("third of December"));
    EXPECT_TRUE(pages[2].contains("the seventh, typed")) << "the entry shown was saved first";
    EXPECT_TRUE(pages[2].contains("Diary - " + longDate(2026, 12, 7)));
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 7));
    EXPECT_EQ(plainText(), "the seventh, typed");
    EXPECT_TRUE(prompter.texts("progress").isEmpty()) << "three entries need no progress dialog";

    // The range chosen is used, and the dialog offers what was chosen last.
    prompter.clear();
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Text, &seen,
                      QDate(2026, 11, 30), QDate(2026, 12, 1)),
               out("two.txt"));
    EXPECT_EQ(seen.scope, TExportDialog::Scope::Entries);
    EXPECT_EQ(QString::fromUtf8(readFile(out("two.txt"))),
              longDate(2026, 11, 30) + "\nend of November\n\n" + longDate(2026, 12, 1) +
                  "\nfirst of December\n");
}

TEST_F(ExportCommandTest, TheDialogRefusesARangeThatEndsBeforeItStarts)
{
    start();
    TExportDialog dialog(form.get(), "Diary", QDate(2026, 12, 1), QDate(2026, 12, 31));
    EXPECT_FALSE(dialog.DateFrom->isEnabled()) << "no range for the current document";
    dialog.setScope(TExportDialog::Scope::Entries);
    EXPECT_TRUE(dialog.DateFrom->isEnabled());
    EXPECT_TRUE(dialog.ButtonOK->isEnabled());
    dialog.DateFrom->setDate(QDate(2027, 1, 1));
    EXPECT_FALSE(dialog.ButtonOK->isEnabled());
    EXPECT_EQ(dialog.LabelProblem->text(), "The first day comes after the last.");
    dialog.setScope(TExportDialog::Scope::CurrentDocument);
    EXPECT_TRUE(dialog.ButtonOK->isEnabled()) << "the range does not matter then";
    dialog.setScope(TExportDialog::Scope::Entries);
    dialog.DateTo->setDate(QDate(2027, 1, 1));
    EXPECT_TRUE(dialog.ButtonOK->isEnabled()) << "one day is a range";
    EXPECT_TRUE(dialog.DateFrom->displayFormat().contains("yyyy"));
}

TEST_F(ExportCommandTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo)
{
    start();
    writeFile(out("dec.txt"), "earlier");
    prompter.answers = {false};
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Text), out("dec.txt"));
    ASSERT_EQ(prompter.texts("question").size(), 1);
    EXPECT_EQ(prompter.texts("question")[0],
              "\"" + out("dec.txt") + "\" already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompter.texts("exportFile").size(), 2) << "No asks for another name";
    EXPECT_EQ(readFile(out("dec.txt")), "earlier");

    prompter.clear();
    prompter.answers = {true};
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Text), out("dec.txt"));
    EXPECT_TRUE(readFile(out("dec.txt")).contains("first of December"));

    // A web page names its pictures' folder too.
    writeFile(out("page.html"), "earlier");
    QDir().mkpath(out("page_files"));
    prompter.clear();
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Html), out("page.html"));
    EXPECT_TRUE(prompter.texts("question").value(0).contains(out("page_files")));
    EXPECT_EQ(readFile(out("page.html")), "earlier");
}

TEST_F(ExportCommandTest, BadInputIsToldAndLeavesNothingHalfWritten)
{
    start();
    // A range without entries says so and asks for no file.
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Pdf, nullptr, QDate(2027, 1, 1),
                      QDate(2027, 1, 31)));
    EXPECT_EQ(prompter.texts("information"),
              QStringList{"There are no diary entries from " + longDate(2027, 1, 1) + " to " +
                          longDate(2027, 1, 31) + ", so nothing was exported."});
    EXPECT_TRUE(prompter.texts("exportFile").isEmpty());

    // An unreadable entry is left out and listed at the end.
    writeFile(docs("jx20261202.rtf"), QByteArray("\x00\x01junk", 6));
    prompter.clear();
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Text), out("dec.txt"));
    ASSERT_EQ(prompter.texts("information").size(), 1);
    EXPECT_TRUE(prompter.texts("information")[0].contains(docs("jx20261202.rtf")));
    EXPECT_TRUE(prompter.texts("information")[0].contains("one of them could not be read"));
    EXPECT_TRUE(readFile(out("dec.txt")).contains("third of December"));

    // A folder the user cannot write into: the path and the system's reason.
    prompter.clear();
    const QString nowhere = target.path() + "/missing/dec.txt";
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Text), nowhere);
    ASSERT_EQ(prompter.texts("error").size(), 1);
    EXPECT_TRUE(prompter.texts("error")[0].contains(nowhere));
    EXPECT_TRUE(prompter.texts("error")[0].contains("No such file or directory"));

    // The journal's own files are never export targets.
    prompter.clear();
    const QByteArray entry = readFile(docs("jx20261201.rtf"));
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Text), docs("jx20261201.rtf"));
    EXPECT_TRUE(prompter.texts("error").value(0).contains("one of the journal's own files"));
    EXPECT_TRUE(prompter.texts("question").isEmpty());
    EXPECT_EQ(prompter.texts("exportFile").size(), 2) << "asked for another name";
    EXPECT_EQ(readFile(docs("jx20261201.rtf")), entry);
}

TEST_F(ExportCommandTest, LongRangesShowProgressAndCancelWritesNothing)
{
    for (int d = 1; d <= 31; ++d)
        writeFile(docs(QString("jx202610%1.rtf").arg(d, 2, 10, QChar('0'))), rtfWith("October"));
    for (int d = 1; d <= 30; ++d)
        writeFile(docs(QString("jx202609%1.rtf").arg(d, 2, 10, QChar('0'))), rtfWith("September"));
    start();
    prompter.cancelProgressAt = 10;
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Pdf, nullptr, QDate(2026, 9, 1),
                      QDate(2026, 10, 31)),
               out("autumn.pdf"));
    ASSERT_EQ(prompter.texts("progress").size(), 1);
    EXPECT_EQ(prompter.texts("progress")[0], "Exporting 61 diary entries... | 61");
    EXPECT_EQ(prompter.progressSeen.back(), 10);
    EXPECT_FALSE(QFile::exists(out("autumn.pdf")));
    EXPECT_TRUE(QDir(target.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    EXPECT_TRUE(prompter.texts("error").isEmpty() && prompter.texts("information").isEmpty());

    // October alone is short enough to go without.
    prompter.clear();
    prompter.cancelProgressAt = -1;
    exportWith(choose(TExportDialog::Scope::Entries, TExportFormat::Html, nullptr,
                      QDate(2026, 10, 1), QDate(2026, 10, 31)),
               out("october.html"));
    EXPECT_TRUE(prompter.texts("progress").isEmpty());
    EXPECT_EQ(readFile(out("october.html")).count("<h2"), 31) << "a heading for every entry";
}
