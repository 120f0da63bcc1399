#include "app/DirectionHint.h"

#include "rtf/RtfReader.h"
#include "rtf/TextDirection.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

TDirectionHint::TDirectionHint(QObject* parent) : QObject(parent)
{
}

namespace {

// Set by lookAhead: whether the document held no right-to-left letter when it was read.
const char* const LeftToRightOnly = "leftToRightOnly";

} // namespace

void TDirectionHint::lookAhead(QTextDocument& doc, const TRtfReadReport& report)
{
    doc.setProperty(LeftToRightOnly, !report.rightToLeft);
}

void TDirectionHint::follow(QTextDocument* doc)
{
    if (document)
        disconnect(document, nullptr, this, nullptr);
    document = doc;
    hinted = false;
    if (!doc)
        return;
    const QVariant lookedAt = doc->property(LeftToRightOnly);
    doc->setProperty(LeftToRightOnly, QVariant());
    if (doc->defaultTextOption().textDirection() != Qt::LayoutDirectionAuto)
        return;
    if (lookedAt.isValid() ? !lookedAt.toBool() : HoldsRightToLeft(doc->toRawText()))
        return;
    QTextOption option = doc->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    doc->setDefaultTextOption(option);
    hinted = true;
    connect(doc, &QTextDocument::contentsChange, this, &TDirectionHint::contentsChange);
}

QTextOption TDirectionHint::withoutHint(QTextOption option) const
{
    if (hinted)
        option.setTextDirection(Qt::LayoutDirectionAuto);
    return option;
}

void TDirectionHint::contentsChange(int from, int removed, int added)
{
    if (!hinted || added <= 0)
        return;
    // A layout taking the document up announces it whole, as if all of it had just come in;
    // no edit can (a document is never shorter than its one paragraph end).
    if (from == 0 && removed == 0 && added == document->characterCount())
        return;
    QTextCursor inserted(document);
    inserted.setPosition(from);
    inserted.setPosition(std::min(from + added, document->characterCount() - 1),
                         QTextCursor::KeepAnchor);
    if (!HoldsRightToLeft(inserted.selectedText()))
        return;
    hinted = false;
    // Not while the document is still telling its layout about the change.
    QTimer::singleShot(0, this, &TDirectionHint::takeBack);
}

void TDirectionHint::takeBack()
{
    if (!document || hinted)
        return;
    QTextOption option = document->defaultTextOption();
    option.setTextDirection(Qt::LayoutDirectionAuto);
    document->setDefaultTextOption(option);
    disconnect(document, nullptr, this, nullptr);
}
