// A run step by step: driver file, host pre-run call, solver start and polled wait, verdict, clean-up.
#include "deck/solver_run.h"

#include <string>

#include "deck/code_guard.h"
#include "deck/deck_file_owner.h"
#include "deck/return_codes.h"
#include "deck/solver_files.h"
#include "deck/solver_job.h"
#include "deck/solver_listing.h"
#include "host/solver_database.h"
#include "platform/clock.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/notifier.h"
#include "platform/process.h"
#include "platform/text.h"
#include "runtime/progress.h"

namespace {

constexpr int kSolveStage = 160;
constexpr int kSolvePercent = 20;
// What KillProcessTree answers when the process cannot be examined at all.
constexpr int kKillRefused = 2;

// The host reads the running listing from its own copy; a listing not written yet is no
// failure.
void CopyRunningListing(const std::filesystem::path& listing, const std::filesystem::path& copy) {
    (void)platform::CopyFileTo(listing, copy, false);
}

}  // namespace

std::filesystem::path SolverRun::File(std::string_view name) const { return SolverFilePath(folder_, name); }

int SolverRun::ReportProgress(int percent, int stage) const {
    if (options_.reportProgress) return options_.reportProgress(percent, stage);
    return ::ReportProgress(percent, stage);
}

int SolverRun::KillProcessTree(int pid) {
    try {
        return platform::KillProcessTree(pid);
    } catch (...) {
        return kKillRefused;
    }
}

int SolverRun::Run(const SolverRunRequest& request) {
    return AnswerCode(failure_, kRC_Exception, [&] { return RunSteps(request); });
}

int SolverRun::RunSteps(const SolverRunRequest& request) {
    failure_.clear();
    folder_ = request.workingFolder;
    if (!request.writeNothing) {
        if (const int code = WriteDriverFile(request.deckFileName); code != kRC_Success) return code;
    }
    PrepareHostDatabase();
    if (request.writeNothing) return kRC_Success;

    int code = LaunchSteps(request.requestedMemoryMb);
    if (code == kRC_Success) {
        SolverListingScan scan;
        code = scan.ScanRun(folder_, moduleName_, owner_);
        failure_ = scan.GetFailure();
    }
    if (solverEnd_.Abnormal()) code = JudgeAbnormalEnd(code);
    // Whatever the listings say, they and the results may be cut short.
    if (solverEnd_.fileSystemFull && code != kRC_Cancelled) {
        code = kRC_FileNotCreated;
        failure_ = "the file system of the working folder " + WorkingFolder().string() +
                   " ran full during the solve: the solver's files are incomplete";
    }
    if (code != kRC_Success) {
        (void)platform::RemoveFile(File(SolverModuleFile(moduleName_, ".des")));
        (void)platform::RemoveFile(File(SolverModuleFile(moduleName_, ".fac")));
    }
    return code;
}

int SolverRun::WriteDriverFile(const std::string& deckFileName) {
    SolverModulePlan plan;
    if (owner_) plan = PlanSolverModules(*owner_);
    platform::OutputFile driver;
    const bool written = driver.Create(File(kSolverDriverFile), &failure_) &&
                         driver.Write(BuildDriverText(plan, deckFileName), &failure_) &&
                         driver.Close(&failure_);
    return written ? kRC_Success : kRC_FileNotCreated;
}

// The host's solver database is told before every run; its answer is not examined.
void SolverRun::PrepareHostDatabase() {
    ComPtr<IHostSolverDatabase> database;
    if (SUCCEEDED(CoCreateInstance(CLSID_HostSolverDatabase, database, CLSCTX_INPROC_SERVER)) && database)
        (void)database->PrepareRun();
}

// A solver killed by a signal has not finished its listings: what they say cannot turn the
// run into a success. An error found in them stays kRC_ListingError; anything else becomes
// kRC_SolverEndedAbnormally, the solver did not run through. A solver that exited by itself
// is judged by its listings alone, whatever its exit code.
int SolverRun::JudgeAbnormalEnd(int code) {
    if (owner_) {
        owner_->PostHostMessage(
            L"The solver ended abnormally (killed by signal " + std::to_wstring(solverEnd_.signal) + L")",
            L"Error");
    }
    return code == kRC_ListingError ? kRC_ListingError : kRC_SolverEndedAbnormally;
}

int SolverRun::Launch(const std::filesystem::path& workingFolder, int requestedMemoryMb) {
    return AnswerCode(failure_, kRC_Exception, [&] {
        failure_.clear();
        folder_ = workingFolder;
        return LaunchSteps(requestedMemoryMb);
    });
}

int SolverRun::LaunchSteps(int requestedMemoryMb) {
    solverEnd_ = {};
    const std::optional<std::string> solverFolder =
        platform::ReadEnvironmentVariable(std::string_view("DVX_EXE"));
    if (!solverFolder || solverFolder->empty()) return kRC_SolverFolderUndefined;

    SolverModulePlan plan;
    if (owner_) plan = PlanSolverModules(*owner_);
    if (!plan.moduleName.empty()) moduleName_ = plan.moduleName;
    // The limit counts characters: a folder named in UTF-8 must not lose room for each accent.
    const std::wstring command = platform::Utf8ToWide(BuildSolverCommandText(*solverFolder, plan.chain));
    if (command.size() > kMaxSolverCommandLength) return kRC_CommandLineTooLong;

    platform::ChildProcess solver;
    if (!Start(solver, *solverFolder, plan.chain, requestedMemoryMb)) return kRC_SolverNotStarted;
    const int code = Await(solver);
    (void)solver.Reap();
    // Seen before the scratch folders go, which may free what the solver filled.
    NoteFullFileSystem();
    (void)platform::RemoveFile(File(kSolverStandardError));
    // No scratch folder left is the usual case, not a failure of the run.
    (void)DeleteSolverWorkDirectories(WorkingFolder());
    return code;
}

std::filesystem::path SolverRun::WorkingFolder() const {
    return folder_.empty() ? platform::CurrentFolder() : folder_;
}

void SolverRun::NoteFullFileSystem() {
    if (platform::FileSystemIsFull(WorkingFolder())) solverEnd_.fileSystemFull = true;
}

// The solver gets its folder and its variables in its own environment; this process's
// environment stays as the host made it.
bool SolverRun::Start(platform::ChildProcess& solver, const std::string& solverFolder,
                      const std::string& chain, int requestedMemoryMb) {
    const SolverMemory memory = ComputeSolverMemory(requestedMemoryMb, platform::PhysicalMemoryBytes(),
                                                    memoryMode_, zoneMemoryMb_, coreMemoryMb_);
    const std::vector<std::string> args = BuildSolverArguments(solverFolder, chain);
    platform::ProcessOptions options;
    options.executable = args.front();
    options.arguments.assign(args.begin() + 1, args.end());
    options.workingFolder = folder_;
    options.extraEnvironment = BuildSolverEnvironment(memory);
    options.standardInput = File(kSolverDriverFile);
    options.standardOutput = File(kSolverStandardOutput);
    options.standardError = File(kSolverStandardError);
    // A process the solver starts, detached or left running, ends with the run.
    options.containDescendants = true;
    if (solver.Start(options, &failure_)) return true;
    platform::ShowUserMessage(L"Error", platform::Utf8ToWide(failure_));
    (void)platform::RemoveFile(File(kSolverStandardError));
    return false;
}

// Polls the solver, keeping the host's copy of the listing current and asking the host
// whether to go on; a cancel kills the solver's whole tree.
int SolverRun::Await(platform::ChildProcess& solver) {
    const std::filesystem::path listing = File(SolverModuleFile(moduleName_, ".res"));
    const std::filesystem::path copy = File(kRunningListingCopy);
    const auto interval = static_cast<std::uint32_t>(options_.pollIntervalMs);
    bool cancelled = false;
    platform::WaitResult wait = solver.Wait(interval);
    while (wait == platform::WaitResult::TimedOut) {
        NoteFullFileSystem();
        CopyRunningListing(listing, copy);
        wait = solver.Wait(interval);
        if (ReportProgress(kSolvePercent, kSolveStage) == 0) {
            solver.KillTree();
            cancelled = true;
            wait = platform::WaitResult::Exited;
            platform::SleepMs(static_cast<std::uint32_t>(options_.killSettleMs));
            break;
        }
    }
    CopyRunningListing(listing, copy);
    // The user's interrupt at a terminal reaches the solver as well as the host: a solver ended
    // by a signal while the host asks to stop was stopped by the user.
    if (wait == platform::WaitResult::Exited && !cancelled && solver.TerminatingSignal() != 0 &&
        ReportProgress(kSolvePercent, kSolveStage) == 0)
        cancelled = true;
    const int code = wait != platform::WaitResult::Exited ? kRC_SolverWaitFailed
                     : cancelled                          ? kRC_Cancelled
                                                          : kRC_Success;
    if (code == kRC_Success) {
        solverEnd_.signal = solver.TerminatingSignal();
        if (solverEnd_.signal == 0) solverEnd_.exitCode = solver.ExitStatus().value_or(0);
    }
    // A solver whose end could not be observed must not outlive the run.
    if (wait != platform::WaitResult::Exited) solver.KillTree();
    return code;
}
