// The handler that notes the first stop signal, its install over the three signals and their restore.
#include "platform/stop_signals.h"

#include <signal.h>

#include <atomic>
#include <cstddef>

namespace platform {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kStopSignalCount = sizeof kStopSignals / sizeof kStopSignals[0];

// Written by the handler, so only a lock-free atomic will do.
std::atomic<int> arrived{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Filled by the catcher before its handler is installed; the handler never reads them.
struct sigaction previousActions[kStopSignalCount];
bool installed[kStopSignalCount] = {};

extern "C" void OnStopSignal(int signalNumber) {
    int none = 0;
    (void)arrived.compare_exchange_strong(none, signalNumber);
}

}  // namespace

StopSignalCatcher::StopSignalCatcher() {
    arrived.store(0);
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // A read, a write or a wait interrupted by the signal goes on by itself: the program looks at
    // the signal where it chooses to.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kStopSignalCount; ++i) {
        installed[i] = false;
        if (sigaction(kStopSignals[i], nullptr, &previousActions[i]) != 0) continue;
        const struct sigaction& previous = previousActions[i];
        if ((previous.sa_flags & SA_SIGINFO) == 0 && previous.sa_handler == SIG_IGN) continue;
        installed[i] = sigaction(kStopSignals[i], &action, nullptr) == 0;
    }
}

StopSignalCatcher::~StopSignalCatcher() {
    if (keep_) return;
    for (std::size_t i = 0; i < kStopSignalCount; ++i)
        if (installed[i]) sigaction(kStopSignals[i], &previousActions[i], nullptr);
}

void StopSignalCatcher::KeepToTheEndOfTheProcess() {
    keep_ = true;
    OutlastAClosedOutput();
}

void OutlastAClosedOutput() { (void)signal(SIGPIPE, SIG_IGN); }

int StopSignalArrived() { return arrived.load(); }

std::string SignalName(int signalNumber) {
    switch (signalNumber) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "signal " + std::to_string(signalNumber);
    }
}

}  // namespace platform
