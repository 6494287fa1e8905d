// Contact regions and constraint equations written for the example cases by a feeder loaded
// and opened as the analysis feeders do, against reviewed golden sections, and the writers'
// failure codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

#include "deck/deck_counters.h"
#include "hostsim/mesh_model.h"
#include "hostsim/object_model.h"
#include "platform/environment.h"
#include "runtime/addin_services.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
#include "tests/deck/feeder/feeder_test_support.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

void ExpectGolden(const std::string& caseName, const Lines& lines) {
    golden::ExpectLines(decktest::CaseFolder(caseName) / "expected-contacts.txt", lines);
}

// A case loaded and opened, its object model reachable through the add-in services, and the
// registry file the case holds (else none) in force.
class OpenedCase {
  public:
    explicit OpenedCase(const std::string& name, const std::function<void(HostSimCase&)>& change = nullptr,
                        int kind = 1)
        : registry_("DORVIX_REGISTRY", RegistryOf(name)), host_(name), feeder(kind) {
        if (change) change(host_.MutableCase());
        (void)AddinServices::GetInstance().SetApplet(CreateHostSimApplet(host_.Objects()).Get());
        feeder.UseSolveArguments(&host_.DataSource(), &package);
        code = feeder.LoadCAERepresentation(host_.ModelPath(), L"");
        if (code == kRC_Success) code = feeder.Open();
    }
    ~OpenedCase() { AddinServices::ReleaseInstance(); }

  private:
    static std::optional<std::string> RegistryOf(const std::string& name) {
        const std::filesystem::path file = decktest::CaseFolder(name) / "registry.txt";
        return platform::FileExists(file) ? std::optional<std::string>(file.string()) : std::nullopt;
    }
    platform::ScopedEnvironmentVariable registry_;
    decktest::ScratchFolder scratch_;
    ModelCase host_;

  public:
    ReturnPackage package;
    FeederUnderTest feeder;
    int code = 0;
};

Lines Matching(const Lines& lines, const std::string& prefix) {
    Lines out;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
                 [&prefix](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    return out;
}

}  // namespace

TEST(Contacts, SectionsOfTheExampleCasesInTheirReviewedForm) {
    struct Row {
        const char* name;
        int nonLinear;
    };
    // bonded: a tie; frictional: contact elements, the second with a stop child and a repeated
    // source entity; registry: option texts of the case's registry file (one empty);
    // snippet: a command followed by its snippet, and an empty command; equations: a
    // two-dimensional model whose averaging and weighting equations come before the contact
    // listed first; equations-3d: an averaging equation along Z between six and four nodes of
    // a solid model, in the global frame.
    const Row rows[] = {{"contacts-bonded", 0},  {"contacts-frictional", 1}, {"contacts-registry", 0},
                        {"contacts-snippet", 0}, {"contacts-equations", 0},  {"contacts-equations-3d", 0}};
    for (const Row& row : rows) {
        OpenedCase c(row.name);
        ASSERT_EQ(c.code, kRC_Success) << row.name;
        c.feeder.SetNonLinearFlag(row.nonLinear);
        EXPECT_EQ(c.feeder.WriteContacts(), kRC_Success) << row.name;
        EXPECT_FALSE(c.feeder.WasMessagePosted()) << row.name;
        ExpectGolden(row.name, c.feeder.CloseDeckLines());
    }
}

// An eigen run ties every region in list order, whatever its type, stop child or reserved
// name, with the tie option text.
TEST(Contacts, EigenRunTiesEveryRegionInListOrder) {
    constexpr int kEigenKind = 2;
    OpenedCase c("contacts-tie-only", nullptr, kEigenKind);
    ASSERT_EQ(c.code, kRC_Success);
    c.feeder.SetNonLinearFlag(1);
    EXPECT_EQ(c.feeder.WriteContacts(), kRC_Success);
    ExpectGolden("contacts-tie-only", c.feeder.CloseDeckLines());
}

// Group, tie and contact-element numbers run on from what the model section and an earlier
// writer drew.
TEST(Contacts, NumbersContinueAfterEarlierWriters) {
    OpenedCase c("contacts-frictional");
    ASSERT_EQ(c.code, kRC_Success);
    c.feeder.SetNonLinearFlag(1);
    (void)NextContactElementNumber();
    ASSERT_EQ(c.feeder.SendModel(), kRC_Success);
    const Lines lines = c.feeder.CloseDeckLines();
    EXPECT_EQ(Matching(lines, ".MCT"),
              (Lines{".MCT I 20 GROUP 3 GTAR 4 DMIN 0.1 UN3 1 CF 0.2 PROJ 0 UN2 1 KSMO 1",
                     ".MCT I 30 GROUP 5 GTAR 6 DMIN 0.05 PROJ 0 UN2 1 KSMO 1"}));
}

// The rows of the command table the example cases do not show.
TEST(Contacts, CommandByTypeChainStopAndOffset) {
    struct Row {
        int type;
        int nonLinear;
        bool tieOnly;
        bool butee;
        int offsetMode;
        int code;
        const char* command;
    };
    const Row rows[] = {
        {3, 0, true, false, 0, kRC_Success, ".STI I 1 GROUP 3 4"},
        {2, 1, false, false, 0, kRC_Success, ".MCT I 10 GROUP 3 GTAR 4 DMIN 0.125 UN3 1"},
        {2, 1, false, false, 1, kRC_Success, ".MCT I 10 GROUP 3 GTAR 4"},
        {2, 0, false, false, 0, kRC_Success, ".CPS GROUPS 3 4 NOM \"Pair\" REFERENCE 1e+006 L -0.125"},
        {2, 0, false, true, 0, kRC_Success, ".CPS GROUPS 3 4 NOM \"Pair\" REFERENCE 1e+006 BUTEE 0.125"},
        {2, 0, false, false, 1, kRC_Success, ".CPS GROUPS 3 4 NOM \"Pair\" REFERENCE 1e+006"},
        {4, 1, false, true, 0, kRC_Success, ".MCT I 10 GROUP 3 GTAR 4 DMIN 0.125 OPFR 2"},
        {5, 1, false, false, 0, kRC_Success, ".MCT I 10 GROUP 3 GTAR 4 OPCO 2"},
        {5, 0, false, false, 0, kRC_Success, ""},
        {6, 1, false, false, 0, kRC_MissingData, ""},
    };
    for (const Row& row : rows) {
        FeederUnderTest feeder;
        feeder.SetNonLinearFlag(row.nonLinear);
        ContactRegionRecord region;
        region.name = "Pair";
        region.contactType = row.type;
        region.offsetMode = row.offsetMode;
        region.offset = 0.125;
        region.friction = 0.3;
        region.referenceFlag = 1;
        region.referenceValue = 1e6;
        ResetDeckCounters();
        std::string command;
        EXPECT_EQ(feeder.BuildContactCommand(region, row.tieOnly, row.butee, 3, 4, command), row.code)
            << row.type;
        EXPECT_EQ(command, row.command) << row.type << " " << row.nonLinear;
    }
}

TEST(Contacts, AbsentListIs25WithAMessageAndAnEmptyListWritesNothing) {
    OpenedCase absent("contacts-bonded", [](HostSimCase& h) { h.contacts.reset(); });
    ASSERT_EQ(absent.code, kRC_Success);
    EXPECT_EQ(absent.feeder.WriteContacts(), kRC_MissingData);
    EXPECT_TRUE(absent.feeder.WasMessagePosted());

    OpenedCase empty("contacts-bonded", [](HostSimCase& h) { h.contacts->regions.clear(); });
    ASSERT_EQ(empty.code, kRC_Success);
    EXPECT_EQ(empty.feeder.WriteContacts(), kRC_Success);
    EXPECT_EQ(empty.feeder.CloseDeckLines(), Lines{});
}

// A target whose first entity is not face-like is skipped after its banner; a later one ends
// the section with 28 after the face group's opening.
TEST(Contacts, TargetsThatAreNotFaceLike) {
    const JXReference vertex{101, 0x8};
    const JXReference face{106, 0x20};
    for (const bool first : {true, false}) {
        OpenedCase c("contacts-bonded", [&](HostSimCase& h) {
            ContactSide& target = h.contacts->regions[0].target;
            target.references =
                first ? std::vector<JXReference>{vertex, face} : std::vector<JXReference>{face, vertex};
            target.ids = {11, 11};
        });
        ASSERT_EQ(c.code, kRC_Success);
        EXPECT_EQ(c.feeder.WriteContacts(), first ? kRC_Success : kRC_ContactTargetNotFace);
        const Lines lines = c.feeder.CloseDeckLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.size(), first ? 3u : 7u) << first;
        EXPECT_EQ(Matching(lines, ".STI"), Lines{});
    }
}

// A target edge that only the lower hexahedron holds has no element face: the region is refused
// after its banner with a message naming it and the edge, and writes no group.
TEST(Contacts, ATargetEdgeOfASolidElementIsRefusedBeforeAnyGroup) {
    OpenedCase c("contacts-bonded", [](HostSimCase& h) {
        h.mesh->AddGeometricEdge(107, 11, HostMeshEdges{false, {2, 4}});
        h.contacts->regions[0].target.references = {{106, 0x20}, {107, 0x4000}};
        h.contacts->regions[0].target.ids = {11, 11};
    });
    ASSERT_EQ(c.code, kRC_Success);
    EXPECT_EQ(c.feeder.WriteContacts(), kRC_MissingData);
    const std::vector<std::wstring> errors = feedertest::ErrorTexts(c.feeder);
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors[0].find(L"\"Bonded - Lower To Upper\" holds the edge 107,"), std::wstring::npos);
    EXPECT_EQ(c.feeder.CloseDeckLines().size(), 3u);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 0);
}

TEST(Contacts, CancelAtTheFirstRegionAnswers1) {
    OpenedCase c("contacts-frictional");
    ASSERT_EQ(c.code, kRC_Success);
    struct Cancel : IProgressCallback {
        int OnProgress(int, int percent, int) override {
            percents.push_back(percent);
            return 0;
        }
        std::vector<int> percents;
    } cancel;
    ScopedProgressCallback scope(&cancel);
    EXPECT_EQ(c.feeder.WriteContacts(), kRC_Cancelled);
    EXPECT_EQ(cancel.percents, std::vector<int>{77});  // 70 + 15 * 1 / 2
}

TEST(ConstraintEquations, AveragingEquationsThatCannotBeWrittenAnswer25) {
    struct Row {
        const char* name;
        bool emptyTarget;
        bool message;
    };
    const Row rows[] = {
        {"EqMoy_x_X", false, false},  // does not parse
        {"EqMoy_0_Z", false, true},   // no Z in a plane model
        {"EqMoy_0_X", true, true},    // a side without nodes
    };
    for (const Row& row : rows) {
        OpenedCase c("contacts-equations");
        ASSERT_EQ(c.code, kRC_Success);
        ContactRegionRecord region = c.feeder.GetDataSource()->GetContactPairs()->regions[1];
        region.name = row.name;
        if (row.emptyTarget) region.target = ContactSide{};
        EXPECT_EQ(c.feeder.WriteAveragingEquation(region), kRC_MissingData) << row.name;
        EXPECT_EQ(c.feeder.WasMessagePosted(), row.message) << row.name;
        EXPECT_EQ(c.feeder.CloseDeckLines(), Lines{}) << row.name;
    }
}

// Three source nodes are no segment (102); a three-dimensional model writes no weighting.
TEST(ConstraintEquations, WeightingNeedsATwoNodeSourceInAPlaneModel) {
    for (const bool planar : {true, false}) {
        OpenedCase c("contacts-equations", [planar](HostSimCase& h) { h.is2D = planar; });
        ASSERT_EQ(c.code, kRC_Success);
        ContactRegionRecord region = c.feeder.GetDataSource()->GetContactPairs()->regions[2];
        region.source.references = {{103, 0x4000}};
        EXPECT_EQ(c.feeder.WriteWeightingEquations(region), planar ? kRC_WeightingEquation : kRC_Success);
        EXPECT_EQ(c.feeder.CloseDeckLines(), Lines{});
    }
}

TEST(ConstraintEquations, ReservedNames) {
    const auto region = [](const char* name, int type) {
        ContactRegionRecord r;
        r.name = name;
        r.contactType = type;
        return r;
    };
    const std::tuple<const char*, int, bool> averaging[] = {
        {"EqMoy_3_Z", 2, true},  {"EqMoy_-1_X", 2, true}, {"EqMoy_3_Z", 1, false},
        {"EqMoy_3_W", 2, false}, {"EqMoy_3", 2, false},   {"EqMoy_99999999999_X", 2, false},
    };
    for (const auto& [name, type, expected] : averaging)
        EXPECT_EQ(DorvixFeeder::IsAveragingEquation(region(name, type)), expected) << name << " " << type;
    EXPECT_TRUE(DorvixFeeder::IsWeightingEquation(region("WeightEq2", 1)));
    EXPECT_FALSE(DorvixFeeder::IsWeightingEquation(region("WeightEq2", 2)));
    EXPECT_FALSE(DorvixFeeder::IsWeightingEquation(region("weightEq2", 1)));
}
