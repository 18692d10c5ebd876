#include "RowSource.h"

#include <QStringDecoder>

#include <QSqlError>
#include <QSqlRecord>

namespace zq::db {

void SetFieldText(QVariant& field, QString&& text)
{
    if (field.metaType() == QMetaType::fromType<QString>())
        *static_cast<QString*>(field.data()) = std::move(text);
    else
        field = QVariant(std::move(text));
}

void SetFieldUtf8(QVariant& field, QByteArrayView utf8)
{
    if (field.metaType() == QMetaType::fromType<QString>()) {
        QString& text = *static_cast<QString*>(field.data());
        if (text.isDetached() && text.capacity() >= utf8.size()) {
            // UTF-8 never takes fewer bytes than UTF-16 takes units.
            text.resize(utf8.size());
            char16_t* out = reinterpret_cast<char16_t*>(text.data());
            // Codes and numbers are ASCII: widened as they are; anything else decoded.
            qsizetype ascii = 0;
            while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) {
                out[ascii] = char16_t(static_cast<unsigned char>(utf8[ascii]));
                ++ascii;
            }
            if (ascii == utf8.size())
                return;
            // As QString::fromUtf8 reads the whole: a sequence cut short at the end reads as
            // U+FFFD, not as nothing (stateless), and a byte-order mark is dropped only where the
            // text starts, not where the decoding starts after the ASCII.
            QStringDecoder::Flags flags = QStringDecoder::Flag::Stateless;
            if (ascii > 0)
                flags |= QStringDecoder::Flag::ConvertInitialBom;
            QStringDecoder decoder(QStringDecoder::Utf8, flags);
            const QChar* end = decoder.appendToBuffer(text.data() + ascii, utf8.sliced(ascii));
            text.truncate(end - text.constData());
            return;
        }
    }
    SetFieldText(field, QString::fromUtf8(utf8));
}

QueryRowSource::QueryRowSource(std::shared_ptr<Session> session, const QString& adapted, const QString& sql, Mode mode)
    : m_session(std::move(session)), m_query(m_session->database()), m_sql(sql)
{
    m_query.setForwardOnly(mode == Mode::ForwardOnly);
    if (!m_query.exec(adapted))
        throw StatementError(m_query.lastError(), m_sql);
    m_fieldCount = m_query.record().count();
}

QString QueryRowSource::fieldName(int index) const
{
    return m_query.record().fieldName(index);
}

bool QueryRowSource::advance()
{
    if (!m_query.next()) {
        if (m_query.lastError().isValid())
            throw StatementError(m_query.lastError(), m_sql);
        return false;
    }
    return true;
}

void QueryRowSource::read(QVariantList& row)
{
    row.resize(m_fieldCount);
    for (int i = 0; i < m_fieldCount; ++i)
        row[i] = m_query.value(i);
}

} // namespace zq::db
