// The user at the console: an interrupt (Ctrl-C, SIGINT) that asks a long run to stop, and
// whether a standard stream is a terminal a program can draw on.
#pragma once

namespace platform {

// While one lives, the first interrupt does not end the process: it is only noted, and the
// program asks InterruptRequested() at the points where it can stop cleanly (a child process
// killed, files closed). A second interrupt ends the process the way the handler in place
// before would have, so a run that does not stop can still be ended. The earlier handler is
// back when the catcher ends. One catcher at a time.
class InterruptCatcher {
  public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    // False when the system refused the handler or the process was started to ignore
    // interrupts; they then act as before.
    bool Installed() const { return installed_; }

  private:
    bool installed_ = false;
};

// True once an interrupt arrived while the current catcher lives; a new catcher starts false.
bool InterruptRequested();

enum class StandardStream { Input, Output, Error };
// True when the stream is connected to a terminal.
bool IsTerminal(StandardStream stream);

}  // namespace platform
