#include "QuickSession.h"

#include "ConnectionUrl.h"
#include "HostDatabase.h"
#include "OutputLines.h"
#include "QuickReport.h"
#include "QuickSearch.h"
#include "SearchSession.h"
#include "ZQDBConnect.h"

#include <QFile>

namespace zq::tool {

namespace {

// The report on standard output (the rows) and standard error (the events).
class StandardQuickOutput : public QuickOutput {
public:
    ResultWriter::Sink rowSink() override { return m_output.sink(); }
    QString finishRows() override { return m_output.finish(); }
    void eventLine(const QString& line) override { WriteErrorLine(line); }

private:
    StandardOutput m_output;
};

} // namespace

// The connections one run reads through.
class QuickSearchRun {
public:
    explicit QuickSearchRun(zq::Connection* pdm)
        : m_index(zq::db::ConfiguredContentIndexUrl()), m_search(pdm, &m_index)
    {
    }
    quick::QuickSearch& search() { return m_search; }

private:
    quick::ContentIndex m_index;
    quick::QuickSearch m_search;
};

QuickSession::QuickSession(SearchOptions options) : m_options(std::move(options)), m_events(m_options.events) {}

int QuickSession::run()
{
    if (m_options.traceSql)
        SearchSession::InstallSqlTrace(m_events);
    StandardQuickOutput output;
    const QuickReport report(m_options.format, m_events.format(), output);
    const std::optional<QStringList> searched = report.kinds(m_options.kinds);
    if (!searched)
        return QuickUsageError;
    zq::host::HostDatabase database;
    if (!database.open()) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"),
                                      {QStringLiteral("database"),
                                       QStringLiteral("cannot connect to %1: %2").arg(database.url(), database.error())}));
        return QuickFailed;
    }
    QuickSearchRun run(database.connection());
    int status = QuickFailed;
    if (m_options.quick) {
        status = report.searchText(run.search(), *m_options.quick, *searched);
    } else if (const std::optional<QByteArray> list = readList()) {
        status = report.checkList(run.search(), *list, *searched);
    }
    zq::SetSqlTraceListener({});
    return status;
}

// The list of --quick-list: a file, or standard input for "-"; nullopt (told) when it cannot be read.
std::optional<QByteArray> QuickSession::readList() const
{
    QByteArray bytes;
    QFile file;
    const bool opened = *m_options.quickList == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                                      : (file.setFileName(*m_options.quickList), file.open(QIODevice::ReadOnly));
    if (opened)
        bytes = file.readAll();
    if (!opened || file.error() != QFileDevice::NoError) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {*m_options.quickList, file.errorString()}));
        return std::nullopt;
    }
    return bytes;
}

} // namespace zq::tool
