// What the web server parses itself, on any input: the search body and the describe parameter,
// the quick search's text, kinds and list, ids, the proxy's user header, the file name of a
// download, the worker's output lines and answers, a row's cells and a preview picture's header.
// Nothing a client sends becomes more than a condition: whatever is taken, the command line reads
// it back as the same condition actions, and never as an export, a saved search or an option.
#include "ContentDisposition.h"
#include "FuzzSupport.h"
#include "HitStore.h"
#include "PageWorker.h"
#include "PreviewCache.h"
#include "QuickRequest.h"
#include "RequestIdentity.h"
#include "SearchCommandLine.h"
#include "SearchRequest.h"
#include "ServeRequest.h"

#include <QJsonDocument>

using zqfuzz::Check;

namespace {

void CheckTaken(const zq::web::SearchRequest& request)
{
    if (!request.ok())
        return;
    const zq::tool::ParseResult parsed = zq::tool::SearchCommandLine::parse(
        QStringList{QStringLiteral("--page"), QStringLiteral("-")} + request.arguments + QStringList{QStringLiteral("--find")});
    Check(parsed.status == zq::tool::ParseResult::Status::Ok, "what is taken parses", request.arguments.join(u' '));
    const zq::tool::SearchOptions& options = parsed.options;
    Check(!options.describe && !options.saveAs && !options.deleteSaved && !options.listSaved && !options.home && !options.db
              && !options.today && !options.traceSql,
          "only actions are taken", request.arguments.join(u' '));
    using zq::tool::ActionKind;
    for (qsizetype i = 0; i + 1 < options.actions.size(); ++i) {
        const ActionKind kind = options.actions[i].kind;
        Check(kind == ActionKind::Set || kind == ActionKind::Cell || kind == ActionKind::Click || kind == ActionKind::Pick
                  || kind == ActionKind::Tree,
              "only conditions are taken", options.actions[i].describe());
    }
    Check(!options.actions.isEmpty() && options.actions.last().kind == ActionKind::Find, "the search comes last");
}

// A quick search taken is read back by the command line as that search and nothing else.
void CheckQuickTaken(const zq::web::QuickRequest& request, const QString& text)
{
    if (!request.ok())
        return;
    const zq::tool::ParseResult parsed = zq::tool::SearchCommandLine::parse(request.arguments);
    Check(parsed.status == zq::tool::ParseResult::Status::Ok, "a quick search taken parses", request.arguments.join(u' '));
    const zq::tool::SearchOptions& options = parsed.options;
    Check(options.isQuick() && options.page.isEmpty() && options.actions.isEmpty() && !options.home && !options.db
              && !options.today && !options.previewOut,
          "only the quick search is taken", request.arguments.join(u' '));
    if (options.quick)
        Check(*options.quick == text.trimmed(), "the text is searched as given", *options.quick);
    else
        Check(options.quickList == QStringLiteral("-"), "the list is read from the worker's input");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    FuzzedDataProvider input(data, size);
    const int what = input.ConsumeIntegralInRange(0, 6);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const QByteArray text = QByteArray::fromStdString(bytes);
    switch (what) {
    case 0:
        CheckTaken(zq::web::ParseSearchRequest(text));
        break;
    case 1:
        CheckTaken(zq::web::ParseActionsParameter(text));
        break;
    case 2: {
        const QString id = QString::fromUtf8(text);
        if (zq::web::HitStore::IsWellFormedId(id))
            Check(id.size() == 32, "an id is 32 digits", id);
        const std::optional<QString> login = zq::web::RequestIdentity::LoginFromHeader(bytes);
        if (login) {
            Check(login->size() <= 64 && login->trimmed() == *login, "a login is short and trimmed", *login);
            for (const QChar c : *login)
                Check(c.isPrint(), "a login holds no control character", *login);
        }
        break;
    }
    case 3: {
        const std::string header = zq::web::AttachmentDisposition(QString::fromUtf8(text));
        for (const char c : header)
            Check(c >= 0x20 && c < 0x7f, "the header is printable ASCII", QString::fromStdString(header));
        Check(header.find("filename*=UTF-8''") != std::string::npos, "the exact name is given",
              QString::fromStdString(header));
        break;
    }
    case 4: {
        if (const std::optional<QStringList> rows = zq::web::SplitRowLines(text))
            for (const QString& row : *rows)
                Check(row.startsWith(u'{') && row.endsWith(u'}') && !row.contains(u'\n'), "a row is one object line", row);
        QStringList other;
        for (const QJsonObject& event : zq::web::ParseEventLines(text, &other))
            Check(event.value(QStringLiteral("event")).isString(), "an event names its kind");
        if (const std::optional<int> exit = zq::tool::ParseServeAnswer(text))
            Check(*exit >= 0 && *exit <= 255, "an exit status is one a process has");
        // A request taken is written back as the same request.
        if (const std::optional<zq::tool::ServeRequest> request = zq::tool::ParseServeRequest(text)) {
            const std::optional<zq::tool::ServeRequest> again = zq::tool::ParseServeRequest(request->line());
            Check(again && again->arguments == request->arguments && again->environment == request->environment
                      && again->standardOutput == request->standardOutput,
                  "a request reads back as itself");
        }
        break;
    }
    case 5: {
        const QString row = QString::fromUtf8(text);
        if (const std::optional<QStringList> cells = zq::web::RowCells(row)) {
            // The cells are read from the text as decoded (bytes that are not UTF-8 become U+FFFD).
            const QJsonDocument document = QJsonDocument::fromJson(row.toUtf8());
            Check(document.isObject(), "cells come only from an object", row);
            Check(cells->size() >= document.object().size(), "a cell a member", row);
        }
        zq::web::IsPng(text);
        break;
    }
    case 6: {
        // "TEXT&KINDS": the query parameters of /api/quick, and the same bytes as a list's body.
        const qsizetype split = text.indexOf('&');
        const QString query = QString::fromUtf8(split < 0 ? text : text.left(split));
        const QString kinds = split < 0 ? QString() : QString::fromUtf8(text.mid(split + 1));
        CheckQuickTaken(zq::web::ParseQuickText(query, kinds), query);
        CheckQuickTaken(zq::web::ParseQuickList(text, kinds), query);
        break;
    }
    }
    return 0;
}
