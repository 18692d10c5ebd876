#pragma once
// SIGINT and SIGTERM, for as long as this object lives, ask the run to stop instead of ending the
// process: the run ends its worker, removes its fetched copies, keeps the files it has finished in
// the index and exits with 128 + the signal's number. Only one object may live at a time.
#include <atomic>

namespace zq::index {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Set once a signal has come; what the run looks at between steps.
    const std::atomic<bool>& requested() const;
    // The signal that came (SIGINT, SIGTERM), 0 when none did.
    int signal() const;
};

} // namespace zq::index
