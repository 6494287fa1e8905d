// The SIGINT handler that counts interrupts (a second one ends the run), its install and restore, tty tests.
#include "platform/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace platform {

namespace {

// Written by the handler, so only a lock-free atomic will do.
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Filled before the handler is installed and only read by it afterwards.
struct sigaction previousAction;

extern "C" void OnInterrupt(int signalNumber) {
    if (interrupts.fetch_add(1) == 0) return;
    // Asked twice: the earlier disposition ends the process. The signal is blocked while
    // this handler runs, so the raised one arrives as soon as it returns.
    sigaction(signalNumber, &previousAction, nullptr);
    raise(signalNumber);
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
    interrupts.store(0);
    // Taken before the handler can run, which reads it.
    if (sigaction(SIGINT, nullptr, &previousAction) != 0) return;
    // A process started to ignore interrupts (a background job) keeps ignoring them.
    if ((previousAction.sa_flags & SA_SIGINFO) == 0 && previousAction.sa_handler == SIG_IGN) return;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A wait or a sleep interrupted by the signal goes on by itself.
    action.sa_flags = SA_RESTART;
    installed_ = sigaction(SIGINT, &action, nullptr) == 0;
}

InterruptCatcher::~InterruptCatcher() {
    if (installed_) sigaction(SIGINT, &previousAction, nullptr);
}

bool InterruptRequested() { return interrupts.load() != 0; }

bool IsTerminal(StandardStream stream) {
    const int descriptor = stream == StandardStream::Input    ? STDIN_FILENO
                           : stream == StandardStream::Output ? STDOUT_FILENO
                                                              : STDERR_FILENO;
    return isatty(descriptor) == 1;
}

}  // namespace platform
