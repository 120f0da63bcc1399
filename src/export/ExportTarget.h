#pragma once

#include <QSaveFile>
#include <QString>

class QTextDocument;

// The file an export writes, replaced in one step when everything is in it: until commit()
// the target stays as it was, and a target left uncommitted (a failure, a cancel) leaves
// nothing behind. Every failure throws TExportError naming the path and the system's reason.
class TExportTarget
{
public:
    explicit TExportTarget(const QString& path);
    ~TExportTarget();
    TExportTarget(const TExportTarget&) = delete;
    TExportTarget& operator=(const TExportTarget&) = delete;

    QSaveFile& file() { return m_file; }
    void write(const QByteArray& bytes);
    // Writes doc (whose picture names it changes) as a web page, its pictures into the folder
    // "<name>_files" beside it; the folder is put in place together with the page at commit().
    void writeHtml(QTextDocument& doc);
    void commit();
    [[noreturn]] void fail(const QString& reason) const;

private:
    void swapInPictures();
    void putBackPictures();

    QString m_path;
    QSaveFile m_file;
    QString m_staging;     // the pictures as written, under a hidden name
    QString m_picturesDir; // where they go
    QString m_aside;       // a folder of an earlier export in the way, until the commit
};
