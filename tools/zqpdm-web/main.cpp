// zqpdm-web: the read-only web search over the installation's pages (see --help).
#include "HostInstallation.h"
#include "PageList.h"
#include "PageRegistry.h"
#include "WebCommandLine.h"
#include "WebServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

void writeLine(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The tabs of the installation's page list that the module has, in tab order, each once.
QStringList installationPages()
{
    QStringList pages;
    const std::optional<QStringList> lines = zq::ReadPageList(zq::PageListPath());
    for (const QString& line : lines.value_or(QStringList())) {
        const zq::KnownPage* known = zq::FindKnownPage(line);
        if (!known || pages.size() >= zq::kMaxPageTabs)
            continue;
        const QString caption = QString::fromUtf8(known->caption);
        if (zq::FindPageFactory(caption) && !pages.contains(caption))
            pages.append(caption);
    }
    return pages;
}

// SIGINT and SIGTERM end the server from a thread of their own, not inside a signal handler.
std::thread stopOnSignal(zq::web::WebServer& server, sigset_t stopSignals)
{
    return std::thread([&server, stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        server.stop();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const zq::web::WebParseResult parsed = zq::web::WebCommandLine::parse(arguments);
    if (parsed.status == zq::web::WebParseResult::Status::Help) {
        writeLine(stdout, zq::web::WebCommandLine::helpText());
        return 0;
    }
    if (parsed.status == zq::web::WebParseResult::Status::Usage) {
        writeLine(stderr, QStringLiteral("zqpdm-web: ") + parsed.error);
        writeLine(stderr, zq::web::WebCommandLine::usageLine());
        return 2;
    }
    const zq::web::WebOptions& options = parsed.options;

    // Every thread the server starts inherits these blocked; only the waiting thread takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    const QString home = QFileInfo(options.home).absoluteFilePath();
    if (!QFileInfo(home).isDir()) {
        writeLine(stderr, QStringLiteral("zqpdm-web: --home %1: no such folder").arg(options.home));
        return 2;
    }
    // The installation and database the quick search's own connections read, as zqpdm-search reads them.
    zq::host::UseInstallation(home);
    if (options.db)
        qputenv("ZQPDM_DB", options.db->toUtf8());
    const QStringList pages = installationPages();
    if (pages.isEmpty())
        writeLine(stderr, QStringLiteral("zqpdm-web: the installation %1 lists no search page (Support/Search.cfg)").arg(home));

    zq::web::ApiSettings api;
    api.workerProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/zqpdm-search");
    api.home = home;
    api.db = options.db;
    api.today = options.today;
    api.limits.seconds = options.searchTimeout;
    api.limits.searchesAWorker = options.workerSearches;
    api.workers = options.workers;
    api.quickThreads = options.quickThreads;
    zq::web::WebServer server(options, api, pages);
    if (!server.bind()) {
        writeLine(stderr, QStringLiteral("zqpdm-web: cannot listen on %1:%2")
                              .arg(options.listenHost, QString::number(options.listenPort)));
        return 1;
    }
    const QString host = options.listenHost.contains(u':') ? u'[' + options.listenHost + u']' : options.listenHost;
    writeLine(stdout, QStringLiteral("http://%1:%2/").arg(host, QString::number(server.port())));
    zq::web::WebServer::Log(QStringLiteral("serving %1 on %2:%3 with %4 workers, %5 quick threads%6")
                                .arg(home, host, QString::number(server.port()), QString::number(options.workers),
                                     QString::number(options.quickThreads),
                                     options.localUser ? QStringLiteral(", local user ") + *options.localUser : QString()));
    std::thread waiter = stopOnSignal(server, stopSignals);
    server.serve();
    waiter.join();
    zq::web::WebServer::Log(QStringLiteral("stopped"));
    return 0;
}
