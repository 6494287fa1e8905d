// The signals that ask a program to stop: an interrupt from the terminal (SIGINT), a request to
// terminate (SIGTERM) and the hang-up of the terminal (SIGHUP). A program that changes several
// files together catches them for the time of the change, so that it ends with its files either
// all changed or all as they were, never in between.
#pragma once

#include <string>

namespace platform {

// While one lives, a stop signal does not end the process: the first one that arrives is noted,
// and the program asks StopSignalArrived() at the points where it can stop with its files whole.
// Later ones are not counted, so the program must reach such a point soon. A signal that the
// process was started to ignore (a background job, a program run under nohup) stays ignored. The
// earlier handlers are back when the catcher ends, unless it was told to keep its own. One
// catcher at a time.
class StopSignalCatcher {
  public:
    StopSignalCatcher();
    ~StopSignalCatcher();
    StopSignalCatcher(const StopSignalCatcher&) = delete;
    StopSignalCatcher& operator=(const StopSignalCatcher&) = delete;

    // For a program whose files already hold its change: a stop signal must not end it before it
    // has told what it changed and exited as having done so, however late the signal comes, on
    // whichever thread. The handler stays in place after the catcher ends, to the end of the
    // process; a signal the process was started to ignore stays ignored. Nor does an output that
    // was closed (a pipe whose reader ended) end it: SIGPIPE is ignored from here on, so a print
    // that finds it closed fails and the program goes on.
    void KeepToTheEndOfTheProcess();

  private:
    bool keep_ = false;
};

// From here on, an output that was closed (a pipe whose reader ended) does not end the process:
// SIGPIPE is ignored, so a print that finds it closed fails and the program goes on. Programs the
// process starts afterwards inherit it: call it once the last one has ended.
void OutlastAClosedOutput();

// The number of the first stop signal that arrived while the current catcher lives; 0 when none
// did (a new catcher starts at 0).
int StopSignalArrived();
// "SIGINT", "SIGTERM", "SIGHUP"; "signal <n>" for any other number.
std::string SignalName(int signalNumber);

}  // namespace platform
