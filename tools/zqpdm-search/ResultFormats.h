#pragma once
// The result list (a header line and rows of cells) in the formats zqpdm-search writes it:
//   tsv   the tool's own lines: cells joined by a tab, tab / line feed / carriage return as \t \n \r
//   csv   RFC 4180: fields joined by commas, quoted when they hold a comma, quote, CR or LF (quotes
//         doubled inside), lines ending in CR LF, the header line first
//   json  one array of objects, one object a row, keyed by the column headers
// All three are UTF-8 once written.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::tool {

enum class OutputFormat { Tsv, Csv, Json };

std::optional<OutputFormat> OutputFormatNamed(const QString& name);   // "tsv", "csv", "json"

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
