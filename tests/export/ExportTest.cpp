#include "ExportFixture.h"
#include "print/PdfReader.h"
#include "store/StoreTestSupport.h"

#include <QImageReader>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/stat.h>

namespace {

const QDate dec1(2026, 12, 1), dec2(2026, 12, 2), dec3(2026, 12, 3), dec4(2026, 12, 4);

} // namespace

TEST_F(ExportTest, RangeListsTheStoredEntriesOfItsDaysOldestFirst)
{
    entry(QDate(2026, 11, 30), rtf("November"));
    entry(dec3, rtf("third"));
    entry(dec1, rtf("first"));
    put(docs() + "/JX20261202.RTF", rtf("second, named in capitals"));
    put(docs() + "/jx20261202 copy.rtf", rtf("a copy is no entry"));
    entry(QDate(2027, 1, 1), rtf("next year"));

    const QList<TExportEntry> entries = range(dec1, QDate(2026, 12, 31));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].date, dec1);
    EXPECT_EQ(entries[1].date, dec2);
    EXPECT_EQ(entries[1].path, docs() + "/JX20261202.RTF") << "found ignoring letter case";
    EXPECT_EQ(entries[2].date, dec3);
    EXPECT_EQ(entries[2].backupPath, backup() + "/jx20261203.rtf");
    EXPECT_EQ(range(dec4, QDate(2026, 12, 31)).size(), 0);
    EXPECT_EQ(range(dec2, dec2).size(), 1) << "both ends are included";
}

TEST_F(ExportTest, PdfPutsEachEntryOnNewPagesUnderItsDateWithHeaderAndRunningPageNumbers)
{
    entry(dec1, rtf("Entry one"));
    // Long enough for two pages: the page numbers run on across entries.
    QByteArray longText;
    for (int i = 0; i < 80; ++i)
        longText += "Line " + QByteArray::number(i) + "\\par ";
    entry(dec2, rtf("Entry two\\par " + longText + "end of two"));
    entry(dec3, rtf("Entry three"));
    entry(dec4, rtf("")); // a day opened and left empty is no entry

    TExportSettings s = settings(TExportFormat::Pdf);
    const QString pdf = out("range.pdf");
    const TExportReport report = ExportEntries(range(dec1, dec4), pdf, s);
    EXPECT_TRUE(report.written);
    EXPECT_EQ(report.exported, 3);
    EXPECT_TRUE(report.skipped.isEmpty());

    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 4);
    EXPECT_TRUE(pages[0].contains("Entry one"));
    EXPECT_TRUE(pages[0].contains(longDate(2026, 12, 1)));
    EXPECT_TRUE(pages[0].contains("Diary - " + longDate(2026, 12, 1))) << "the print header";
    EXPECT_FALSE(pages[0].contains("Entry two")) << "the next entry starts a new page";
    EXPECT_TRUE(pages[1].contains("Entry two"));
    EXPECT_TRUE(pages[2].contains("end of two"));
    EXPECT_TRUE(pages[2].contains("Diary - " + longDate(2026, 12, 2)));
    EXPECT_TRUE(pages[3].contains("Entry three"));
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_TRUE(pages[i].contains(QString("Page %1").arg(i + 1))) << i;
    EXPECT_EQ(pdfTitle(pdf), "Diary export");
    EXPECT_EQ(outNames(), QStringList{"range.pdf"});

    // The switches of the print settings hold here too.
    s.print.PrintTabNameInHeader = s.print.PrintPageNumberInFooter = false;
    ExportEntries(range(dec1, dec1), out("bare.pdf"), s);
    const QStringList bare = pdfPages(out("bare.pdf"));
    ASSERT_EQ(bare.size(), 1);
    EXPECT_FALSE(bare[0].contains("Diary - "));
    EXPECT_FALSE(bare[0].contains("Page 1"));
    EXPECT_TRUE(bare[0].contains(longDate(2026, 12, 1)));
}

TEST_F(ExportTest, PlainTextPutsEachDateAboveItsEntry)
{
    entry(dec1, rtf("first line\\par second line"));
    entry(dec3, rtf("caf\\'e9 on the third"));
    const TExportReport report =
        ExportEntries(range(dec1, dec3), out("r.txt"), settings(TExportFormat::Text));
    EXPECT_EQ(report.exported, 2);
    EXPECT_EQ(QString::fromUtf8(get(out("r.txt"))),
              longDate(2026, 12, 1) + "\nfirst line\nsecond line\n\n" + longDate(2026, 12, 3) +
                  "\ncafé on the third\n");
}

TEST_F(ExportTest, HtmlKeepsEachPictureOnceInAFolderBesideThePage)
{
    const QByteArray red = picture(Qt::red), blue = picture(Qt::blue, 6);
    entry(dec1, rtf("red " + red + " one"));
    entry(dec2, rtf("red again " + red + " and blue " + blue));
    entry(dec3, rtf("no picture"));
    const QString html = out("My diary.html");
    const TExportReport report =
        ExportEntries(range(dec1, dec3), html, settings(TExportFormat::Html));
    EXPECT_EQ(report.exported, 3);

    const QString page = QString::fromUtf8(get(html));
    const qsizetype first = page.indexOf(longDate(2026, 12, 1));
    const qsizetype second = page.indexOf(longDate(2026, 12, 2));
    const qsizetype third = page.indexOf("no picture");
    EXPECT_TRUE(first >= 0 && first < second && second < third);
    EXPECT_EQ(page.count("<h2"), 3) << "the dates are headings";
    EXPECT_TRUE(page.contains("<title>Diary export</title>"));

    static const QRegularExpression img(R"re(<img src="([^"]+)")re");
    QStringList sources;
    for (auto it = img.globalMatch(page); it.hasNext();)
        sources << it.next().captured(1);
    ASSERT_EQ(sources.size(), 3);
    EXPECT_EQ(sources[0], sources[1]) << "the same picture is written once";
    EXPECT_NE(sources[0], sources[2]);
    for (const QString& src : sources) {
        EXPECT_TRUE(src.startsWith("My diary_files/")) << src.toStdString();
        const QImage image(out(src));
        EXPECT_FALSE(image.isNull()) << src.toStdString();
    }
    EXPECT_EQ(QImage(out(sources[0])).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(QImage(out(sources[2])).size(), QSize(6, 6));
    EXPECT_EQ(QDir(out("My diary_files")).count(), 2u + 2u); // with "." and ".."
    EXPECT_EQ(outNames(), QStringList({"My diary.html", "My diary_files"}));

    // Replacing an earlier export replaces its pictures' folder as a whole.
    put(out("My diary_files/stale.png"), "old");
    ExportEntries(range(dec2, dec2), html, settings(TExportFormat::Html));
    EXPECT_FALSE(QFile::exists(out("My diary_files/stale.png")));
    EXPECT_EQ(QDir(out("My diary_files")).count(), 2u + 2u);
    EXPECT_EQ(outNames(), QStringList({"My diary.html", "My diary_files"}));
}

TEST_F(ExportTest, TheHeadingLeavesTheEntrysFirstParagraphAsItWas)
{
    entry(dec1, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f2 Symbol;}}\\pard{\\pntext\\f2\\'B7\\tab}"
                "{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-200\\li200 bullet one\\par"
                "{\\pntext\\f2\\'B7\\tab}bullet two\\par}");
    entry(dec2, rtf("\\qc centred\\par\\pard left"));
    ExportEntries(range(dec1, dec2), out("r.html"), settings(TExportFormat::Html));
    const QString page = QString::fromUtf8(get(out("r.html")));
    // Two list items under the first heading, and the heading itself in no list.
    static const QRegularExpression list(R"re(</h2>\s*<ul[^>]*>\s*<li[^>]*>bullet one</li>\s*)re"
                                         R"re(<li[^>]*>bullet two</li>)re");
    EXPECT_TRUE(list.match(page).hasMatch()) << page.toStdString();
    EXPECT_EQ(page.count("<li"), 2);
    static const QRegularExpression centred(R"re(<p align="center"[^>]*>(<span[^>]*>)?centred(</span>)?</p>)re");
    EXPECT_TRUE(centred.match(page).hasMatch()) << page.toStdString();
    EXPECT_FALSE(page.contains(R"(<h2 align="center")")) << "the heading takes no alignment";
}

TEST_F(ExportTest, OdtHoldsTheTextInOrderAndEmbedsThePictures)
{
    entry(dec1, rtf("Alpha " + picture(Qt::green)));
    entry(dec2, rtf("Beta"));
    const QString odt = out("r.odt");
    EXPECT_EQ(ExportEntries(range(dec1, dec2), odt, settings(TExportFormat::Odt)).exported, 2);
    const QString listing = run("unzip", {"-l", odt});
    EXPECT_TRUE(listing.contains("content.xml"));
    EXPECT_TRUE(listing.contains("Pictures/")) << listing.toStdString();
    const QString content = run("unzip", {"-p", odt, "content.xml"});
    const qsizetype alpha = content.indexOf("Alpha"), beta = content.indexOf("Beta");
    EXPECT_TRUE(content.indexOf(longDate(2026, 12, 1)) < alpha && alpha < beta && alpha >= 0);
    EXPECT_TRUE(content.contains(longDate(2026, 12, 2)));
}

TEST_F(ExportTest, CurrentDocumentIsWrittenAsItIsAndNeverChanged)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 11));
    QTextCursor cursor(&doc);
    cursor.insertText("Unsaved words");
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    doc.addResource(QTextDocument::ImageResource, QUrl("rtfimage:abc"), image);
    QTextImageFormat format;
    format.setName("rtfimage:abc");
    cursor.insertImage(format);
    doc.setModified(true);
    const QString before = doc.toHtml();

    for (const TExportFormat f :
         {TExportFormat::Pdf, TExportFormat::Html, TExportFormat::Odt, TExportFormat::Text}) {
        const QString path = out("doc." + ExportExtension(f));
        ExportDocument(doc, "Recipes", path, settings(f));
        EXPECT_TRUE(get(path).size() > 0) << path.toStdString();
    }
    EXPECT_EQ(doc.toHtml(), before);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(pdfPages(out("doc.pdf")).value(0).contains("Recipes"));
    EXPECT_TRUE(pdfPages(out("doc.pdf")).value(0).contains("Unsaved words"));
    EXPECT_EQ(get(out("doc.txt")), QByteArray("Unsaved words\n"));
    EXPECT_TRUE(get(out("doc.html")).contains("doc_files/picture1.png"));
    EXPECT_FALSE(QImage(out("doc_files/picture1.png")).isNull());
}

TEST_F(ExportTest, UnreadableEntriesAreSkippedAndListedAndABackupStandsInForAnEmptiedFile)
{
    entry(dec1, rtf("good one"));
    entry(dec2, QByteArray("\x00\x01\x02junk", 7));
    entry(dec3, QByteArray());
    put(backup() + "/jx20261203.rtf", rtf("restored from the copy"));
    entry(dec4, rtf("good four"));

    const TExportReport report =
        ExportEntries(range(dec1, dec4), out("r.txt"), settings(TExportFormat::Text));
    EXPECT_TRUE(report.written);
    EXPECT_EQ(report.exported, 3);
    ASSERT_EQ(report.skipped.size(), 1);
    EXPECT_TRUE(report.skipped[0].contains(docs() + "/jx20261202.rtf"));
    const QString text = QString::fromUtf8(get(out("r.txt")));
    EXPECT_TRUE(text.contains("good one") && text.contains("restored from the copy") &&
                text.contains("good four"));

    // Nothing readable: nothing is written, and an earlier file stays as it was.
    put(out("keep.pdf"), "earlier");
    const TExportReport none =
        ExportEntries(range(dec2, dec2), out("keep.pdf"), settings(TExportFormat::Pdf));
    EXPECT_FALSE(none.written);
    EXPECT_EQ(none.exported, 0);
    EXPECT_EQ(none.skipped.size(), 1);
    EXPECT_EQ(get(out("keep.pdf")), "earlier");
    EXPECT_EQ(outNames(), QStringList({"keep.pdf", "r.txt"}));
}

TEST_F(ExportTest, TargetsThatCannotBeWrittenNameThePathAndTheReasonAndLeaveNothing)
{
    entry(dec1, rtf("text"));
    const QString missingFolder = temp.path() + "/no such folder/r.pdf";
    for (const TExportFormat f :
         {TExportFormat::Pdf, TExportFormat::Html, TExportFormat::Odt, TExportFormat::Text}) {
        try {
            ExportEntries(range(dec1, dec1), missingFolder, settings(f));
            ADD_FAILURE() << "no error for " << int(f);
        } catch (const TExportError& e) {
            EXPECT_TRUE(e.message().contains(missingFolder)) << e.what();
            EXPECT_TRUE(e.message().contains("No such file or directory")) << e.what();
        }
    }
    QDir().mkpath(out("a folder.html"));
    try {
        QTextDocument doc;
        doc.setPlainText("x");
        ExportDocument(doc, "", out("a folder.html"), settings(TExportFormat::Html));
        ADD_FAILURE() << "a folder was taken for a file";
    } catch (const TExportError& e) {
        EXPECT_TRUE(e.message().contains(out("a folder.html"))) << e.what();
        EXPECT_TRUE(e.message().contains("folder")) << e.what();
    }
    EXPECT_EQ(outNames(), QStringList{"a folder.html"});
}

TEST_F(ExportTest, AFolderTheUserCannotWriteIntoIsNamedWithTheSystemsReason)
{
    entry(dec1, rtf("text"));
    const QList<TExportEntry> entries = range(dec1, dec1);
    const QString locked = out("locked");
    QDir().mkpath(locked);
    OpenPathForOthers(locked);
    ::chmod(QFile::encodeName(locked).constData(), 0555);
    const QString path = locked + "/r.html";
    const int code = RunWherePermissionsHold([&] {
        try {
            ExportEntries(entries, path, settings(TExportFormat::Html));
            return 1;
        } catch (const TExportError& e) {
            return e.message() == "\"" + path + "\" could not be written: Permission denied" ? 0
                                                                                             : 2;
        }
    });
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    SKIP_IF_PERMISSIONS_CANNOT_HOLD(code);
    EXPECT_EQ(code, 0) << "1: no error, 2: another message";
    EXPECT_TRUE(QDir(locked).isEmpty());
}

TEST_F(ExportTest, ACancelledExportLeavesNoFileAndKeepsAnEarlierOne)
{
    for (int d = 1; d <= 6; ++d)
        entry(QDate(2026, 12, d), rtf("day " + QByteArray::number(d) + " " + picture(Qt::red)));
    put(out("r.html"), "earlier page");
    QDir().mkpath(out("r_files"));
    put(out("r_files/picture1.png"), "earlier picture");

    for (const TExportFormat f :
         {TExportFormat::Pdf, TExportFormat::Html, TExportFormat::Odt, TExportFormat::Text}) {
        QList<int> seen;
        const auto stopAtThree = [&](int done, int total) {
            seen << done;
            EXPECT_EQ(total, 6);
            return done < 3;
        };
        const QString path = out("r." + ExportExtension(f));
        const TExportReport report =
            ExportEntries(range(dec1, QDate(2026, 12, 6)), path, settings(f), stopAtThree);
        EXPECT_TRUE(report.cancelled);
        EXPECT_FALSE(report.written);
        EXPECT_EQ(seen, QList<int>({0, 1, 2, 3}));
    }
    EXPECT_EQ(outNames(), QStringList({"r.html", "r_files"}));
    EXPECT_EQ(get(out("r.html")), "earlier page");
    EXPECT_EQ(get(out("r_files/picture1.png")), "earlier picture");

    // Run to the end, the progress is told every entry and the whole.
    QList<int> seen;
    ExportEntries(range(dec1, QDate(2026, 12, 6)), out("r.html"), settings(TExportFormat::Html),
                  [&](int done, int) {
                      seen << done;
                      return true;
                  });
    EXPECT_EQ(seen, QList<int>({0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(QImageReader(out("r_files/picture1.png")).canRead());
}

TEST_F(ExportTest, MarginsWithoutRoomFailBeforeAnythingIsWritten)
{
    entry(dec1, rtf("text"));
    TExportSettings s = settings(TExportFormat::Pdf);
    s.print.TopMargin = 6;
    s.print.BottomMargin = 6;
    EXPECT_THROW(ExportEntries(range(dec1, dec1), out("r.pdf"), s), TExportError);
    EXPECT_TRUE(outNames().isEmpty());
}
