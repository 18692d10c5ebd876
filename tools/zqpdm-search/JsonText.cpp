#include "JsonText.h"

namespace zq::tool {

QString JsonString(const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': quoted += QStringLiteral("\\\""); break;
        case '\\': quoted += QStringLiteral("\\\\"); break;
        case '\b': quoted += QStringLiteral("\\b"); break;
        case '\f': quoted += QStringLiteral("\\f"); break;
        case '\n': quoted += QStringLiteral("\\n"); break;
        case '\r': quoted += QStringLiteral("\\r"); break;
        case '\t': quoted += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                quoted += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QChar(u'0'));
            else
                quoted += c;
        }
    }
    quoted += u'"';
    return quoted;
}

QString JsonStringArray(const QStringList& texts)
{
    QStringList quoted;
    quoted.reserve(texts.size());
    for (const QString& text : texts)
        quoted.append(JsonString(text));
    return u'[' + quoted.join(u',') + u']';
}

QString JsonArrayLines(const QStringList& values)
{
    if (values.isEmpty())
        return QStringLiteral("[]\n");
    return QStringLiteral("[\n") + values.join(QStringLiteral(",\n")) + QStringLiteral("\n]\n");
}

JsonObject& JsonObject::add(const QString& key, const QString& value)
{
    return addJson(key, JsonString(value));
}

JsonObject& JsonObject::add(const QString& key, int value)
{
    return addJson(key, QString::number(value));
}

JsonObject& JsonObject::add(const QString& key, const QStringList& values)
{
    return addJson(key, JsonStringArray(values));
}

JsonObject& JsonObject::addJson(const QString& key, const QString& json)
{
    m_members.append(JsonString(key) + u':' + json);
    return *this;
}

QString JsonObject::text() const
{
    return u'{' + m_members.join(u',') + u'}';
}

} // namespace zq::tool
