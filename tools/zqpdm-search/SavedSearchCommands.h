#pragma once
// The saved searches on zqpdm-search's command line: --list-saved and --delete-saved, which need
// no search window; --saved NAME, which fills the page's conditions; --save NAME, which keeps them
// after the actions.
#include "EventLines.h"
#include "SearchCommandLine.h"

#include <QDate>
#include <QString>

class CZQPDMSearchMain;
namespace zq {
class SavedSearchStore;
struct SavedSearch;
}

namespace zq::tool {

class SavedSearchCommands {
public:
    SavedSearchCommands(const SearchOptions& options, const EventLines& events) : m_options(options), m_events(events) {}

    // The list written to standard output; the reason when it took not all of it, else empty.
    QString list() const;
    // --delete-saved NAME; an exit code of SearchSession.
    int remove() const;
    // --saved NAME on the current page: empty when its conditions were filled, else why not.
    QString apply(CZQPDMSearchMain& main, const QString& name, const QDate& today) const;
    // --save NAME; an exit code of SearchSession.
    int save(CZQPDMSearchMain& main) const;

private:
    // " (saved by LOGIN at TIME)" for a search that records who saved it.
    static QString savedByNote(const zq::SavedSearch& search);
    void noteStoreProblems(const zq::SavedSearchStore& store) const;
    void note(const QString& text) const;

    const SearchOptions& m_options;
    const EventLines& m_events;
};

} // namespace zq::tool
