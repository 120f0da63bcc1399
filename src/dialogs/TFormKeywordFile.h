#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

// Asks for a keyword name, for a new keyword file and for a rename. OK closes only with a name
// the journal can store; otherwise the reason is shown and the text stays as typed.
class TFormKeywordFile : public QDialog
{
    Q_OBJECT
public:
    using MessageSink = std::function<void(const QString& message)>;
    // A further check of the caller's (a rename refuses names already taken); returns the
    // message to show, or an empty string when the name may be used.
    using NameCheck = std::function<QString(const QString& name)>;

    TFormKeywordFile(QWidget* owner, const QString& proposedName, MessageSink showMessage);

    QString keyword() const;
    QLineEdit* Keyword = nullptr;
    void setNameCheck(NameCheck check) { nameCheck = std::move(check); }

    void accept() override;

private:
    bool ValidateKeywordName();
    MessageSink showMessage;
    NameCheck nameCheck;
};
