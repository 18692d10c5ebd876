#include "ExtractionRun.h"

namespace zq::extract {

QString DamagedMessage(FileType type, const QString& detail)
{
    QString kind;
    switch (type) {
    case FileType::Pdf: kind = QStringLiteral("PDF"); break;
    case FileType::OfficeOpenXml: kind = QStringLiteral("Office"); break;
    case FileType::OpenDocument: kind = QStringLiteral("OpenDocument"); break;
    case FileType::Dxf: kind = QStringLiteral("DXF"); break;
    case FileType::PlainText:
    case FileType::Other: kind = QStringLiteral("文本"); break;
    }
    return QStringLiteral("%1 文件已损坏: %2").arg(kind, detail);
}

ExtractionRun::ExtractionRun(FileType type, const ExtractLimits& limits)
    : m_type(type), m_limits(limits), m_text(limits.maxTextChars)
{
    m_limits.maxReadBytes = std::max<qint64>(m_limits.maxReadBytes, 0);
    m_limits.maxTextChars = std::max<qsizetype>(m_limits.maxTextChars, 0);
    m_clock.start();
}

void ExtractionRun::cut(const QString& note)
{
    m_truncated = true;
    m_notes.append(note);
}

bool ExtractionRun::textFull()
{
    if (m_text.full() && !m_textCut) {
        m_textCut = true;
        cut(QStringLiteral("文本超过 %1 个字符, 之后的内容未保留").arg(m_limits.maxTextChars));
    }
    return m_textCut;
}

bool ExtractionRun::mustStop()
{
    if (failed() || m_timeCut || m_inflateCut || textFull())
        return true;
    if (m_clock.elapsed() >= m_limits.timeLimitMs) {
        m_timeCut = true;
        cut(QStringLiteral("提取超过时间限制 %1 毫秒, 之后的内容未读取").arg(m_limits.timeLimitMs));
        return true;
    }
    return false;
}

qsizetype ExtractionRun::spendInflated(qsizetype bytes)
{
    const qint64 fit = std::clamp<qint64>(m_limits.maxReadBytes - m_inflated, 0, bytes);
    m_inflated += fit;
    if (fit < bytes && !m_inflateCut) {
        m_inflateCut = true;
        cut(QStringLiteral("解压后的内容超过 %1 字节, 之后的内容未读取").arg(m_limits.maxReadBytes));
    }
    return qsizetype(fit);
}

void ExtractionRun::readCut()
{
    cut(QStringLiteral("文件超过 %1 字节, 只读取了前 %1 字节").arg(m_limits.maxReadBytes));
}

void ExtractionRun::damaged(const QString& detail)
{
    if (m_damage.isEmpty())
        m_damage = detail;
}

void ExtractionRun::fail(const QString& error)
{
    if (m_error.isEmpty())
        m_error = error;
}

qint64 ExtractionRun::remainingMs() const
{
    return std::max<qint64>(m_limits.timeLimitMs - m_clock.elapsed(), 0);
}

void ExtractionRun::note(const QString& text)
{
    m_notes.append(text);
}

void ExtractionRun::textless(const QString& why)
{
    m_textless = true;
    m_notes.append(QStringLiteral("无文字层: ") + why);
}

Extraction ExtractionRun::finish()
{
    textFull();   // notes a text limit met by the last text appended
    Extraction result;
    if (!m_error.isEmpty()) {
        result.error = m_error;
    } else if (!m_damage.isEmpty() && m_text.isEmpty()) {
        result.error = DamagedMessage(m_type, m_damage);
    } else if (m_timeCut && m_text.isEmpty()) {
        // Nothing is known of the file's text: not an empty file, a file to read again.
        result.error = QStringLiteral("提取超过时间限制 %1 毫秒, 没有读到文本").arg(m_limits.timeLimitMs);
    } else {
        result.ok = true;
        if (!m_damage.isEmpty())
            m_notes.append(DamagedMessage(m_type, m_damage));
    }
    result.textless = result.ok && m_textless && m_text.isEmpty();
    result.readerLeftRunning = m_readerLeftRunning;
    result.text = m_text.take();
    result.truncated = m_truncated;
    result.note = m_notes.join(QStringLiteral("; "));
    return result;
}

} // namespace zq::extract
