// The solver object as the host drives it: created by class id, handed the model paths, asked
// to solve a case of the file-backed host and for the names of the files a solve leaves.

#include "addin/jx_dorvix_solver.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "caerep/core/cae_exception.h"
#include "deck/dorvix_feeder.h"
#include "deck/return_codes.h"
#include "hostsim/host_sim.h"
#include "platform/clock.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/path_text.h"
#include "runtime/addin_services.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
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

    std::unique_ptr<ReturnPackage> Solve() {
        ReturnPackage* raw = nullptr;
        EXPECT_EQ(solver_->Solve(&host_.DataSource(), &raw), S_OK);
        EXPECT_EQ(ProgressCallback, nullptr);
        return std::unique_ptr<ReturnPackage>(raw);
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

TEST(JXDorvixSolver, ModelThatCannotBeLoadedEndsWithItsCodeAndNoMessage) {
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
