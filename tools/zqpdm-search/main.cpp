// zqpdm-search: the search module driven from a command line (see --help).
#include "HostInstallation.h"
#include "OutputLines.h"
#include "QuickSession.h"
#include "RuntimeFolderWarning.h"
#include "SearchCommandLine.h"
#include "SearchSession.h"
#include "ServeLoop.h"

#include <QApplication>

namespace {

using zq::tool::ParseResult;

QStringList commandLineArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// The installation and database the run uses, set before anything reads them.
void applyEnvironment(const zq::tool::SearchOptions& options)
{
    if (options.home)
        zq::host::UseInstallation(*options.home);
    if (options.db)
        qputenv("ZQPDM_DB", options.db->toUtf8());
}

zq::tool::EventLines& eventLines()
{
    static zq::tool::EventLines lines;
    return lines;
}

// Qt's own diagnostics would mix with the event lines; only serious ones are kept.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        zq::tool::WriteErrorLine(eventLines().note(QStringLiteral("qt: ") + message));
}

// Help and usage errors, which need no window system; nullopt for a run that does.
std::optional<int> answerWithoutQt(const ParseResult& parsed)
{
    if (parsed.status == ParseResult::Status::Help) {
        // Help that went nowhere (a full disk) is no success.
        if (const QString error = zq::tool::WriteOutput(zq::tool::SearchCommandLine::helpText()); !error.isEmpty()) {
            zq::tool::WriteErrorLine(QStringLiteral("zqpdm-search: ") + error);
            return zq::tool::SearchSession::Failed;
        }
        return zq::tool::SearchSession::Ok;
    }
    if (parsed.status == ParseResult::Status::Usage) {
        zq::tool::WriteErrorLine(QStringLiteral("zqpdm-search: ") + parsed.error);
        zq::tool::WriteErrorLine(zq::tool::SearchCommandLine::usageLine());
        return zq::tool::SearchSession::UsageError;
    }
    return std::nullopt;
}

// One search, the application running.
int search(const ParseResult& parsed)
{
    applyEnvironment(parsed.options);
    eventLines() = zq::tool::EventLines(parsed.options.events);
    if (parsed.options.isQuick())
        return zq::tool::QuickSession(parsed.options).run();
    zq::tool::SearchSession session(parsed.options);
    return session.run();
}

// A search asked of --serve: as a run of its own with these arguments would go.
int servedSearch(const QStringList& arguments)
{
    ParseResult parsed = zq::tool::SearchCommandLine::parse(arguments);
    if (parsed.status == ParseResult::Status::Serve) {
        parsed.status = ParseResult::Status::Usage;
        parsed.error = QStringLiteral("a served search cannot ask for --serve");
    }
    if (const std::optional<int> answered = answerWithoutQt(parsed))
        return *answered;
    return search(parsed);
}

} // namespace

int main(int argc, char* argv[])
{
    const ParseResult parsed = zq::tool::SearchCommandLine::parse(commandLineArguments(argc, argv));
    if (const std::optional<int> answered = answerWithoutQt(parsed))
        return *answered;

    if (parsed.status == ParseResult::Status::Ok) {
        // Set before Qt starts: what it reads, and how its diagnostics are written.
        applyEnvironment(parsed.options);
        eventLines() = zq::tool::EventLines(parsed.options.events);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZQ_TOOL_QT_MESSAGES"))
        qInstallMessageHandler(qtMessages);
    else
        zq::console::DropRuntimeFolderWarning();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zqpdm-search"));
    if (parsed.status == ParseResult::Status::Serve)
        return zq::tool::ServeLoop(servedSearch).run();
    return search(parsed);
}
