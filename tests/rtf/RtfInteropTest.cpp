#include "OdfText.h"
#include "RtfTestSupport.h"

#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextList>

#include <gtest/gtest.h>

// Has LibreOffice and pandoc read files this program writes. The test runs as its own ctest
// entry (label "interop"), because LibreOffice takes seconds to start.

namespace {

const QString ExpectedText =
    QString::fromUtf8("Plain bolded italics underlined struck reddish Centred line é€Я Right line "
                      "bullet one bullet two The end");

QByteArray interopDocument()
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 12));
    QTextCursor cursor(&doc);
    QTextCharFormat plain, bold, italic, underline, strike, red;
    bold.setFontWeight(QFont::Bold);
    italic.setFontItalic(true);
    underline.setFontUnderline(true);
    strike.setFontStrikeOut(true);
    red.setForeground(QColor(255, 0, 0));
    cursor.insertText("Plain ", plain);
    cursor.insertText("bolded", bold);
    cursor.insertText(" ", plain);
    cursor.insertText("italics", italic);
    cursor.insertText(" ", plain);
    cursor.insertText("underlined", underline);
    cursor.insertText(" ", plain);
    cursor.insertText("struck", strike);
    cursor.insertText(" ", plain);
    cursor.insertText("reddish", red);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    cursor.insertBlock(centre);
    cursor.insertText(QString::fromUtf8("Centred line é€Я"), plain);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.insertBlock(right);
    cursor.insertText("Right line", plain);
    QTextBlockFormat bullet;
    bullet.setLeftMargin(10);
    cursor.insertBlock(bullet);
    cursor.createList(QTextListFormat::ListDisc);
    cursor.insertText("bullet one", plain);
    cursor.insertBlock();
    cursor.insertText("bullet two", plain);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText("The end", plain);
    return WriteRtf(doc);
}

QString run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return {};
    }
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString simplified(QString text)
{
    return text.replace(QChar(0xB7), u' ').replace(QChar(0x2022), u' ').simplified();
}

bool interopRequested()
{
    return qEnvironmentVariableIsSet("JORNIX_RUN_INTEROP");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What this program saves after opening the bytes, as the editor does it.
QByteArray openAndSave(const QByteArray& rtf)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 12));
    EXPECT_TRUE(ReadRtf(rtf, doc));
    return WriteRtf(doc);
}

// Has LibreOffice turn every file into flat ODF in one run (it takes seconds to start).
void convertToFlatOdf(const QString& soffice, const QTemporaryDir& dir, const QStringList& files)
{
    run(soffice,
        QStringList{"-env:UserInstallation=" +
                        QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                    "--headless", "--convert-to", "fodt", "--outdir", dir.filePath("out")} +
            files,
        600000);
}

} // namespace

TEST(RtfInterop, LibreOfficeReadsTextAndFormatting)
{
    if (!interopRequested())
        GTEST_SKIP() << "runs as the ctest entry rtf_interop";
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (Debian package libreoffice-writer-nogui); "
                        "interop not checked";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("written.rtf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(interopDocument());
    file.close();
    // A profile of its own, so parallel runs and a user's LibreOffice do not get in the way.
    run(soffice,
        {"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
         "--headless", "--convert-to", "html", "--outdir", dir.filePath("out"), file.fileName()},
        240000);
    QFile html(dir.filePath("out/written.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly)) << "LibreOffice wrote no HTML";
    const QString page = QString::fromUtf8(html.readAll()).simplified();
    const QString body = page.mid(page.indexOf("<body"));

    QString text = body;
    text.remove(QRegularExpression("<[^>]*>"));
    EXPECT_EQ(simplified(text), ExpectedText);

    auto has = [&](const QString& pattern) {
        return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
            .match(body)
            .hasMatch();
    };
    // Each effect encloses its own word and no other.
    EXPECT_TRUE(has("<b>bolded</b>")) << body.toStdString();
    EXPECT_FALSE(has("<b>[^<]*(Plain|italics)"));
    EXPECT_TRUE(has("<i>(<[^>]*>)*italics"));
    EXPECT_TRUE(has("<u>(<[^>]*>)*underlined"));
    EXPECT_TRUE(has("<(strike|s|del)>(<[^>]*>)*struck"));
    EXPECT_TRUE(has("color=\"#ff0000\"[^>]*>(<[^>]*>)*reddish"));
    EXPECT_FALSE(has("color=\"#ff0000\"[^>]*>(<[^>]*>)*(Centred|struck)"));
    EXPECT_TRUE(has("<p align=\"center\"[^>]*>(<[^>]*>)*Centred line"));
    EXPECT_TRUE(has("<p align=\"right\"[^>]*>(<[^>]*>)*Right line"));
    EXPECT_TRUE(has("<ul>\\s*<li>(<[^>]*>)*bullet one.*<li>(<[^>]*>)*bullet two.*</ul>"));
    EXPECT_FALSE(has("<li>(<[^>]*>)*The end"));
}

TEST(RtfInterop, PandocReadsTheSameText)
{
    if (!interopRequested())
        GTEST_SKIP() << "runs as the ctest entry rtf_interop";
    const QString pandoc = QStandardPaths::findExecutable("pandoc");
    if (pandoc.isEmpty())
        GTEST_SKIP() << "pandoc is not installed; interop not checked";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("written.rtf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(interopDocument());
    file.close();
    // Plain output still marks strike-through with tildes.
    EXPECT_EQ(
        simplified(run(pandoc, {"-f", "rtf", "-t", "plain", file.fileName()}, 60000).remove("~~")),
        ExpectedText);
    const QString markdown = run(pandoc, {"-f", "rtf", "-t", "markdown", file.fileName()}, 60000);
    EXPECT_TRUE(markdown.contains("**bolded**")) << markdown.toStdString();
    EXPECT_TRUE(markdown.contains("*italics*"));
    EXPECT_TRUE(markdown.contains("~~struck~~"));
}

TEST(RtfInterop, LibreOfficeSeesTheSameTextAndFormattingAfterAnOpenAndSave)
{
    if (!interopRequested())
        GTEST_SKIP() << "runs as the ctest entry rtf_interop";
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (Debian package libreoffice-writer-nogui)";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir samples(QString::fromLocal8Bit(qgetenv("JORNIX_SOURCE_DIR")) + "/tests/rtf/samples");
    QStringList names;
    QStringList files;
    for (const QString& file : samples.entryList({"*.rtf"}, QDir::Files, QDir::Name)) {
        const QString name = QFileInfo(file).completeBaseName();
        const QByteArray original = readFile(samples.filePath(file));
        writeFile(dir.filePath(name + ".rtf"), original);
        writeFile(dir.filePath(name + ".saved.rtf"), openAndSave(original));
        names << name;
    }
    const QByteArray interop = interopDocument();
    writeFile(dir.filePath("interop.rtf"), interop);
    writeFile(dir.filePath("interop.saved.rtf"), openAndSave(interop));
    names << "interop";
    for (const QString& name : std::as_const(names))
        files << dir.filePath(name + ".rtf") << dir.filePath(name + ".saved.rtf");
    convertToFlatOdf(soffice, dir, files);

    for (const QString& name : std::as_const(names)) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray original = readFile(dir.filePath("out/" + name + ".fodt"));
        const QByteArray saved = readFile(dir.filePath("out/" + name + ".saved.fodt"));
        if (original.isEmpty()) {
            // LibreOffice cannot open some files at all (device bitmaps, for one).
            std::printf("%-24s LibreOffice cannot open the original\n", qPrintable(name));
            continue;
        }
        ASSERT_FALSE(saved.isEmpty()) << "LibreOffice cannot open the saved copy";
        // LibreOffice misreads the original here: a Shift-JIS character whose second byte is
        // a backslash becomes two wrong ones; the copy, read right, differs there.
        const bool misread = name == "japanese_cp932";
        const odftest::TFidelity fidelity =
            odftest::compare(odftest::flatten(original), odftest::flatten(saved));
        std::printf("%-24s text %6.2f%%  formatting %6.2f%%  (%lld characters)%s%s\n",
                    qPrintable(name), fidelity.textShare(), fidelity.lookShare(),
                    static_cast<long long>(fidelity.characters),
                    fidelity.firstDifference.isEmpty() ? "" : "  first difference ",
                    qPrintable(fidelity.firstDifference));
        if (misread) {
            EXPECT_GE(fidelity.sameText, fidelity.characters - 2);
            EXPECT_EQ(fidelity.sameLook, fidelity.sameText);
            continue;
        }
        EXPECT_EQ(fidelity.sameText, fidelity.characters) << fidelity.firstDifference.toStdString();
        EXPECT_GE(fidelity.lookShare(), 99.5) << fidelity.firstDifference.toStdString();
    }
}

TEST(RtfInterop, LibreOfficeStillSeesPicturesAndObjectsAfterTheTextAroundThemIsEdited)
{
    if (!interopRequested())
        GTEST_SKIP() << "runs as the ctest entry rtf_interop";
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (Debian package libreoffice-writer-nogui)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray original = rtftest::sampleBytes("objects.rtf");
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(original, doc));
    QTextCursor(&doc).insertText("Written today. ");
    QTextCursor found = doc.find("after it");
    ASSERT_FALSE(found.isNull());
    found.insertText("right after it");
    writeFile(dir.filePath("objects.rtf"), original);
    writeFile(dir.filePath("edited.rtf"), WriteRtf(doc));
    convertToFlatOdf(soffice, dir, {dir.filePath("objects.rtf"), dir.filePath("edited.rtf")});

    const odftest::TFlatText before = odftest::flatten(readFile(dir.filePath("out/objects.fodt")));
    const odftest::TFlatText after = odftest::flatten(readFile(dir.filePath("out/edited.fodt")));
    ASSERT_GT(before.frames, 0) << "LibreOffice shows the original's pictures";
    EXPECT_EQ(after.frames, before.frames);
    EXPECT_EQ(after.frameSizes, before.frameSizes);
    EXPECT_TRUE(after.text.startsWith("Written today. Before the metafile"));
    EXPECT_TRUE(after.text.contains("right after it"));
}
