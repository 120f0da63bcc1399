#pragma once

#include <QDate>
#include <QString>

// Which document the editor shows: the diary entry of a date, or the keyword file of a name.
// A keyword named "Diary" is a keyword like any other: only the Diary tab shows entries.
class TDocumentId
{
public:
    TDocumentId() = default;
    static TDocumentId entry(QDate date);
    static TDocumentId keyword(const QString& name);

    bool isEntry() const { return kind == Kind::Entry; }
    bool isKeyword() const { return kind == Kind::Keyword; }
    bool isNone() const { return kind == Kind::None; }
    QDate date() const { return entryDate; }
    QString keywordName() const { return name; }

    friend bool operator==(const TDocumentId&, const TDocumentId&) = default;

private:
    enum class Kind { None, Entry, Keyword };
    Kind kind = Kind::None;
    QDate entryDate;
    QString name;
};
