#include "StopSignals.h"

#include <csignal>

namespace zq::index {

namespace {

// Written by the handler: lock-free atomics, safe to store into from a signal handler.
std::atomic<bool> g_requested{false};
std::atomic<int> g_signal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

struct sigaction g_previousInt;
struct sigaction g_previousTerm;

extern "C" void OnStopSignal(int number)
{
    int none = 0;
    g_signal.compare_exchange_strong(none, number);
    g_requested.store(true);
}

} // namespace

StopSignals::StopSignals()
{
    g_requested = false;
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Calls under way (a database statement, a transfer) go on; the run looks at the flag between steps.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
}

const std::atomic<bool>& StopSignals::requested() const
{
    return g_requested;
}

int StopSignals::signal() const
{
    return g_signal.load();
}

} // namespace zq::index
