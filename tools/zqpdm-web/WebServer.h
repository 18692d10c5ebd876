#pragma once
// The HTTP side of zqpdm-web on cpp-httplib: limits and timeouts, the security headers every
// answer carries, who each request is from (401 for nobody), one log line a request, the page's
// static files from the program's resources, and the JSON API.
#include "RequestIdentity.h"
#include "WebApi.h"
#include "WebCommandLine.h"

#include <memory>

namespace httplib { class Server; }

namespace zq::web {

class WebServer {
public:
    WebServer(const WebOptions& options, ApiSettings api, QStringList pages);
    ~WebServer();

    // Binds the address; false with the reason logged when it cannot.
    bool bind();
    int port() const { return m_port; }
    // Serves until stop() (from another thread or a signal handler's thread).
    void serve();
    void stop();

    static void Log(const QString& line);

private:
    void addStaticFiles();

    WebOptions m_options;
    RequestIdentity m_identity;
    std::unique_ptr<httplib::Server> m_server;
    WebApi m_api;
    int m_port = 0;
};

} // namespace zq::web
