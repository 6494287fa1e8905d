// The run of the solver on a closed deck: the module driver file, the host's pre-run call,
// the start of the solver with its memory and environment, the wait with progress and
// cancel, the listing verdict and the clean-up of the working folder. The deck file owns
// one and hands its operations through.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

class DeckFileOwner;
namespace platform {
class ChildProcess;
}

// How the run waits for the solver. The defaults are those of a real solve; tests shorten
// the intervals and replace the progress report.
struct SolverRunOptions {
    int pollIntervalMs = 1000;
    int killSettleMs = 250;
    // Answers 0 when the user asked to cancel. Empty: the host's progress callback.
    std::function<int(int percent, int stage)> reportProgress;
};

// How the solver of the last launch ended, when it ended by itself.
struct SolverEnd {
    int exitCode = 0;
    int signal = 0;  // the signal that ended it; 0 when it exited
    // Only a signal makes an end abnormal: the exit code is the solver's own affair and its
    // listings say how the run went.
    bool Abnormal() const { return signal != 0; }
    // The file system of the working folder had no room left at some point of the run (looked
    // at every poll and once the solver ended): the solver's files may be cut short.
    bool fileSystemFull = false;
};

// What a run is asked to do with the deck just closed.
struct SolverRunRequest {
    std::filesystem::path workingFolder;  // empty: the current folder
    std::string deckFileName;
    bool writeNothing = false;  // no driver file and no solver; the host is still called
    int requestedMemoryMb = 0;
};

class SolverRun {
  public:
    explicit SolverRun(DeckFileOwner* owner = nullptr) : owner_(owner) {}

    void SetOptions(SolverRunOptions options) { options_ = std::move(options); }
    // Memory mode 1 takes the two values as they are; any other mode sizes automatically.
    void SetMemory(int memoryMode, int zoneMemoryMb, int coreMemoryMb) {
        memoryMode_ = memoryMode;
        zoneMemoryMb_ = zoneMemoryMb;
        coreMemoryMb_ = coreMemoryMb;
    }

    // Everything after the deck is closed. kRC_FileNotCreated when the driver file cannot be
    // written, the codes of Launch, then the listing verdict; kRC_FileNotCreated again, unless
    // the run was cancelled, when the working folder's file system ran full during the solve
    // (GetFailure says so). A failed run loses the module's result description and factor files.
    [[nodiscard]] int Run(const SolverRunRequest& request);
    // Starts the solver in the folder and waits for it: kRC_Success when it ended (however
    // it ended; see GetSolverEnd), kRC_Cancelled, kRC_SolverWaitFailed, kRC_SolverNotStarted,
    // kRC_CommandLineTooLong, kRC_SolverFolderUndefined.
    [[nodiscard]] int Launch(const std::filesystem::path& workingFolder, int requestedMemoryMb);
    // Ends a process and all its descendants: 0, or 1 when the process list cannot be read,
    // 2 when the process cannot be examined at all.
    [[nodiscard]] static int KillProcessTree(int pid);

    // The module chain's two-letter code, set by the launch ("as", "me", "st", "dy", "mt").
    const std::wstring& GetModuleName() const { return moduleName_; }
    const SolverEnd& GetSolverEnd() const { return solverEnd_; }
    // The file and the system's reason when the last run failed on a file it could not
    // write or read, or the reason the solver could not be started; empty otherwise.
    const std::string& GetFailure() const { return failure_; }

  private:
    [[nodiscard]] int RunSteps(const SolverRunRequest& request);
    [[nodiscard]] int LaunchSteps(int requestedMemoryMb);
    [[nodiscard]] int WriteDriverFile(const std::string& deckFileName);
    void PrepareHostDatabase();
    bool Start(platform::ChildProcess& solver, const std::string& solverFolder, const std::string& chain,
               int requestedMemoryMb);
    [[nodiscard]] int Await(platform::ChildProcess& solver);
    [[nodiscard]] int JudgeAbnormalEnd(int code);
    [[nodiscard]] int ReportProgress(int percent, int stage) const;
    std::filesystem::path File(std::string_view name) const;
    std::filesystem::path WorkingFolder() const;
    void NoteFullFileSystem();

    DeckFileOwner* owner_ = nullptr;
    SolverRunOptions options_;
    int memoryMode_ = 0;
    int zoneMemoryMb_ = 0;
    int coreMemoryMb_ = 0;
    std::filesystem::path folder_;
    std::wstring moduleName_;
    SolverEnd solverEnd_;
    std::string failure_;
};
