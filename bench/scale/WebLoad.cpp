#include "WebLoad.h"

#include "Cases.h"
#include "LoadMix.h"
#include "ProcessTree.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace zq::bench {

namespace {

const QString kQuickKind = QStringLiteral("quick search");
const QString kTabKind = QStringLiteral("tab search");
constexpr int kErrorSamples = 5;

// Control ids of the pages' conditions.
const QString kFromDate = QStringLiteral("1204");
const QString kConditionGrid = QStringLiteral("1318");
const QString kConditionKind = QStringLiteral("1256");   // 标题 / 明细
const QString kFileName = QStringLiteral("1252");        // 设计文档
const QString kOrderNumber = QStringLiteral("1376");     // 更改单
const QString kTaskNumber = QStringLiteral("1021");      // 设计任务
const QString kAuthor = QStringLiteral("1067");          // 编制人 of 更改单: the user's own by default

std::string searchPath(const QString& tab)
{
    return (QStringLiteral("/api/pages/") + QString::fromLatin1(QUrl::toPercentEncoding(tab)) + QStringLiteral("/search"))
        .toStdString();
}

WebRequest tabSearch(const QString& tab, const QList<QStringList>& actions)
{
    QJsonArray list;
    for (const QStringList& action : actions)
        list.append(QJsonArray::fromStringList(action));
    const QJsonDocument body(QJsonObject{{QStringLiteral("actions"), list}});
    return {kTabKind, searchPath(tab), body.toJson(QJsonDocument::Compact).toStdString()};
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the users found, gathered under a lock.
struct Tally {
    std::mutex lock;
    QMap<QString, QList<double>> seconds;   // by kind, answered 200
    QMap<QString, qint64> errors;
    QMap<QString, qint64> listedNothing;
    QStringList samples;

    void add(const QString& kind, double took, int status, const std::string& answer)
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (status == 200) {
            seconds[kind].append(took);
            if (answer.find("\"rows\":[]") != std::string::npos)
                ++listedNothing[kind];
            return;
        }
        ++errors[kind];
        seconds[kind];   // the kind is listed even when nothing of it succeeded
        if (samples.size() < kErrorSamples)
            samples.append(QStringLiteral("%1: %2 %3")
                               .arg(kind, status ? QString::number(status) : QStringLiteral("no answer"),
                                    QString::fromUtf8(answer.substr(0, 160))));
    }
};

// One user: searches until the time is up, the pause between an answer and the next search.
void simulateUser(const WebLoadRun& run, int user, std::chrono::steady_clock::time_point end, Tally& tally)
{
    httplib::Client client("127.0.0.1", run.port);
    client.set_keep_alive(true);
    client.set_connection_timeout(10);
    // Longer than a search may wait for a worker and then run (--search-timeout twice).
    client.set_read_timeout(90);
    client.set_url_encode(false);
    std::mt19937_64 random(quint64(user) * 7919 + 1);
    // The users do not all start in the same instant.
    std::this_thread::sleep_for(std::chrono::duration<double>(run.pauseSeconds * double(user) / double(run.users)));
    while (std::chrono::steady_clock::now() < end) {
        const WebRequest request = NextWebRequest(random(), run.products, run.quickSearch);
        const auto start = std::chrono::steady_clock::now();
        const httplib::Result answer = request.body.empty()
                                           ? client.Get(request.path)
                                           : client.Post(request.path, request.body, "application/json");
        const double took = secondsSince(start);
        tally.add(request.kind, took, answer ? answer->status : 0, answer ? answer->body : httplib::to_string(answer.error()));
        if (run.pauseSeconds > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(run.pauseSeconds));
    }
}

} // namespace

WebServerProcess::~WebServerProcess()
{
    stop();
}

bool WebServerProcess::start(const Installation& installation, const QString& logFile, QString* error)
{
    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(BenchTool("zqpdm-web"));
    m_process->setArguments({QStringLiteral("--home"), installation.home, QStringLiteral("--db"), installation.databaseUrl,
                             QStringLiteral("--today"), BenchToday().toString(Qt::ISODate), QStringLiteral("--listen"),
                             QStringLiteral("127.0.0.1:0"), QStringLiteral("--local-user"), QStringLiteral("zhangwei")});
    m_process->setStandardErrorFile(logFile);
    m_process->start();
    if (!m_process->waitForStarted(10000)) {
        *error = QStringLiteral("zqpdm-web does not start: ") + m_process->errorString();
        return false;
    }
    // It prints its address once it listens.
    QElapsedTimer waited;
    waited.start();
    QByteArray printed;
    while (!printed.contains('\n') && waited.elapsed() < 30000 && m_process->state() == QProcess::Running) {
        m_process->waitForReadyRead(500);
        printed += m_process->readAllStandardOutput();
    }
    const QUrl address(QString::fromUtf8(printed.trimmed()));
    m_port = address.port();
    if (m_port <= 0) {
        *error = QStringLiteral("zqpdm-web printed no address (see %1)").arg(logFile);
        return false;
    }
    return true;
}

void WebServerProcess::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(15000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    m_process.reset();
    m_port = 0;
}

qint64 WebServerProcess::pid() const
{
    return m_process ? m_process->processId() : 0;
}

WebRequest NextWebRequest(quint64 draw, int products, bool quickSearch)
{
    const QString number = LoadProductNumber(draw / 8, products);
    const QString from = LoadFromDate();
    // Two of three searches are typed into the quick box, as most people do.
    if (quickSearch && draw % 3 != 2) {
        const QString code = QStringLiteral("ZQG%1-0%2").arg(number).arg(1 + draw / 5 % 4);
        return {kQuickKind, (QStringLiteral("/api/quick?q=") + QString::fromLatin1(QUrl::toPercentEncoding(code))).toStdString(), {}};
    }
    switch (draw % 5) {
    case 0:
        return tabSearch(QStringLiteral("设计零部件"), {{QStringLiteral("set"), kConditionKind, QStringLiteral("标题")},
                                                  {QStringLiteral("set"), kFromDate, from},
                                                  {QStringLiteral("cell"), kConditionGrid, QStringLiteral("0"),
                                                   QStringLiteral("ZQG%1-0%2").arg(number).arg(1 + draw / 7 % 4)}});
    case 1:
        return tabSearch(QStringLiteral("资源文件"),
                         {{QStringLiteral("cell"), kConditionGrid, QStringLiteral("0"), QStringLiteral("R-G") + number}});
    case 2:
        return tabSearch(QStringLiteral("设计文档"), {{QStringLiteral("set"), kFromDate, from},
                                                 {QStringLiteral("set"), kFileName, QStringLiteral("ZQG") + number}});
    case 3:
        return tabSearch(QStringLiteral("更改单"), {{QStringLiteral("set"), kFromDate, from},
                                                {QStringLiteral("set"), kAuthor, QString()},
                                                {QStringLiteral("set"), kOrderNumber, QStringLiteral("XGG") + number}});
    default:
        return tabSearch(QStringLiteral("设计任务"), {{QStringLiteral("set"), kFromDate, from},
                                                 {QStringLiteral("set"), kTaskNumber, QStringLiteral("XMG") + number}});
    }
}

bool ServesQuickSearch(int port)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(60);
    const httplib::Result answer = client.Get("/api/quick?q=ZQG0001");
    return answer && answer->status != 404;
}

WebLoadFigures RunWebLoad(const WebLoadRun& run)
{
    Tally tally;
    PeakMemory memory;
    memory.start(run.serverPid);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(run.seconds));
    std::vector<std::thread> users;
    users.reserve(std::size_t(run.users));
    for (int user = 0; user < run.users; ++user)
        users.emplace_back(simulateUser, std::cref(run), user, end, std::ref(tally));
    for (std::thread& user : users)
        user.join();
    const double elapsed = secondsSince(start);

    WebLoadFigures figures;
    figures.peakMemoryBytes = memory.stop();
    for (auto it = tally.seconds.begin(); it != tally.seconds.end(); ++it) {
        QList<double> times = it.value();
        std::sort(times.begin(), times.end());
        WebKindFigures& kind = figures.kinds[it.key()];
        kind.errors = tally.errors.value(it.key());
        kind.listedNothing = tally.listedNothing.value(it.key());
        kind.searches = times.size() + kind.errors;
        kind.p50 = Percentile(times, 0.50);
        kind.p95 = Percentile(times, 0.95);
        kind.p99 = Percentile(times, 0.99);
        figures.searches += kind.searches;
        figures.errors += kind.errors;
    }
    figures.perSecond = elapsed > 0 ? double(figures.searches) / elapsed : 0;
    figures.errorSamples = tally.samples;
    return figures;
}

} // namespace zq::bench
