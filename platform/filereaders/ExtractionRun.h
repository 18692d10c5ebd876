#pragma once
// One file's extraction as the readers carry it out: the limits and the clock, the text found so
// far, and what cut it or damaged it. A reader asks mustStop() as it goes and reports damage; the
// run turns all of it into the Extraction handed back.
#include "TextBuilder.h"
#include "TextExtraction.h"

#include <QElapsedTimer>
#include <QStringList>

namespace zq::extract {

class ExtractionRun {
public:
    // The clock starts here.
    ExtractionRun(FileType type, const ExtractLimits& limits);

    const ExtractLimits& limits() const { return m_limits; }
    TextBuilder& text() { return m_text; }

    // True when the reader has to stop: the text is full, the time is up or the run failed.
    // The first time a limit is met it is noted and the text marked as cut.
    bool mustStop();
    // What is left of the time limit, in milliseconds (0 when it is up).
    qint64 remainingMs() const;
    // Bytes inflated from a zip, counted against maxReadBytes: how many of them fit. Fewer than
    // `bytes` cuts the text, and nothing more fits afterwards.
    qsizetype spendInflated(qsizetype bytes);
    // The file was longer than maxReadBytes and only its start was read.
    void readCut();

    // The file is damaged at some point (detail: where and how); what was read before stays. A
    // damaged file from which no text came could not be read as its type.
    void damaged(const QString& detail);
    // The file cannot be read as its type at all (the whole message).
    void fail(const QString& error);
    // A note that is neither a cut nor damage (a page skipped, a part missing).
    void note(const QString& text);
    // The file was read whole and is sound, but holds none of the text its type is for; `why`
    // follows "无文字层" in the note.
    void textless(const QString& why);
    // A reader could not be stopped and still runs in this process.
    void readerLeftRunning() { m_readerLeftRunning = true; }
    bool failed() const { return !m_error.isEmpty(); }

    Extraction finish();

private:
    void cut(const QString& note);
    bool textFull();   // noted the first time

    FileType m_type;
    ExtractLimits m_limits;
    QElapsedTimer m_clock;
    TextBuilder m_text;
    qint64 m_inflated = 0;
    bool m_textCut = false;
    bool m_timeCut = false;
    bool m_inflateCut = false;
    bool m_truncated = false;
    bool m_textless = false;
    bool m_readerLeftRunning = false;
    QString m_damage;
    QString m_error;
    QStringList m_notes;
};

// The message that names a damaged file of a type: "PDF 文件已损坏: <detail>".
QString DamagedMessage(FileType type, const QString& detail);

} // namespace zq::extract
