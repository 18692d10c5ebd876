#include "OutputLines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

void WriteErrorLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString WriteOutput(const QString& text)
{
    StandardOutput output;
    output.sink()(text.toUtf8());
    return output.finish();
}

std::function<void(QByteArrayView)> StandardOutput::sink()
{
    return [this](QByteArrayView piece) {
        if (m_failed)
            return;
        if (std::fwrite(piece.data(), 1, size_t(piece.size()), stdout) != size_t(piece.size())) {
            m_failed = true;
            m_error = errno;
        }
    };
}

QString StandardOutput::finish()
{
    if (!m_failed && std::fflush(stdout) != 0) {
        m_failed = true;
        m_error = errno;
    }
    if (!m_failed)
        return QString();
    return QStringLiteral("standard output took not all of the text: %1").arg(QString::fromLocal8Bit(std::strerror(m_error)));
}

} // namespace zq::tool
