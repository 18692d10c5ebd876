#include "SearchRequest.h"

#include "SearchCommandLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <functional>

namespace zq::web {

namespace {

using zq::tool::Action;
using zq::tool::ActionKind;

struct Refused {
    QString message;
};

[[noreturn]] void refuse(const QString& message) { throw Refused{message}; }

// A member of an action: a string, or a whole number standing for a control id or row.
QString textOf(const QJsonValue& value, int action)
{
    QString text;
    if (value.isString())
        text = value.toString();
    else if (value.isDouble() && value.toDouble() == double(value.toInteger()) && value.toInteger() >= 0)
        text = QString::number(value.toInteger());
    else
        refuse(QStringLiteral("动作 %1: 参数须为文字").arg(action + 1));
    if (text.size() > kMaxActionText)
        refuse(QStringLiteral("动作 %1: 参数过长").arg(action + 1));
    return text;
}

struct Wanted {
    QStringList arguments;
    std::function<bool(const Action&)> means;   // the parsed action says what the client meant
};

// Control given by id or label, as the command line tells them apart.
bool namesControl(const Action& parsed, const QString& control)
{
    return (parsed.id >= 0 ? QString::number(parsed.id) : parsed.name) == control;
}

Wanted wanted(const QJsonArray& action, int index)
{
    if (action.isEmpty())
        refuse(QStringLiteral("动作 %1: 空的动作").arg(index + 1));
    const QString kind = textOf(action.at(0), index);
    QStringList values;
    for (qsizetype i = 1; i < action.size(); ++i)
        values.append(textOf(action.at(i), index));
    const auto needs = [&](qsizetype count) {
        if (values.size() != count)
            refuse(QStringLiteral("动作 %1: \"%2\" 需要 %3 个参数")
                       .arg(QString::number(index + 1), kind, QString::number(count)));
    };
    if (kind == u"set") {
        needs(2);
        return {{QStringLiteral("--set"), values[0] + u'=' + values[1]}, [values](const Action& a) {
                    return a.kind == ActionKind::Set && namesControl(a, values[0]) && a.text == values[1];
                }};
    }
    if (kind == u"cell") {
        needs(3);
        return {{QStringLiteral("--cell"), values[0] + u':' + values[1] + u'=' + values[2]}, [values](const Action& a) {
                    const QString row = a.row >= 0 ? QString::number(a.row) : a.rowName;
                    return a.kind == ActionKind::Cell && namesControl(a, values[0]) && row == values[1] && a.text == values[2];
                }};
    }
    if (kind == u"click") {
        needs(1);
        return {{QStringLiteral("--click"), values[0]},
                [values](const Action& a) { return a.kind == ActionKind::Click && namesControl(a, values[0]); }};
    }
    if (kind == u"pick") {
        if (values.isEmpty())
            refuse(QStringLiteral("动作 %1: \"pick\" 需要至少一个名称").arg(index + 1));
        return {{QStringLiteral("--pick"), values.join(u',')},
                [values](const Action& a) { return a.kind == ActionKind::Pick && a.names == values; }};
    }
    if (kind == u"tree") {
        needs(1);
        return {{QStringLiteral("--tree"), values[0]},
                [values](const Action& a) { return a.kind == ActionKind::Tree && a.text == values[0]; }};
    }
    refuse(QStringLiteral("动作 %1: 不支持 \"%2\"（可用: set, cell, click, pick, tree）").arg(index + 1).arg(kind.left(40)));
}

// The actions of a JSON array, checked by reading their arguments back with the command line's
// own parser: a value that it would read otherwise (a label holding "=", a name holding ",", a value
// that is an option) is refused rather than searched with a meaning the client did not give it.
QStringList argumentsOf(const QJsonValue& actions)
{
    if (!actions.isUndefined() && !actions.isArray())
        refuse(QStringLiteral("\"actions\" 须为数组"));
    const QJsonArray list = actions.toArray();
    if (list.size() > kMaxActions)
        refuse(QStringLiteral("动作过多（最多 %1 个）").arg(kMaxActions));
    QList<Wanted> wants;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).isArray())
            refuse(QStringLiteral("动作 %1: 须为数组").arg(i + 1));
        wants.append(wanted(list.at(i).toArray(), int(i)));
    }
    QStringList arguments;
    for (const Wanted& want : std::as_const(wants))
        arguments += want.arguments;
    const zq::tool::ParseResult parsed = zq::tool::SearchCommandLine::parse(
        QStringList{QStringLiteral("--page"), QStringLiteral("-")} + arguments + QStringList{QStringLiteral("--find")});
    if (parsed.status != zq::tool::ParseResult::Status::Ok)
        refuse(parsed.status == zq::tool::ParseResult::Status::Usage ? parsed.error
                                                                       : QStringLiteral("动作中含有不能使用的文字"));
    const QList<Action>& actionsRead = parsed.options.actions;
    if (actionsRead.size() != wants.size() + 1 || actionsRead.last().kind != ActionKind::Find)
        refuse(QStringLiteral("动作中含有不能使用的文字"));
    for (qsizetype i = 0; i < wants.size(); ++i)
        if (!wants[i].means(actionsRead[i]))
            refuse(QStringLiteral("动作 %1: 含有不能使用的文字（如 \"=\"、\",\"、\":\"）").arg(i + 1));
    return arguments;
}

SearchRequest parsed(const QByteArray& json, bool wholeRequest)
{
    SearchRequest request;
    try {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            refuse(wholeRequest ? QStringLiteral("请求须为 JSON 对象 {\"actions\": [...]}") : QStringLiteral("actions 须为 JSON 数组"));
        if (wholeRequest) {
            if (!document.isObject())
                refuse(QStringLiteral("请求须为 JSON 对象 {\"actions\": [...]}"));
            request.arguments = argumentsOf(document.object().value(QStringLiteral("actions")));
        } else {
            if (!document.isArray())
                refuse(QStringLiteral("actions 须为 JSON 数组"));
            request.arguments = argumentsOf(document.array());
        }
    } catch (const Refused& refused) {
        request.error = refused.message;
    }
    return request;
}

} // namespace

SearchRequest ParseSearchRequest(const QByteArray& body)
{
    return parsed(body, true);
}

SearchRequest ParseActionsParameter(const QByteArray& text)
{
    if (text.isEmpty())
        return {};
    return parsed(text, false);
}

} // namespace zq::web
