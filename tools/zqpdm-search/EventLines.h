#pragma once
// The event lines zqpdm-search writes on standard error, in one of two forms:
//   text  the tool's own lines, "KIND<TAB>field<TAB>field..." and "SQL: text" (OutputLines)
//   json  one JSON object a line, {"event":"KIND", ...} with a named member per field:
//           MSG {caption, text}   CMD {command, argument}   CLIP {text}   OPEN {path}
//           CALL {component, operation, args[]}   STATUS {text, cancelled[, counts]}   SQL {text}
//           ERROR {source, reason}: a failure a service met ("CZQSaveFileToFTP::GetFileFromFTP",
//           "Connection refused"), or an action that did not do what it was for
//           HIT {row, kind, code, name, date, table, product, file, listed}: json only, after a
//           quick search's rows, what opening row ROW (from 0) on its tab needs
//         and NOTE {text} for the tool's own diagnostics.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace zq::tool {

enum class EventFormat { Text, Json };

std::optional<EventFormat> EventFormatNamed(const QString& name);   // "text", "json"

class EventLines {
public:
    explicit EventLines(EventFormat format = EventFormat::Text) : m_format(format) {}

    EventFormat format() const { return m_format; }
    // MSG, CMD, CLIP, OPEN, STATUS and other events of the scripted Desktop.
    QString event(const QString& kind, const QStringList& fields) const;
    QString call(const QString& component, const QString& operation, const QStringList& args) const;
    // The status line; json marks whether it tells of a search the user cancelled (text: the line only).
    QString status(const QString& text, bool cancelled) const;
    // The quick search's status line; json adds the count of each kind, in the order given.
    QString quickStatus(const QString& text, const QList<std::pair<QString, int>>& counts) const;
    QString sql(const QString& statement) const;
    QString note(const QString& text) const;   // text: "zqpdm-search: <text>"

private:
    EventFormat m_format;
};

} // namespace zq::tool
