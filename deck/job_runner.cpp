#include <string>

#include "runtime/progress.h"
#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "deck/return_codes.h"
#include "deck/solver_job.h"
#include "deck/solver_listing.h"
#include "host/solver_database.h"
#include "platform/clock.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/notifier.h"
#include "platform/process.h"
#include "platform/text.h"

namespace {

constexpr const char* kDriverFile = "dummy.dat";
constexpr const char* kStandardOutput = "dorvix.out";
constexpr const char* kStandardError = "dorvix_err.out";
constexpr const char* kRunningListingCopy = "solve.out";
constexpr int kSolveStage = 160;
constexpr int kSolvePercent = 20;

std::string ModuleFile(const std::wstring& module, const char* suffix) {
    return "dorvix_" + platform::WideToUtf8(module) + suffix;
}

// The host reads the running listing from its own copy.
void CopyRunningListing(const std::string& listing) {
    platform::CopyFile(listing, kRunningListingCopy, false);
}

}  // namespace

int DorvixDeckFile::ReportProgress(int percent, int stage) const {
    if (runOptions_.reportProgress) return runOptions_.reportProgress(percent, stage);
    return ::ReportProgress(percent, stage);
}

int DorvixDeckFile::KillProcessTree(int pid) { return platform::KillProcessTree(pid); }

int DorvixDeckFile::CloseAndRun(int requestedMemoryMb) {
    // A deck cut short by a failed write must neither reach the solver nor be handed to the
    // host as the requested input deck.
    if (!CloseDeck()) return 3;
    if (inputOnly_) return 0;
    const std::filesystem::path driverPath =
        workingFolder_.empty() ? std::filesystem::path(kDriverFile) : workingFolder_ / kDriverFile;
    if (!writeNothing_) {
        SolverModulePlan plan;
        if (owner_) plan = PlanSolverModules(*owner_);
        DeckOutput driver;
        if (!driver.Open(driverPath)) return 3;
        driver.Append(BuildDriverText(plan, fileName_));
        if (!driver.Close()) return 3;
    }
    ComPtr<IHostSolverDatabase> database;
    if (SUCCEEDED(CoCreateInstance(CLSID_HostSolverDatabase, database, CLSCTX_INPROC_SERVER)) && database)
        (void)database->PrepareRun();
    if (writeNothing_) return 0;

    int code = LaunchSolver(requestedMemoryMb);
    if (code == 0) code = ScanListings();
    if (solverEnd_.Abnormal()) code = JudgeAbnormalEnd(code);
    if (code != 0) {
        platform::DeleteFile(ModuleFile(moduleName_, ".des"));
        platform::DeleteFile(ModuleFile(moduleName_, ".fac"));
    }
    return code;
}

int DorvixDeckFile::ScanListings() {
    auto post = [this](const wchar_t* text, const wchar_t* type) {
        if (owner_) owner_->PostHostMessage(text, type);
    };
    int code = ScanSolverListing("dorvix.spy");
    if (code != 103 && code != 104) code = ScanSolverListing(ModuleFile(moduleName_, ".res"));
    if (code == 103) {
        post(L"Warning(s) found in solve generated files", L"Warning");
        return 0;
    }
    if (code == 104) post(L"Error(s) found in solve generated files", L"Error");
    return code;
}

// A solver killed by a signal has not finished its listings: what they say cannot turn the
// run into a success. An error found in them stays 104; anything else becomes 6, the solver
// did not run through. A solver that exited by itself is judged by its listings alone,
// whatever its exit code.
int DorvixDeckFile::JudgeAbnormalEnd(int code) {
    if (owner_) {
        owner_->PostHostMessage(
            L"The solver ended abnormally (killed by signal " + std::to_wstring(solverEnd_.signal) + L")",
            L"Error");
    }
    return code == kRC_ListingError ? kRC_ListingError : kRC_SolverEndedAbnormally;
}

int DorvixDeckFile::LaunchSolver(int requestedMemoryMb) {
    solverEnd_ = {};
    const std::optional<std::string> solverFolder =
        platform::GetEnvironmentVariable(std::string_view("DVX_EXE"));
    if (!solverFolder || solverFolder->empty()) return 100;

    SolverModulePlan plan;
    if (owner_) plan = PlanSolverModules(*owner_);
    if (!plan.moduleName.empty()) moduleName_ = plan.moduleName;
    // The limit counts characters: a folder named in UTF-8 must not lose room for each accent.
    const std::wstring command = platform::Utf8ToWide(BuildSolverCommandText(*solverFolder, plan.chain));
    if (command.size() > kMaxSolverCommandLength) return 25;

    const SolverMemory memory = ComputeSolverMemory(requestedMemoryMb, platform::PhysicalMemoryBytes(),
                                                    memoryMode_, zoneMemoryMb_, coreMemoryMb_);
    platform::SetEnvironmentVariable(std::string_view("DVX_ZONE"), std::to_string(memory.zone));
    platform::SetEnvironmentVariable(std::string_view("DVX_DBRAM"), std::to_string(memory.dbram));
    platform::SetEnvironmentVariable(std::string_view("DVX_LANG"), std::string_view("vfr"));
    platform::SetEnvironmentVariable(std::string_view("DVX_HOME"), std::string_view("."));

    const std::vector<std::string> args = BuildSolverArguments(*solverFolder, plan.chain);
    platform::ProcessOptions options;
    options.executable = args.front();
    options.arguments.assign(args.begin() + 1, args.end());
    options.standardInput = kDriverFile;
    options.standardOutput = kStandardOutput;
    options.standardError = kStandardError;
    platform::ChildProcess solver;
    std::string error;
    if (!solver.Start(options, &error)) {
        platform::ShowUserMessage(L"Error", platform::Utf8ToWide(error));
        platform::DeleteFile(kStandardError);
        return 6;
    }

    const std::string listing = ModuleFile(moduleName_, ".res");
    const auto interval = static_cast<std::uint32_t>(runOptions_.pollIntervalMs);
    bool cancelled = false;
    platform::WaitResult wait = solver.Wait(interval);
    while (wait == platform::WaitResult::TimedOut) {
        CopyRunningListing(listing);
        wait = solver.Wait(interval);
        if (ReportProgress(kSolvePercent, kSolveStage) == 0) {
            solver.KillTree();
            cancelled = true;
            wait = platform::WaitResult::Exited;
            platform::SleepMs(static_cast<std::uint32_t>(runOptions_.killSettleMs));
            break;
        }
    }
    CopyRunningListing(listing);
    const int code = wait != platform::WaitResult::Exited ? 2 : cancelled ? 1 : 0;
    if (code == 0) {
        solverEnd_.signal = solver.TerminatingSignal();
        if (solverEnd_.signal == 0) solverEnd_.exitCode = solver.ExitStatus().value_or(0);
    }
    // A solver whose end could not be observed must not outlive the run.
    if (wait != platform::WaitResult::Exited) solver.KillTree();
    solver.Reap();
    platform::DeleteFile(kStandardError);
    DeleteSolverWorkDirectories();
    return code;
}
