#include "export/ExportTarget.h"

#include "export/Exporter.h"
#include "store/JournalError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <cerrno>
#include <cstdio>

namespace {

// Renames a file or a folder; the system's reason on failure, empty on success.
QString renamed(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return SystemReason(errno);
}

// A temporary folder's name template beside path, hidden as our temporary files are.
QString hiddenBeside(const QString& path, const QString& what)
{
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'-' + what +
           QStringLiteral("-XXXXXX");
}

struct TPicture
{
    QByteArray bytes;
    QString extension;
};

// The picture's own bytes when they are in a format every browser shows; otherwise PNG.
TPicture pictureFile(const QTextDocument& doc, const QString& name)
{
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.userType() == QMetaType::QByteArray) {
        // A picture read from a file stays encoded as it was stored.
        const QByteArray encoded = resource.toByteArray();
        QBuffer buffer;
        buffer.setData(encoded);
        buffer.open(QIODevice::ReadOnly);
        const QByteArray format = QImageReader::imageFormat(&buffer);
        if (format == "png" || format == "jpeg" || format == "gif")
            return {encoded, format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format)};
        image = QImage::fromData(encoded);
    } else if (resource.userType() == QMetaType::QPixmap) {
        image = resource.value<QPixmap>().toImage();
    } else {
        image = resource.value<QImage>();
    }
    if (image.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return {png, QStringLiteral("png")};
}

} // namespace

TExportTarget::TExportTarget(const QString& path) : m_path(path), m_file(path)
{
    if (QFileInfo(path).isDir())
        fail(QStringLiteral("it is a folder"));
    if (!m_file.open(QIODevice::WriteOnly))
        fail(m_file.errorString());
}

TExportTarget::~TExportTarget()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
    if (!m_staging.isEmpty())
        QDir(m_staging).removeRecursively();
}

void TExportTarget::fail(const QString& reason) const
{
    throw TExportError(QStringLiteral("\"%1\" could not be written: %2").arg(m_path, reason));
}

void TExportTarget::write(const QByteArray& bytes)
{
    if (m_file.write(bytes) != bytes.size())
        fail(m_file.errorString());
}

void TExportTarget::writeHtml(QTextDocument& doc)
{
    const QFileInfo target(m_path);
    const QString folderName = target.completeBaseName() + QStringLiteral("_files");

    // Each picture once, named in order of appearance, whatever entries it turns up in.
    QHash<QString, QString> fileOf;
    struct TRename
    {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<TRename> renames;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString name = format.name();
            if (!fileOf.contains(name)) {
                const TPicture picture = pictureFile(doc, name);
                if (picture.bytes.isEmpty()) {
                    fileOf.insert(name, QString());
                    continue;
                }
                if (m_staging.isEmpty()) {
                    QTemporaryDir staging(hiddenBeside(target.absolutePath() + u'/' + folderName,
                                                       QStringLiteral("new")));
                    if (!staging.isValid())
                        fail(staging.errorString());
                    staging.setAutoRemove(false);
                    m_staging = staging.path();
                }
                const QString file =
                    QStringLiteral("picture%1.%2").arg(fileOf.size() + 1).arg(picture.extension);
                QFile out(m_staging + u'/' + file);
                if (!out.open(QIODevice::WriteOnly) ||
                    out.write(picture.bytes) != picture.bytes.size() || !out.flush())
                    fail(out.errorString());
                fileOf.insert(name, folderName + u'/' + file);
            }
            const QString file = fileOf.value(name);
            if (file.isEmpty())
                continue;
            format.setName(file);
            renames.append({fragment.position(), fragment.length(), format});
        }
    }
    for (const TRename& r : std::as_const(renames)) {
        QTextCursor cursor(&doc);
        cursor.setPosition(r.position);
        cursor.setPosition(r.position + r.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(r.format);
    }
    if (!m_staging.isEmpty())
        m_picturesDir = target.absolutePath() + u'/' + folderName;
    write(doc.toHtml().toUtf8());
}

void TExportTarget::swapInPictures()
{
    if (m_staging.isEmpty())
        return;
    if (QFileInfo::exists(m_picturesDir) || QFileInfo(m_picturesDir).isSymLink()) {
        // An earlier export's pictures stay until the new ones are in place.
        QTemporaryDir aside(hiddenBeside(m_picturesDir, QStringLiteral("old")));
        if (!aside.isValid())
            fail(aside.errorString());
        aside.setAutoRemove(false);
        m_aside = aside.path();
        const QString reason = renamed(m_picturesDir, m_aside + QStringLiteral("/old"));
        if (!reason.isEmpty()) {
            QDir(m_aside).removeRecursively();
            m_aside.clear();
            fail(QStringLiteral("the folder \"%1\" could not be replaced: %2")
                     .arg(m_picturesDir, reason));
        }
    }
    const QString reason = renamed(m_staging, m_picturesDir);
    if (!reason.isEmpty()) {
        putBackPictures();
        fail(QStringLiteral("the folder \"%1\" could not be made: %2").arg(m_picturesDir, reason));
    }
    m_staging.clear();
}

void TExportTarget::putBackPictures()
{
    if (m_aside.isEmpty())
        return;
    renamed(m_aside + QStringLiteral("/old"), m_picturesDir);
    QDir().rmdir(m_aside);
    m_aside.clear();
}

void TExportTarget::commit()
{
    if (m_file.error() != QFileDevice::NoError)
        fail(m_file.errorString());
    swapInPictures();
    if (!m_file.commit()) {
        // The page could not be put in place: neither may its pictures be.
        const QString reason = m_file.errorString();
        if (!m_picturesDir.isEmpty() && m_staging.isEmpty()) {
            QTemporaryDir back(hiddenBeside(m_picturesDir, QStringLiteral("new")));
            if (back.isValid() &&
                renamed(m_picturesDir, back.path() + QStringLiteral("/new")).isEmpty())
                putBackPictures();
        }
        fail(reason);
    }
    if (!m_aside.isEmpty()) {
        QDir(m_aside).removeRecursively();
        m_aside.clear();
    }
}
