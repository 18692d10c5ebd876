#include "QuickEngine.h"

#include "ComError.h"
#include "ConnectionUrl.h"
#include "QuickReport.h"
#include "QuickSearch.h"
#include "ZQDBConnect.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace zq::web {

namespace {

using tool::QuickOutput;
using tool::QuickReport;

// The report kept in memory: the rows as zqpdm-search writes them on standard output, the event
// lines as it writes them on standard error.
class MemoryQuickOutput : public QuickOutput {
public:
    tool::ResultWriter::Sink rowSink() override
    {
        return [this](QByteArrayView piece) { m_rows.append(piece); };
    }
    QString finishRows() override { return {}; }
    void eventLine(const QString& line) override { m_events += (line + u'\n').toUtf8(); }

    WorkerOutcome outcome(int exitCode) const
    {
        WorkerOutcome outcome;
        outcome.end = WorkerOutcome::End::Exited;
        outcome.exitCode = exitCode;
        outcome.output = m_rows;
        outcome.events = ParseEventLines(m_events, &outcome.otherLines);
        return outcome;
    }

private:
    QByteArray m_rows;
    QByteArray m_events;
};

// The outcome of a search that could not reach the database, as zqpdm-search tells it.
WorkerOutcome unreachable(const QString& problem)
{
    MemoryQuickOutput output;
    output.eventLine(tool::EventLines(tool::EventFormat::Json)
                         .event(QStringLiteral("ERROR"), {QStringLiteral("database"), problem}));
    return output.outcome(tool::QuickFailed);
}

std::optional<QString> sqlitePath(const QString& url)
{
    QString why;
    const std::optional<db::ConnectionUrl> parsed = db::ParseConnectionUrl(url, &why);
    if (!parsed || parsed->driver != u"QSQLITE")
        return std::nullopt;
    return parsed->database;
}

// The URL, and for an SQLite file its device and inode ("-" when it is not there).
QString identity(const QString& url)
{
    const std::optional<QString> path = sqlitePath(url);
    if (!path)
        return url;
    struct stat status {};
    if (::stat(QFile::encodeName(*path).constData(), &status) != 0)
        return url + QStringLiteral(" -");
    return url + QStringLiteral(" %1:%2").arg(status.st_dev).arg(status.st_ino);
}

} // namespace

QString DatabasesIdentity()
{
    return identity(db::ConfiguredConnectionUrl()) + u'\n' + identity(db::ConfiguredContentIndexUrl());
}

struct QuickEngine::Connections {
    QString databases;   // DatabasesIdentity() when they were opened
    std::unique_ptr<CZQDBConnect> database;
    std::unique_ptr<quick::ContentIndex> index;
    std::unique_ptr<quick::QuickSearch> search;
};

QuickEngine::QuickEngine() = default;
QuickEngine::~QuickEngine() = default;

bool QuickEngine::connect(QString* problem)
{
    m_connections.reset();
    auto connections = std::make_unique<Connections>();
    connections->databases = DatabasesIdentity();
    const QString url = db::ConfiguredConnectionUrl();
    // Opening a missing SQLite file would make an empty database in its place.
    const std::optional<QString> file = sqlitePath(url);
    if (file && !QFileInfo(*file).isFile()) {
        *problem = QStringLiteral("cannot connect to %1: 数据库文件不存在").arg(db::RedactUrl(url));
        return false;
    }
    connections->database = std::make_unique<CZQDBConnect>(url);
    const bool connected = connections->database->Init() && connections->database->ConnectPDM();
    // This connection is the thread's own, never the one pages in this process would share.
    if (CZQDBConnect::GetCurDBConnect() == connections->database.get())
        CZQDBConnect::SetCurDBConnect(nullptr);
    if (!connected) {
        *problem = QStringLiteral("cannot connect to %1: %2").arg(db::RedactUrl(url), connections->database->LastError());
        return false;
    }
    connections->index = std::make_unique<quick::ContentIndex>(db::ConfiguredContentIndexUrl());
    connections->search = std::make_unique<quick::QuickSearch>(connections->database->GetPtrPDM(), connections->index.get());
    m_connections = std::move(connections);
    return true;
}

// Whether the PDM connection still answers a query.
bool QuickEngine::answers() const
{
    try {
        return m_connections->database->GetSelectItemData(QStringLiteral("SELECT 1")) == u"1";
    } catch (const _com_error&) {
        return false;
    }
}

WorkerOutcome QuickEngine::report(const QuickJob& job, const std::atomic_bool& cancel)
{
    MemoryQuickOutput output;
    const QuickReport report(tool::OutputFormat::Json, tool::EventFormat::Json, output);
    const std::optional<QStringList> kinds = report.kinds(job.kinds);
    if (!kinds)
        return output.outcome(tool::QuickUsageError);
    const int status = job.text.isEmpty() ? report.checkList(*m_connections->search, job.list, *kinds, &cancel)
                                          : report.searchText(*m_connections->search, job.text, *kinds, &cancel);
    return output.outcome(status);
}

WorkerOutcome QuickEngine::run(const QuickJob& job, const std::atomic_bool& cancel)
{
    if (m_connections && m_connections->databases != DatabasesIdentity())
        m_connections.reset();
    // A connection kept from before may have gone with a server that restarted: then once more
    // on a new one.
    const bool reused = m_connections != nullptr;
    for (int attempt = reused ? 0 : 1; attempt < 2; ++attempt) {
        QString problem;
        if (!m_connections && !connect(&problem))
            return unreachable(problem);
        WorkerOutcome outcome = report(job, cancel);
        if (outcome.exitCode != tool::QuickFailed || cancel || answers())
            return outcome;
        m_connections.reset();
    }
    return unreachable(QStringLiteral("the database no longer answers"));
}

} // namespace zq::web
