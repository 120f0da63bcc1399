#pragma once

#include <QString>

#include <stdexcept>

// The one failure type of the journal store. The message names the file and the system's
// reason, so that the error box can show it as it is.
class TJournalError : public std::runtime_error
{
public:
    explicit TJournalError(const QString& message);
    // what() holds the same text as UTF-8.
    QString message() const;
};

// "Cannot <verb> "<path>": <reason>" -- the shape every store failure takes.
[[noreturn]] void ThrowFileError(const QString& verb, const QString& path, const QString& reason);

// The system's text for an errno value.
QString SystemReason(int errorNumber);
