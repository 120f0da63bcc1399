#pragma once

#include "rtf/DocumentFile.h"
#include "store/ExternalChange.h"

#include <QString>

#include <functional>
#include <memory>

class QTextDocument;
class QThread;
struct TRtfReadReport;

// Reads one document file on a thread of its own, into a document of its own, while the program
// does other work: a long entry is read while the window is still being built. What it read is
// used only when the file is still exactly as it was then; otherwise the file is read as usual.
class TReadAhead
{
public:
    // What else is done to a document read, on the reading thread, knowing what reading it met.
    using TPrepare = std::function<void(QTextDocument&, const TRtfReadReport&)>;

    // Starts reading at once. The document read belongs to the thread that made the read-ahead.
    explicit TReadAhead(const QString& path, TPrepare prepare = {});
    // Waits for the reading thread: it never outlives what it fills.
    ~TReadAhead();
    TReadAhead(const TReadAhead&) = delete;
    TReadAhead& operator=(const TReadAhead&) = delete;

    const QString& path() const { return m_path; }

    struct TResult
    {
        std::unique_ptr<QTextDocument> document;
        TDocumentFormat format = TDocumentFormat::Unreadable;
        bool lossy = false; // reading dropped something the file held
    };
    // Waits for the reading to end and hands over its document: an empty result when the file
    // could not be read, held neither RTF nor text, or was changed since it was read.
    TResult take();

private:
    void read();

    QString m_path;
    TPrepare m_prepare;
    QThread* m_owner = nullptr;
    TFileStamp m_before;
    TFileStamp m_after;
    TResult m_result;
    std::unique_ptr<QThread> m_thread;
};
