#include "RtfTestSupport.h"

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
