#pragma once
// zqpdm-search --serve: one process answering searches one after another, so a server pays for
// the start (Qt, the libraries, the pages' resources) once rather than for every search. Each
// request line names a one-off run's arguments; the run's standard output and error go to the
// files the request names, and the answer line is written once they hold all of it.
#include "ServeRequest.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace zq::tool {

class ServeLoop {
public:
    // RUN carries out one run as `zqpdm-search ARGUMENTS` would and gives its exit status.
    using Run = std::function<int(const QStringList& arguments)>;
    explicit ServeLoop(Run run) : m_run(std::move(run)) {}

    // Answers requests until standard input ends; 0 then, 1 when the loop could not be set up.
    int run();

private:
    int answer(const ServeRequest& request);
    // The request's variables set, every other one a search may change back as the process started.
    void setEnvironment(const ServeRequest& request) const;

    Run m_run;
    int m_ownErrors = -1;                              // the process's own standard error
    bool m_traceAtStart = false;   // the SQL trace as the process started (ZQPDM_SQL_TRACE)
    // The variables a search may change, as the process started (nullopt: not set).
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_startValues;
};

} // namespace zq::tool
