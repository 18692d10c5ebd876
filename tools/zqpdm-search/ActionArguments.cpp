#include "ActionArguments.h"
#include "CommandLineValues.h"

#include <QRegularExpression>
#include <algorithm>

namespace zq::tool {

namespace args {

namespace {

bool looksNumeric(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    return number.match(text).hasMatch();
}

// A control given by its id, or by its label or caption.
void parseControl(Action& action, const QString& option, const QString& text)
{
    if (text.isEmpty())
        fail(QStringLiteral("%1: a control id or label is needed").arg(option));
    if (looksNumeric(text))
        action.id = parseNumber(option, text, 0, QStringLiteral("control id"));
    else
        action.name = text;
}

Action parseSet(const QString& option, const QString& value)
{
    const auto [control, text] = splitOnce(option, value, u'=', QStringLiteral("ID=VALUE"));
    Action action{ActionKind::Set};
    parseControl(action, option, control);
    action.text = text;
    return action;
}

// "GRID:ROW": split at the last colon (ASCII or full-width), since a grid's label may end in one.
Action parseCell(const QString& option, const QString& value)
{
    const QString form = QStringLiteral("ID:ROW=TEXT");
    const auto [target, text] = splitOnce(option, value, u'=', form);
    const qsizetype at = std::max(target.lastIndexOf(u':'), target.lastIndexOf(u'：'));
    const QString grid = at < 0 ? QString() : target.left(at);
    const QString row = at < 0 ? QString() : target.mid(at + 1);
    if (grid.isEmpty() || row.isEmpty())
        fail(QStringLiteral("%1: \"%2\" is not of the form %3").arg(option, value, form));
    Action action{ActionKind::Cell};
    parseControl(action, option, grid);
    if (looksNumeric(row))
        action.row = parseNumber(option, row, 0, QStringLiteral("row"));
    else
        action.rowName = row;
    action.text = text;
    return action;
}

Action parseClick(const QString& option, const QString& value)
{
    Action action{ActionKind::Click};
    parseControl(action, option, value);
    return action;
}

Action parsePick(const QString& option, const QString& value)
{
    Action action{ActionKind::Pick};
    action.names = value.split(u',');
    for (const QString& name : std::as_const(action.names))
        if (name.trimmed().isEmpty())
            fail(QStringLiteral("%1: \"%2\" has an empty name").arg(option, value));
    return action;
}

Action parseTree(const QString& option, const QString& value)
{
    const QStringList codes = value.split(QStringLiteral("::"));
    for (const QString& code : codes)
        if (code.isEmpty())
            fail(QStringLiteral("%1: \"%2\" is not a path of codes joined by \"::\"").arg(option, value));
    Action action{ActionKind::Tree};
    action.text = value;
    return action;
}

bool parseSwitch(const QString& option, const QString& value)
{
    if (value == u"0")
        return false;
    if (value == u"1")
        return true;
    fail(QStringLiteral("%1: \"%2\" must be 0 or 1").arg(option, value));
}

Action parseRowAction(ActionKind kind, const QString& option, const QString& value)
{
    Action action{kind};
    action.row = parseNumber(option, value, 0, QStringLiteral("row"));
    return action;
}

Action parseMenu(const QString& option, const QString& value)
{
    const auto [row, command] = splitOnce(option, value, u':', QStringLiteral("ROW:CMD"));
    Action action{ActionKind::Menu};
    action.row = parseNumber(option, row, 0, QStringLiteral("row"));
    action.command = parseNumber(option, command, 1, QStringLiteral("menu command"));
    return action;
}

Action parseExport(const QString& option, const QString& value)
{
    Action action{ActionKind::Export};
    action.text = value;
    static const QRegularExpression withFilter(QStringLiteral("^(.*):([0-9]+)$"));
    if (const auto match = withFilter.match(value); match.hasMatch()) {
        action.text = match.captured(1);
        action.filter = match.captured(2).toInt();
        if (action.filter != 1 && action.filter != 2)
            fail(QStringLiteral("%1: filter entry \"%2\" must be 1 (comma-separated) or 2 (space-aligned)")
                     .arg(option, match.captured(2)));
    }
    if (action.text.isEmpty())
        fail(QStringLiteral("%1: a file name is needed").arg(option));
    return action;
}

} // namespace

const std::map<QString, ActionParser>& actionParsers()
{
    static const std::map<QString, ActionParser> parsers{
        {QStringLiteral("--set"), parseSet},
        {QStringLiteral("--type"), [](const QString& o, const QString& v) {
             Action action = parseSet(o, v);
             action.typed = true;
             return action;
         }},
        {QStringLiteral("--cell"), parseCell},
        {QStringLiteral("--click"), parseClick},
        {QStringLiteral("--pick"), parsePick},
        {QStringLiteral("--tree"), parseTree},
        {QStringLiteral("--link"), [](const QString& o, const QString& v) {
             Action action{ActionKind::Link};
             action.on = parseSwitch(o, v);
             return action;
         }},
        {QStringLiteral("--select"), [](const QString& o, const QString& v) { return parseRowAction(ActionKind::Select, o, v); }},
        {QStringLiteral("--dblclick"), [](const QString& o, const QString& v) { return parseRowAction(ActionKind::DblClick, o, v); }},
        {QStringLiteral("--preview"), [](const QString& o, const QString& v) { return parseRowAction(ActionKind::Preview, o, v); }},
        {QStringLiteral("--menu"), parseMenu},
        {QStringLiteral("--export"), parseExport},
        {QStringLiteral("--saved"), [](const QString& o, const QString& v) {
             if (v.trimmed().isEmpty())
                 fail(QStringLiteral("%1: a saved search's name is needed").arg(o));
             Action action{ActionKind::Saved};
             action.text = v;
             return action;
         }},
    };
    return parsers;
}

} // namespace args

QStringList Action::arguments() const
{
    // As the user wrote it: a label stays a label once resolved to its control's id.
    const QString control = name.isEmpty() ? QString::number(id) : name;
    const QString cellRow = rowName.isEmpty() ? QString::number(row) : rowName;
    switch (kind) {
    case ActionKind::Set: return {typed ? QStringLiteral("--type") : QStringLiteral("--set"), QStringLiteral("%1=%2").arg(control, text)};
    case ActionKind::Cell: return {QStringLiteral("--cell"), QStringLiteral("%1:%2=%3").arg(control, cellRow, text)};
    case ActionKind::Click: return {QStringLiteral("--click"), control};
    case ActionKind::Pick: return {QStringLiteral("--pick"), names.join(u',')};
    case ActionKind::Tree: return {QStringLiteral("--tree"), text};
    case ActionKind::Find: return {QStringLiteral("--find")};
    case ActionKind::Link: return {QStringLiteral("--link"), QString::number(on ? 1 : 0)};
    case ActionKind::Select: return {QStringLiteral("--select"), QString::number(row)};
    case ActionKind::DblClick: return {QStringLiteral("--dblclick"), QString::number(row)};
    case ActionKind::Menu: return {QStringLiteral("--menu"), QStringLiteral("%1:%2").arg(row).arg(command)};
    case ActionKind::Export: return {QStringLiteral("--export"), QStringLiteral("%1:%2").arg(text, QString::number(filter))};
    case ActionKind::Saved: return {QStringLiteral("--saved"), text};
    case ActionKind::Preview: return {QStringLiteral("--preview"), QString::number(row)};
    }
    return {};
}

QString Action::describe() const
{
    return arguments().join(u' ');
}

} // namespace zq::tool
