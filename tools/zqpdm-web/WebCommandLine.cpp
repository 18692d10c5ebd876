#include "WebCommandLine.h"

#include <QDate>
#include <QHostAddress>
#include <QThread>
#include <functional>
#include <map>

namespace zq::web {

namespace {

struct UsageError {
    QString message;
};

[[noreturn]] void fail(const QString& message) { throw UsageError{message}; }

int parseInteger(const QString& option, const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || value > maximum || text.trimmed() != text)
        fail(QStringLiteral("%1: \"%2\" is not a number from %3 to %4")
                 .arg(option, text, QString::number(minimum), QString::number(maximum)));
    return value;
}

// "HOST:PORT", "[V6]:PORT" or ":PORT" (the default host).
void parseListen(WebOptions& options, const QString& option, const QString& text)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        fail(QStringLiteral("%1: \"%2\" is not of the form ADDRESS:PORT").arg(option, text));
    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    if (!host.isEmpty()) {
        if (host != u"localhost" && QHostAddress(host).isNull())
            fail(QStringLiteral("%1: \"%2\" is not an IP address").arg(option, host));
        options.listenHost = host;
    }
    options.listenPort = parseInteger(option, text.mid(colon + 1), 0, 65535);
}

void parseProxy(WebOptions& options, const QString& option, const QString& text)
{
    const QHostAddress address(text);
    if (address.isNull())
        fail(QStringLiteral("%1: \"%2\" is not an IP address").arg(option, text));
    options.trustedProxies.append(address.toString());
}

// A login name as the user table holds it: printable, without spaces at either end.
void parseUser(WebOptions& options, const QString& option, const QString& text)
{
    if (text.trimmed().isEmpty() || text.trimmed() != text || text.size() > 64)
        fail(QStringLiteral("%1: \"%2\" is not a login name").arg(option, text));
    for (const QChar c : text)
        if (!c.isPrint())
            fail(QStringLiteral("%1: a login name holds no control characters").arg(option));
    options.localUser = text;
}

void parseTimeout(WebOptions& options, const QString& option, const QString& text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > 3600)
        fail(QStringLiteral("%1: \"%2\" is not a number of seconds from 0 to 3600").arg(option, text));
    options.searchTimeout = seconds;
}

using Setter = std::function<void(WebOptions&, const QString& option, const QString& value)>;

const std::map<QString, Setter>& setters()
{
    static const std::map<QString, Setter> table{
        {QStringLiteral("--home"), [](WebOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a folder is needed").arg(opt));
             o.home = v;
         }},
        {QStringLiteral("--db"), [](WebOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a database URL is needed").arg(opt));
             o.db = v;
         }},
        {QStringLiteral("--today"), [](WebOptions& o, const QString& opt, const QString& v) {
             if (!QDate::fromString(v, QStringLiteral("yyyy-MM-dd")).isValid())
                 fail(QStringLiteral("%1: \"%2\" is not a date yyyy-MM-dd").arg(opt, v));
             o.today = v;
         }},
        {QStringLiteral("--listen"), parseListen},
        {QStringLiteral("--trusted-proxy"), parseProxy},
        {QStringLiteral("--local-user"), parseUser},
        {QStringLiteral("--workers"), [](WebOptions& o, const QString& opt, const QString& v) { o.workers = parseInteger(opt, v, 1, 256); }},
        {QStringLiteral("--quick-threads"), [](WebOptions& o, const QString& opt, const QString& v) { o.quickThreads = parseInteger(opt, v, 0, 64); }},
        {QStringLiteral("--worker-searches"), [](WebOptions& o, const QString& opt, const QString& v) { o.workerSearches = parseInteger(opt, v, 1, 1000000); }},
        {QStringLiteral("--search-timeout"), parseTimeout},
        {QStringLiteral("--read-timeout"), [](WebOptions& o, const QString& opt, const QString& v) { o.readTimeout = parseInteger(opt, v, 1, 3600); }},
        {QStringLiteral("--write-timeout"), [](WebOptions& o, const QString& opt, const QString& v) { o.writeTimeout = parseInteger(opt, v, 1, 3600); }},
        {QStringLiteral("--max-body"), [](WebOptions& o, const QString& opt, const QString& v) { o.maxBody = parseInteger(opt, v, 1024, 16 * 1024 * 1024); }},
    };
    return table;
}

} // namespace

bool IsLoopbackHost(const QString& host)
{
    if (host == u"localhost")
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

WebParseResult WebCommandLine::parse(const QStringList& arguments)
{
    WebParseResult result;
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        result.status = WebParseResult::Status::Help;
        return result;
    }
    try {
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString& option = arguments[i];
            const auto setter = setters().find(option);
            if (setter == setters().end())
                fail(QStringLiteral("unknown option \"%1\"").arg(option));
            if (i + 1 >= arguments.size())
                fail(QStringLiteral("%1: a value is needed").arg(option));
            setter->second(result.options, option, arguments[++i]);
        }
        if (result.options.home.isEmpty())
            fail(QStringLiteral("--home DIR is needed: the installation whose pages are searched"));
        if (result.options.localUser && !IsLoopbackHost(result.options.listenHost))
            fail(QStringLiteral("--local-user: only on a loopback address (127.0.0.1, ::1), not on %1; elsewhere the "
                                "user comes from a reverse proxy named with --trusted-proxy")
                     .arg(result.options.listenHost));
        if (result.options.workers == 0)
            result.options.workers = std::max(1, QThread::idealThreadCount());
        if (result.options.quickThreads < 0)
            result.options.quickThreads = result.options.workers;
    } catch (const UsageError& error) {
        result.status = WebParseResult::Status::Usage;
        result.error = error.message;
    }
    return result;
}

QString WebCommandLine::usageLine()
{
    return QStringLiteral("usage: zqpdm-web --home DIR [--db URL] [--listen ADDR:PORT] [--trusted-proxy ADDR]...\n"
                          "                 [--local-user NAME] [OPTION]...\n"
                          "       zqpdm-web --help");
}

QString WebCommandLine::helpText()
{
    return usageLine() + QStringLiteral(R"(

The read-only web search: serves the search page and its JSON API over HTTP. It prints the address
to open on standard output once it listens. Every search runs the
installation's own pages in worker processes (zqpdm-search --serve), each with its own database
connection, kept from one search to the next; the quick search runs inside the server on a few
threads with long-lived connections. Nothing it offers writes to the PDM database or the file
store.

Options:
  --home DIR            the client installation (page list, configuration, demo database)
  --db URL              the PDM database instead of the installation's (sqlite:PATH,
                        postgresql://..., odbc:...)
  --today yyyy-MM-dd    the current date the pages see (date conditions start from it)
  --listen ADDR:PORT    where to listen (default 127.0.0.1:8470; port 0: any free port)
  --trusted-proxy ADDR  a reverse proxy whose X-Remote-User header names the user; may be
                        repeated. A request from elsewhere without --local-user gets 401
  --local-user NAME     every request is this user; only on a loopback --listen address
  --workers N           searches at once (default: one a core)
  --quick-threads N     quick searches and suggestions at once, run inside the server on
                        connections of its own (default: as --workers; 0: in worker processes)
  --worker-searches N   searches a worker process answers before a fresh one takes its place
                        (default 100; 1: a process of its own for every search)
  --search-timeout SEC  a search running longer is cancelled (default 30)
  --read-timeout SEC    a client sending its request slower is cut off (default 10)
  --write-timeout SEC   a client reading the answer slower is cut off (default 30)
  --max-body BYTES      the largest request body taken (default 65536)
  --help, -h            this text

Every request is logged on standard error with its user, one line each.

Environment:
  ZQPDM_DB         the PDM database as one URL when --db is not given, else the installation's
  ZQPDM_FTP        the file store the downloads are fetched from, over the installation's [FTP] Url=
  ZQPDM_INDEX      the content index the page 文档内容 searches, over [内容索引] Url=
  ZQPDM_SYSDIR     the system folder that holds zqpdmcod.ini (default: DIR/sys of --home, else
                   /etc/zqpdm)
  ZQPDM_OLDCODE    non-zero hides the "旧图号" result column, as in the client
  TMPDIR           where each search gets a private scratch folder, removed after it (default /tmp)

Exit status: 0 stopped; 1 the address cannot be listened on; 2 a malformed argument.
)");
}

} // namespace zq::web
