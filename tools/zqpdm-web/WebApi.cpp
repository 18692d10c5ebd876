#include "WebApi.h"

#include "ContentDisposition.h"
#include "JsonText.h"
#include "SearchRequest.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <httplib.h>

namespace zq::web {

using zq::tool::JsonObject;
using zq::tool::JsonString;
using zq::tool::JsonStringArray;

namespace {

std::string utf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

// A path segment as the client wrote it (the HTTP library has undone its percent-escapes once;
// undoing them again would read "%2541" as "A").
QString segment(const httplib::Request& request, int index)
{
    return QString::fromStdString(request.matches[index].str());
}

// A query parameter, as UTF-8 (the HTTP library has undone its percent-escapes).
QString parameter(const httplib::Request& request, const char* name)
{
    return QString::fromStdString(request.get_param_value(name));
}

QStringList commonArguments(const ApiSettings& settings)
{
    QStringList arguments{QStringLiteral("--home"), settings.home};
    if (settings.db)
        arguments << QStringLiteral("--db") << *settings.db;
    if (settings.today)
        arguments << QStringLiteral("--today") << *settings.today;
    return arguments;
}

} // namespace

QString NextReference()
{
    static QAtomicInteger<quint32> counter(0);
    return QStringLiteral("%1").arg(counter.fetchAndAddRelaxed(1) + 1, 6, 10, QLatin1Char('0'));
}

void AnswerJson(httplib::Response& response, const QString& json)
{
    response.set_content(utf8(json), "application/json; charset=utf-8");
}

void AnswerError(httplib::Response& response, int status, const QString& text, const QStringList& messages)
{
    response.status = status;
    JsonObject body;
    body.add(QStringLiteral("error"), text);
    if (!messages.isEmpty())
        body.add(QStringLiteral("messages"), messages);
    AnswerJson(response, body.text());
}

WebApi::WebApi(ApiSettings settings, QStringList pages, LogLine log)
    : m_settings(std::move(settings)), m_pages(std::move(pages)), m_log(std::move(log)),
      m_worker(m_settings.workerProgram, commonArguments(m_settings), m_settings.limits),
      m_freeWorkers(std::make_unique<WorkerSlots>(std::clamp(m_settings.workers, 1, 256))),
      m_quickPool(m_settings.quickThreads > 0 ? std::make_unique<QuickPool>(std::min(m_settings.quickThreads, 64)) : nullptr)
{
}

void WebApi::addRoutes(httplib::Server& server, UserOf userOf)
{
    server.Get("/api/pages", [this](const httplib::Request&, httplib::Response& response) { pages(response); });
    server.Get(R"(/api/pages/([^/]+))", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        describe(userOf(request), segment(request, 1), request.get_param_value("actions"), response);
    });
    server.Post(R"(/api/pages/([^/]+)/search)", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        search(userOf(request), segment(request, 1), request.body, response);
    });
    server.Get(R"(/api/hits/([^/]+))", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        hit(userOf(request), segment(request, 1), response);
    });
    server.Get(R"(/api/files/([^/]+))", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        file(userOf(request), segment(request, 1), response);
    });
    server.Get("/api/quick", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        quick(userOf(request), parameter(request, "q"), parameter(request, "kind"), response);
    });
    server.Post("/api/quick-list", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        quickList(userOf(request), request.body, parameter(request, "kind"), response);
    });
    server.Get("/api/suggest", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        suggest(userOf(request), parameter(request, "q"), response);
    });
    server.Get(R"(/api/preview/([^/]+)\.png)", [this, userOf](const httplib::Request& request, httplib::Response& response) {
        preview(userOf(request), segment(request, 1), response);
    });
}

void WebApi::pages(httplib::Response& response) const
{
    JsonObject body;
    body.add(QStringLiteral("pages"), m_pages);
    AnswerJson(response, body.text());
}

bool WebApi::knownPage(const QString& page, httplib::Response& response) const
{
    if (m_pages.contains(page))
        return true;
    AnswerError(response, 404, QStringLiteral("没有查询页 \"%1\"").arg(page.left(80)));
    return false;
}

QString WebApi::clientText(QString text) const
{
    // What the worker says of arguments may name the installation or the scratch folder.
    text.replace(QDir(m_settings.home).absolutePath(), QStringLiteral("…"));
    text.replace(QDir::tempPath(), QStringLiteral("…"));
    text.remove(QStringLiteral("zqpdm-search: "));
    return text;
}

bool WebApi::runWorker(const QString& user, const QString& page, const QStringList& arguments, WorkerOutcome& outcome,
                       httplib::Response& response, const WorkerInput& input)
{
    const auto wait = std::chrono::milliseconds(qint64(m_settings.limits.seconds * 1000.0));
    if (!m_freeWorkers->acquire(wait)) {
        answerBusy(response);
        return false;
    }
    outcome = m_worker.run(user, page, arguments, input);
    m_freeWorkers->release();
    return true;
}

void WebApi::answerBusy(httplib::Response& response) const
{
    AnswerError(response, 503, QStringLiteral("服务器忙，请稍后再试"));
    m_log(QStringLiteral("busy: no worker free within %1 s").arg(m_settings.limits.seconds));
}

bool WebApi::answerFailure(const WorkerOutcome& outcome, httplib::Response& response)
{
    if (outcome.ok())
        return false;
    const QString reference = NextReference();
    const QStringList messages = outcome.texts(QStringLiteral("MSG"), QStringLiteral("text"));
    for (const QString& note : outcome.texts(QStringLiteral("NOTE"), QStringLiteral("text")))
        m_log(QStringLiteral("[%1] note: %2").arg(reference, note));
    for (const QJsonObject& event : outcome.events)
        if (event.value(QStringLiteral("event")).toString() == u"ERROR")
            m_log(QStringLiteral("[%1] error: %2: %3")
                      .arg(reference, event.value(QStringLiteral("source")).toString(),
                           event.value(QStringLiteral("reason")).toString()));
    for (const QString& line : outcome.otherLines)
        m_log(QStringLiteral("[%1] worker: %2").arg(reference, line));
    switch (outcome.end) {
    case WorkerOutcome::End::TimedOut:
        m_log(QStringLiteral("[%1] cancelled after %2 s").arg(reference).arg(m_settings.limits.seconds));
        AnswerError(response, 504, QStringLiteral("查找超过 %1 秒，已取消；请缩小条件").arg(m_settings.limits.seconds));
        return true;
    case WorkerOutcome::End::TooLarge:
        m_log(QStringLiteral("[%1] output past %2 bytes").arg(reference).arg(m_settings.limits.outputBytes));
        AnswerError(response, 413, QStringLiteral("结果过多；请缩小条件"));
        return true;
    case WorkerOutcome::End::NotStarted:
    case WorkerOutcome::End::Crashed:
        m_log(QStringLiteral("[%1] worker %2 did not run to its end").arg(reference, m_settings.workerProgram));
        AnswerError(response, 500, QStringLiteral("服务器内部错误（参考号 %1）").arg(reference));
        return true;
    case WorkerOutcome::End::Exited:
        break;
    }
    QStringList notes;
    for (const QString& note : outcome.texts(QStringLiteral("NOTE"), QStringLiteral("text")))
        notes.append(clientText(note));
    m_log(QStringLiteral("[%1] worker exit %2").arg(reference).arg(outcome.exitCode));
    if (outcome.texts(QStringLiteral("ERROR"), QStringLiteral("source")).contains(QStringLiteral("database")))
        AnswerError(response, 503, QStringLiteral("数据库暂时无法连接，请稍后再试（参考号 %1）").arg(reference), messages);
    else if (outcome.exitCode == 2)   // a control, value, grid row or tree path the page does not have
        AnswerError(response, 400, notes.isEmpty() ? QStringLiteral("条件有误") : notes.join(u'\n'), messages);
    else if (outcome.exitCode == 3)
        AnswerError(response, 409, notes.isEmpty() ? QStringLiteral("无法执行") : notes.join(u'\n'), messages);
    else
        AnswerError(response, 502, QStringLiteral("查找失败（参考号 %1）").arg(reference), messages);
    return true;
}

std::optional<QStringList> WebApi::rowsOf(const WorkerOutcome& outcome, httplib::Response& response) const
{
    std::optional<QStringList> rows = SplitRowLines(outcome.output);
    if (!rows) {
        const QString reference = NextReference();
        m_log(QStringLiteral("[%1] the worker's rows were not JSON lines").arg(reference));
        AnswerError(response, 500, QStringLiteral("服务器内部错误（参考号 %1）").arg(reference));
    }
    return rows;
}

void WebApi::describe(const QString& user, const QString& page, const std::string& actions, httplib::Response& response)
{
    if (!knownPage(page, response))
        return;
    const SearchRequest request = ParseActionsParameter(QByteArray(actions.data(), qsizetype(actions.size())));
    if (!request.ok()) {
        AnswerError(response, 400, request.error);
        return;
    }
    WorkerOutcome outcome;
    if (!runWorker(user, page, request.arguments + QStringList{QStringLiteral("--describe")}, outcome, response)
        || answerFailure(outcome, response))
        return;
    AnswerJson(response, QString::fromUtf8(outcome.output));
}

void WebApi::search(const QString& user, const QString& page, const std::string& body, httplib::Response& response)
{
    if (!knownPage(page, response))
        return;
    const SearchRequest request = ParseSearchRequest(QByteArray(body.data(), qsizetype(body.size())));
    if (!request.ok()) {
        AnswerError(response, 400, request.error);
        return;
    }
    const QStringList arguments = request.arguments + QStringList{QStringLiteral("--find")};
    WorkerOutcome outcome;
    if (!runWorker(user, page, arguments, outcome, response) || answerFailure(outcome, response))
        return;
    const std::optional<QStringList> rows = rowsOf(outcome, response);
    if (!rows)
        return;
    QStringList ids;
    for (qsizetype i = 0; i < rows->size(); ++i)
        ids.append(m_hits.add(Hit{user, page, arguments, int(i), rows->at(i), std::nullopt}));
    const QStringList statuses = outcome.texts(QStringLiteral("STATUS"), QStringLiteral("text"));
    JsonObject counts;
    counts.add(page, int(rows->size()));
    JsonObject envelope;
    envelope.addJson(QStringLiteral("rows"), u'[' + rows->join(u',') + u']')
        .add(QStringLiteral("ids"), ids)
        .addJson(QStringLiteral("counts"), counts.text())
        .add(QStringLiteral("status"), statuses.isEmpty() ? QString() : statuses.last())
        .add(QStringLiteral("messages"), outcome.texts(QStringLiteral("MSG"), QStringLiteral("text")));
    AnswerJson(response, envelope.text());
}

void WebApi::hit(const QString& user, const QString& id, httplib::Response& response) const
{
    const std::optional<Hit> found = m_hits.find(id, user);
    if (!found) {
        AnswerError(response, 404, QStringLiteral("没有这一项（请重新查找）"));
        return;
    }
    JsonObject body;
    body.add(QStringLiteral("id"), id)
        .add(QStringLiteral("page"), found->page)
        .addJson(QStringLiteral("fields"), found->shownJson())
        .add(QStringLiteral("file"), QStringLiteral("/api/files/") + id)
        .add(QStringLiteral("preview"), QStringLiteral("/api/preview/") + id + QStringLiteral(".png"));
    AnswerJson(response, body.text());
}

// The stored file of a listed row, fetched as a double-click on the row fetches it: the search is
// run again and the row opened; a list that has changed since is not trusted to hold the same row.
void WebApi::file(const QString& user, const QString& id, httplib::Response& response)
{
    const std::optional<Hit> found = listedHit(user, id, response);
    WorkerOutcome outcome;
    if (!found || !rerun(*found, {QStringLiteral("--dblclick"), QString::number(found->row)}, {}, outcome, response))
        return;
    if (outcome.openedTooLarge) {
        AnswerError(response, 413, QStringLiteral("文件过大，不能下载"));
        return;
    }
    if (outcome.openedFile.isEmpty()) {
        AnswerError(response, 404, QStringLiteral("这一项没有可下载的文件"),
                    outcome.texts(QStringLiteral("MSG"), QStringLiteral("text")));
        return;
    }
    response.set_header("Content-Disposition", AttachmentDisposition(QFileInfo(outcome.openedFile).fileName()));
    // Sent from the bytes read, without a second copy of a large file.
    const QByteArray bytes = outcome.openedBytes;
    response.set_content_provider(std::size_t(bytes.size()), "application/octet-stream",
                                  [bytes](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      const std::size_t left = std::size_t(bytes.size()) - offset;
                                      return sink.write(bytes.constData() + offset, std::min(length, left));
                                  });
}

bool WebApi::rerun(const Hit& hit, const QStringList& more, const WorkerInput& input, WorkerOutcome& outcome,
                   httplib::Response& response)
{
    if (!runWorker(hit.user, hit.page, hit.arguments + more, outcome, response, input))
        return false;
    // A picture the page could not make for the row: the row has none to show.
    if (input.preview && outcome.end == WorkerOutcome::End::Exited && outcome.exitCode == 1) {
        for (const QJsonObject& event : outcome.events)
            if (event.value(QStringLiteral("event")).toString() == u"ERROR"
                && event.value(QStringLiteral("source")).toString().startsWith(QStringLiteral("--preview"))) {
                m_log(QStringLiteral("no preview: %1").arg(event.value(QStringLiteral("reason")).toString()));
                AnswerError(response, 404, QStringLiteral("这一项没有预览图"));
                return false;
            }
    }
    if (answerFailure(outcome, response))
        return false;
    const std::optional<QStringList> rows = SplitRowLines(outcome.output);
    if (!rows || hit.row >= rows->size() || rows->at(hit.row) != hit.rowJson) {
        AnswerError(response, 409, QStringLiteral("查找结果已经改变，请重新查找"));
        return false;
    }
    return true;
}

} // namespace zq::web
