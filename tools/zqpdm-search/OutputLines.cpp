#include "OutputLines.h"

#include <cstdio>

namespace zq::tool {

QString OutputLines::escape(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QString OutputLines::event(const QString& kind, const QStringList& fields)
{
    QStringList parts{kind};
    for (const QString& field : fields)
        parts.append(escape(field));
    return parts.join(u'\t');
}

QString OutputLines::call(const QString& component, const QString& operation, const QStringList& args)
{
    return event(QStringLiteral("CALL"), QStringList{component + QStringLiteral("::") + operation} + args);
}

QString OutputLines::table(const QStringList& headers, const QList<QStringList>& rows)
{
    QString text;
    auto appendLine = [&text](const QStringList& cells) {
        QStringList escaped;
        escaped.reserve(cells.size());
        for (const QString& cell : cells)
            escaped.append(escape(cell));
        text += escaped.join(u'\t') + u'\n';
    };
    appendLine(headers);
    for (const QStringList& row : rows)
        appendLine(row);
    return text;
}

void WriteErrorLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void WriteOutput(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace zq::tool
