#pragma once
// A zqpdm-search run of the quick search (--quick TEXT) or of a list of codes (--quick-list FILE):
// no search window, only the database, the content index and the installation's page list.
#include "EventLines.h"
#include "SearchCommandLine.h"

#include <QByteArray>
#include <optional>

namespace zq::tool {

class QuickSession {
public:
    explicit QuickSession(SearchOptions options);
    int run();

private:
    std::optional<QByteArray> readList() const;

    SearchOptions m_options;
    EventLines m_events;
};

} // namespace zq::tool
