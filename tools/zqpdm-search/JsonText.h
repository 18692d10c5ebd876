#pragma once
// JSON text written as the tool prints it: members in the order they are added (column order,
// the order of a control's fields), UTF-8 characters as they are, one object on one line.
#include <QString>
#include <QStringList>

namespace zq::tool {

// A JSON string literal: quotes, backslashes and control characters escaped.
QString JsonString(const QString& text);
// A JSON array of strings.
QString JsonStringArray(const QStringList& texts);

// An array of JSON values written one a line: "[\n" value ",\n" value "\n]\n"; "[]\n" when empty.
QString JsonArrayLines(const QStringList& values);

class JsonObject {
public:
    JsonObject& add(const QString& key, const QString& value);
    JsonObject& add(const QString& key, int value);
    JsonObject& add(const QString& key, const QStringList& values);
    // A value that is JSON text already (an array or object).
    JsonObject& addJson(const QString& key, const QString& json);
    QString text() const;

private:
    QStringList m_members;
};

} // namespace zq::tool
