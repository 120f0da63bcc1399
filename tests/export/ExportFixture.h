#pragma once

#include "export/Exporter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A documents folder with its backup folder, and a folder to export into.
class ExportTest : public testing::Test
{
protected:
    QTemporaryDir temp;

    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QDir().mkpath(docs() + "/Backup");
        QDir().mkpath(out());
    }

    QString docs() const { return temp.path() + "/Docs"; }
    QString backup() const { return docs() + "/Backup"; }
    QString out(const QString& name = {}) const
    {
        return name.isEmpty() ? temp.path() + "/out" : temp.path() + "/out/" + name;
    }

    static void put(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(bytes);
    }
    static QByteArray get(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray rtf(const QByteArray& body)
    {
        return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard " + body + "\\par\r\n}";
    }
    // A small PNG of one colour, as RTF carries it.
    static QByteArray picture(QColor colour, int size = 8)
    {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return "{\\pict\\pngblip\\picw" + QByteArray::number(size) + "\\pich" +
               QByteArray::number(size) + " " + png.toHex() + "}";
    }
    void entry(QDate date, const QByteArray& bytes)
    {
        put(docs() + "/jx" + date.toString("yyyyMMdd").toLatin1() + ".rtf", bytes);
    }
    QList<TExportEntry> range(QDate from, QDate to) const
    {
        return EntriesInRange(docs(), backup(), from, to);
    }
    static TExportSettings settings(TExportFormat format)
    {
        TExportSettings s;
        s.format = format;
        s.defaultFont = QFont("DejaVu Sans", 12);
        s.title = "Diary export";
        s.creator = "Tarvex's Diary";
        s.pageSize = QPageSize(QPageSize::A4);
        return s;
    }
    static QString longDate(int y, int m, int d)
    {
        return QLocale().toString(QDate(y, m, d), QLocale::LongFormat);
    }
    // Everything in the export folder, hidden names included: nothing may be left half done.
    QStringList outNames() const
    {
        return QDir(out()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                     QDir::Name);
    }
    static QString run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};
