#pragma once
// The quick search's answer as zqpdm-search writes it: the rows in the chosen format, then the
// event lines (the HIT details, the counts, the notes, the problems). Written through QuickOutput,
// so the command line sends it to its standard output and error while the web server keeps the
// same bytes in memory for a search it ran on a connection of its own.
#include "EventLines.h"
#include "ResultFormats.h"

#include <QByteArrayView>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

namespace zq::quick {
class QuickSearch;
struct QuickHit;
} // namespace zq::quick

namespace zq::tool {

// Where a report goes.
class QuickOutput {
public:
    virtual ~QuickOutput() = default;
    virtual ResultWriter::Sink rowSink() = 0;
    // After the last row: the reason when not all of the rows were taken, else empty.
    virtual QString finishRows() = 0;
    virtual void eventLine(const QString& line) = 0;
};

enum QuickExit { QuickOk = 0, QuickFailed = 1, QuickUsageError = 2 };

class QuickReport {
public:
    QuickReport(OutputFormat format, EventFormat events, QuickOutput& output)
        : m_format(format), m_events(events), m_output(output)
    {
    }

    // The kinds to search: those the installation's page list shows, narrowed by ASKED; nullopt
    // after a usage error (told).
    std::optional<QStringList> kinds(const QStringList& asked) const;
    // One text searched in KINDS; CANCEL stops it at the next row.
    int searchText(quick::QuickSearch& search, const QString& text, const QStringList& kinds,
                   const std::atomic_bool* cancel = nullptr) const;
    // A pasted list (its bytes, UTF-8 or GBK) checked line by line.
    int checkList(quick::QuickSearch& search, const QByteArray& list, const QStringList& kinds,
                  const std::atomic_bool* cancel = nullptr) const;
    void note(const QString& text) const;

private:
    QString printRows(const QStringList& headers, const QList<QStringList>& rows) const;
    void hitDetails(int row, const quick::QuickHit& hit) const;

    OutputFormat m_format;
    EventLines m_events;
    QuickOutput& m_output;
};

} // namespace zq::tool
