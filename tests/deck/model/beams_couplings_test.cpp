// Beam connections and coupling conditions, written for their example cases by a feeder loaded
// and opened as the analysis feeders do, against reviewed golden sections; and the refusals,
// each with its code and a message naming the object.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "caerep/core/cae_rep.h"
#include "caerep/units/units.h"
#include "caerep/units/units_adaptor.h"
#include "deck/deck_counters.h"
#include "runtime/return_package.h"
#include "tests/deck/feeder/feeder_test_support.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

// The radius is read through the unit tables, which an installation provides; here they come
// from the project's own files.
void LoadUnitTables() {
    const std::filesystem::path folder = std::filesystem::path(DORVIX_SOURCE_DIR) / "data" / "units";
    NCAERep::CUnits* units = NCAERep::CUnits::getInstance();
    if (!units->isLoaded()) {
        ASSERT_TRUE(units->loadDefinitions(folder));
    }
    NCAERep::CCAEUnitsJXAdaptor* adaptor = NCAERep::CCAEUnitsJXAdaptor::getInstance();
    if (!adaptor->isLoaded()) {
        ASSERT_TRUE(adaptor->load(folder / "JXAdaptorUnits.xml"));
    }
}

void ExpectGolden(const std::string& caseName, const std::string& section, const Lines& lines) {
    golden::ExpectLines(decktest::CaseFolder(caseName) / ("expected-" + section + ".txt"), lines);
}

class OpenedCase {
  public:
    explicit OpenedCase(const std::string& name, int kind = 1,
                        const std::function<void(HostSimCase&)>& change = nullptr)
        : host_(name), feeder(kind) {
        LoadUnitTables();
        if (change) change(host_.MutableCase());
        feeder.UseSolveArguments(&host_.DataSource(), &package);
        code = feeder.LoadCAERepresentation(host_.ModelPath(), L"");
        if (code == kRC_Success) code = feeder.Open();
    }
    // The model object of that id, to change one of its properties.
    NCAERep::CCAERepBase& Object(int id) {
        for (NCAERep::CCAERepBase* child : feeder.GetInputRoot()->getChildren())
            if (child->getId() == id) return *child;
        throw std::runtime_error("no object " + std::to_string(id));
    }
    // The texts of the error messages posted so far.
    std::vector<std::wstring> Errors() const {
        std::vector<std::wstring> texts;
        if (!feeder.GetOutputRoot()) return texts;
        for (NCAERep::CCAERepBase* m : feeder.GetOutputRoot()->getChildrenByType(L"Message")) {
            std::wstring text;
            m->getProperty(L"Text").getValue(text);
            texts.push_back(text);
        }
        return texts;
    }

  private:
    decktest::ScratchFolder scratch_;
    ModelCase host_;

  public:
    ReturnPackage package;
    FeederUnderTest feeder;
    int code = 0;
};

bool HasLineStarting(const Lines& lines, const std::string& start) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

NCAERep::CPropertyValue Text(const wchar_t* text) {
    NCAERep::CPropertyValue value;
    value.setValue(text);
    return value;
}

}  // namespace

// A grounded beam (radius in metres) and a linked one (radius in millimetres) in a millimetre
// deck: one profile per object, the clamp of the first node, the beam's own snippets only.
TEST(BeamConnections, WrittenInTheirReviewedForm) {
    OpenedCase c("beam-connection");
    ASSERT_EQ(c.code, kRC_Success);
    EXPECT_EQ(c.feeder.WriteBeamConnections(), kRC_Success);
    int element = 0, kind = -1;
    ASSERT_EQ(c.package.GetLookup(21, element, kind), S_OK);
    EXPECT_EQ(element, 11);
    EXPECT_EQ(kind, 0);
    EXPECT_FALSE(c.feeder.WasMessagePosted());
    ExpectGolden("beam-connection", "beams", c.feeder.CloseDeckLines());
}

TEST(BeamConnections, TwoDimensionalClampHoldsThePlaneComponents) {
    OpenedCase c("beam-connection", 1, [](HostSimCase& h) { h.is2D = true; });
    ASSERT_EQ(c.code, kRC_Success);
    ASSERT_EQ(c.feeder.WriteBeamConnections(), kRC_Success);
    EXPECT_TRUE(HasLineStarting(c.feeder.CloseDeckLines(), "  FIX NOE I 1 C 1 2 6"));
}

// Each refusal stops after the beam's banner, names the beam and writes no number of it.
TEST(BeamConnections, RefusalsEndWithTheirCodeAndANamedMessage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* what;
        std::function<void(OpenedCase&)> change;
        int code;
    };
    const auto radius = [](double r) {
        return [r](OpenedCase& c) {
            NCAERep::CPropertyValue value;
            value.setValue(r, L"Length", L"m");
            c.Object(20).setProperty(L"Radius", value);
        };
    };
    const Row rows[] = {
        {"zero radius", radius(0.0), kRC_MissingData},
        {"negative radius", radius(-0.002), kRC_MissingData},
        {"NaN radius", radius(nan), kRC_MissingData},
        {"infinite radius", radius(inf), kRC_MissingData},
        {"unknown material",
         [](OpenedCase& c) { c.Object(20).setProperty(L"MaterialName", Text(L"Unobtainium")); },
         kRC_MaterialData},
        {"no library",
         [](OpenedCase& c) {
             c.feeder.GetInputRoot()->removeChildrenIf(
                 [](NCAERep::CCAERepBase* o) { return o->getType() == L"MaterialLibraryRep"; });
         },
         kRC_MaterialData},
        {"three-node element",
         [](OpenedCase& c) {
             NCAERep::CPropertyValue value;
             value.setValue(303u);
             c.Object(20).setProperty(L"MeshReferenceId", value);
         },
         kRC_HostMeshRefused},
    };
    for (const Row& row : rows) {
        OpenedCase c("beam-connection");
        ASSERT_EQ(c.code, kRC_Success);
        row.change(c);
        EXPECT_EQ(c.feeder.WriteBeamConnections(), row.code) << row.what;
        const std::vector<std::wstring> errors = c.Errors();
        ASSERT_EQ(errors.size(), 1u) << row.what;
        EXPECT_NE(errors[0].find(L"\"Ground beam\" (object 20)"), std::wstring::npos) << row.what;
        EXPECT_EQ(c.feeder.CloseDeckLines(),
                  Lines{"!~~~~~~~~~~ Create Beam Connection \"Ground beam\" ~~~~~~~~~~"})
            << row.what;
    }
}

// Three nodes tied in the global frame, then groups for two local frames numbered on from the
// groups before them, the first named after its id because its caption is no deck name, and
// nothing for a frame the deck did not number.
TEST(CouplingConditions, WrittenInTheirReviewedForm) {
    OpenedCase c("coupling-condition");
    ASSERT_EQ(c.code, kRC_Success);
    GetDeckCounters().selectionGroup = 4;
    EXPECT_EQ(c.feeder.WriteCouplingConditions(), kRC_Success);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 6);
    int first = 0, kind = -1;
    ASSERT_EQ(c.package.GetLookup(32, first, kind), S_OK);
    EXPECT_EQ(first, 32);
    EXPECT_EQ(kind, 4);
    ExpectGolden("coupling-condition", "couplings", c.feeder.CloseDeckLines());
}

TEST(CouplingConditions, ThermalAnalysisWritesNoFrames) {
    OpenedCase c("coupling-condition", 4);
    ASSERT_EQ(c.code, kRC_Success);
    c.Object(31).setProperty(L"RefCoordSysId", [] {
        NCAERep::CPropertyValue missing;
        missing.setValue(99u);
        return missing;
    }());
    ASSERT_EQ(c.feeder.WriteCouplingConditions(), kRC_Success);
    const Lines lines = c.feeder.CloseDeckLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), ".LIA"), 4);
    EXPECT_FALSE(HasLineStarting(lines, ".AXL"));
    EXPECT_FALSE(HasLineStarting(lines, ".SEL"));
}

TEST(CouplingConditions, RefusalsEndWithTheirCodeAndANamedMessage) {
    struct Row {
        const char* what;
        std::function<void(HostSimCase&)> host;
        std::function<void(OpenedCase&)> model;
        int code;
        std::size_t lines;  // written before the refusal
    };
    const Row rows[] = {
        {"one node", [](HostSimCase& h) { h.objectTable->records[0].scoping.references.resize(1); }, nullptr,
         kRC_CouplingTooFewNodes, 1},
        {"no host record",
         [](HostSimCase& h) { h.objectTable->records.erase(h.objectTable->records.begin()); }, nullptr,
         kRC_CouplingTooFewNodes, 1},
        {"lookup taken", nullptr, [](OpenedCase& c) { (void)c.package.SetLookup(30, 7, 0); }, kRC_MissingData,
         1},
        {"unknown component", nullptr,
         [](OpenedCase& c) { c.Object(30).setProperty(L"DOFSelection", Text(L"DOFPressure")); },
         kRC_MissingData, 1},
        {"unknown frame", nullptr,
         [](OpenedCase& c) {
             NCAERep::CPropertyValue value;
             value.setValue(99u);
             c.Object(30).setProperty(L"RefCoordSysId", value);
         },
         kRC_MissingData, 4},
    };
    for (const Row& row : rows) {
        OpenedCase c("coupling-condition", 1, row.host);
        ASSERT_EQ(c.code, kRC_Success) << row.what;
        if (row.model) row.model(c);
        EXPECT_EQ(c.feeder.WriteCouplingConditions(), row.code) << row.what;
        const std::vector<std::wstring> errors = c.Errors();
        ASSERT_EQ(errors.size(), 1u) << row.what;
        EXPECT_NE(errors[0].find(L"\"Couple X\" (object 30)"), std::wstring::npos) << row.what;
        EXPECT_EQ(c.feeder.CloseDeckLines().size(), row.lines) << row.what;
    }
}
