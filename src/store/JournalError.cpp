#include "store/JournalError.h"

#include <QtGlobal>

TJournalError::TJournalError(const QString& message)
    : std::runtime_error(message.toUtf8().toStdString())
{
}

QString TJournalError::message() const
{
    return QString::fromUtf8(what());
}

void ThrowFileError(const QString& verb, const QString& path, const QString& reason)
{
    throw TJournalError(QStringLiteral("Cannot %1 \"%2\": %3").arg(verb, path, reason));
}

QString SystemReason(int errorNumber)
{
    return qt_error_string(errorNumber);
}
