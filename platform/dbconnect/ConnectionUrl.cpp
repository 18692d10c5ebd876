#include "ConnectionUrl.h"

#include "Profile.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace zq::db {

namespace {

constexpr int kProfileBuffer = 1024;
constexpr int kDefaultPostgresPort = 5432;

bool StartsWithNoCase(const QString& text, const QString& prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

std::optional<ConnectionUrl> ParseSqlite(const QString& rest, QString* error)
{
    QString path = rest;
    if (path.startsWith(u"//"))
        path.remove(0, 2);
    if (path.trimmed().isEmpty()) {
        *error = QStringLiteral("缺少数据库文件路径");
        return std::nullopt;
    }
    ConnectionUrl url;
    url.driver = QStringLiteral("QSQLITE");
    url.database = path;
    return url;
}

std::optional<ConnectionUrl> ParsePostgres(const QString& text, QString* error)
{
    const QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid()) {
        // Qt's own reason quotes the text, password and all: it is not passed on.
        *error = QStringLiteral("地址格式不对。用户名或密码中的 @ : / ? # %% 等字符须写成百分号编码, 例如 "
                                "postgresql://用户:p%%40ss@主机:5432/数据库 (密码 p@ss)");
        error->replace(QStringLiteral("%%"), QStringLiteral("%"));
        return std::nullopt;
    }
    ConnectionUrl url;
    url.driver = QStringLiteral("QPSQL");
    url.host = parsed.host();
    url.port = parsed.port(kDefaultPostgresPort);
    url.user = parsed.userName();
    url.password = parsed.password();
    url.database = parsed.path();
    if (url.database.startsWith(u'/'))
        url.database.remove(0, 1);
    if (url.host.isEmpty()) {
        *error = QStringLiteral("缺少服务器地址");
        return std::nullopt;
    }
    if (url.database.isEmpty()) {
        *error = QStringLiteral("缺少数据库名");
        return std::nullopt;
    }
    QStringList options;
    bool hasTimeout = false;
    for (const auto& [key, value] : QUrlQuery(parsed).queryItems(QUrl::FullyDecoded)) {
        options << key + u'=' + value;
        hasTimeout = hasTimeout || key == u"connect_timeout";
    }
    if (!hasTimeout)
        options << QStringLiteral("connect_timeout=10");
    url.options = options.join(u';');
    return url;
}

// Splits "A=1;B={x;y};C=3" into its pairs. A value in braces may hold ';' and '=', and "}}" for
// a '}' of its own: "Pwd={a}}b;c}" is the one pair Pwd, {a}}b;c}.
QList<std::pair<QString, QString>> OdbcPairs(const QString& text)
{
    QList<std::pair<QString, QString>> pairs;
    QString item;
    bool braced = false;
    auto flush = [&] {
        const qsizetype eq = item.indexOf(u'=');
        if (!item.trimmed().isEmpty())
            pairs.append({eq < 0 ? item.trimmed() : item.left(eq).trimmed(), eq < 0 ? QString() : item.mid(eq + 1)});
        item.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!braced && c == u'{') {
            braced = true;
        } else if (braced && c == u'}') {
            if (i + 1 < text.size() && text[i + 1] == u'}') {
                item += QStringLiteral("}}");
                ++i;
                continue;
            }
            braced = false;
        }
        if (c == u';' && !braced)
            flush();
        else
            item += c;
    }
    flush();
    return pairs;
}

// QODBC adds "DSN=" in front of the database name unless it names a driver or server, so a
// plain DSN text is given to it as DSN name, user and password.
std::optional<ConnectionUrl> ParseOdbc(const QString& rest, QString* error)
{
    if (rest.trimmed().isEmpty()) {
        *error = QStringLiteral("缺少 ODBC 连接串");
        return std::nullopt;
    }
    ConnectionUrl url;
    url.driver = QStringLiteral("QODBC");
    url.database = rest;
    const bool complete = rest.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive)
                          || rest.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive)
                          || rest.contains(QStringLiteral(".dsn"), Qt::CaseInsensitive);
    if (complete)
        return url;
    QString dsn;
    QStringList others;
    bool named = false;
    for (const auto& [key, value] : OdbcPairs(rest)) {
        if (key.compare(u"DSN", Qt::CaseInsensitive) == 0) {
            dsn = value;
            named = true;
        } else if (key.compare(u"UID", Qt::CaseInsensitive) == 0) {
            url.user = value;
        } else if (key.compare(u"PWD", Qt::CaseInsensitive) == 0) {
            url.password = value;
        } else {
            others << key + u'=' + value;
        }
    }
    if (!named)
        return url;
    others.prepend(dsn);
    url.database = others.join(u';');
    return url;
}

} // namespace

std::optional<ConnectionUrl> ParseConnectionUrl(const QString& text, QString* error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QString url = text.trimmed();
    if (StartsWithNoCase(url, QStringLiteral("sqlite:")))
        return ParseSqlite(url.mid(7), error);
    if (StartsWithNoCase(url, QStringLiteral("postgresql://")) || StartsWithNoCase(url, QStringLiteral("postgres://")))
        return ParsePostgres(url, error);
    if (StartsWithNoCase(url, QStringLiteral("odbc:")))
        return ParseOdbc(url.mid(5), error);
    *error = url.isEmpty() ? QStringLiteral("没有配置数据库地址")
                           : QStringLiteral("不支持的数据库地址 (应为 sqlite:、postgresql:// 或 odbc:)");
    return std::nullopt;
}

QString InInstallation(const QString& url)
{
    if (!StartsWithNoCase(url, QStringLiteral("sqlite:")))
        return url;
    QString path = url.mid(7);
    if (path.startsWith(u"//"))
        path.remove(0, 2);
    if (path.trimmed().isEmpty() || QDir::isAbsolutePath(path))
        return url;
    return QStringLiteral("sqlite:") + QDir::cleanPath(InstallDirectory() + u'/' + path);
}

namespace {

// A URL from the environment variable, else from the installation's setting (relative sqlite:
// paths counted from the installation), else the installation's own SQLite file.
QString ConfiguredUrl(const char* variable, const QString& section, const QString& defaultFile)
{
    const QString fromEnvironment = qEnvironmentVariable(variable).trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString ini = InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini"));
    const QString configured =
        GetPrivateProfileString(section, QStringLiteral("Url"), QString(), kProfileBuffer, ini).trimmed();
    if (!configured.isEmpty())
        return InInstallation(configured);
    return QStringLiteral("sqlite:") + InstallDirectory() + u'/' + defaultFile;
}

} // namespace

QString ConfiguredConnectionUrl()
{
    return ConfiguredUrl("ZQPDM_DB", QStringLiteral("Database"), QStringLiteral("pdm.db"));
}

QString ConfiguredContentIndexUrl()
{
    return ConfiguredUrl("ZQPDM_INDEX", QStringLiteral("内容索引"), QStringLiteral("content-index.db"));
}

QString OdbcAttribute(const QString& connectionText, const QString& key)
{
    for (const auto& [name, value] : OdbcPairs(connectionText)) {
        if (name.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString trimmed = value.trimmed();
        if (trimmed.size() >= 2 && trimmed.startsWith(u'{') && trimmed.endsWith(u'}'))
            return trimmed.mid(1, trimmed.size() - 2).replace(QStringLiteral("}}"), QStringLiteral("}"));
        return trimmed;
    }
    return {};
}

QString RedactUrl(const QString& url)
{
    QString out = url;
    // Whatever lies between "://" and the last '@' is user information, name and password, even
    // when reserved characters in it were not percent-encoded and the text does not parse.
    const qsizetype authority = out.indexOf(QStringLiteral("://"));
    const bool local = StartsWithNoCase(out.trimmed(), QStringLiteral("sqlite:"))
                       || StartsWithNoCase(out.trimmed(), QStringLiteral("file:"));
    if (authority >= 0 && !local) {
        const qsizetype start = authority + 3;
        const qsizetype at = out.lastIndexOf(u'@');
        if (at >= start)
            out.replace(start, at - start, QStringLiteral("***"));
    }
    // A braced value runs to its closing brace ("}}" inside it is a brace of its own), or to the
    // end of the text when it has none: nothing of a password shows.
    static const QRegularExpression odbcPassword(
        QStringLiteral("(\\b(?:PWD|PASSWORD)\\s*=\\s*)(\\{(?:[^}]|\\}\\})*\\}?|[^;]*)"),
        QRegularExpression::CaseInsensitiveOption);
    out.replace(odbcPassword, QStringLiteral("\\1***"));
    return out;
}

} // namespace zq::db
