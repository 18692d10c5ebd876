#include "WebServer.h"

#include <QDateTime>
#include <QFile>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <mutex>

namespace zq::web {

namespace {

// Who the request being handled on this thread is from, and since when: set before routing, read
// by the handlers and the log line after.
struct RequestContext {
    QString user;
    std::chrono::steady_clock::time_point start;
};
thread_local RequestContext t_request;

const char* const kPolicy = "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
                            "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

struct StaticFile {
    const char* path;
    const char* resource;
    const char* type;
};
const StaticFile kStaticFiles[] = {
    {"/", ":/zqpdm-web/index.html", "text/html; charset=utf-8"},
    {"/index.html", ":/zqpdm-web/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/zqpdm-web/app.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/zqpdm-web/style.css", "text/css; charset=utf-8"},
};

std::string resourceText(const char* resource)
{
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

void WebServer::Log(const QString& line)
{
    static std::mutex mutex;
    const QByteArray text = (QDateTime::currentDateTimeUtc().toString(Qt::ISODate) + u' ' + line + u'\n').toUtf8();
    const std::lock_guard lock(mutex);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
    std::fflush(stderr);
}

WebServer::WebServer(const WebOptions& options, ApiSettings api, QStringList pages)
    : m_options(options), m_identity(options.trustedProxies, options.localUser),
      m_server(std::make_unique<httplib::Server>()), m_api(std::move(api), std::move(pages), &WebServer::Log)
{
    httplib::Server& server = *m_server;
    const std::size_t threads = std::size_t(std::max(8, m_options.workers * 4));
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server.set_payload_max_length(std::size_t(m_options.maxBody));
    server.set_read_timeout(m_options.readTimeout, 0);
    server.set_write_timeout(m_options.writeTimeout, 0);
    // One request a connection ("Connection: close"): the library holds a thread for a connection
    // as long as it lives, so the kept-alive connections of a few browsers between two searches
    // would hold every thread while other users' requests waited behind them for minutes.
    server.set_keep_alive_max_count(1);
    server.set_default_headers({{"Content-Security-Policy", kPolicy},
                                {"X-Content-Type-Options", "nosniff"},
                                {"X-Frame-Options", "DENY"},
                                {"Referrer-Policy", "no-referrer"},
                                {"Cache-Control", "private, no-store"}});

    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        t_request.start = std::chrono::steady_clock::now();
        const std::optional<QString> user =
            m_identity.user(QString::fromStdString(request.remote_addr), request.get_header_value("X-Remote-User"));
        t_request.user = user.value_or(QString());
        if (user)
            return httplib::Server::HandlerResponse::Unhandled;
        AnswerError(response, 401, QStringLiteral("未登录：须经由公司的登录入口访问"));
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        Log(QStringLiteral("a request's handler failed with an exception"));
        AnswerError(response, 500, QStringLiteral("服务器内部错误"));
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return;
        const QString text = response.status == 404   ? QStringLiteral("没有这个地址")
                             : response.status == 413 ? QStringLiteral("请求过大")
                             : response.status == 400 ? QStringLiteral("请求有误")
                                                      : QStringLiteral("请求未能处理");
        AnswerError(response, response.status, text);
    });
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t_request.start);
        // The path as the server read it (escapes undone once, by the server), but one line: an
        // encoded line break cannot forge a log line.
        QString path = QString::fromStdString(request.path);
        for (QChar& c : path)
            if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                c = u'?';
        Log(QStringLiteral("%1 %2 %3 %4 %5 %6ms")
                .arg(QString::fromStdString(request.remote_addr),
                     t_request.user.isEmpty() ? QStringLiteral("-") : t_request.user,
                     QString::fromStdString(request.method), path, QString::number(response.status),
                     QString::number(elapsed.count())));
    });
    addStaticFiles();
    m_api.addRoutes(server, [](const httplib::Request&) { return t_request.user; });
}

WebServer::~WebServer() = default;

void WebServer::addStaticFiles()
{
    for (const StaticFile& file : kStaticFiles) {
        const std::string text = resourceText(file.resource);
        const std::string type = file.type;
        m_server->Get(file.path, [text, type](const httplib::Request&, httplib::Response& response) {
            response.set_content(text, type);
        });
    }
}

bool WebServer::bind()
{
    const std::string host = m_options.listenHost.toStdString();
    if (m_options.listenPort == 0) {
        m_port = m_server->bind_to_any_port(host);
        return m_port > 0;
    }
    m_port = m_options.listenPort;
    return m_server->bind_to_port(host, m_port);
}

void WebServer::serve()
{
    m_server->listen_after_bind();
}

void WebServer::stop()
{
    m_server->stop();
}

} // namespace zq::web
