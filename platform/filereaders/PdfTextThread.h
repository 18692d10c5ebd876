#pragma once
// The text of a PDF's pages as Qt PDF (PDFium) reads them, on a thread of its own. PDFium cannot
// be interrupted: a page tree that loops keeps it opening the file for ever (inside the lock Qt PDF
// holds for the whole process), a page of forms that draw each other keeps it busy for minutes.
// The reader waits for this thread only as long as its time allows; a thread still busy when the
// reader gives up is left to run, and no other PDF can be read in this process after it (the
// extraction worker ends and the indexer starts a new one).
#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QPdfDocument;

namespace zq::extract {

class PdfTextThread {
public:
    enum class Opening { Open, NotPdf, Encrypted, UnsupportedEncryption, NotFinished };

    struct Page {
        int index = 0;           // from 0
        bool readable = false;   // PDFium found the page
        QString text;            // as PDFium gives it: lines ended by CR LF
    };

    // Starts reading. The bytes are shared with the thread, which may outlive this object.
    explicit PdfTextThread(const QByteArray& bytes);
    // Stops the thread after the page in hand (finish(0) when finish() was not called).
    ~PdfTextThread();
    PdfTextThread(const PdfTextThread&) = delete;
    PdfTextThread& operator=(const PdfTextThread&) = delete;

    // Waits at most waitMs for the file to be opened. Throws std::bad_alloc when PDFium's thread ran
    // out of memory.
    Opening open(qint64 waitMs);
    // Why a file that is no PDF PDFium can open could not be opened.
    QString damage() const;
    int pageCount() const;
    // The next page, waiting at most waitMs for it; none when the time is up or every page was read.
    std::optional<Page> nextPage(qint64 waitMs);
    // Every page was read and handed over.
    bool allPagesRead() const;
    // Asks the thread to stop after the page in hand and waits at most waitMs for it. False when
    // it is still busy: it is left to run, and this process can read no further PDF.
    bool finish(qint64 waitMs);

    // A thread left running by an earlier file holds Qt PDF's lock, maybe for ever.
    static bool earlierThreadRunning();

    struct Shared;   // what the thread and the reader share

private:
    std::shared_ptr<Shared> m_shared;
    bool m_finished = false;
};

// How a document Qt PDF has loaded opened; *damage says why one that is no PDF could not be.
PdfTextThread::Opening PdfOpening(const QPdfDocument& document, QString* damage);

} // namespace zq::extract
