#pragma once
// The pages the fault tests run a search on, as one table: a page that lands adds its entry here
// and every fault test runs on it. An entry says how to widen the page's conditions so that its
// search lists the rows AddFaultRows adds (more than a PostgreSQL cursor's first batch), and
// whether its read lets events through (a progress window) so that a fault can strike mid-read.
#include <QString>
#include <functional>
#include <vector>

class CZQSearchPage;

namespace faults {

struct FaultPage {
    const char* name;      // ASCII, for test names
    const char* caption;   // the tab
    bool pumps;            // its read lets events through
    std::function<void(CZQSearchPage&)> broaden;
    // The page's own message when its read fails, in place of the database's report; none for
    // the pages that pass the report on.
    const char* failure = nullptr;
};

const std::vector<FaultPage>& FaultPages();

// Rows every page's broad search finds, dated the day before `today`: drawings FLT-0000 …,
// change orders FLT0000 … by 张伟, each changing its drawing with the opinion "故障处理" and
// handed out to "故障车间"; archived documents and resource files of those drawings, a batch
// PC-FLT of them, and projects FLTXM0000 … each with a work-group task holding its drawing.
// Returns an error text, empty on success.
constexpr int kFaultRows = 300;
QString AddFaultRows(const QString& databaseUrl, const QString& today, int count = kFaultRows);

} // namespace faults
