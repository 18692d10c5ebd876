#include "EventLines.h"

#include "JsonText.h"
#include "OutputLines.h"

#include <map>

namespace zq::tool {

namespace {

// The names of an event's fields in the json form, in order.
const std::map<QString, QStringList>& fieldNames()
{
    static const std::map<QString, QStringList> names{
        {QStringLiteral("MSG"), {QStringLiteral("caption"), QStringLiteral("text")}},
        {QStringLiteral("CMD"), {QStringLiteral("command"), QStringLiteral("argument")}},
        {QStringLiteral("CLIP"), {QStringLiteral("text")}},
        {QStringLiteral("OPEN"), {QStringLiteral("path")}},
        {QStringLiteral("STATUS"), {QStringLiteral("text")}},
        {QStringLiteral("ERROR"), {QStringLiteral("source"), QStringLiteral("reason"), QStringLiteral("detail")}},
        {QStringLiteral("HIT"), {QStringLiteral("row"), QStringLiteral("kind"), QStringLiteral("code"), QStringLiteral("name"),
                                 QStringLiteral("date"), QStringLiteral("table"), QStringLiteral("product"),
                                 QStringLiteral("file"), QStringLiteral("listed")}},
    };
    return names;
}

JsonObject eventObject(const QString& kind)
{
    JsonObject object;
    object.add(QStringLiteral("event"), kind);
    return object;
}

} // namespace

std::optional<EventFormat> EventFormatNamed(const QString& name)
{
    if (name == u"text")
        return EventFormat::Text;
    if (name == u"json")
        return EventFormat::Json;
    return std::nullopt;
}

QString EventLines::event(const QString& kind, const QStringList& fields) const
{
    if (m_format == EventFormat::Text)
        return OutputLines::event(kind, fields);
    JsonObject object = eventObject(kind);
    const auto named = fieldNames().find(kind);
    if (named == fieldNames().end())
        return object.add(QStringLiteral("fields"), fields).text();
    const QStringList& names = named->second;
    // The first two fields are always named; a later one (an ERROR's detail) only when given.
    for (qsizetype i = 0; i < names.size() && (i < 2 || i < fields.size()); ++i)
        object.add(names[i], fields.value(i));
    return object.text();
}

QString EventLines::call(const QString& component, const QString& operation, const QStringList& args) const
{
    if (m_format == EventFormat::Text)
        return OutputLines::call(component, operation, args);
    return eventObject(QStringLiteral("CALL"))
        .add(QStringLiteral("component"), component)
        .add(QStringLiteral("operation"), operation)
        .add(QStringLiteral("args"), args)
        .text();
}

QString EventLines::status(const QString& text, bool cancelled) const
{
    if (m_format == EventFormat::Text)
        return OutputLines::event(QStringLiteral("STATUS"), {text});
    return eventObject(QStringLiteral("STATUS"))
        .add(QStringLiteral("text"), text)
        .addJson(QStringLiteral("cancelled"), cancelled ? QStringLiteral("true") : QStringLiteral("false"))
        .text();
}

QString EventLines::quickStatus(const QString& text, const QList<std::pair<QString, int>>& counts) const
{
    if (m_format == EventFormat::Text)
        return status(text, false);
    JsonObject countObject;
    for (const auto& [kind, count] : counts)
        countObject.add(kind, count);
    return eventObject(QStringLiteral("STATUS"))
        .add(QStringLiteral("text"), text)
        .addJson(QStringLiteral("cancelled"), QStringLiteral("false"))
        .addJson(QStringLiteral("counts"), countObject.text())
        .text();
}

QString EventLines::sql(const QString& statement) const
{
    if (m_format == EventFormat::Text)
        return QStringLiteral("SQL: ") + statement;
    return eventObject(QStringLiteral("SQL")).add(QStringLiteral("text"), statement).text();
}

QString EventLines::note(const QString& text) const
{
    if (m_format == EventFormat::Text)
        return QStringLiteral("zqpdm-search: ") + text;
    return eventObject(QStringLiteral("NOTE")).add(QStringLiteral("text"), text).text();
}

} // namespace zq::tool
