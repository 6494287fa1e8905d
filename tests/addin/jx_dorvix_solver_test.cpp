// The solver object as the host drives it: created by class id, handed the model paths, asked
// to solve a case of the file-backed host and for the names of the files a solve leaves.

#include "addin/jx_dorvix_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/solver_file_set.h"
#include "caerep/core/cae_exception.h"
#include "deck/dorvix_feeder.h"
#include "deck/return_codes.h"
#include "deck/solver_files.h"
#include "host/string_table.h"
#include "hostsim/host_sim.h"
#include "platform/clock.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/addin_services.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
#include "settings/settings_types.h"
#include "tests/deck/deck_test_support.h"
#include "tests/golden_file.h"

namespace {

// A feeder whose run the test scripts; it notes that it was deleted.
class ScriptedFeeder : public DorvixFeeder {
  public:
    ScriptedFeeder(std::function<int()> run, bool* deleted)
        : DorvixFeeder(1), run_(std::move(run)), deleted_(deleted) {}
    ~ScriptedFeeder() override { *deleted_ = true; }
    int Feed(TRVDataSourceItf*, ReturnPackage* package) override {
        const int code = run_();
        package->SetResultCode(code);
        return code;
    }

  private:
    std::function<int()> run_;
    bool* deleted_;
};

class RecordingCallback : public IProgressCallback {
  public:
    int OnProgress(int, int, int) override {
        ++calls;
        return 1;
    }
    int calls = 0;
};

struct PackageStatus {
    int result = -1;
    unsigned bits = 0;
    int error = -1;
};

PackageStatus StatusOf(const ReturnPackage& package) {
    PackageStatus s;
    (void)package.GetStatus(s.result, s.bits, s.error);
    return s;
}

std::vector<std::wstring> MessagesOf(const ReturnPackage& package) {
    std::vector<BstrHolder> texts;
    package.GetMessages(texts);
    std::vector<std::wstring> out;
    for (const BstrHolder& t : texts) out.push_back(t.Str());
    return out;
}

// One case of the file-backed host, played in a scratch folder, with a solver object that
// knows its model.
class SolverCase {
  public:
    explicit SolverCase(const std::string& name, CJXDorvixSolver::FeederCreator creator = nullptr)
        : case_(LoadHostCase(decktest::CaseFolder(name))), host_(case_) {
        case_->namedOptions["XENRADir"] = platform::Utf8FromPath(scratch_.Path());
        (void)AddinServices::GetInstance().SetApplet(host_.Applet().Get());
        solver_ =
            creator ? MakeComObject<CJXDorvixSolver>(std::move(creator)) : MakeComObject<CJXDorvixSolver>();
        const BstrHolder model(platform::WideFromPath(case_->caeRepPath));
        EXPECT_EQ(solver_->SetCAEFiles(model.Get(), nullptr), S_OK);
        host_.DataSource().SetProgressCallback(&callback_);
    }
    ~SolverCase() { AddinServices::ReleaseInstance(); }

    // The host receives the package through its interface; the add-in's own tests read it whole.
    std::unique_ptr<ReturnPackage> Solve() {
        TRVReturnPackageItf* raw = nullptr;
        EXPECT_EQ(solver_->Solve(&host_.DataSource(), &raw), S_OK);
        EXPECT_EQ(ProgressCallback, nullptr);
        return std::unique_ptr<ReturnPackage>(static_cast<ReturnPackage*>(raw));
    }
    HostSimCase& Case() { return *case_; }
    CJXDorvixSolver& Solver() { return *solver_; }
    RecordingCallback& Callback() { return callback_; }
    const std::filesystem::path& Folder() const { return scratch_.Path(); }

  private:
    decktest::ScratchFolder scratch_;
    std::shared_ptr<HostSimCase> case_;
    HostSim host_;
    RecordingCallback callback_;
    ComPtr<CJXDorvixSolver> solver_;
};

// The names of a file list the solver object handed out, read through the host list's own
// interface.
std::vector<std::wstring> ListedNames(IDispatch* list) {
    std::vector<std::wstring> names;
    const ComPtr<IDispatch> held = ComPtr<IDispatch>::Attach(list);
    const ComPtr<IHostStringList> host = held ? held.As<IHostStringList>() : nullptr;
    EXPECT_TRUE(host);
    int count = 0;
    if (!host || host->GetCount(count) != S_OK) return names;
    for (int i = 0; i < count; ++i) {
        std::wstring text;
        EXPECT_EQ(host->GetItem(i, text), S_OK);
        names.push_back(text);
    }
    return names;
}

// True when a name of the list, or a pattern of it, names the file.
template <typename Names>
bool NamesFile(const Names& names, const std::string& file) {
    return std::any_of(names.begin(), names.end(), [&file](const std::wstring& name) {
        return platform::WildcardMatch(platform::WideToUtf8(name), file);
    });
}

template <typename Names>
bool HoldsFile(const Names& names, const std::string& file) {
    return std::find(names.begin(), names.end(), platform::Utf8ToWide(file)) != names.end();
}

// A creator that hands out a scripted feeder for every kind.
CJXDorvixSolver::FeederCreator Scripted(std::function<int()> run, bool* deleted) {
    return [run, deleted](int) { return std::make_unique<ScriptedFeeder>(run, deleted); };
}

}  // namespace

TEST(JXDorvixSolver, IsCreatedByClassIdWithItsFourInterfacesAndHoldsTheModule) {
    ASSERT_EQ(RegisterJXDorvixSolverClass(), S_OK);
    const long before = ModuleLockCount();
    {
        ComPtr<ITRVSolver> solver;
        ASSERT_EQ(CoCreateInstance(CLSID_JXDorvixSolver, solver), S_OK);
        EXPECT_EQ(ModuleLockCount(), before + 1);
        EXPECT_TRUE(solver.As<IJXDorvixSolver>());
        EXPECT_TRUE(solver.As<ICAESolver>());
        EXPECT_TRUE(solver.As<IFileManagement>());
    }
    EXPECT_EQ(ModuleLockCount(), before);
    (void)UnregisterComponentClass(CLSID_JXDorvixSolver);
}

TEST(JXDorvixSolver, SolvesAStructuralCaseThroughTheSolveEntry) {
    platform::ScopedFixedClock clock({2024, 6, 5, 9, 4, 3, 0, 3});
    platform::ScopedEnvironmentVariable solverFolder("DVX_EXE", std::string(DORVIX_BINARY_DIR) + "/solver");
    SolverCase run("struct-linear-static");
    const std::unique_ptr<ReturnPackage> package = run.Solve();
    ASSERT_TRUE(package);
    EXPECT_EQ(StatusOf(*package).result, kRC_Success);
    EXPECT_EQ(package->GetPartCount(), run.Case().resultSetCount);
    EXPECT_GT(run.Callback().calls, 0);
    char description[64] = {};
    ASSERT_EQ(package->GetResultFileName(description, sizeof description), S_OK);
    EXPECT_EQ(std::string(description), "dorvix_as.des");
    golden::ExpectText(decktest::CaseFolder("struct-linear-static") / "expected-deck.dat",
                       decktest::ReadText(run.Folder() / "dorvix.dat"));
}

// The file lists the host manages a working folder by, against the files solves of every solver
// module leave: the solver files name each file (by name or pattern); the file groups, the files
// of a finished solve, hold each but the driver file; the restart files are the run's prestress
// copy only when the run is kept for a prestressed modal analysis. The settings records' lists
// answer the same for the structural modules they know (a thermal run's are not among them).
TEST(JXDorvixSolver, TheFileListsNameEveryFileASolveLeaves) {
    platform::ScopedEnvironmentVariable solverFolder("DVX_EXE", std::string(DORVIX_BINARY_DIR) + "/solver");
    const struct {
        const char* name;
        int physics, analysis;
        unsigned intent;
    } rows[] = {
        {"struct-linear-static", kMechanicalPhysics, kStaticAnalysis, kNoFutureAnalysis},
        {"struct-nonlinear", kMechanicalPhysics, kStaticAnalysis, kNoFutureAnalysis},
        {"struct-prestressed", kMechanicalPhysics, kStaticAnalysis, kSaveFilesForPrestressedModalAnalysis},
        {"eigen-modal", kMechanicalPhysics, kModalAnalysis, kNoFutureAnalysis},
        {"eigen-buckling", kMechanicalPhysics, kBucklingAnalysis, kNoFutureAnalysis},
        {"thermal-steady", kThermalPhysics, kStaticAnalysis, kNoFutureAnalysis},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SolverCase run(row.name);
        const std::unique_ptr<ReturnPackage> package = run.Solve();
        ASSERT_TRUE(package);
        ASSERT_EQ(StatusOf(*package).result, kRC_Success);
        const int intent = static_cast<int>(row.intent);
        IDispatch* list = nullptr;
        ASSERT_EQ(run.Solver().GetSolverFiles(&list), S_OK);
        const std::vector<std::wstring> solverFiles = ListedNames(list);
        ASSERT_EQ(run.Solver().GetFileGroups(row.physics, row.analysis, intent, &list), S_OK);
        const std::vector<std::wstring> groups = ListedNames(list);
        ASSERT_EQ(run.Solver().GetRestartFiles(row.physics, row.analysis, intent, &list), S_OK);
        const std::vector<std::wstring> restart = ListedNames(list);
        SolverFileList settingsFiles;
        SettingsAllSolverFiles(row.physics, row.analysis, intent, settingsFiles);
        SolverFileList settingsOutput;
        EXPECT_TRUE(SettingsSolveOutputFiles(row.physics, row.analysis, intent, 0, settingsOutput));
        SolverFileList settingsRestart;
        (void)SettingsRestartFiles(row.physics, row.analysis, intent, settingsRestart);

        const std::vector<std::string> left = platform::ListFolder(run.Folder());
        ASSERT_FALSE(left.empty());
        for (const std::string& file : left) {
            SCOPED_TRACE(file);
            EXPECT_TRUE(NamesFile(solverFiles, file));
            if (file != kSolverDriverFile) {
                EXPECT_TRUE(HoldsFile(groups, file));
            }
            if (row.physics != kMechanicalPhysics) continue;
            EXPECT_TRUE(NamesFile(settingsFiles, file));
            if (file != kSolverDriverFile) {
                EXPECT_TRUE(HoldsFile(settingsOutput, file));
            }
        }
        const bool kept = row.intent == kSaveFilesForPrestressedModalAnalysis;
        EXPECT_EQ(std::count(left.begin(), left.end(), "prestress.dat"), kept ? 1 : 0);
        EXPECT_EQ(HoldsFile(restart, "prestress.dat"), kept);
        EXPECT_EQ(HoldsFile(settingsRestart, "prestress.dat"), kept);
        EXPECT_EQ(restart.empty(), !kept);
        for (const std::wstring& name : restart) {
            EXPECT_TRUE(HoldsFile(groups, platform::WideToUtf8(name)));
        }
    }
}

TEST(JXDorvixSolver, ANullPackagePointerIsRefusedBeforeAnythingRuns) {
    bool created = false;
    SolverCase run("struct-linear-static", [&](int) {
        created = true;
        return std::unique_ptr<DorvixFeeder>();
    });
    EXPECT_EQ(run.Solver().Solve(nullptr, nullptr), E_POINTER);
    EXPECT_FALSE(created);
}

// An unknown kind leaves the unset code and no message; the part count follows the context
// (a negative count gives none).
TEST(JXDorvixSolver, AnUnknownKindAnswersTheUnsetCodeWithThePartCount) {
    const struct {
        int kind;
        int sets;
        int parts;
    } rows[] = {{3, 2, 2}, {3, -4, 0}, {7, 0, 0}};
    for (const auto& row : rows) {
        SolverCase run("struct-linear-static");
        run.Case().analysisKind = row.kind;
        run.Case().resultSetCount = row.sets;
        const std::unique_ptr<ReturnPackage> package = run.Solve();
        ASSERT_TRUE(package);
        EXPECT_EQ(StatusOf(*package).result, ReturnPackage::kUnsetResultCode) << row.kind;
        EXPECT_EQ(package->GetPartCount(), row.parts) << row.sets;
        EXPECT_EQ(package->GetMessageCount(), 0);
    }
}

TEST(JXDorvixSolver, ModelThatCannotBeLoadedEndsWithItsCodeAndItsReasonGoesToTheOutputElseThePackage) {
    bool deleted = false;
    bool fed = false;
    const auto feed = [&] {
        fed = true;
        return kRC_Success;
    };
    SolverCase run("struct-linear-static", Scripted(feed, &deleted));
    const BstrHolder missing(L"/no/such/CAERep.xml");
    ASSERT_EQ(run.Solver().SetCAEFiles(missing.Get(), nullptr), S_OK);
    const std::unique_ptr<ReturnPackage> package = run.Solve();
    EXPECT_EQ(StatusOf(*package).result, kRC_ModelLoadFailed);
    EXPECT_EQ(package->GetMessageCount(), 0);
    EXPECT_FALSE(fed);
    EXPECT_TRUE(deleted);

    // The reason of the refusal goes to the output; when that cannot be written, it reaches the
    // host through the package.
    const BstrHolder unwritable(platform::WideFromPath(run.Folder() / "gone" / "output.xml"));
    ASSERT_EQ(run.Solver().SetCAEFiles(missing.Get(), unwritable.Get()), S_OK);
    const std::unique_ptr<ReturnPackage> refused = run.Solve();
    EXPECT_EQ(StatusOf(*refused).result, kRC_ModelLoadFailed);
    const std::vector<std::wstring> messages = MessagesOf(*refused);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind(L"Error: the messages of the solve are not saved: ", 0), 0u)
        << platform::WideToUtf8(messages[0]);
    EXPECT_EQ(messages[1],
              L"Error: The model cannot be loaded: file /no/such/CAERep.xml: the file does not exist");
    EXPECT_FALSE(fed);
}

// Codes 100 to 102 carry their localized text (the key itself when no table holds it).
TEST(JXDorvixSolver, SolverCodesCarryTheirLocalizedMessage) {
    const struct {
        int code;
        const wchar_t* message;
    } rows[] = {{kRC_SolverFolderUndefined, L"ID_ERROR_UNDEFINED_DVX_EXE_ENVIRONMENT_VARIABLE"},
                {kRC_PeriodicAxisIncorrect, L"ID_ERROR_PERIODIC_CONDITION_UNCORRECT_AXIS"},
                {kRC_WeightingEquation, L"ID_ERROR_UNCORRECT_WEIGHTING_EQUATION"},
                {kRC_ListingError, nullptr}};
    for (const auto& row : rows) {
        bool deleted = false;
        SolverCase run("struct-linear-static", Scripted([&] { return row.code; }, &deleted));
        const std::unique_ptr<ReturnPackage> package = run.Solve();
        EXPECT_EQ(StatusOf(*package).result, row.code);
        const std::vector<std::wstring> expected =
            row.message ? std::vector<std::wstring>{row.message} : std::vector<std::wstring>{};
        EXPECT_EQ(MessagesOf(*package), expected) << row.code;
        EXPECT_TRUE(deleted);
    }
}

TEST(JXDorvixSolver, ARepresentationExceptionEndsWith44AndNoMessage) {
    bool deleted = false;
    SolverCase run("struct-linear-static",
                   Scripted([]() -> int { throw NCAERep::CCAEException(L"bad", L"Feed"); }, &deleted));
    const std::unique_ptr<ReturnPackage> package = run.Solve();
    EXPECT_EQ(StatusOf(*package).result, kRC_Exception);
    EXPECT_EQ(package->GetMessageCount(), 0);
    EXPECT_TRUE(deleted);
}

// Any other exception is caught too: 44 with the reason, the feeder deleted, and the host's
// callback no longer reachable by a report made after the solve.
TEST(JXDorvixSolver, AnyOtherExceptionEndsWith44AMessageAndNoCallbackLeft) {
    bool deleted = false;
    SolverCase run("struct-linear-static",
                   Scripted([]() -> int { throw std::runtime_error("the feeder broke"); }, &deleted));
    const std::unique_ptr<ReturnPackage> package = run.Solve();
    EXPECT_EQ(StatusOf(*package).result, kRC_Exception);
    const std::vector<std::wstring> messages = MessagesOf(*package);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"the feeder broke"), std::wstring::npos);
    EXPECT_TRUE(deleted);
    const int before = run.Callback().calls;
    EXPECT_EQ(ReportProgress(50, kProgressDeckWriting), 1);
    EXPECT_EQ(run.Callback().calls, before);
}

TEST(JXDorvixSolver, ModelPathsAreCopiedAndANullPathClearsOne) {
    auto solver = MakeComObject<CJXDorvixSolver>();
    BSTR out = nullptr;
    EXPECT_EQ(solver->GetOutputCAEFile(nullptr), E_POINTER);
    ASSERT_EQ(solver->GetOutputCAEFile(&out), S_OK);
    EXPECT_EQ(out, nullptr);
    const BstrHolder input(L"in.xml");
    const BstrHolder output(L"out.xml");
    ASSERT_EQ(solver->SetCAEFiles(input.Get(), output.Get()), S_OK);
    EXPECT_NE(solver->GetInputPath(), input.Get());
    EXPECT_EQ(BstrView(solver->GetInputPath()), L"in.xml");
    ASSERT_EQ(solver->GetOutputCAEFile(&out), S_OK);
    const BstrHolder copy = BstrHolder::Attach(out);
    EXPECT_EQ(copy.View(), L"out.xml");
    ASSERT_EQ(solver->SetCAEFiles(solver->GetInputPath(), nullptr), S_OK);
    EXPECT_EQ(BstrView(solver->GetInputPath()), L"in.xml");
    ASSERT_EQ(solver->GetOutputCAEFile(&out), S_OK);
    EXPECT_EQ(out, nullptr);
}
