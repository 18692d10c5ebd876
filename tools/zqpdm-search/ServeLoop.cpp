#include "ServeLoop.h"
#include "ZQDBConnect.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zq::tool {

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

int openOutput(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// Points fd 1 and 2 at the request's files for as long as it lives, and back at what they were.
class Redirection {
public:
    Redirection(int output, int errors)
    {
        std::fflush(stdout);
        std::fflush(stderr);
        m_savedOutput = ::fcntl(1, F_DUPFD_CLOEXEC, 3);
        m_savedErrors = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
        ::dup2(output, 1);
        ::dup2(errors, 2);
    }
    ~Redirection()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        std::clearerr(stdout);   // a full disk met by one search is not the next one's
        std::clearerr(stderr);
        ::dup2(m_savedOutput, 1);
        ::dup2(m_savedErrors, 2);
        ::close(m_savedOutput);
        ::close(m_savedErrors);
    }
    Redirection(const Redirection&) = delete;
    Redirection& operator=(const Redirection&) = delete;

private:
    int m_savedOutput = -1;
    int m_savedErrors = -1;
};

} // namespace

int ServeLoop::run()
{
    // Requests and answers are kept off fds 0 and 1, so nothing a search reads or writes there
    // (--quick-list -, a stray print) can mix with them.
    const int requests = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
    const int answers = ::fcntl(1, F_DUPFD_CLOEXEC, 3);
    m_ownErrors = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (requests < 0 || answers < 0 || m_ownErrors < 0 || nothing < 0)
        return 1;
    ::dup2(nothing, 0);
    ::dup2(nothing, 1);
    ::close(nothing);
    m_traceAtStart = zq::SqlTraceEnabled();
    // The variables a request may set, and those a run sets itself from its options (--home, --db).
    const QStringList ownVariables{QStringLiteral("ZQPDM_HOME"), QStringLiteral("ZQPDM_DB"), QStringLiteral("ZQPDM_SYSDIR")};
    for (const QString& name : ServedEnvironmentNames() + ownVariables) {
        const QByteArray key = name.toUtf8();
        m_startValues.append({key, qEnvironmentVariableIsSet(key.constData()) ? std::optional(qgetenv(key.constData()))
                                                                              : std::nullopt});
    }

    FILE* input = ::fdopen(requests, "r");
    if (!input)
        return 1;
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t length = 0;
    while ((length = ::getline(&buffer, &capacity, input)) >= 0) {
        const QByteArray line(buffer, length);
        if (line.trimmed().isEmpty())
            continue;
        QString error;
        int exitCode = 2;
        if (const std::optional<ServeRequest> request = ParseServeRequest(line, &error))
            exitCode = answer(*request);
        else
            writeAll(m_ownErrors, ("zqpdm-search --serve: " + error + u'\n').toUtf8());
        if (!writeAll(answers, ServeAnswerLine(exitCode)))
            break;
    }
    std::free(buffer);
    std::fclose(input);
    return 0;
}

int ServeLoop::answer(const ServeRequest& request)
{
    const int output = openOutput(request.standardOutput);
    const int errors = openOutput(request.standardError);
    if (output < 0 || errors < 0) {
        writeAll(m_ownErrors, QStringLiteral("zqpdm-search --serve: cannot write %1: %2\n")
                                  .arg(output < 0 ? request.standardOutput : request.standardError,
                                       QString::fromLocal8Bit(std::strerror(errno)))
                                  .toUtf8());
        if (output >= 0)
            ::close(output);
        if (errors >= 0)
            ::close(errors);
        return 1;
    }
    int exitCode = 1;
    {
        const Redirection redirection(output, errors);
        ::close(output);
        ::close(errors);
        setEnvironment(request);
        exitCode = m_run(request.arguments);
        // What the search left to be deleted goes now, not with the next one; so does the trace it
        // asked for (--trace-sql), which a run of its own would have ended with.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        zq::EnableSqlTrace(m_traceAtStart);
        zq::SetSqlTraceListener({});
    }
    return exitCode;
}

void ServeLoop::setEnvironment(const ServeRequest& request) const
{
    for (const auto& [name, startValue] : m_startValues) {
        const auto given = std::find_if(request.environment.begin(), request.environment.end(),
                                        [&](const auto& variable) { return variable.first.toUtf8() == name; });
        if (given != request.environment.end())
            qputenv(name.constData(), given->second.toUtf8());
        else if (!startValue)
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), *startValue);
    }
}

} // namespace zq::tool
