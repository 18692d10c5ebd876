#include "ServeRequest.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zq::tool {

namespace {

std::optional<ServeRequest> refuse(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

std::optional<QString> absolutePath(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString() || value.toString().isEmpty() || !QDir::isAbsolutePath(value.toString()))
        return std::nullopt;
    return value.toString();
}

} // namespace

const QStringList& ServedEnvironmentNames()
{
    static const QStringList names{QStringLiteral("ZQPDM_USER"), QStringLiteral("TMPDIR"),
                                   QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("ZQPDM_WORKDIR")};
    return names;
}

QByteArray ServeRequest::line() const
{
    QJsonObject variables;
    for (const auto& [name, value] : environment)
        variables.insert(name, value);
    const QJsonObject object{{QStringLiteral("arguments"), QJsonArray::fromStringList(arguments)},
                             {QStringLiteral("environment"), variables},
                             {QStringLiteral("stdout"), standardOutput},
                             {QStringLiteral("stderr"), standardError}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ServeRequest> ParseServeRequest(const QByteArray& line, QString* error)
{
    if (line.size() > kMaxServeRequestBytes)
        return refuse(error, QStringLiteral("the request is longer than %1 bytes").arg(kMaxServeRequestBytes));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return refuse(error, QStringLiteral("the request is not a JSON object"));
    const QJsonObject object = document.object();

    ServeRequest request;
    const QJsonValue arguments = object.value(QStringLiteral("arguments"));
    if (!arguments.isArray())
        return refuse(error, QStringLiteral("the request has no \"arguments\" array"));
    for (const QJsonValue& argument : arguments.toArray()) {
        if (!argument.isString())
            return refuse(error, QStringLiteral("an argument is not a string"));
        request.arguments.append(argument.toString());
    }
    const QJsonValue environment = object.value(QStringLiteral("environment"));
    if (!environment.isUndefined() && !environment.isObject())
        return refuse(error, QStringLiteral("\"environment\" is not an object"));
    const QJsonObject variables = environment.toObject();
    for (auto it = variables.begin(); it != variables.end(); ++it) {
        if (!ServedEnvironmentNames().contains(it.key()))
            return refuse(error, QStringLiteral("the variable \"%1\" cannot be set by a request").arg(it.key()));
        if (!it.value().isString())
            return refuse(error, QStringLiteral("the variable \"%1\" is not a string").arg(it.key()));
        request.environment.append({it.key(), it.value().toString()});
    }
    const std::optional<QString> output = absolutePath(object, QStringLiteral("stdout"));
    const std::optional<QString> errors = absolutePath(object, QStringLiteral("stderr"));
    if (!output || !errors)
        return refuse(error, QStringLiteral("\"stdout\" and \"stderr\" must be absolute paths"));
    request.standardOutput = *output;
    request.standardError = *errors;
    return request;
}

QByteArray ServeAnswerLine(int exitCode)
{
    return QByteArrayLiteral("{\"exit\":") + QByteArray::number(exitCode) + "}\n";
}

std::optional<int> ParseServeAnswer(const QByteArray& line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed());
    const QJsonValue exit = document.object().value(QStringLiteral("exit"));
    if (!document.isObject() || !exit.isDouble())
        return std::nullopt;
    const double value = exit.toDouble();
    if (value != double(int(value)) || value < 0 || value > 255)
        return std::nullopt;
    return int(value);
}

} // namespace zq::tool
