#include "PdfReader.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    const bool finished = p.waitForFinished(60000);
    EXPECT_TRUE(finished && p.exitCode() == 0)
        << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString unescape(QString s)
{
    s.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
    return s.replace("&amp;", "&");
}

} // namespace

QStringList pdfPages(const QString& path)
{
    QStringList pages = run("pdftotext", {"-layout", path, "-"}).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast(); // pdftotext ends every page with a form feed
    return pages;
}

QList<TPdfWord> pdfWords(const QString& path)
{
    const QString html = run("pdftotext", {"-bbox", path, "-"});
    static const QRegularExpression tag(
        R"re(<page\b|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<TPdfWord> words;
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == "<page") {
            ++page;
            continue;
        }
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        words.append(
            {page,
             QRectF(QPointF(x0, y0), QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
             unescape(m.captured(5))});
    }
    return words;
}

QString pdfTitle(const QString& path)
{
    static const QRegularExpression title(R"(^Title:\s*(.*)$)",
                                          QRegularExpression::MultilineOption);
    return title.match(run("pdfinfo", {path})).captured(1).trimmed();
}
