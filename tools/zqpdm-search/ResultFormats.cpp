#include "ResultFormats.h"

#include "JsonText.h"
#include "OutputLines.h"

namespace zq::tool {

namespace {

QString csvField(const QString& text)
{
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r');
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList& cells)
{
    QStringList fields;
    fields.reserve(cells.size());
    for (const QString& cell : cells)
        fields.append(csvField(cell));
    return fields.join(u',') + QStringLiteral("\r\n");
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

QString ResultFormats::format(OutputFormat format, const QStringList& headers, const QList<QStringList>& rows)
{
    switch (format) {
    case OutputFormat::Tsv: return OutputLines::table(headers, rows);
    case OutputFormat::Csv: return csv(headers, rows);
    case OutputFormat::Json: return json(headers, rows);
    }
    return QString();
}

QString ResultFormats::csv(const QStringList& headers, const QList<QStringList>& rows)
{
    QString text = csvLine(headers);
    for (const QStringList& row : rows)
        text += csvLine(row);
    return text;
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
    const QStringList keys = jsonKeys(headers);
    QStringList objects;
    objects.reserve(rows.size());
    for (const QStringList& row : rows) {
        JsonObject object;
        for (qsizetype column = 0; column < keys.size(); ++column)
            object.add(keys[column], row.value(column));
        objects.append(object.text());
    }
    return JsonArrayLines(objects);
}

} // namespace zq::tool
