// Loading the model into a feeder: imported loads, cancelling, refused models, the solver object's settings.
#include <gtest/gtest.h>

#include <filesystem>

#include "../deck_test_support.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/bc_reps.h"
#include "caerep/model/geometry_reps.h"
#include "feeder_test_support.h"
#include "foundation/text.h"
#include "hostsim/mesh_object.h"
#include "platform/text.h"
#include "runtime/progress.h"
#include "settings/step_controls.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using feedertest::PostedMessages;

namespace {

// Answers "cancel" at the n-th report (counted from 1) and "go on" at every other.
class CancelAtReport : public IProgressCallback {
  public:
    explicit CancelAtReport(int n) : n_(n) {}
    int OnProgress(int, int percent, int) override {
        percents.push_back(percent);
        return static_cast<int>(percents.size()) == n_ ? 0 : 1;
    }
    std::vector<int> percents;

  private:
    int n_;
};

// Records the imported loads the load asks the host to fill.
class ImportRecorder : public NCAERep::IHostModelProvider {
  public:
    HRESULT getMesh(const NCAERep::CMeshRep&, ComPtr<IUnknown>&) override { return E_FAIL; }
    HRESULT getGeometry(const NCAERep::CGeometryRep&, ComPtr<IUnknown>&) override { return E_FAIL; }
    HRESULT findMaterial(const NCAERep::CMaterialLibraryRep&, const std::wstring&,
                         ComPtr<IUnknown>&) override {
        return S_FALSE;
    }
    int readMaterialProperty(IUnknown*, const NCAERep::MaterialPropertyRequest&,
                             NCAERep::MaterialPropertyTable&) override {
        return -1;
    }
    bool materialHasModel(IUnknown*, const std::wstring&) override { return false; }
    int importLoadData(NCAERep::NBC::CExternalLoadRep& load, int solverUnits) override {
        imports.emplace_back(load.getId(), solverUnits);
        return 0;
    }
    std::vector<std::pair<int, int>> imports;
};

double EndTimeOfStep(const FeederUnderTest& feeder, int step) {
    double end = -1.0;
    EXPECT_EQ(feeder.GetStepEndTime(step, end), kRC_Success) << "step " << step;
    return end;
}

}  // namespace

TEST(ModelLoad, LoadsTheModelAndHandsTheResolverItsRoot) {
    ModelCase model("model-parameters");
    FeederUnderTest feeder;
    // What an earlier solve collected must not be reported as this one's.
    NCAERep::RaiseOrCollect(NCAERep::CCAEException(L"left over", L"earlier solve"), 1);
    ASSERT_EQ(NCAERep::GetCollectedCAEExceptionCount(), 1u);
    CancelAtReport progress(0);
    ScopedProgressCallback scoped(&progress);

    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L"unused-output.xml"), kRC_Success);
    EXPECT_EQ(NCAERep::GetCollectedCAEExceptionCount(), 0u);
    EXPECT_EQ(progress.percents, (std::vector<int>{10, 100}));
    std::vector<NCAERep::CCAERepBase*> solvers;
    feeder.GetInputRoot()->getDescendantsByType(L"SolverRep", solvers);
    EXPECT_EQ(solvers.size(), 1u);

    // The output representation gains its post-processing object and nothing is read into it.
    const auto posts = feeder.GetOutputRoot()->getChildrenByType(L"PostRep");
    ASSERT_EQ(posts.size(), 1u);

    ISelectionResolver* resolver = feeder.GetSelectionResolver();
    ASSERT_NE(resolver, nullptr);
    ResolvedSelection selection;
    ASSERT_EQ(resolver->Resolve(L"Fixed Support 1", selection), S_OK);
    ASSERT_EQ(selection.entities.size(), 2u);
    EXPECT_EQ(selection.entities[0].reference, (JXReference{101, 32}));
    EXPECT_EQ(selection.entities[1].id, 7u);
    EXPECT_EQ(selection.entities[1].bodyId, 7);
    EXPECT_EQ(selection.nodes, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(resolver->Resolve(L"fixed support 1", selection), S_FALSE);
    EXPECT_TRUE(selection.entities.empty());
    EXPECT_TRUE(selection.nodes.empty());
}

TEST(ModelLoad, ImportsExternalLoadsInTheSolverUnits) {
    ModelCase model("model-parameters");
    FeederUnderTest feeder;
    auto recorder = std::make_shared<ImportRecorder>();
    feeder.UseHostProvider(recorder);
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    EXPECT_EQ(recorder->imports, (std::vector<std::pair<int, int>>{{7, 6}}));
}

TEST(ModelLoad, CancelAtEitherReportStops) {
    ModelCase model("model-parameters");
    {
        FeederUnderTest feeder;
        CancelAtReport progress(1);
        ScopedProgressCallback scoped(&progress);
        EXPECT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Cancelled);
        EXPECT_TRUE(feeder.GetInputRoot()->getChildrenByType(L"SolverRep").empty());
        EXPECT_EQ(feeder.GetSelectionResolver(), nullptr);
    }
    {
        FeederUnderTest feeder;
        CancelAtReport progress(2);
        ScopedProgressCallback scoped(&progress);
        EXPECT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Cancelled);
        EXPECT_EQ(progress.percents, (std::vector<int>{10, 100}));
        EXPECT_EQ(feeder.GetSelectionResolver(), nullptr);
        EXPECT_TRUE(feeder.GetOutputRoot()->getChildrenByType(L"PostRep").empty());
    }
}

TEST(ModelLoad, ModelsThatCannotBeLoadedGive44) {
    ModelCase model("model-parameters");
    for (const char* name : {"model-malformed", "model-no-solver"}) {
        FeederUnderTest feeder;
        EXPECT_EQ(feeder.LoadCAERepresentation(
                      platform::WideFromPath(feedertest::CaseFolder(name) / "CAERep.xml"), L""),
                  kRC_ModelLoadFailed)
            << name;
    }
    FeederUnderTest missing;
    EXPECT_EQ(missing.LoadCAERepresentation(
                  platform::WideFromPath(feedertest::CaseFolder("model-none") / "CAERep.xml"), L""),
              44);
    FeederUnderTest unnamed;
    EXPECT_EQ(unnamed.LoadCAERepresentation(BSTR{nullptr}, BSTR{nullptr}), kRC_ModelLoadFailed);
}

// A solver-units property of another type makes the representation throw: the load answers
// its code and the reason reaches the host.
TEST(ModelLoad, AModelTheRepresentationRefusesGives44WithTheReason) {
    decktest::ScratchFolder scratch;
    ModelCase model("model-parameters");
    std::string text = decktest::ReadText(model.Case().caeRepPath);
    const std::string units = "<SolverUnits CAEType=\"property\" ValueType=\"int\">";
    const std::size_t at = text.find(units);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, units.size(), "<SolverUnits CAEType=\"property\" ValueType=\"string\">");
    decktest::WriteText(scratch.Path() / "CAERep.xml", text);
    FeederUnderTest feeder;
    EXPECT_EQ(feeder.LoadCAERepresentation(platform::WideFromPath(scratch.Path() / "CAERep.xml"), L""),
              kRC_ModelLoadFailed);
    const std::vector<std::wstring> messages = PostedMessages(feeder);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.front().rfind(L"Error: Loading the model failed: ", 0), 0u)
        << platform::WideToUtf8(messages.front());
}

TEST(ModelLoad, WithoutAHostResolverTheLoadFails) {
    ModelCase model("model-parameters", /*withResolver=*/false);
    FeederUnderTest feeder;
    EXPECT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_ModelLoadFailed);
    EXPECT_EQ(feeder.GetSelectionResolver(), nullptr);
}

TEST(ModelLoad, TheOutputFileIsNeitherReadNorReplacedWithoutAMessage) {
    decktest::ScratchFolder scratch;
    const std::filesystem::path output = scratch.Path() / "CAERepOutput.xml";
    decktest::WriteText(output, "not a representation <");
    ModelCase model("model-parameters");
    {
        FeederUnderTest feeder;
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), platform::WideFromPath(output)),
                  kRC_Success);
    }
    EXPECT_EQ(decktest::ReadText(output), "not a representation <");
    {
        FeederUnderTest feeder;
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), platform::WideFromPath(output)),
                  kRC_Success);
        feeder.PostHostMessage(L"Error(s) found in solve generated files", L"Error");
    }
    const std::string saved = decktest::ReadText(output);
    EXPECT_NE(saved.find("PostRep"), std::string::npos);
    EXPECT_NE(saved.find("Error(s) found in solve generated files"), std::string::npos);
}

TEST(ModelLoad, TheFirstOfTwoSolverObjectsIsTheModels) {
    ModelCase model("model-two-solvers");
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder.ReadSolverRep(), kRC_Success);
    EXPECT_EQ(feeder.GetSettings()->GetAnalysisType(), kStaticAnalysis);
    EXPECT_EQ(feeder.GetSettings()->GetNumberOfSteps(), 3);
    double value = 0.0;
    EXPECT_EQ(feeder.ReadAnalysisParameters(L"rcdg", value), kRC_Success);
    EXPECT_EQ(value, 0.25);
}

TEST(ReadSolverRep, RebuildsTheSettingsOfTheModel) {
    ModelCase model("model-parameters");
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder.ReadSolverRep(), kRC_Success);
    ASSERT_NE(feeder.GetSettings(), nullptr);
    EXPECT_EQ(feeder.GetSettings()->GetAnalysisType(), kStaticAnalysis);
    EXPECT_EQ(feeder.GetSettings()->GetPhysicsType(), kMechanicalPhysics);
    feeder.TakeStepCountFromSettings();
    EXPECT_EQ(feeder.GetNumberOfSteps(), 3);
    EXPECT_EQ(EndTimeOfStep(feeder, 1), 1.0);
    EXPECT_EQ(EndTimeOfStep(feeder, 2), 2.0);
    EXPECT_EQ(EndTimeOfStep(feeder, 3), 3.5);
    EXPECT_EQ(feeder.GetSettingsReadProblem(), L"");
    EXPECT_FALSE(feeder.WasMessagePosted());
}

TEST(ReadSolverRep, AnEmptySettingsElementKeepsTheDefaults) {
    ModelCase model("model-empty-settings");
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder.ReadSolverRep(), kRC_Success);
    EXPECT_EQ(feeder.GetSettings()->GetAnalysisType(), kTransientAnalysis);
    EXPECT_TRUE(feeder.IsTransientAnalysis());
    EXPECT_EQ(feeder.GetSettings()->GetNumberOfSteps(), 1);
}

TEST(ReadSolverRep, SettingsThatCannotBeBuiltGive36) {
    ModelCase model("model-harmonic");
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    EXPECT_EQ(feeder.ReadSolverRep(), kRC_MissingStepValue);
    EXPECT_EQ(feeder.GetSettings(), nullptr);
    FeederUnderTest empty;
    EXPECT_EQ(empty.ReadSolverRep(), kRC_MissingStepValue);
}

// The result of reading the settings does not decide the load: the settings keep what could
// be read (here nothing, so the defaults), and the reason is kept and shown as a warning.
TEST(ReadSolverRep, SettingsThatCannotBeReadKeepTheirDefaultsAndTheReason) {
    const struct {
        const char* model;
        const wchar_t* problem;
    } cases[] = {
        {"model-bad-settings", L"StepControls[2]/EndTime: not a number"},
        {"model-missing-step-value", L"StepControls[2]/EndTime: missing"},
    };
    for (const auto& c : cases) {
        ModelCase model(c.model);
        FeederUnderTest feeder;
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success) << c.model;
        ASSERT_EQ(feeder.ReadSolverRep(), kRC_Success) << c.model;
        ASSERT_NE(feeder.GetSettings(), nullptr) << c.model;
        EXPECT_EQ(feeder.GetSettings()->GetNumberOfSteps(), 1) << c.model;
        EXPECT_EQ(feeder.GetSettingsReadProblem(), c.problem) << c.model;
        EXPECT_EQ(PostedMessages(feeder),
                  std::vector<std::wstring>{
                      std::wstring(L"Warning: Analysis settings not read in full, defaults kept there: ") +
                      c.problem})
            << c.model;
    }
}

TEST(ReadSolverRep, ASolverObjectWithoutSettingsElementGives36WithAMessage) {
    FeederUnderTest feeder;
    NCAERep::CCAERep* root = feeder.GetInputRoot();
    root->addObject(root->getDatabase()->createNew(NCAERep::CIdentity(L"SolverRep", -1)));
    NCAERep::CCAERepBase* solver = root->getChildrenByType(L"SolverRep").front();
    for (const auto& [name, text] :
         {std::pair{L"AnalysisType", L"Static"}, std::pair{L"PhysicsType", L"Mechanical"}}) {
        NCAERep::CPropertyValue value;
        value.setValue(text);
        solver->setProperty(name, value);
    }
    EXPECT_EQ(feeder.ReadSolverRep(), kRC_MissingStepValue);
    EXPECT_EQ(feeder.GetSettings(), nullptr);
    EXPECT_EQ(PostedMessages(feeder),
              std::vector<std::wstring>{L"Error: The model holds no analysis settings"});
    double value = 0.0;
    EXPECT_EQ(feeder.ReadAnalysisParameters(L"rcdg", value), kRC_MissingStepValue);
}

TEST(ReadAnalysisParameters, FindsParametersByPartOfTheirNameInEitherForm) {
    ModelCase model("model-parameters");
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    struct Lookup {
        const wchar_t* name;
        double value;
    };
    // "rcdg" is inside "Solver.RCDG.Tolerance" (first in the document) and "rcdg second".
    for (const Lookup& l : {Lookup{L"rcdg", 0.25}, Lookup{L"RcDg SECOND", 0.75}, Lookup{L"expansion", 0.0},
                            Lookup{L"attribute form", 4.5}, Lookup{L"without value", -0.002},
                            Lookup{L"dilatation été αβγ", 7.5}}) {
        double value = 99.0;
        EXPECT_EQ(feeder.ReadAnalysisParameters(l.name, value), kRC_Success) << platform::WideToUtf8(l.name);
        EXPECT_EQ(value, l.value) << platform::WideToUtf8(l.name);
    }
    double untouched = 99.0;
    EXPECT_EQ(feeder.ReadAnalysisParameters(L"rcdgx", untouched), kRC_MissingStepValue);
    EXPECT_EQ(untouched, 99.0);
}

TEST(ReadAnalysisParameters, ModelsWithoutParametersGive36) {
    double value = 0.0;
    FeederUnderTest unloaded;
    EXPECT_EQ(unloaded.ReadAnalysisParameters(L"rcdg", value), kRC_MissingStepValue);
    for (const char* name : {"model-empty-settings", "model-bad-settings"}) {
        ModelCase model(name);
        FeederUnderTest feeder;
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
        EXPECT_EQ(feeder.ReadAnalysisParameters(L"rcdg", value), kRC_MissingStepValue) << name;
    }
}

TEST(GetMeshRep, TakesTheMeshOfTheFirstMeshObject) {
    FeederUnderTest feeder;
    EXPECT_EQ(feeder.GetMeshRep(), kRC_MissingData);

    NCAERep::CCAERep* root = feeder.GetInputRoot();
    NCAERep::CCAEDatabase* db = root->getDatabase();
    auto* first = dynamic_cast<NCAERep::CMeshRep*>(db->createNew(NCAERep::CIdentity(L"MeshRep", -1)));
    auto* second = dynamic_cast<NCAERep::CMeshRep*>(db->createNew(NCAERep::CIdentity(L"MeshRep", -1)));
    ASSERT_TRUE(first && second);
    root->addObject(first);
    root->addObject(second);
    auto mesh = std::make_shared<HostSimMesh>();
    mesh->AddNode(1, 0, 0, 0);
    ComPtr<IHostMesh> meshObject = CreateHostSimMeshObject(mesh);
    second->setMesh(meshObject);
    // The first mesh object has no host mesh: the second is not tried.
    EXPECT_EQ(feeder.GetMeshRep(), kRC_MissingData);
    EXPECT_EQ(feeder.GetHostMesh(), nullptr);
    first->setMesh(meshObject);
    EXPECT_EQ(feeder.GetMeshRep(), kRC_Success);
    EXPECT_EQ(feeder.GetHostMesh(), meshObject.Get());
}

TEST(FeederLifecycle, AFeederLeftMidSolveClosesItsDeckAndReleasesTheHostObjects) {
    decktest::ScratchFolder scratch;
    ModelCase model("model-parameters");
    ComPtr<ISelectionResolver> resolver;
    {
        FeederUnderTest feeder;
        feeder.UseDataSource(&model.DataSource());
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder.ReadSolverRep(), kRC_Success);
        ASSERT_EQ(feeder.SetUpBodies(), kRC_Success);
        feeder.OpenDeck();
        feeder.WriteObjectSnippets(2);
        resolver = ComPtr<ISelectionResolver>(feeder.GetSelectionResolver());
        ASSERT_TRUE(resolver);
    }  // left as an exception would leave it: no close step ran
    // The deck was flushed and closed, and only this test still holds the resolver.
    const std::vector<std::string> lines = decktest::ReadLines(scratch.Path() / "dorvix.dat");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "! ****** End   Command Snippet ******");
    resolver->AddRef();
    EXPECT_EQ(resolver->Release(), 1u);
}

TEST(ReadSolverRep, SettingsOfAnotherAnalysisKeepTheDefaultsWithAWarning) {
    decktest::ScratchFolder scratch;
    ModelCase model("model-empty-settings");
    // The transient model carries the settings a static analysis wrote.
    std::string text = decktest::ReadText(model.Case().caeRepPath);
    const std::size_t at = text.find("<Parameters />");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 0, "<DorvixStaticMechanicalSettings version=\"1\" />");
    const std::filesystem::path path = scratch.Path() / "CAERep.xml";
    decktest::WriteText(path, text);
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(platform::WideFromPath(path), L""), kRC_Success);
    EXPECT_EQ(feeder.ReadSolverRep(), kRC_Success);
    ASSERT_NE(feeder.GetSettings(), nullptr);
    EXPECT_EQ(feeder.GetSettings()->GetAnalysisType(), kTransientAnalysis);
    EXPECT_EQ(feeder.GetSettingsReadProblem(), L"DorvixTransientMechanicalSettings: missing");
    EXPECT_EQ(PostedMessages(feeder).size(), 1u);
}
