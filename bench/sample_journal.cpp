// Fills a documents folder for the start-up measurement:
//   sample_journal <Docs folder> empty   nothing at all
//   sample_journal <Docs folder> many    7,300 small days up to today and 500 keyword files
//   sample_journal <Docs folder> large   today's entry of 5 MB as a rich-edit control writes it
#include "SampleDocuments.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString entryPath(const QString& docs, QDate day)
{
    return docs + day.toString("'/jx'yyyyMMdd'.rtf'");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the photos of the sample documents need QtGui
    if (argc != 3) {
        std::fprintf(stderr, "usage: sample_journal <Docs folder> empty|many|large\n");
        return 2;
    }
    const QString docs = QString::fromLocal8Bit(argv[1]);
    const QByteArray kind = argv[2];
    if (!QDir().mkpath(docs + "/Backup"))
        return 1;
    const QDate today = QDate::currentDate();
    bool ok = true;
    if (kind == "many") {
        for (int i = 0; i < 7300; ++i)
            ok = ok && write(entryPath(docs, today.addDays(-i)), SmallEntryRtf());
        for (int i = 0; i < 500; ++i)
            ok = ok && write(docs + QStringLiteral("/kw_Keyword %1.rtf").arg(i), SmallEntryRtf());
    } else if (kind == "large") {
        ok = write(entryPath(docs, today), RichEditStyleRtf(5 << 20));
    } else if (kind != "empty") {
        std::fprintf(stderr, "unknown journal: %s\n", kind.constData());
        return 2;
    }
    return ok ? 0 : 1;
}
