// What the web server parses itself, on any input: the search body and the describe parameter,
// ids, the proxy's user header, the file name of a download, and the worker's output lines.
// Nothing a client sends becomes more than a condition: whatever is taken, the command line reads
// it back as the same condition actions, and never as an export, a saved search or an option.
#include "ContentDisposition.h"
#include "FuzzSupport.h"
#include "HitStore.h"
#include "PageWorker.h"
#include "RequestIdentity.h"
#include "SearchCommandLine.h"
#include "SearchRequest.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    FuzzedDataProvider input(data, size);
    const int what = input.ConsumeIntegralInRange(0, 4);
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
        break;
    }
    }
    return 0;
}
