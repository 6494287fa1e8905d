// Child processes: start a program with an argument vector (no shell) and its standard
// streams redirected to files, poll and wait with a time-out, kill a whole process tree.
//
// A finished child is not reaped while it is polled: it stays a zombie until its
// ChildProcess reaps it, so its process id can never be reused by another process while
// this object still refers to it. A ChildProcess never leaves a zombie behind: its
// destructor kills a running child's tree and reaps it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

struct ProcessOptions {
    // Run as given: an absolute or relative path (relative to workingFolder when that is
    // set); no search of PATH.
    std::filesystem::path executable;
    // argv[1..]; argv[0] is the executable path.
    std::vector<std::string> arguments;
    // Empty: the current folder.
    std::filesystem::path workingFolder;
    // Set (or replace) in the child's copy of this process's environment.
    std::vector<std::pair<std::string, std::string>> extraEnvironment;
    // Standard input read from this file (must exist); empty: an empty input.
    std::filesystem::path standardInput;
    // Standard output and error written to these files, created anew; empty: discarded.
    // Both may name the same file. Relative paths are taken from the current folder.
    std::filesystem::path standardOutput;
    std::filesystem::path standardError;
    // Keeps every process the program starts within reach, those it detaches included: the
    // program runs below a keeper process of this platform that adopts the program's orphans.
    // When the program ends, the keeper ends every process still left of it and then ends the
    // way the program ended (its exit code, or its signal); a kill of the tree (KillTree, the
    // destructor, KillProcessTree of Id()) ends them all, and so does the end of the thread that
    // started it or of this process. Id() is the keeper's id.
    bool containDescendants = false;
};

enum class WaitResult {
    Exited,    // the child has ended (it is not reaped yet)
    TimedOut,  // still running at the end of the time-out
    Failed,    // no child, or the system refused to say
};

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(ChildProcess&& o) noexcept;
    ChildProcess& operator=(ChildProcess&& o) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A running child's tree is killed; the child is reaped.
    ~ChildProcess();

    // Starts the child. False with a readable reason (the system's message, naming the file
    // that failed) when a stream file cannot be opened or the program cannot be run;
    // nothing is left running then.
    bool Start(const ProcessOptions& options, std::string* error = nullptr);

    bool IsStarted() const { return pid_ > 0; }
    int Id() const { return pid_; }
    // True while the child has not ended. Does not reap.
    bool IsRunning();
    // Waits up to timeoutMs for the child to end. Does not reap.
    WaitResult Wait(std::uint32_t timeoutMs);
    // Waits without limit, then reaps.
    WaitResult WaitAndReap();

    // After the child ended: its exit code, or 128 + the signal number when a signal ended
    // it. Nothing while it runs.
    std::optional<int> ExitStatus();
    // The signal that ended the child, 0 when it exited normally or still runs.
    int TerminatingSignal();

    // Kills the child and all its descendants, then reaps the child.
    void KillTree();
    // Reaps an ended child (frees its process id); false when it still runs.
    bool Reap();

  private:
    bool Inspect(bool block);
    void CloseWaitHandle();

    int pid_ = -1;
    int waitFd_ = -1;  // a process descriptor when the system has them
    bool ended_ = false;
    bool reaped_ = false;
    int rawStatus_ = 0;  // exit code or signal, see exitedBySignal_
    bool exitedBySignal_ = false;
};

// Kills a process and all its descendants, children before parents (each process is
// stopped before its children are listed, so it cannot start new ones meanwhile).
// Answers 0 on success (killing a process that no longer exists is no error), 1 when the
// process table (/proc) cannot be read, 2 when pid may not be killed (pid <= 1, this
// process, or the system refuses). The caller reaps its own child; the other descendants
// are reaped here (this process is their subreaper).
[[nodiscard]] int KillProcessTree(int pid);
// Makes this process the reaper of orphaned descendants, so the grandchildren of a killed
// tree are reaped here instead of lingering as zombies. ChildProcess::Start calls it.
void BecomeSubreaper();
// The ids of the direct children of a process, read from /proc.
std::vector<int> ChildProcessIds(int pid);
// True while the process exists and has not ended (a zombie has ended).
bool ProcessIsAlive(int pid);
// Every id the system gives a process lies below this bound (/proc/sys/kernel/pid_max). When the
// system does not say: 4194304, the highest bound it can be given, so that no id it gives is
// taken for one it cannot.
int ProcessIdBound();
// The id of this process.
int CurrentProcessId();
// The full path of this process's program file (links resolved); empty when the system does
// not say.
std::filesystem::path CurrentExecutablePath();

}  // namespace platform
