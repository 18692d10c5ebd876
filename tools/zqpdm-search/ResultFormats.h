#pragma once
// The result list (a header line and rows of cells) in the formats zqpdm-search writes it:
//   tsv   the tool's own lines: cells joined by a tab, tab / line feed / carriage return as \t \n \r
//   csv   RFC 4180: fields joined by commas, quoted when they hold a comma, quote, CR or LF (quotes
//         doubled inside), lines ending in CR LF, the header line first
//   json  one array of objects, one object a row, keyed by the column headers
// All three are UTF-8 once written.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <span>

namespace zq::tool {

enum class OutputFormat { Tsv, Csv, Json };

std::optional<OutputFormat> OutputFormatNamed(const QString& name);   // "tsv", "csv", "json"

// Writes a list row by row as it is walked, in UTF-8 pieces of about `pieceBytes` handed to the
// sink; a long list is never held a second time as text.
class ResultWriter {
public:
    using Sink = std::function<void(QByteArrayView)>;
    ResultWriter(OutputFormat format, const QStringList& headers, Sink sink, qsizetype pieceBytes = 64 * 1024);
    ResultWriter(const ResultWriter&) = delete;
    ResultWriter& operator=(const ResultWriter&) = delete;

    void row(std::span<const QStringView> cells);
    // Ends the text (the json array's close) and hands the sink what is left.
    void finish();

private:
    void writeLine(std::span<const QStringView> cells);           // tsv or csv
    void writeJsonObject(std::span<const QStringView> cells);
    void encodeLine();   // m_line into the piece, the piece to the sink once it is full
    void flush();

    OutputFormat m_format;
    QStringList m_jsonKeys;
    Sink m_sink;
    qsizetype m_pieceBytes;
    QString m_line;          // the row being written, its storage used again for the next
    QByteArray m_piece;
    QStringEncoder m_utf8{QStringEncoder::Utf8};
    qsizetype m_rows = 0;
    bool m_finished = false;
};

class ResultFormats {
public:
    static QString format(OutputFormat format, const QStringList& headers, const QList<QStringList>& rows);
    static QString csv(const QStringList& headers, const QList<QStringList>& rows);
    static QString json(const QStringList& headers, const QList<QStringList>& rows);
    // The keys of the json objects: a column's header, or its index ("4") when the header is empty
    // or repeats an earlier column's, so that every column keeps a key of its own.
    static QStringList jsonKeys(const QStringList& headers);
};

} // namespace zq::tool
