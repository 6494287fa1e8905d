// dorvix <case-folder> [--work <folder>] [--resume-project <file>] [--save-project <file>]
// dorvix register [--module <path>]
// dorvix settings <case-folder> [--set <name>=<value> ...]
//
// Plays the host for one case folder: loads the case through the host simulator, loads the
// add-in module the registry file names for the solver's class, loads the add-in object into the
// host framework, has its solver proxy make the settings object of the case's analysis, creates
// the solver object from the module's class factory and solves through it (the feeder of the
// case's analysis writes the whole deck into the work folder, runs the solver named by DVX_EXE on
// it, checks the solved end time and closes), and prints the return package the host receives.
// The add-in's project data is resumed before the solve and saved after it when asked. Progress
// is shown on standard error; Ctrl-C cancels the run the way a host's cancel button does. The
// second form registers the module in the registry file; the third plays the host's property
// grid of the case's analysis settings (tools/dorvix/settings_command.h).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "deck/return_codes.h"
#include "host/return_package.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "platform/errors.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/stop_signals.h"
#include "platform/text.h"
#include "tools/dorvix/cli_environment.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/module_host.h"
#include "tools/dorvix/number_text.h"
#include "tools/dorvix/progress_display.h"
#include "tools/dorvix/run_code_text.h"
#include "tools/dorvix/settings_command.h"
#include "tools/dorvix/solve_run.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitBadCase = 2;
// As a shell reports a program ended by SIGINT.
constexpr int kExitCancelled = 130;

constexpr const char* kUsage =
    "usage: dorvix <case-folder> [--work <folder>] [--resume-project <file>] [--save-project <file>]\n"
    "  Loads the add-in module registered for the solver's class (registering the module beside\n"
    "  the program when the registry file names none), writes the deck dorvix.dat of the case's\n"
    "  analysis in the work folder (default <case-folder>/run), runs the solver found in the\n"
    "  folder named by DVX_EXE, checks the solved end time and prints the return package.\n"
    "  --resume-project resumes the add-in's project data from the file before the solve,\n"
    "  --save-project saves it into the file after the solve; both show the settings objects.\n"
    "  Ctrl-C cancels the run (exit code 130).\n"
    "usage: dorvix register [--module <path>]\n"
    "  Registers the add-in module (default: the one beside the program) in the registry file\n"
    "  (DORVIX_REGISTRY, else dorvix.reg beside the program).\n"
    "usage: dorvix settings <case-folder> [--set <name>=<value> ...]\n"
    "  Prints the property grid of the case's analysis settings; with --set puts each value\n"
    "  through its entry and, when every one is taken, writes the settings into the case's\n"
    "  CAERep.xml and prints the calls the host received (exit code 3 when a value is refused).\n";

struct Arguments {
    std::filesystem::path caseFolder;
    std::filesystem::path workFolder;
    std::filesystem::path resumeProject;
    std::filesystem::path saveProject;
};

std::filesystem::path Absolute(const std::filesystem::path& path) {
    const std::filesystem::path full = path.is_absolute() ? path : platform::CurrentFolder() / path;
    return full.lexically_normal();
}

// False (with the usage printed) when the arguments do not fit.
bool ParseArguments(int argc, char** argv, Arguments& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--work" || arg == "--resume-project" || arg == "--save-project") {
            std::filesystem::path& value = arg == "--work"             ? out.workFolder
                                           : arg == "--resume-project" ? out.resumeProject
                                                                       : out.saveProject;
            if (i + 1 >= argc || !value.empty() || argv[i + 1][0] == '\0') return false;
            value = argv[++i];
        } else if (!arg.empty() && arg.front() == '-') {
            return false;
        } else if (out.caseFolder.empty() && !arg.empty()) {
            out.caseFolder = arg;
        } else {
            return false;
        }
    }
    if (out.caseFolder.empty()) return false;
    out.caseFolder = Absolute(out.caseFolder);
    out.workFolder = out.workFolder.empty() ? out.caseFolder / "run" : Absolute(out.workFolder);
    if (!out.resumeProject.empty()) out.resumeProject = Absolute(out.resumeProject);
    if (!out.saveProject.empty()) out.saveProject = Absolute(out.saveProject);
    return true;
}

// False (with the usage printed) when the arguments after "register" do not fit.
bool ParseRegisterArguments(int argc, char** argv, std::filesystem::path& module) {
    for (int i = 2; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--module" || i + 1 >= argc || !module.empty() ||
            argv[i + 1][0] == '\0')
            return false;
        module = Absolute(argv[++i]);
    }
    return true;
}

std::filesystem::path ProgramFolder() { return platform::CurrentExecutablePath().parent_path(); }

// Every lock a command waits for (the case's, the registry's) it waits for within one deadline of
// 30 s from its start. The module's registration writes the registry file through the process's
// one platform library, so the wait set here is the module's too. A stop signal that a settings
// edit, or a Ctrl-C that a solve, catches would otherwise leave the wait to run its whole patience.
void WaitForLocksAs(const char* command) {
    platform::StartCommandLockDeadline(platform::kRegistryLockPatienceMs);
    platform::SetRegistryLockWait(
        {platform::kRegistryLockPatienceMs,
         [command](const std::string& lockFile, std::uint32_t waitMs) {
             std::cerr << command << ": waiting up to " << (waitMs + 999) / 1000 << " s for " << lockFile
                       << ", which another process holds\n";
         },
         [] { return platform::StopSignalArrived() != 0 || platform::InterruptRequested(); }});
}

[[nodiscard]] int RunRegister(std::filesystem::path module) {
    if (module.empty()) module = ProgramFolder() / kAddinModuleFileName;
    std::string problem;
    if (!RegisterAddinModule(module, std::cout, problem)) {
        std::cerr << "dorvix register: " << problem << "\n";
        return kExitBadCase;
    }
    return kExitSuccess;
}

std::string DescribeStatusBits(unsigned bits) {
    const std::string text = HexCodeText(bits);
    std::string names;
    if (bits & TRVReturnPackageItf::kStatusIncompleteSolution) names += "solution incomplete";
    if (bits & TRVReturnPackageItf::kStatusLastSetFlagged)
        names += std::string(names.empty() ? "" : ", ") + "last result set flagged 999999";
    return names.empty() ? text : text + " (" + names + ")";
}

void PrintReport(const SolveReport& r) {
    std::cout << "deck:      " << r.deckPath.string() << "\n";
    std::cout << "run code:  " << DescribeRunCode(r.RunCode()) << "\n";
    std::cout << "package:   result code " << r.resultCode << ", error code " << r.errorCode << ", status "
              << DescribeStatusBits(r.statusBits) << "\n";
    if (r.RunCode() == kRC_SolverFolderUndefined)
        std::cout
            << "           set DVX_EXE to the folder that holds Dorvix.exe (for a build: <build>/solver)\n";
    if (r.messages.empty()) {
        std::cout << "messages:  none\n";
    } else {
        std::cout << "messages:\n";
        for (const PostedMessage& m : r.messages)
            std::cout << "  " << platform::WideToUtf8(m.type) << ": " << platform::WideToUtf8(m.text) << "\n";
    }
    for (const std::wstring& text : r.packageMessages)
        std::cout << "  Package: " << platform::WideToUtf8(text) << "\n";
    if (!r.values.empty()) {
        std::cout << "values:   ";
        for (const double value : r.values) std::cout << " " << FormatNumber(value);
        std::cout << "\n";
    }
    if (r.resultFile.empty()) return;
    std::cout << "results:   " << r.resultFile;
    if (!r.setsProblem.empty()) {
        std::cout << ": " << r.setsProblem << "\n";
        return;
    }
    std::cout << ", " << r.sets.size() << " result set" << (r.sets.size() == 1 ? "" : "s") << "\n";
    for (const SolvedSet& set : r.sets)
        std::cout << "  set " << set.setNumber << (r.values.empty() ? ": time " : ": eigenvalue ")
                  << FormatNumber(set.time) << ", step code " << set.stepCode << "\n";
}

// The host's part around a solve: the incomplete-solution mark and the progress callback are
// the solver object's business; Ctrl-C is caught meanwhile and answered as a cancel by the
// progress display.
SolveReport Solve(ITRVSolver* solver, TRVDataSourceItf& dataSource, const std::filesystem::path& modelPath,
                  const std::filesystem::path& workFolder, bool& interrupted) {
    platform::InterruptCatcher interrupts;
    SolveReport report = RunSolve(solver, dataSource, modelPath, workFolder);
    interrupted = platform::InterruptRequested();
    return report;
}

// False (with the usage printed) when the arguments after "settings" do not fit.
bool ParseSettingsArguments(int argc, char** argv, SettingsCommand& out) {
    bool assigning = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--set") {
            assigning = true;
            continue;
        }
        if (assigning) {
            const std::size_t equals = arg.find('=');
            if (equals == std::string_view::npos || equals == 0) return false;
            out.assignments.emplace_back(std::string(arg.substr(0, equals)),
                                         std::string(arg.substr(equals + 1)));
        } else if (out.caseFolder.empty() && !arg.empty() && arg.front() != '-') {
            out.caseFolder = arg;
        } else {
            return false;
        }
    }
    if (out.caseFolder.empty() || (assigning && out.assignments.empty())) return false;
    out.caseFolder = Absolute(out.caseFolder);
    return true;
}

// The add-in loaded for the case with the settings object of its analysis made through the
// proxy, and the project resumed when asked. False, with the message printed, when any of it
// fails; a failed resume shows the settings objects it left as they were.
bool LoadAddin(AddinSession& session, const platform::ComponentModule& module, const Arguments& args,
               const HostSimCase& hostCase) {
    std::string problem;
    if (!session.Start(module, problem)) {
        std::cerr << "dorvix: " << problem << "\n";
        return false;
    }
    // The solve's model load reads the model itself and refuses, with its own reason, what it
    // cannot read. The settings edit's reading refuses more than the load does, and the settings
    // object may refuse what the load reads with defaults kept, so neither stops the solve: the
    // program says what the settings object holds instead, and why.
    ModelSettingsXml model;
    std::string unread;
    const bool read = ReadModelSettingsXml(hostCase.caeRepPath, model, unread);
    std::string note;
    if (!session.CreateSettingsObject(HostSettingsObjectId(hostCase), read ? &model : nullptr, unread, note,
                                      problem)) {
        std::cerr << "dorvix: " << problem << "\n";
        return false;
    }
    if (!note.empty()) std::cerr << "dorvix: " << note << "; the solve reads the model itself\n";
    if (args.resumeProject.empty()) return true;
    if (!session.ResumeProject(args.resumeProject, problem)) {
        std::cerr << "dorvix: cannot resume the project " << args.resumeProject.string() << ": " << problem
                  << "\n";
        std::cout << "project:   not resumed; the settings objects stay as they were\n";
        session.ShowSettingsObjects(std::cout, false);
        return false;
    }
    std::cout << "project:   resumed from " << args.resumeProject.string() << "\n";
    session.ShowSettingsObjects(std::cout, false);
    return true;
}

[[nodiscard]] int Run(const Arguments& args) {
    std::shared_ptr<HostSimCase> hostCase;
    try {
        hostCase = LoadHostCase(args.caseFolder);
    } catch (const std::exception& e) {
        std::cerr << "dorvix: cannot read the case: " << e.what() << "\n";
        return kExitBadCase;
    }
    std::string error;
    if (platform::FileExists(args.workFolder)) {
        std::cerr << "dorvix: the work folder " << args.workFolder.string() << " is a file\n";
        return kExitBadCase;
    }
    if (!platform::CreateFolders(args.workFolder, &error)) {
        std::cerr << "dorvix: cannot create the work folder " << args.workFolder.string() << ": " << error
                  << "\n";
        return kExitBadCase;
    }
    // Held from before anything there is touched until the results are read and the project
    // saved: a second run in the folder would take this run's files for its own or remove them.
    platform::FolderHold workHold;
    if (!workHold.Acquire(args.workFolder, &error)) {
        std::cerr << "dorvix: the work folder " << args.workFolder.string() << " cannot be used: " << error
                  << "\n";
        return kExitBadCase;
    }
    platform::ComponentModule module;
    std::filesystem::path modulePath;
    if (!LoadRegisteredAddinModule(ProgramFolder(), module, modulePath, error)) {
        std::cerr << "dorvix: " << error << "\n";
        return kExitBadCase;
    }

    // The deck and the solver's files go to the work folder, whatever folder the case names.
    hostCase->namedOptions["XENRADir"] = platform::Utf8FromPath(args.workFolder);
    HostSim host(hostCase);
    // The add-in hands the host's applet to its services itself, once the applet's context is
    // announced.
    AddinSession session(host, args.workFolder);
    if (!LoadAddin(session, module, args, *hostCase)) return kExitBadCase;
    // A project that cannot be saved whole is refused before the solve, not after it.
    if (!args.saveProject.empty())
        if (const std::string why = session.WhyProjectCannotBeSaved(); !why.empty()) {
            std::cerr << "dorvix: cannot save the project " << args.saveProject.string() << ": " << why
                      << "; nothing was solved or saved\n";
            return kExitBadCase;
        }
    ComPtr<ITRVSolver> solver;
    if (const HRESULT hr = CreateFromModule(module, CLSID_JXDorvixSolver, solver); FAILED(hr)) {
        std::cerr << "dorvix: the module " << modulePath.string() << " makes no solver object ("
                  << HexCodeText(hr) << ")\n";
        return kExitBadCase;
    }
    ProgressDisplay display(std::cerr, platform::IsTerminal(platform::StandardStream::Error),
                            &platform::InterruptRequested);
    host.DataSource().SetProgressCallback(&display);
    bool interrupted = false;
    const SolveReport report =
        Solve(solver.Get(), host.DataSource(), hostCase->caeRepPath, args.workFolder, interrupted);
    display.Finish();
    // The solver has ended: what is left is to tell the results, which a closed output must not cut.
    platform::OutlastAClosedOutput();
    const int code = report.RunCode();
    // A terminal's Ctrl-C reaches the solver too, which may then end by the signal before
    // the run notices the cancel: the request decides, whatever the run code says.
    const bool cancelled = code == kRC_Cancelled || (interrupted && code != kRC_Success);
    if (!report.failure.empty()) {
        std::cerr << "dorvix: " << report.failure << "\n";
        return kExitRunFailed;
    }
    std::cout << "case:      " << args.caseFolder.string() << "\n";
    PrintReport(report);
    if (cancelled) {
        std::cout << "cancelled\n";
        return kExitCancelled;
    }
    if (!args.saveProject.empty()) {
        if (!session.SaveProject(args.saveProject, error)) {
            std::cerr << "dorvix: cannot save the project " << args.saveProject.string() << ": " << error
                      << "\n";
            return kExitRunFailed;
        }
        std::cout << "project:   saved to " << args.saveProject.string() << "\n";
        session.ShowSettingsObjects(std::cout, true);
    }
    return code == kRC_Success ? kExitSuccess : kExitRunFailed;
}

// Empty when all the command wrote to standard output reached it; else why not. The write that
// failed may lie long before: one more write, which a closed output no longer ends, tells why.
std::string OutputFailure() {
    std::cout.flush();
    if (std::fflush(stdout) == 0 && std::cout && std::ferror(stdout) == 0) return "";
    platform::OutlastAClosedOutput();
    return ::write(STDOUT_FILENO, "\n", 1) < 0 ? std::strerror(errno) : "a write failed";
}

// The command's exit code once its output is flushed. An output that cannot be written is told on
// standard error; it fails a command whose output is its work (`outputIsTheWork`: the grid, the
// help), and leaves the exit code of one whose work is done elsewhere (a solve, a written edit, a
// registration).
int Finished(const char* command, int code, bool outputIsTheWork) {
    const std::string failure = OutputFailure();
    if (failure.empty()) return code;
    std::cerr << command << ": the output cannot be written: " << failure << "\n";
    return outputIsTheWork && code == kExitSuccess ? kExitRunFailed : code;
}

}  // namespace

int main(int argc, char** argv) {
    ApplyDefaultServiceEnvironment(ProgramFolder());
    if (argc >= 2 && std::strcmp(argv[1], "register") == 0) {
        std::filesystem::path module;
        if (!ParseRegisterArguments(argc, argv, module)) {
            std::cerr << kUsage;
            return kExitBadCase;
        }
        WaitForLocksAs("dorvix register");
        // The registry is written before anything is printed: a closed output must not end the
        // command as if it were not.
        platform::OutlastAClosedOutput();
        return Finished("dorvix register", RunRegister(module), false);
    }
    if (argc >= 2 && std::strcmp(argv[1], "settings") == 0) {
        SettingsCommand command;
        if (!ParseSettingsArguments(argc, argv, command)) {
            std::cerr << kUsage;
            return kExitBadCase;
        }
        WaitForLocksAs("dorvix settings");
        const int code = RunSettingsCommand(command, ProgramFolder(), std::cout, std::cerr);
        return Finished("dorvix settings", code, command.assignments.empty());
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return Finished("dorvix", kExitSuccess, true);
    }
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::cerr << kUsage;
        return kExitBadCase;
    }
    WaitForLocksAs("dorvix");
    return Finished("dorvix", Run(args), false);
}
