#pragma once
// A zqpdm-search run of the quick search (--quick TEXT) or of a list of codes (--quick-list FILE):
// no search window, only the database, the content index and the installation's page list.
#include "EventLines.h"
#include "SearchCommandLine.h"

#include <QStringList>

namespace zq::quick {
struct QuickHit;
}

namespace zq::tool {

class QuickSearchRun;

class QuickSession {
public:
    explicit QuickSession(SearchOptions options);
    int run();

private:
    // The kinds to search: those the installation shows, narrowed by --kind; nullopt after a
    // usage error (told).
    std::optional<QStringList> kinds() const;
    int searchText(QuickSearchRun& run);
    int checkList(QuickSearchRun& run);
    void note(const QString& text) const;
    void hitDetails(int row, const quick::QuickHit& hit) const;

    SearchOptions m_options;
    EventLines m_events;
};

} // namespace zq::tool
