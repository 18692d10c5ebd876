#include "RawJson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace zq {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool EndsScalar(char c)
{
    return c == ',' || c == '}' || c == ']';
}

// Walks a text that the JSON parser has accepted already, so it only needs to find where each
// part begins and ends.
class Cursor {
public:
    explicit Cursor(const QByteArray& text) : m_text(text) {}

    void skipSpace()
    {
        while (m_at < m_text.size() && IsSpace(m_text[m_at]))
            ++m_at;
    }
    bool take(char c)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    // The next value, as written.
    QByteArray value()
    {
        skipSpace();
        const qsizetype start = m_at;
        if (m_at >= m_text.size())
            return {};
        const char first = m_text[m_at];
        if (first == '"')
            skipString();
        else if (first == '{' || first == '[')
            skipNested();
        else
            while (m_at < m_text.size() && !IsSpace(m_text[m_at]) && !EndsScalar(m_text[m_at]))
                ++m_at;
        return m_text.mid(start, m_at - start);
    }

private:
    void skipString()
    {
        for (++m_at; m_at < m_text.size() && m_text[m_at] != '"'; ++m_at)
            if (m_text[m_at] == '\\')
                ++m_at;
        ++m_at;
    }
    void skipNested()
    {
        int depth = 0;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '"') {
                skipString();
                continue;
            }
            ++m_at;
            if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return;
        }
    }

    const QByteArray& m_text;
    qsizetype m_at = 0;
};

QString DecodeKey(const QByteArray& written)
{
    return QJsonDocument::fromJson('[' + written + ']').array().at(0).toString();
}

} // namespace

std::optional<QList<RawMember>> RawObjectMembers(const QByteArray& text)
{
    QJsonParseError parse{};
    if (!QJsonDocument::fromJson(text, &parse).isObject() || parse.error != QJsonParseError::NoError)
        return std::nullopt;
    Cursor cursor(text);
    QList<RawMember> members;
    if (!cursor.take('{'))
        return std::nullopt;
    if (cursor.take('}'))
        return members;
    do {
        const QString key = DecodeKey(cursor.value());
        if (!cursor.take(':'))
            return std::nullopt;
        members.append({key, cursor.value()});
    } while (cursor.take(','));
    return cursor.take('}') ? std::optional(members) : std::nullopt;
}

std::optional<QList<QByteArray>> RawArrayElements(const QByteArray& text)
{
    QJsonParseError parse{};
    if (!QJsonDocument::fromJson(text, &parse).isArray() || parse.error != QJsonParseError::NoError)
        return std::nullopt;
    Cursor cursor(text);
    QList<QByteArray> elements;
    if (!cursor.take('['))
        return std::nullopt;
    if (cursor.take(']'))
        return elements;
    do
        elements.append(cursor.value());
    while (cursor.take(','));
    return cursor.take(']') ? std::optional(elements) : std::nullopt;
}

} // namespace zq
