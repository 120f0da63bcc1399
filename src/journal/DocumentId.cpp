#include "journal/DocumentId.h"

TDocumentId TDocumentId::entry(QDate date)
{
    TDocumentId id;
    id.kind = Kind::Entry;
    id.entryDate = date;
    return id;
}

TDocumentId TDocumentId::keyword(const QString& keywordName)
{
    TDocumentId id;
    id.kind = Kind::Keyword;
    id.name = keywordName;
    return id;
}
