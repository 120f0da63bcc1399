#include "journal/ReadAhead.h"

#include "rtf/DocumentFile.h"
#include "rtf/RtfReader.h"
#include "store/Paths.h"

#include <QTextDocument>
#include <QThread>

TReadAhead::TReadAhead(const QString& path, TPrepare prepare)
    : m_path(path), m_prepare(std::move(prepare)), m_owner(QThread::currentThread()),
      m_thread(QThread::create([this] { read(); }))
{
    m_thread->setObjectName(QStringLiteral("ReadAhead"));
    m_thread->start();
}

TReadAhead::~TReadAhead()
{
    m_thread->wait();
}

void TReadAhead::read()
{
    try {
        m_before = StampOf(m_path);
        const QByteArray bytes = ReadWholeFile(m_path);
        // Made on this thread so that everything the reader hangs below it (lists, frames)
        // belongs to the same thread; all of it moves to the owner's thread at the end.
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        TRtfReadReport report;
        const TDocumentFormat format = LoadDocumentBytes(bytes, *doc, &report);
        m_after = StampOf(m_path);
        if (format == TDocumentFormat::Unreadable)
            return;
        if (m_prepare)
            m_prepare(*doc, report);
        doc->setUndoRedoEnabled(true);
        doc->setModified(false);
        doc->moveToThread(m_owner);
        m_result.document = std::move(doc);
        m_result.format = format;
        m_result.lossy = report.lossy();
    } catch (const std::exception&) {
        // Read again by the one who asks, who reports the failure as any other.
        m_result = {};
    }
}

TReadAhead::TResult TReadAhead::take()
{
    m_thread->wait();
    TResult result = std::move(m_result);
    m_result = {};
    const TFileStamp now = StampOf(m_path);
    if (!now.exists || now != m_before || now != m_after)
        result = {};
    return result;
}
