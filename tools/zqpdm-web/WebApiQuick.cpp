// The quick search's routes and the preview picture of a listed row.
#include "WebApi.h"

#include "HitLocator.h"
#include "JsonText.h"
#include "QuickRequest.h"
#include "QuickSources.h"

#include <QJsonDocument>
#include <algorithm>
#include <httplib.h>
#include <map>

namespace zq::web {

using zq::tool::JsonObject;

namespace {

// The HIT events of a quick search by the row they belong to.
std::map<int, QJsonObject> hitDetails(const WorkerOutcome& outcome)
{
    std::map<int, QJsonObject> details;
    for (const QJsonObject& event : outcome.events)
        if (event.value(QStringLiteral("event")).toString() == u"HIT")
            details[event.value(QStringLiteral("row")).toString().toInt()] = event;
    return details;
}

// The counts of the STATUS event, kinds in the order of the installation's pages.
QString countsJson(const WorkerOutcome& outcome, const QStringList& pages)
{
    QJsonObject counts;
    for (const QJsonObject& event : outcome.events)
        if (event.value(QStringLiteral("event")).toString() == u"STATUS")
            counts = event.value(QStringLiteral("counts")).toObject();
    QStringList kinds = counts.keys();
    std::stable_sort(kinds.begin(), kinds.end(), [&pages](const QString& a, const QString& b) {
        return qsizetype(std::uint32_t(pages.indexOf(a))) < qsizetype(std::uint32_t(pages.indexOf(b)));
    });
    JsonObject text;
    for (const QString& kind : kinds)
        text.add(kind, counts.value(kind).toInt());
    return text.text();
}

const QStringList kCodeTiers{QStringLiteral("编号相同"), QStringLiteral("编号近似"), QStringLiteral("编号开头"),
                             QStringLiteral("编号包含")};

} // namespace

bool WebApi::knownKinds(const QString& kinds, httplib::Response& response) const
{
    const QStringList all = quick::AllKindCaptions();
    for (const QString& kind : kinds.split(u',', Qt::SkipEmptyParts))
        if (!all.contains(kind.trimmed())) {
            AnswerError(response, 400, QStringLiteral("没有类别 \"%1\"（可用: %2）").arg(kind.left(40), all.join(u',')));
            return false;
        }
    return true;
}

bool WebApi::runQuick(const QString& user, const QuickRequest& request, WorkerOutcome& outcome, httplib::Response& response)
{
    if (!request.ok()) {
        AnswerError(response, 400, request.error);
        return false;
    }
    if (!m_quickPool) {
        WorkerInput input;
        input.standardInput = request.input;
        return runWorker(user, QString(), request.arguments, outcome, response, input) && !answerFailure(outcome, response);
    }
    const auto limit = std::chrono::milliseconds(qint64(m_settings.limits.seconds * 1000.0));
    std::optional<WorkerOutcome> ran = m_quickPool->run(QuickJob{request.text, request.input, request.kinds}, limit);
    if (!ran) {
        answerBusy(response);
        return false;
    }
    outcome = std::move(*ran);
    return !answerFailure(outcome, response);
}

void WebApi::quick(const QString& user, const QString& text, const QString& kinds, httplib::Response& response)
{
    WorkerOutcome outcome;
    if (!knownKinds(kinds, response) || !runQuick(user, ParseQuickText(text, kinds), outcome, response))
        return;
    answerQuickRows(user, outcome, response);
}

void WebApi::quickList(const QString& user, const std::string& body, const QString& kinds, httplib::Response& response)
{
    WorkerOutcome outcome;
    if (!knownKinds(kinds, response)
        || !runQuick(user, ParseQuickList(QByteArray(body.data(), qsizetype(body.size())), kinds), outcome, response))
        return;
    answerQuickRows(user, outcome, response);
}

// The envelope of a quick search: a row's id leads to its fields, and to its file and picture once
// the hit is found on its tab. A line of a list that was not found has no id ("").
void WebApi::answerQuickRows(const QString& user, const WorkerOutcome& outcome, httplib::Response& response)
{
    const std::optional<QStringList> rows = rowsOf(outcome, response);
    if (!rows)
        return;
    const std::map<int, QJsonObject> details = hitDetails(outcome);
    QStringList ids;
    for (qsizetype i = 0; i < rows->size(); ++i) {
        const auto found = details.find(int(i));
        if (found == details.end()) {
            ids.append(QString());
            continue;
        }
        const QString kind = found->second.value(QStringLiteral("kind")).toString();
        ids.append(m_hits.add(Hit{user, kind, {}, -1, rows->at(i), QuickOrigin{rows->at(i), found->second}}));
    }
    const QStringList statuses = outcome.texts(QStringLiteral("STATUS"), QStringLiteral("text"));
    JsonObject envelope;
    envelope.addJson(QStringLiteral("rows"), u'[' + rows->join(u',') + u']')
        .add(QStringLiteral("ids"), ids)
        .addJson(QStringLiteral("counts"), countsJson(outcome, m_pages))
        .add(QStringLiteral("status"), statuses.isEmpty() ? QString() : statuses.last())
        .add(QStringLiteral("messages"), outcome.texts(QStringLiteral("MSG"), QStringLiteral("text")));
    AnswerJson(response, envelope.text());
}

// Up to ten codes that hold the typed text, the best first, each once: for the search box's list.
void WebApi::suggest(const QString& user, const QString& text, httplib::Response& response)
{
    JsonObject body;
    if (text.trimmed().size() < kMinSuggestText) {
        AnswerJson(response, body.addJson(QStringLiteral("suggestions"), QStringLiteral("[]")).text());
        return;
    }
    WorkerOutcome outcome;
    if (!runQuick(user, ParseQuickText(text, QString()), outcome, response))
        return;
    const std::optional<QStringList> rows = rowsOf(outcome, response);
    if (!rows)
        return;
    QStringList codes;
    QStringList suggestions;
    for (const QString& row : *rows) {
        const QJsonObject fields = QJsonDocument::fromJson(row.toUtf8()).object();
        const QString code = fields.value(QStringLiteral("编号")).toString();
        if (code.isEmpty() || codes.contains(code) || !kCodeTiers.contains(fields.value(QStringLiteral("匹配")).toString()))
            continue;
        codes.append(code);
        suggestions.append(JsonObject()
                               .add(QStringLiteral("code"), code)
                               .add(QStringLiteral("name"), fields.value(QStringLiteral("名称")).toString())
                               .add(QStringLiteral("kind"), fields.value(QStringLiteral("类别")).toString())
                               .text());
        if (codes.size() == kMaxSuggestions)
            break;
    }
    AnswerJson(response, body.addJson(QStringLiteral("suggestions"), u'[' + suggestions.join(u',') + u']').text());
}

std::optional<Hit> WebApi::listedHit(const QString& user, const QString& id, httplib::Response& response)
{
    std::optional<Hit> found = m_hits.find(id, user);
    if (!found) {
        AnswerError(response, 404, QStringLiteral("没有这一项（请重新查找）"));
        return std::nullopt;
    }
    if (found->listed())
        return found;
    // A quick hit: looked for on its tab as the client opens it, once.
    const QDate today = m_settings.today ? QDate::fromString(*m_settings.today, Qt::ISODate) : QDate::currentDate();
    const std::optional<TabSearch> search = TabSearchOf(found->quick->details, today);
    const QString notListed = QStringLiteral("这一项在查询页\"%1\"上找不到（没有文件或预览）").arg(found->page);
    if (!search || !m_pages.contains(search->page)) {
        AnswerError(response, 404, notListed);
        return std::nullopt;
    }
    WorkerOutcome outcome;
    if (!runWorker(user, search->page, search->arguments, outcome, response))
        return std::nullopt;
    const std::optional<QStringList> rows = outcome.ok() ? SplitRowLines(outcome.output) : std::nullopt;
    const int row = rows ? RowOfHit(*rows, found->quick->details) : -1;
    if (row < 0) {
        if (!outcome.ok())
            m_log(QStringLiteral("quick hit %1 not found on %2: worker exit %3").arg(id, search->page).arg(outcome.exitCode));
        AnswerError(response, 404, notListed);
        return std::nullopt;
    }
    found->page = search->page;
    found->arguments = search->arguments;
    found->row = row;
    found->rowJson = rows->at(row);
    m_hits.update(id, *found);
    return found;
}

// The picture the client's preview pane shows of a listed row, made once and then sent from memory.
void WebApi::preview(const QString& user, const QString& id, httplib::Response& response)
{
    const auto send = [&response](const QByteArray& picture) {
        response.set_content(std::string(picture.constData(), std::size_t(picture.size())), "image/png");
    };
    if (!m_hits.find(id, user)) {
        AnswerError(response, 404, QStringLiteral("没有这一项（请重新查找）"));
        return;
    }
    if (const std::optional<QByteArray> cached = m_previews.find(id)) {
        send(*cached);
        return;
    }
    const std::optional<Hit> found = listedHit(user, id, response);
    WorkerInput input;
    input.preview = true;
    WorkerOutcome outcome;
    if (!found || !rerun(*found, {QStringLiteral("--preview"), QString::number(found->row)}, input, outcome, response))
        return;
    if (!IsPng(outcome.previewBytes)) {
        AnswerError(response, 404, QStringLiteral("这一项没有预览图"));
        return;
    }
    m_previews.add(id, outcome.previewBytes);
    send(outcome.previewBytes);
}

} // namespace zq::web
