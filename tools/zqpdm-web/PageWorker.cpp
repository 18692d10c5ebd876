#include "PageWorker.h"
#include "ServeRequest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

namespace zq::web {

namespace {

// A kept worker's own environment: the server's, headless, without what a search sets for itself.
QProcessEnvironment keptWorkerEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.remove(QStringLiteral("ZQPDM_SQL_TRACE"));
    environment.remove(QStringLiteral("ZQ_TOOL_QT_MESSAGES"));
    for (const QString& name : zq::tool::ServedEnvironmentNames())
        environment.remove(name);
    return environment;
}

// What a search sets for itself: the user it searches for and the folders a page may write to.
QList<QPair<QString, QString>> servedVariables(const QString& user, const QString& scratch)
{
    return {{QStringLiteral("ZQPDM_USER"), user},
            {QStringLiteral("TMPDIR"), scratch},
            {QStringLiteral("XDG_CONFIG_HOME"), scratch + QStringLiteral("/config")},
            {QStringLiteral("ZQPDM_WORKDIR"), scratch + QStringLiteral("/work/")}};
}

// The worker's environment: the server's, with the user it searches for and the folders a page
// may write to (fetched files, settings, change-order files) inside the scratch folder.
QProcessEnvironment workerEnvironment(const QString& user, const QString& scratch)
{
    QProcessEnvironment environment = keptWorkerEnvironment();
    for (const auto& [name, value] : servedVariables(user, scratch))
        environment.insert(name, value);
    return environment;
}

bool isInside(const QString& path, const QString& folder)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    const QString root = QFileInfo(folder).canonicalFilePath();
    return !file.isEmpty() && !root.isEmpty() && file.startsWith(root + u'/');
}

} // namespace

QStringList WorkerOutcome::texts(const QString& event, const QString& field) const
{
    QStringList found;
    for (const QJsonObject& object : events)
        if (object.value(QStringLiteral("event")).toString() == event)
            found.append(object.value(field).toString());
    return found;
}

QList<QJsonObject> ParseEventLines(const QByteArray& text, QStringList* otherLines)
{
    QList<QJsonObject> events;
    for (const QByteArray& line : text.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error == QJsonParseError::NoError && document.isObject()
            && document.object().value(QStringLiteral("event")).isString())
            events.append(document.object());
        else if (otherLines)
            otherLines->append(QString::fromUtf8(line));
    }
    return events;
}

std::optional<QStringList> SplitRowLines(const QByteArray& output)
{
    QList<QByteArray> lines = output.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() == 1 && lines.first() == "[]")
        return QStringList();
    if (lines.size() < 2 || lines.first() != "[" || lines.last() != "]")
        return std::nullopt;
    QStringList rows;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        QByteArray row = lines[i];
        const bool last = i + 2 == lines.size();
        if (!last) {
            if (!row.endsWith(','))
                return std::nullopt;
            row.chop(1);
        }
        if (!row.startsWith('{') || !row.endsWith('}'))
            return std::nullopt;
        rows.append(QString::fromUtf8(row));
    }
    return rows;
}

std::optional<QStringList> RowCells(const QString& rowJson)
{
    // QJsonObject sorts its members; the columns' order is read from the text itself, each string
    // decoded by the JSON parser.
    const QByteArray text = rowJson.toUtf8();
    qsizetype at = 0;
    const auto skipSpace = [&] {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
            ++at;
    };
    const auto expect = [&](char c) {
        skipSpace();
        if (at >= text.size() || text[at] != c)
            return false;
        ++at;
        return true;
    };
    const auto string = [&]() -> std::optional<QString> {
        skipSpace();
        if (at >= text.size() || text[at] != '"')
            return std::nullopt;
        qsizetype end = at + 1;
        while (end < text.size() && text[end] != '"')
            end += text[end] == '\\' ? 2 : 1;
        if (end >= text.size())
            return std::nullopt;
        const QJsonDocument document = QJsonDocument::fromJson('[' + text.mid(at, end + 1 - at) + ']');
        at = end + 1;
        if (!document.isArray() || !document.array().at(0).isString())
            return std::nullopt;
        return document.array().at(0).toString();
    };
    if (!expect('{'))
        return std::nullopt;
    QStringList cells;
    skipSpace();
    if (at < text.size() && text[at] == '}') {
        ++at;
    } else {
        for (;;) {
            const std::optional<QString> key = string();
            if (!key || !expect(':'))
                return std::nullopt;
            const std::optional<QString> value = string();
            if (!value)
                return std::nullopt;
            cells.append(*value);
            if (expect(','))
                continue;
            if (!expect('}'))
                return std::nullopt;
            break;
        }
    }
    skipSpace();
    if (at != text.size())
        return std::nullopt;
    return cells;
}

bool PageWorker::runOnce(const QString& user, const QString& scratch, const QStringList& arguments,
                         const WorkerInput& input, WorkerOutcome& outcome, QByteArray& errors) const
{
    QProcess process;
    process.setProgram(m_program);
    process.setArguments(arguments);
    process.setProcessEnvironment(workerEnvironment(user, scratch));
    if (input.standardInput.isNull())
        process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(10000))
        return false;
    if (!input.standardInput.isNull()) {
        process.write(input.standardInput);
        process.closeWriteChannel();
    }

    QElapsedTimer clock;
    clock.start();
    const qint64 limitMs = qint64(m_limits.seconds * 1000.0);
    outcome.end = WorkerOutcome::End::Exited;
    for (;;) {
        const bool finished = process.waitForFinished(int(std::clamp<qint64>(limitMs - clock.elapsed(), 1, 20)));
        outcome.output += process.readAllStandardOutput();
        errors += process.readAllStandardError();
        if (finished || process.state() == QProcess::NotRunning)
            break;
        const bool tooLarge = outcome.output.size() > m_limits.outputBytes || errors.size() > m_limits.outputBytes;
        if (tooLarge || clock.elapsed() >= limitMs) {
            outcome.end = tooLarge ? WorkerOutcome::End::TooLarge : WorkerOutcome::End::TimedOut;
            process.kill();
            process.waitForFinished(5000);
            return false;
        }
    }
    if (process.exitStatus() == QProcess::CrashExit)
        outcome.end = WorkerOutcome::End::Crashed;
    outcome.exitCode = process.exitCode();
    return true;
}

bool PageWorker::runKept(const QString& user, const QString& scratch, const QStringList& arguments,
                         WorkerOutcome& outcome, QByteArray& errors) const
{
    zq::tool::ServeRequest request;
    request.arguments = arguments;
    request.environment = servedVariables(user, scratch);
    request.standardOutput = scratch + QStringLiteral("/.search-output");
    request.standardError = scratch + QStringLiteral("/.search-errors");
    const auto sizeOf = [](const QString& path) { return QFileInfo(path).size(); };
    const auto tooLarge = [&] {
        return sizeOf(request.standardOutput) > m_limits.outputBytes || sizeOf(request.standardError) > m_limits.outputBytes;
    };

    const QByteArray line = request.line();
    KeptWorker::Answer answer = KeptWorker::Answer::NotAsked;
    int exitCode = -1;
    // A worker found gone before it was asked is replaced once; a fresh one that cannot be asked
    // either is the server's fault, not the search's.
    for (int attempt = 0; attempt < 2 && answer == KeptWorker::Answer::NotAsked; ++attempt) {
        std::unique_ptr<KeptWorker> worker = m_kept->take();
        if (!worker)
            return false;
        answer = worker->ask(line, qint64(m_limits.seconds * 1000.0), tooLarge, exitCode);
        m_kept->giveBack(std::move(worker));
    }
    switch (answer) {
    case KeptWorker::Answer::NotAsked:
        return false;
    case KeptWorker::Answer::TimedOut:
        outcome.end = WorkerOutcome::End::TimedOut;
        return false;
    case KeptWorker::Answer::TooLarge:
        outcome.end = WorkerOutcome::End::TooLarge;
        return false;
    case KeptWorker::Answer::Died:
        outcome.end = WorkerOutcome::End::Crashed;
        break;
    case KeptWorker::Answer::Exited:
        outcome.end = WorkerOutcome::End::Exited;
        outcome.exitCode = exitCode;
        break;
    }
    // Output past the limit, written since the last look, whether the worker then answered or died.
    if (tooLarge()) {
        outcome.end = WorkerOutcome::End::TooLarge;
        return false;
    }
    const auto readAll = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    outcome.output = readAll(request.standardOutput);
    errors = readAll(request.standardError);
    return true;
}

PageWorker::PageWorker(QString program, QStringList commonArguments, WorkerLimits limits)
    : m_program(std::move(program)), m_common(std::move(commonArguments)), m_limits(limits)
{
    if (m_limits.searchesAWorker > 1)
        m_kept = std::make_shared<KeptWorkers>(m_program, keptWorkerEnvironment(), m_limits.searchesAWorker);
}

WorkerOutcome PageWorker::run(const QString& user, const QString& page, const QStringList& arguments,
                              const WorkerInput& input) const
{
    WorkerOutcome outcome;
    const QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/zqpdm-web-XXXXXX"));
    if (!scratch.isValid())
        return outcome;
    const QString previewFile = scratch.path() + QStringLiteral("/preview.png");
    QStringList all = m_common;
    if (!page.isEmpty())
        all << QStringLiteral("--page") << page;
    all << QStringLiteral("--format") << QStringLiteral("json") << QStringLiteral("--events") << QStringLiteral("json");
    all += arguments;
    if (input.preview)
        all << QStringLiteral("--preview-out") << previewFile;

    QByteArray errors;
    // A search that reads standard input gets a process of its own: a kept worker's is its requests.
    const bool ended = m_kept && input.standardInput.isNull() ? runKept(user, scratch.path(), all, outcome, errors)
                                                               : runOnce(user, scratch.path(), all, input, outcome, errors);
    if (!ended)
        return outcome;
    outcome.events = ParseEventLines(errors, &outcome.otherLines);

    if (input.preview) {
        QFile picture(previewFile);
        if (picture.size() <= kMaxPreviewBytes && picture.open(QIODevice::ReadOnly))
            outcome.previewBytes = picture.readAll();
    }
    // A file the page fetched lies in the scratch folder, which goes with this function.
    const QStringList opened = outcome.texts(QStringLiteral("OPEN"), QStringLiteral("path"));
    if (!opened.isEmpty() && isInside(opened.last(), scratch.path())) {
        outcome.openedFile = opened.last();
        QFile file(outcome.openedFile);
        if (file.size() > kMaxFileBytes)
            outcome.openedTooLarge = true;
        else if (file.open(QIODevice::ReadOnly))
            outcome.openedBytes = file.readAll();
    }
    return outcome;
}

} // namespace zq::web
