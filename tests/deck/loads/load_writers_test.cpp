// The structural load writers on the "loads-*" cases, in both deck forms: one step (each load at
// the step's end, "NC 1") and two steps ending at 1 and 2 (each load once, as ".FCT" functions).
// The reviewed deck sections sit beside each case as expected-load-case.txt and
// expected-function.txt (tests/golden_file.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "../feeder/feeder_test_support.h"
#include "deck/constraints/node_constraint_table.h"
#include "deck/deck_counters.h"
#include "host/load_model.h"
#include "runtime/return_package.h"
#include "settings/step_controls.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

constexpr int kNodeLookup = 1;

// A multi-step deck in load-case form, as a static run before a prestressed modal one writes it.
class LoadFeeder : public FeederUnderTest {
  public:
    bool IsPrestressedModalIntent() const override { return loadCasesOverSteps; }
    bool loadCasesOverSteps = false;
};

// The feeder on the case's model, opened, with `steps` static load steps ending at 1, 2, ...
void OpenWithSteps(LoadFeeder& feeder, ModelCase& model, ReturnPackage& package, int steps) {
    feeder.UseSolveArguments(&model.DataSource(), &package);
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder.Open(), kRC_Success);
    feeder.UseSettings(kStaticAnalysis, kMechanicalPhysics, steps);
    for (int s = 1; s <= steps; ++s)
        feeder.GetSettings()->GetStepControlsAs<DorvixStepControls>(s, kStepSelector)->StoreEndTime(s);
}

// The writers in the order the structural load case calls them; the first code ends it.
int WriteLoadCase(LoadFeeder& f, int step) {
    const std::function<int()> writers[] = {
        [&] { return f.WritePressureLoads(step); },
        [&] { return f.WriteSurfaceForceLoads(step, 4); },
        [&] { return f.WriteSurfaceForceLoads(step, 2); },
        [&] { return f.WriteVertexForceLoads(step); },
        [&] { return f.WriteRemotePointLoads(step, 21); },
        [&] { return f.WriteRemotePointLoads(step, 5); },
        [&] { return f.WriteRemoteDisplacements(step); },
        [&] { return f.WriteAccelerations(step); },
        [&] { return f.WriteRotationalVelocity(step); },
        [&] { return f.WriteDisplacementLoads(step); },
        [&] { return f.WriteDirectedLineLoads(step); },
        [&] { return f.WriteLineLoads(step); },
        [&] { return f.WriteNodalTemperatureLoads(step, true); },
    };
    for (const auto& writer : writers)
        if (const int code = writer(); code != kRC_Success) return code;
    return kRC_Success;
}

class LoadWritersTest : public ::testing::TestWithParam<const char*> {
  protected:
    void Open(const std::string& name, bool withRemotePoints = true) {
        model_ = std::make_unique<ModelCase>(name);
        feeder_.UseSolveArguments(&model_->DataSource(), &package_);
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_->ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
        // The remote points' host nodes 1001 and 1002 as deck nodes 9 and 10.
        if (!withRemotePoints) return;
        (void)package_.SetLookup(1001, 9, kNodeLookup);
        (void)package_.SetLookup(1002, 10, kNodeLookup);
    }
    void UseStepEnds(const std::vector<double>& ends) {
        feeder_.UseSettings(kStaticAnalysis, kMechanicalPhysics, static_cast<int>(ends.size()));
        for (std::size_t i = 0; i < ends.size(); ++i)
            feeder_.GetSettings()
                ->GetStepControlsAs<DorvixStepControls>(static_cast<int>(i) + 1, kStepSelector)
                ->StoreEndTime(ends[i]);
    }
    std::string Text() { return decktest::JoinedLines(feeder_.CloseDeckLines()); }
    void ExpectGolden(const std::string& name, const std::string& file, const std::string& actual) {
        const std::filesystem::path path = decktest::CaseFolder(name) / file;
        golden::ExpectText(path, actual);
        std::string lower = actual;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(lower.find("inf"), std::string::npos) << path;
        EXPECT_EQ(lower.find("nan"), std::string::npos) << path;
    }

    decktest::ScratchFolder scratch_;
    std::unique_ptr<ModelCase> model_;
    ReturnPackage package_;
    LoadFeeder feeder_;
};

}  // namespace

TEST_P(LoadWritersTest, LoadCaseFormMatchesTheReviewedDeck) {
    ASSERT_NO_FATAL_FAILURE(Open(GetParam()));
    UseStepEnds({1.0});
    ASSERT_TRUE(feeder_.UseLoadCases());
    ASSERT_EQ(WriteLoadCase(feeder_, 1), kRC_Success);
    EXPECT_FALSE(feeder_.WasMessagePosted());
    ExpectGolden(GetParam(), "expected-load-case.txt", Text());
}

// Written once at step 1, functions numbered from 1 whatever an earlier deck used; step 2
// writes nothing.
TEST_P(LoadWritersTest, FunctionFormMatchesTheReviewedDeck) {
    for (int i = 0; i < 5; ++i) (void)NextFunctionNumber();
    ASSERT_NO_FATAL_FAILURE(Open(GetParam()));
    UseStepEnds({1.0, 2.0});
    ASSERT_FALSE(feeder_.UseLoadCases());
    ASSERT_EQ(WriteLoadCase(feeder_, 1), kRC_Success);
    const int functions = GetDeckCounters().function;
    ASSERT_EQ(WriteLoadCase(feeder_, 2), kRC_Success);
    EXPECT_EQ(GetDeckCounters().function, functions);
    EXPECT_FALSE(feeder_.WasMessagePosted());
    ExpectGolden(GetParam(), "expected-function.txt", Text());
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadWritersTest,
                         ::testing::Values("loads-pressure", "loads-force-moment", "loads-gravity",
                                           "loads-rotational-velocity", "loads-line",
                                           "loads-remote-displacement", "loads-temperature"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

namespace {

class LoadFailuresTest : public LoadWritersTest {};

constexpr int kFaultyForce = 29;

}  // namespace

// Load 29 of "loads-force-moment": x an expression without sampling count, z 1e308 at step ends.
TEST_F(LoadFailuresTest, BadLoadEndsTheWriterWithItsCodeAndNothingNonFinite) {
    struct Row {
        int type;
        double area;
        int steps;
        int expected;
    };
    const Row rows[] = {
        {4, 0.0, 1, kRC_MissingData},     // no area to share the force over
        {4, 1e-10, 1, kRC_DataMismatch},  // 1e308 / 1e-10 is not finite
        {2, 0.0, 2, kRC_DataMismatch},    // the expression cannot be sampled
    };
    for (const Row& row : rows) {
        LoadFeeder feeder;
        ModelCase model("loads-force-moment");
        for (HostObjectRecord& record : model.MutableCase().objectTable->records)
            if (record.id == kFaultyForce) {
                record.hostType = row.type;
                record.area = row.area;
            }
        ASSERT_NO_FATAL_FAILURE(OpenWithSteps(feeder, model, package_, row.steps));
        EXPECT_EQ(feeder.WriteSurfaceForceLoads(1, row.type), row.expected) << "type " << row.type;
        EXPECT_TRUE(feeder.WasMessagePosted());
        std::string text;
        for (const std::string& line : feeder.CloseDeckLines()) text += line + "\n";
        EXPECT_EQ(text.find("Inf"), std::string::npos) << text;
    }
}

// An expression sampled 4 times up to the last step end at 2; a table's rows past the last step
// end are not sampled.
TEST_F(LoadFailuresTest, SamplesExpressionsAndTablesUpToTheLastStepEnd) {
    ASSERT_NO_FATAL_FAILURE(Open("loads-force-moment"));
    UseStepEnds({2.0});
    IUnknown* force = feeder_.GetObjectTypeTable()->FindById(21)->GetHostLoad();
    ComPtr<IHostLoad> load;
    ASSERT_EQ(force->QueryInterface(IHostLoad::iid(), load.ReleaseAndGetVoidAddress()), S_OK);
    ComPtr<IHostLoadVariable> x, y;
    ASSERT_EQ(load->GetVariable(2, x.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(load->GetVariable(3, y.ReleaseAndGetAddressOf()), S_OK);
    DorvixFeeder::LoadHistory history;
    ASSERT_EQ(feeder_.SampleLoadHistory(x.Get(), 21, 2.0, history), S_OK);
    EXPECT_EQ(history, (DorvixFeeder::LoadHistory{0, 20, 0.5, 20, 1, 20, 1.5, 20, 2, 20}));
    UseStepEnds({1.0});
    ASSERT_EQ(feeder_.SampleLoadHistory(y.Get(), 21, 1.0, history), S_OK);
    EXPECT_EQ(history, (DorvixFeeder::LoadHistory{0, 0, 1, 10}));
}

// No active step: no function, no id drawn, nothing written.
TEST_F(LoadFailuresTest, FunctionWithoutActiveStepIsRefused) {
    ASSERT_NO_FATAL_FAILURE(Open("loads-pressure"));
    UseStepEnds({1.0, 2.0});
    IUnknown* pressure = feeder_.GetObjectTypeTable()->FindById(11)->GetHostLoad();
    ComPtr<IHostLoad> load;
    ASSERT_EQ(pressure->QueryInterface(IHostLoad::iid(), load.ReleaseAndGetVoidAddress()), S_OK);
    ComPtr<IHostLoadVariable> magnitude;
    ASSERT_EQ(load->GetVariable(1, magnitude.ReleaseAndGetAddressOf()), S_OK);
    const DorvixFeeder::StepFlags none = {0, 0};
    int id = -7;
    EXPECT_EQ(feeder_.CreateLoadFunction(magnitude.Get(), 11, 1.0, &none, id), E_FAIL);
    EXPECT_EQ(id, -7);
    EXPECT_EQ(GetDeckCounters().function, 0);
    EXPECT_TRUE(feeder_.CloseDeckLines().empty());
}

// Load-case form over two steps: remote displacement 71 is deactivated in step 2 and left out;
// 72 after it is still written.
TEST_F(LoadFailuresTest, DeactivatedRemoteDisplacementIsPassedOver) {
    ASSERT_NO_FATAL_FAILURE(Open("loads-remote-displacement"));
    UseStepEnds({1.0, 2.0});
    feeder_.loadCasesOverSteps = true;
    ASSERT_TRUE(feeder_.UseLoadCases());
    ASSERT_EQ(feeder_.WriteRemoteDisplacements(2), kRC_Success);
    const Lines lines = feeder_.CloseDeckLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], ".CLM DEP NOE NOM \"Held Remote Point\"");
    EXPECT_EQ(lines[7], "  I 10 V 0. COMP 6 NC 2");
}

// The case's edge 102 lies on its hexahedron only, and an edge of a solid element is none of its
// faces: a pressure on it, and a face force that also holds it, are refused with a message naming
// the load and the edge, and write nothing.
TEST_F(LoadFailuresTest, LoadsOnAnEdgeOfASolidElementAreRefused) {
    const JXReference face{101, 0x20}, edge{102, 0x4000};
    struct Row {
        const char* name;
        int id;
        std::vector<JXReference> references;
        int (*write)(LoadFeeder&);
        const wchar_t* load;
    };
    const Row rows[] = {
        {"loads-pressure",
         11,
         {edge},
         [](LoadFeeder& f) { return f.WritePressureLoads(1); },
         L"Load \"Pressure\" (11) holds the edge 102,"},
        {"loads-force-moment",
         22,
         {face, edge},
         [](LoadFeeder& f) { return f.WriteSurfaceForceLoads(1, 4); },
         L"Load \"Force on face\" (22) holds the edge 102,"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoadFeeder feeder;
        ModelCase model(row.name);
        for (HostObjectRecord& record : model.MutableCase().objectTable->records)
            if (record.id == row.id) record.scoping.references = row.references;
        feeder.UseSolveArguments(&model.DataSource(), &package_);
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder.Open(), kRC_Success);
        feeder.UseSettings(kStaticAnalysis, kMechanicalPhysics, 1);
        EXPECT_EQ(row.write(feeder), kRC_MissingData);
        const std::vector<std::wstring> errors = feedertest::ErrorTexts(feeder);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(row.load, 0), 0u);
        EXPECT_EQ(feeder.CloseDeckLines(), Lines{});
    }
}

TEST_F(LoadFailuresTest, RemotePointWithoutDeckNodeIs25) {
    ASSERT_NO_FATAL_FAILURE(Open("loads-remote-displacement", false));
    UseStepEnds({1.0});
    EXPECT_EQ(feeder_.WriteRemoteDisplacements(1), kRC_MissingData);
    EXPECT_TRUE(feeder_.WasMessagePosted());
}

// The pre-pass gives nodes 1 to 4 of the face displacement 31's x and z (keys 1 and 3), y free;
// and nodes 5 to 8 the velocity 33's z, its x given as 0 (held, no node line, yet a function).
TEST_F(LoadFailuresTest, DisplacementsAndVelocitiesGoToTheNodesOfTheConstraintTable) {
    for (int steps : {1, 2}) {
        LoadFeeder feeder;
        ModelCase model("loads-displacement");
        ASSERT_NO_FATAL_FAILURE(OpenWithSteps(feeder, model, package_, steps));
        EXPECT_EQ(feeder.WriteDisplacementLoads(1), kRC_DataMismatch);  // not resolved yet
        ASSERT_EQ(feeder.CheckBoundaryConditions(), kRC_Success);
        ASSERT_EQ(feeder.WriteDisplacementLoads(1), kRC_Success);
        std::string text;
        for (const std::string& line : feeder.CloseDeckLines()) text += line + "\n";
        ExpectGolden("loads-displacement", steps == 1 ? "expected-load-case.txt" : "expected-function.txt",
                     text);
    }
}

// A load whose faces or edges the host cannot give is left out with a warning naming it, and the
// writers go on. A face force draws its functions before it reads its faces; a pressure and an
// edge force draw none.
TEST_F(LoadFailuresTest, LoadTheHostCannotPlaceIsLeftOutWithAWarning) {
    struct Row {
        const char* caseName;
        int load;
        std::vector<JXReference> references;
        int functions;
        std::wstring message;
    };
    const Row rows[] = {
        {"loads-pressure",
         11,
         {{999, kJXReferenceFace}},
         0,
         L"Warning: Load \"Pressure\" (11) is left out of the deck: its scoping cannot be turned into "
         L"element faces"},
        {"loads-force-moment",
         22,
         {{999, kJXReferenceFace}},
         2,
         L"Warning: Load \"Force on face\" (22) is left out of the deck: its scoping cannot be turned into "
         L"element faces"},
        {"loads-force-moment",
         25,
         {{102, kJXReferenceEdge}, {999, kJXReferenceEdge}},
         0,
         L"Warning: Load \"Force on edges\" (25) is left out of the deck: the host gives no nodes or no two "
         L"end nodes of one of its edges"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.load);
        LoadFeeder feeder;
        ReturnPackage package;
        ModelCase model(row.caseName);
        for (HostObjectRecord& record : model.MutableCase().objectTable->records) {
            if (record.id == row.load)
                record.scoping.references = row.references;
            else
                record.hostType = 0;  // the other loads of the case are not written
        }
        ASSERT_NO_FATAL_FAILURE(OpenWithSteps(feeder, model, package, 2));
        ASSERT_EQ(WriteLoadCase(feeder, 1), kRC_Success);
        EXPECT_EQ(feedertest::PostedMessages(feeder), std::vector<std::wstring>{row.message});
        EXPECT_EQ(GetDeckCounters().function, row.functions);
        for (const std::string& line : feeder.CloseDeckLines()) EXPECT_NE(line.rfind(".CLM", 0), 0u) << line;
    }
}

// The host measures a face in the model's units while the force is asked in the deck's: a force
// of (5, 0, -2) N on a face of 1 mm2 is (5e6, 0, -2e6) N/m2 in a metre deck of a millimetre model.
TEST_F(LoadFailuresTest, SurfaceForceIsSpreadOverTheAreaInDeckUnits) {
    LoadFeeder feeder;
    ModelCase model("loads-force-moment");
    model.MutableCase().modelUnitSystem = 6;
    model.MutableCase().deckUnitSystem = 11;
    ASSERT_NO_FATAL_FAILURE(OpenWithSteps(feeder, model, package_, 1));
    ASSERT_EQ(feeder.WriteSurfaceForceLoads(1, 4), kRC_Success);
    const Lines lines = feeder.CloseDeckLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
              (Lines{".CLM SFX FACE NOM \"Force on face\"", "  I 1 1 V 5000000. NC 1",
                     ".CLM SFZ FACE NOM \"Force on face\"", "  I 1 1 V -2000000. NC 1"}));
}

// In a two-dimensional model a line load still writes three values; z, not imposed there, is 0.
TEST_F(LoadFailuresTest, TwoDimensionalLineLoadWritesZeroForZ) {
    LoadFeeder feeder;
    ModelCase model("loads-line");
    model.MutableCase().is2D = true;
    ASSERT_NO_FATAL_FAILURE(OpenWithSteps(feeder, model, package_, 1));
    ASSERT_EQ(feeder.WriteLineLoads(1), kRC_Success);
    EXPECT_EQ(feeder.CloseDeckLines(), (Lines{".CLM CHA NOE NOM \"Line Load\"", "  I 1 V 3. 0. 0. NC 1.",
                                              "  I 2 V 6. 0. 0. NC 1.", "  I 3 V 3. 0. 0. NC 1."}));
}
