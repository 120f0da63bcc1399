#include "search/IndexLocation.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString SearchCacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/tarvex-diary");
}

QString SearchIndexPath(const QString& docsDir)
{
    QString canonical = QFileInfo(docsDir).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(QFileInfo(docsDir).absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return SearchCacheDir() + QStringLiteral("/search-") + QString::fromLatin1(hash) +
           QStringLiteral(".sqlite");
}
