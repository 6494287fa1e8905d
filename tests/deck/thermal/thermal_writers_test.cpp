// The thermal load writers and contacts on the "thermal-*" cases, written as the thermal deck
// writes them (functions over two steps ending at 1 and 2); the reviewed sections sit beside
// each case as expected-section.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

#include "../feeder/feeder_test_support.h"
#include "deck/deck_counters.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "hostsim/mesh_json.h"
#include "platform/environment.h"
#include "platform/text.h"
#include "runtime/return_package.h"
#include "settings/step_controls.h"
#include "tests/golden_file.h"

using feedertest::ModelCase;

namespace {

class ThermalUnderTest : public ThermalDorvixFeeder {
  public:
    void Use(TRVDataSourceItf* source, ReturnPackage* package) { SetSolveArguments(source, package); }
    void UseTwoSteps() {
        std::unique_ptr<DorvixSolutionSettings> settings =
            CreateDorvixSolutionSettings(kStaticAnalysis, kThermalPhysics);
        ASSERT_TRUE(settings);
        if (auto* list = settings->GetControlsAs<DorvixStepControlsList>(kStepListTag)) {
            ASSERT_EQ(list->SetNumberOfSteps(2), kSettingsDone);
        }
        AdoptSettings(std::move(settings));
        SetNumberOfSteps(2);
        for (int s = 1; s <= 2; ++s)
            GetSettings()->GetStepControlsAs<DorvixStepControls>(s, kStepSelector)->StoreEndTime(s);
    }
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name == "XENRADir") {
            text = platform::CurrentFolder().string();
            return true;
        }
        return DorvixFeeder::ReadNamedOption(name, text);
    }
};

class ThermalWritersTest : public ::testing::Test {
  protected:
    // With the model section written first, the loads find the element groups of the bodies
    // and number their groups after them, as in a whole deck.
    void Open(const std::string& name, bool withModel = false,
              const std::function<void(HostSimCase&)>& change = nullptr) {
        model_ = std::make_unique<ModelCase>(name);
        if (change) change(model_->MutableCase());
        feeder_.Use(&model_->DataSource(), &package_);
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_->ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
        ASSERT_NO_FATAL_FAILURE(feeder_.UseTwoSteps());
        if (withModel) {
            ASSERT_EQ(feeder_.SendModel(), kRC_Success);
        }
        feeder_.GetDeckFile()->WriteLine(kSectionMark);
    }
    // The lines written after Open (and the model section, when asked).
    std::string Section() {
        const std::filesystem::path path = feeder_.GetDeckFile()->GetWorkingFolder() / "dorvix.dat";
        EXPECT_TRUE(feeder_.GetDeckFile()->CloseDeck());
        std::vector<std::string> lines = decktest::ReadLines(path);
        const auto mark = std::find(lines.begin(), lines.end(), kSectionMark);
        EXPECT_NE(mark, lines.end());
        lines.erase(lines.begin(), mark == lines.end() ? mark : mark + 1);
        return decktest::JoinedLines(lines);
    }
    // The lines of the section that hold `part`.
    std::vector<std::string> SectionLinesWith(const std::string& part) {
        std::istringstream text(Section());
        std::vector<std::string> found;
        for (std::string line; std::getline(text, line);)
            if (line.find(part) != std::string::npos) found.push_back(line);
        return found;
    }
    static constexpr const char* kSectionMark = "! ---- section under test ----";

    // No registry: the bonded regions take the built-in option text.
    platform::ScopedEnvironmentVariable registry_{"DORVIX_REGISTRY", std::nullopt};
    decktest::ScratchFolder scratch_;
    std::unique_ptr<ModelCase> model_;
    ReturnPackage package_;
    ThermalUnderTest feeder_;
};

// The heat flux's group and face keyword in a model of the given dimension and body kind.
struct FluxGroupRow {
    bool twoDimensional;
    int bodyKind;
    std::vector<std::string> lines;
};

// A plane model's unit square: one quadrilateral, whose edges are faces of its own, with the
// edge 102 from node 1 to node 2 on it.
std::unique_ptr<HostSimMesh> PlaneQuadrilateralMesh() {
    return LoadMeshSection(nlohmann::json::parse(R"({
        "nodes": [[1, 0, 0, 0], [2, 1, 0, 0], [3, 1, 1, 0], [4, 0, 1, 0]],
        "elements": [[1, 17, [1, 2, 3, 4]]], "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}]}],
        "geometry": [{"id": 102, "kind": "edge", "body": 10, "edges": [[1, 2]]}]})"),
                           "plane mesh");
}

class HeatFluxGroupTest : public ThermalWritersTest, public ::testing::WithParamInterface<FluxGroupRow> {};

// The option text of the bonded regions, from a registry file, and the ".STI" line it gives.
struct TieOptionRow {
    const char* option;
    const char* line;
};

class TieOptionTest : public ThermalWritersTest, public ::testing::WithParamInterface<TieOptionRow> {};

// A value of the convection 30 or a radiation (40 to ambient, 50 between faces) made not finite:
// a property of the object or of its table child, and the message the refusal posts.
struct NotFiniteRow {
    int object;
    const wchar_t* child;
    const wchar_t* property;
    std::vector<double> values;  // one value for a property of its own
    const wchar_t* message;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void PrintTo(const NotFiniteRow& row, std::ostream* out) {
    *out << "object " << row.object << " " << (row.child ? platform::WideToUtf8(row.child) + "." : "")
         << platform::WideToUtf8(row.property);
}

class NotFiniteExchangeTest : public ThermalWritersTest,
                              public ::testing::WithParamInterface<NotFiniteRow> {};

}  // namespace

TEST_F(ThermalWritersTest, HeatLoadsMatchTheReviewedSection) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-heat-flow", true));
    ASSERT_EQ(feeder_.WriteHeatFluxes(), kRC_Success);
    ASSERT_EQ(feeder_.WriteBodyHeatLoads(), kRC_Success);
    ASSERT_EQ(feeder_.WriteSurfaceHeatFlows(), kRC_Success);
    ASSERT_EQ(feeder_.WriteVertexHeatFlows(), kRC_Success);
    ASSERT_EQ(feeder_.WriteEdgeHeatFlows(), kRC_Success);
    EXPECT_FALSE(feeder_.WasMessagePosted());
    golden::ExpectText(decktest::CaseFolder("thermal-heat-flow") / "expected-section.txt", Section());
}

TEST_F(ThermalWritersTest, ConvectionAndRadiationMatchTheReviewedSection) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-convection-radiation"));
    ASSERT_EQ(feeder_.WriteConvections(), kRC_Success);
    ASSERT_EQ(feeder_.WriteRadiations(), kRC_Success);
    golden::ExpectText(decktest::CaseFolder("thermal-convection-radiation") / "expected-section.txt",
                       Section());
}

// A value of a convection or radiation that is not finite never reaches the deck: the load is
// refused with 39 and named, as the structural loads are.
TEST_P(NotFiniteExchangeTest, IsRefusedWithTheLoadNamed) {
    const NotFiniteRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(Open("thermal-convection-radiation"));
    NCAERep::CCAERepBase* object = feeder_.GetInputRoot()->getDatabase()->getObjectById(row.object);
    ASSERT_TRUE(object);
    if (row.child) object = object->getChild(row.child, L"Table");
    ASSERT_TRUE(object);
    NCAERep::CPropertyValue value;
    if (row.values.size() == 1)
        value.setValue(row.values[0]);
    else
        value.setValue(row.values);
    object->setProperty(row.property, value);
    const int code = row.object == 30 ? feeder_.WriteConvections() : feeder_.WriteRadiations();
    EXPECT_EQ(code, kRC_DataMismatch);
    EXPECT_EQ(feedertest::ErrorTexts(feeder_), std::vector<std::wstring>{row.message});
    const std::string section = Section();
    for (const char* word : {"nan", "NaN", "inf", "Inf"})
        EXPECT_EQ(section.find(word), std::string::npos) << section;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NotFiniteExchangeTest,
    ::testing::Values(
        NotFiniteRow{30,
                     nullptr,
                     L"Magnitude",
                     {kNaN},
                     L"Convection \"Film on top\" (object 30): its ambient temperature is not finite"},
        NotFiniteRow{30,
                     L"Scalar2",
                     L"Values",
                     {5, kInf},
                     L"Convection \"Film on top\" (object 30): its film coefficient is not finite"},
        NotFiniteRow{30,
                     L"Scalar2",
                     L"Temperature",
                     {20, kNaN},
                     L"Convection \"Film on top\" (object 30): its film coefficient is not finite"},
        NotFiniteRow{40,
                     nullptr,
                     L"Emissivity",
                     {kNaN},
                     L"Radiation \"Sky\" (object 40): its emissivity is not finite"},
        NotFiniteRow{40,
                     nullptr,
                     L"Magnitude",
                     {-kInf},
                     L"Radiation \"Sky\" (object 40): its ambient temperature is not finite"},
        NotFiniteRow{50,
                     nullptr,
                     L"Scalar2",
                     {kInf},
                     L"Radiation \"Enclosure\" (object 50): its exchange function is not finite"}));

// A deck in inches from a model in feet: the step blocks carry the radiation constant in inch,
// pound-force and Fahrenheit units, and each heat flow is spread over its face's area or its
// edge's length in the deck's units (1 ft2 = 144 in2, 1 ft = 12 in).
TEST_F(ThermalWritersTest, InchDeckOfAFootModelMatchesTheReviewedLoadCases) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-inch"));
    ASSERT_EQ(feeder_.WriteLoadCases(), kRC_Success);
    EXPECT_FALSE(feeder_.WasMessagePosted());
    golden::ExpectText(decktest::CaseFolder("thermal-inch") / "expected-section.txt", Section());
}

// In a plane model a heat flow on edges is a flux over their length, in the deck's units.
TEST_F(ThermalWritersTest, PlaneHeatFlowIsSpreadOverTheEdgeLengthInDeckUnits) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-inch", false, [](HostSimCase& host) {
        host.is2D = true;
        host.mesh = PlaneQuadrilateralMesh();
    }));
    ASSERT_EQ(feeder_.WriteSurfaceHeatFlows(), kRC_Success);
    EXPECT_EQ(SectionLinesWith("  2. "), std::vector<std::string>{"  2. 2."});
    EXPECT_EQ(SectionLinesWith(".CLT"),
              std::vector<std::string>{".CLT FLUX ARETE GROUP \"surface_for_load_24\" V 1.0 NF 1 TIME"});
}

// A heat flow whose area is not positive cannot become a flux: 25, named in a message.
TEST_F(ThermalWritersTest, HeatFlowWithoutAreaIsRefused) {
    model_ = std::make_unique<ModelCase>("thermal-heat-flow");
    for (HostObjectRecord& record : model_->MutableCase().objectTable->records)
        if (record.id == 22) record.area = 0.0;
    feeder_.Use(&model_->DataSource(), &package_);
    ASSERT_EQ(feeder_.LoadCAERepresentation(model_->ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder_.Open(), kRC_Success);
    ASSERT_NO_FATAL_FAILURE(feeder_.UseTwoSteps());
    EXPECT_EQ(feeder_.WriteSurfaceHeatFlows(), kRC_MissingData);
    EXPECT_TRUE(feeder_.WasMessagePosted());
}

// A body heat load scoped to a face is refused with 39.
TEST_F(ThermalWritersTest, BodyHeatLoadOffBodiesIsRefused) {
    model_ = std::make_unique<ModelCase>("thermal-heat-flow");
    for (HostObjectRecord& record : model_->MutableCase().objectTable->records)
        if (record.id == 25) record.scoping.references = {JXReference{101, 32}};
    feeder_.Use(&model_->DataSource(), &package_);
    ASSERT_EQ(feeder_.LoadCAERepresentation(model_->ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder_.Open(), kRC_Success);
    ASSERT_NO_FATAL_FAILURE(feeder_.UseTwoSteps());
    EXPECT_EQ(feeder_.WriteBodyHeatLoads(), kRC_DataMismatch);
}

// A bonded region (".STI"), a region whose second side is a vertex (banner only) and a thermal
// contact pair with its reference value and conductance.
TEST_F(ThermalWritersTest, ContactsMatchTheReviewedSection) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-contact"));
    ASSERT_EQ(feeder_.WriteContacts(), kRC_Success);
    EXPECT_EQ(GetDeckCounters().thermalContact, 1);
    golden::ExpectText(decktest::CaseFolder("thermal-contact") / "expected-section.txt", Section());
}

// The pair's first side holds an edge that only the hexahedron holds, which is none of its
// faces: the pair is refused after its banner with a message naming it and the edge.
TEST_F(ThermalWritersTest, AContactPairOnAnEdgeOfASolidElementIsRefusedBeforeAnyGroup) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-contact", false, [](HostSimCase& host) {
        host.contacts->regions.at(2).source.references = {JXReference{102, 0x4000}};
    }));
    EXPECT_EQ(feeder_.WriteContacts(), kRC_MissingData);
    const std::vector<std::wstring> errors = feedertest::ErrorTexts(feeder_);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].rfind(L"The contact region \"Gap\" holds the edge 102,", 0), 0u);
    const std::string section = Section();
    EXPECT_EQ(section.substr(section.find("! Contact Region : Gap")),
              "! Contact Region : Gap\n!-----------------------------\n");
}

// Coupling conditions that share a node pass while no load holds temperatures; one such load
// on a coupled node makes the model refuse with 45 and a message naming the node.
TEST_F(ThermalWritersTest, SharedCouplingNodesPassWithoutATemperatureLoad) {
    ASSERT_NO_FATAL_FAILURE(Open("coupling-condition"));
    EXPECT_EQ(feeder_.CheckCouplingConditions(), kRC_Success);
    EXPECT_FALSE(feeder_.WasMessagePosted());
}

TEST_F(ThermalWritersTest, SharedCouplingNodesAreRefusedWithATemperatureLoad) {
    ASSERT_NO_FATAL_FAILURE(Open("coupling-condition", false, [](HostSimCase& host) {
        HostObjectRecord temperature;
        temperature.id = 40;
        temperature.hostType = 3;
        temperature.scoping.references = {JXReference{503, 8}};
        temperature.scoping.parallelIds = {2};
        host.objectTable->records.push_back(temperature);
    }));
    EXPECT_EQ(feeder_.CheckCouplingConditions(), kRC_ThermalCouplingShared);
    EXPECT_TRUE(feeder_.WasMessagePosted());
}

// A shell body of a 3-D model takes the flux on its elements; a two-dimensional model takes it on
// the element edges, whatever the body kind.
TEST_P(HeatFluxGroupTest, FollowsTheModelDimensionAndBodyKind) {
    const FluxGroupRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(Open("thermal-heat-flow", false, [&row](HostSimCase& host) {
        host.is2D = row.twoDimensional;
        host.bodies.at(0).kind = row.bodyKind;
        host.objectTable->records.erase(
            std::remove_if(host.objectTable->records.begin(), host.objectTable->records.end(),
                           [](const HostObjectRecord& record) { return record.id != 21; }),
            host.objectTable->records.end());
        if (row.twoDimensional) {
            host.mesh = PlaneQuadrilateralMesh();
            host.objectTable->records.at(0).scoping.references = {JXReference{102, 0x4000}};
        }
    }));
    ASSERT_EQ(feeder_.WriteHeatFluxes(), kRC_Success);
    EXPECT_EQ(SectionLinesWith("_for_load_21"), row.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeatFluxGroupTest,
    ::testing::Values(FluxGroupRow{false,
                                   1,
                                   {".SEL GROUP 1 MAILLES NOM \"elements_for_load_21\"",
                                    ".CLT FLUX FACE 2 GROUP \"elements_for_load_21\" V 1.0 NF 1 TIME"}},
                      FluxGroupRow{true,
                                   0,
                                   {".SEL GROUP 1 FACES NOM \"surface_for_load_21\"",
                                    ".CLT FLUX ARETE GROUP \"surface_for_load_21\" V 1.0 NF 1 TIME"}},
                      FluxGroupRow{true,
                                   1,
                                   {".SEL GROUP 1 FACES NOM \"surface_for_load_21\"",
                                    ".CLT FLUX ARETE GROUP \"surface_for_load_21\" V 1.0 NF 1 TIME"}}));

// The pair group's name has two digits up to the 99th thermal contact and four from the 100th.
TEST_F(ThermalWritersTest, PairGroupNameWidensAtTheHundredthContact) {
    ASSERT_NO_FATAL_FAILURE(Open("thermal-contact", false, [](HostSimCase& host) {
        const ContactRegionRecord gap = host.contacts->regions.back();
        host.contacts->regions = {gap, gap};
    }));
    GetDeckCounters().thermalContact = 98;
    ASSERT_EQ(feeder_.WriteContacts(), kRC_Success);
    EXPECT_EQ(SectionLinesWith(".CLT GROUP"),
              (std::vector<std::string>{".CLT GROUP \"PRITT_99\" COI V  1500.5",
                                        ".CLT GROUP \"PRITT_0100\" COI V  1500.5"}));
}

// An option text shorter than two characters is left out; the line keeps its closing blank.
TEST_P(TieOptionTest, ShortTextIsLeftOut) {
    const std::filesystem::path registry = scratch_.Path() / "registry.txt";
    std::ofstream(registry) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\"
                               "DorvixAddin\\Contacts Default Options]\n"
                            << "\"STI\"=\"" << GetParam().option << "\"\n";
    platform::ScopedEnvironmentVariable use("DORVIX_REGISTRY", registry.string());
    ASSERT_NO_FATAL_FAILURE(Open("thermal-contact"));
    ASSERT_EQ(feeder_.WriteContacts(), kRC_Success);
    EXPECT_EQ(SectionLinesWith(".STI"), std::vector<std::string>{GetParam().line});
}

INSTANTIATE_TEST_SUITE_P(Rows, TieOptionTest,
                         ::testing::Values(TieOptionRow{"", ".STI I 1 GROUP 1 2 "},
                                           TieOptionRow{"X", ".STI I 1 GROUP 1 2 "},
                                           TieOptionRow{"PROJ 1", ".STI I 1 GROUP 1 2 PROJ 1"}));
