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

QList<TPdfImage> pdfImages(const QString& path)
{
    // "page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio",
    // under two heading lines.
    QList<TPdfImage> images;
    const QStringList lines = run("pdfimages", {"-list", path}).split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].simplified().split(' ');
        if (f.size() < 14 || f[2] != "image")
            continue;
        const double xppi = f[12].toDouble(), yppi = f[13].toDouble();
        if (xppi <= 0 || yppi <= 0)
            continue;
        images.append({f[0].toInt() - 1, QSizeF(f[3].toDouble() / xppi, f[4].toDouble() / yppi)});
    }
    return images;
}

QImage pdfPageImage(const QString& path, int page, int dpi)
{
    const QString base = path + QStringLiteral(".page");
    run("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page + 1), "-l",
                     QString::number(page + 1), "-singlefile", "-png", path, base});
    return QImage(base + QStringLiteral(".png"));
}
