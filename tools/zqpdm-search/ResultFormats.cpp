#include "ResultFormats.h"

#include "JsonText.h"

#include <QVarLengthArray>

namespace zq::tool {

namespace {

// The text in runs between the characters that need writing otherwise: a cell without any is
// appended whole.
template <typename Escape>
void appendEscaped(QString& line, QStringView text, Escape escape)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QLatin1StringView replacement = escape(text[i]);
        if (replacement.isNull())
            continue;
        line += text.mid(from, i - from);
        line += replacement;
        from = i + 1;
    }
    line += text.mid(from);
}

void appendTsvCell(QString& line, QStringView text)
{
    appendEscaped(line, text, [](QChar c) {
        switch (c.unicode()) {
        case '\t': return QLatin1StringView("\\t");
        case '\n': return QLatin1StringView("\\n");
        case '\r': return QLatin1StringView("\\r");
        default: return QLatin1StringView();
        }
    });
}

void appendCsvField(QString& line, QStringView text)
{
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r');
    if (!needsQuotes) {
        line += text;
        return;
    }
    line += u'"';
    appendEscaped(line, text, [](QChar c) { return c == u'"' ? QLatin1StringView("\"\"") : QLatin1StringView(); });
    line += u'"';
}

} // namespace

std::optional<OutputFormat> OutputFormatNamed(const QString& name)
{
    if (name == u"tsv")
        return OutputFormat::Tsv;
    if (name == u"csv")
        return OutputFormat::Csv;
    if (name == u"json")
        return OutputFormat::Json;
    return std::nullopt;
}

ResultWriter::ResultWriter(OutputFormat format, const QStringList& headers, Sink sink, qsizetype pieceBytes)
    : m_format(format), m_sink(std::move(sink)), m_pieceBytes(std::max<qsizetype>(1, pieceBytes))
{
    m_piece.reserve(m_pieceBytes + 1024);
    if (m_format == OutputFormat::Json) {
        m_jsonKeys = ResultFormats::jsonKeys(headers);
        return;
    }
    QVarLengthArray<QStringView, 16> views;
    for (const QString& header : headers)
        views.append(header);
    writeLine(views);
}

void ResultWriter::row(std::span<const QStringView> cells)
{
    if (m_format == OutputFormat::Json)
        writeJsonObject(cells);
    else
        writeLine(cells);
    ++m_rows;
}

void ResultWriter::writeLine(std::span<const QStringView> cells)
{
    m_line.resize(0);   // clear() would give its storage back
    for (size_t i = 0; i < cells.size(); ++i) {
        if (m_format == OutputFormat::Csv) {
            if (i > 0)
                m_line += u',';
            appendCsvField(m_line, cells[i]);
        } else {
            if (i > 0)
                m_line += u'\t';
            appendTsvCell(m_line, cells[i]);
        }
    }
    m_line += m_format == OutputFormat::Csv ? QLatin1StringView("\r\n") : QLatin1StringView("\n");
    encodeLine();
}

void ResultWriter::writeJsonObject(std::span<const QStringView> cells)
{
    JsonObject object;
    for (qsizetype column = 0; column < m_jsonKeys.size(); ++column)
        object.add(m_jsonKeys[column], column < qsizetype(cells.size()) ? cells[size_t(column)].toString() : QString());
    m_line.resize(0);   // clear() would give its storage back
    m_line += m_rows == 0 ? QLatin1StringView("[\n") : QLatin1StringView(",\n");
    m_line += object.text();
    encodeLine();
}

void ResultWriter::encodeLine()
{
    // Encoded straight into the piece: at most three bytes a UTF-16 unit.
    const qsizetype used = m_piece.size();
    m_piece.resize(used + m_line.size() * 3);
    const char* end = m_utf8.appendToBuffer(m_piece.data() + used, m_line);
    m_piece.resize(end - m_piece.constData());
    if (m_piece.size() >= m_pieceBytes)
        flush();
}

void ResultWriter::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_format == OutputFormat::Json)
        m_piece.append(m_rows == 0 ? QByteArrayView("[]\n") : QByteArrayView("\n]\n"));
    flush();
}

void ResultWriter::flush()
{
    if (!m_piece.isEmpty() && m_sink)
        m_sink(m_piece);
    m_piece.clear();   // keeps its capacity for the next piece
}

QString ResultFormats::format(OutputFormat format, const QStringList& headers, const QList<QStringList>& rows)
{
    QByteArray bytes;
    ResultWriter writer(format, headers, [&bytes](QByteArrayView piece) { bytes.append(piece); });
    QVarLengthArray<QStringView, 16> views;
    for (const QStringList& row : rows) {
        views.clear();
        for (const QString& cell : row)
            views.append(cell);
        writer.row(views);
    }
    writer.finish();
    return QString::fromUtf8(bytes);
}

QString ResultFormats::csv(const QStringList& headers, const QList<QStringList>& rows)
{
    return format(OutputFormat::Csv, headers, rows);
}

QStringList ResultFormats::jsonKeys(const QStringList& headers)
{
    QStringList keys;
    keys.reserve(headers.size());
    for (qsizetype column = 0; column < headers.size(); ++column) {
        QString key = headers[column];
        if (key.isEmpty() || keys.contains(key))
            key = QString::number(column);
        // A header may itself read like an index; keep going until the key is free.
        while (keys.contains(key))
            key += u'#';
        keys.append(key);
    }
    return keys;
}

QString ResultFormats::json(const QStringList& headers, const QList<QStringList>& rows)
{
    return format(OutputFormat::Json, headers, rows);
}

} // namespace zq::tool
