// User frames, named-selection and load/support components and springs, written for the
// example cases by a feeder loaded and opened as the analysis feeders do, against reviewed
// golden sections.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "deck/deck_counters.h"
#include "host/entity_text.h"
#include "hostsim/object_model.h"
#include "runtime/return_package.h"
#include "tests/deck/feeder/feeder_test_support.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

void ExpectGolden(const std::string& caseName, const std::string& section, const Lines& lines) {
    golden::ExpectLines(decktest::CaseFolder(caseName) / ("expected-" + section + ".txt"), lines);
}

// A case loaded and opened by a feeder whose deck goes to a scratch folder.
class OpenedCase {
  public:
    explicit OpenedCase(const std::string& name, const std::function<void(HostSimCase&)>& change = nullptr)
        : host_(name) {
        if (change) change(host_.MutableCase());
        feeder.UseSolveArguments(&host_.DataSource(), &package);
        code = feeder.LoadCAERepresentation(host_.ModelPath(), L"");
        if (code == kRC_Success) code = feeder.Open();
    }
    HostSimCase& Case() { return host_.MutableCase(); }

  private:
    decktest::ScratchFolder scratch_;
    ModelCase host_;

  public:
    ReturnPackage package;
    FeederUnderTest feeder;
    int code = 0;
};

Lines From(const Lines& lines, const std::string& first) {
    const auto at = std::find_if(lines.begin(), lines.end(),
                                 [&first](const std::string& l) { return l.rfind(first, 0) == 0; });
    return Lines(at, lines.end());
}

}  // namespace

// Frames sit between the element groups and the materials; a frame without a deck number is
// not written, a toroidal one has no type line, origins are converted from millimetres.
TEST(UserFrames, WrittenBeforeTheMaterialsInTheirReviewedForm) {
    OpenedCase c("frames-user");
    ASSERT_EQ(c.code, kRC_Success);
    ASSERT_EQ(c.feeder.SendModel(), kRC_Success);
    Lines lines = From(c.feeder.CloseDeckLines(), "!*********** Send User Defined Coordinate System(s)");
    const auto end = std::find_if(lines.begin() + 1, lines.end(),
                                  [](const std::string& l) { return l.rfind("!", 0) == 0; });
    ASSERT_NE(end, lines.end());
    EXPECT_EQ(end[1], "! Materials");
    ExpectGolden("frames-user", "frames", Lines(lines.begin(), end));
}

TEST(UserFrames, NoSystemNoBanner) {
    OpenedCase c("frames-user", [](HostSimCase& h) { h.coordinateSystems.clear(); });
    ASSERT_EQ(c.code, kRC_Success);
    c.feeder.WriteUserCoordinateSystems();
    EXPECT_EQ(c.feeder.CloseDeckLines(), Lines{});
}

// Element components name the element groups of their bodies (a two-order body has two),
// node components and load/support components follow the groups the model took.
TEST(Components, NamedSelectionsAndLoadSupportsInTheirReviewedForm) {
    OpenedCase c("components-named");
    ASSERT_EQ(c.code, kRC_Success);
    ASSERT_EQ(c.feeder.SendModel(), kRC_Success);
    EXPECT_FALSE(c.feeder.WasMessagePosted());
    ExpectGolden("components-named", "components",
                 From(c.feeder.CloseDeckLines(), "!*********** Send Named Selection"));
}

TEST(Components, LoadSupportComponentsOnlyWithTheOption) {
    OpenedCase c("components-named", [](HostSimCase& h) { h.namedOptions.erase("create components"); });
    ASSERT_EQ(c.code, kRC_Success);
    ASSERT_EQ(c.feeder.SendModel(), kRC_Success);
    const Lines lines = c.feeder.CloseDeckLines();
    EXPECT_EQ(From(lines, "!*********** Send Load/Support"), Lines{});
    EXPECT_NE(From(lines, "!*********** Send Named Selection"), Lines{});
}

TEST(Components, OnlyLoadsAndSupportsAreCollected) {
    OpenedCase c("components-named");
    ASSERT_EQ(c.code, kRC_Success);
    JXIdList ids;
    ids.Add(99);
    c.feeder.CollectLoadSupportIds(ids);
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.end()), (std::vector<int>{20, 21}));
}

TEST(Components, UnionGroupRefusesNoBodiesWith25) {
    OpenedCase c("components-named");
    ASSERT_EQ(c.code, kRC_Success);
    JXList<int> ids;
    EXPECT_EQ(c.feeder.WriteElementUnionGroup(ids, "EMPTY"), kRC_MissingData);
    ids.Add(11);
    c.Case().bodies.clear();
    EXPECT_EQ(c.feeder.WriteElementUnionGroup(ids, "NO_TABLE"), kRC_MissingData);
    EXPECT_EQ(c.feeder.CloseDeckLines(), Lines{});
}

// A skipped record, two connected springs with the second's snippet, then a weld too short:
// the section stops with 25 after its banner.
TEST(Springs, StopAtAWeldTooShortInTheirReviewedForm) {
    OpenedCase c("springs");
    ASSERT_EQ(c.code, kRC_Success);
    EXPECT_EQ(c.feeder.WriteSprings(), kRC_MissingData);
    int element = 0, kind = -1;
    ASSERT_EQ(c.package.GetLookup(42, element, kind), S_OK);
    EXPECT_EQ(element, 11);
    EXPECT_EQ(kind, 0);
    EXPECT_NE(c.package.GetLookup(40, element, kind), S_OK);
    ExpectGolden("springs", "springs", c.feeder.CloseDeckLines());
}

TEST(Springs, TheWeldMinimumAndTheThreeNodeElement) {
    struct Row {
        const char* minimum;  // null: no option
        bool keepWeld;
        int code;
        const char* lastLine;
    };
    const Row rows[] = {
        {nullptr, false, kRC_HostMeshRefused,
         "!*********** Create Spring Connection \"Three nodes\" ***********"},
        {"1e-9", true, kRC_HostMeshRefused,
         "!*********** Create Spring Connection \"Three nodes\" ***********"},
        {"1e-8", true, kRC_MissingData, "!*********** Create Spring Connection \"Weld\" ***********"},
    };
    for (const Row& row : rows) {
        OpenedCase c("springs", [&row](HostSimCase& h) {
            if (row.minimum) h.namedOptions["spot weld min length"] = row.minimum;
            if (!row.keepWeld)
                std::erase_if(h.springs, [](const SpringRecord& s) { return s.name == "Weld"; });
        });
        ASSERT_EQ(c.code, kRC_Success);
        EXPECT_EQ(c.feeder.WriteSprings(), row.code) << (row.minimum ? row.minimum : "-");
        const Lines lines = c.feeder.CloseDeckLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), row.lastLine);
    }
}

// The node a host entity names, and its lookup entry copied to another key.
TEST(EntityLookup, NodeTextAndLookupOfKindOne) {
    HostSimObject pilot;
    pilot.id = 1;
    pilot.text = L"7";
    HostSimObject unnamed;
    unnamed.id = 2;
    auto model = std::make_shared<HostSimObjectModel>(std::vector<HostSimObject>{pilot, unnamed});
    ComPtr<IUnknown> named = CreateHostSimObject(model, 1);
    ComPtr<IUnknown> textless = CreateHostSimObject(model, 2);
    ComPtr<IHostApplet> applet = CreateHostSimApplet(model);

    ReturnPackage package;
    FeederUnderTest feeder;
    feeder.UseSolveArguments(nullptr, &package);
    int node = -1;
    EXPECT_EQ(feeder.GetEntityNodeNumber(0, named.Get(), node), kRC_Success);
    EXPECT_EQ(node, 7);
    for (IUnknown* entity :
         {textless.Get(), static_cast<IUnknown*>(applet.Get()), static_cast<IUnknown*>(nullptr)}) {
        node = -1;
        EXPECT_EQ(feeder.GetEntityNodeNumber(0, entity, node), kRC_MissingData);
        EXPECT_EQ(node, -1);
    }

    const int key = 99;
    EXPECT_EQ(feeder.RegisterEntityLookup(key, named.Get()), kRC_MissingData);  // no entry yet
    (void)package.SetLookup(7, 3, 0);
    EXPECT_EQ(feeder.RegisterEntityLookup(key, named.Get()), kRC_MissingData);  // not a node entry
    (void)package.SetLookup(7, 3, 1);
    EXPECT_EQ(feeder.RegisterEntityLookup(key, named.Get()), kRC_Success);
    int first = 0, second = 0;
    ASSERT_EQ(package.GetLookup(key, first, second), S_OK);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 1);
}

// The frames the pre-pass chose for nodes held along skew or cylindrical directions; nodes held
// along global axes only (or fixed) get no rotation.
TEST(NodeRotations, RotatedNodesOfThePrePassInTheirReviewedForm) {
    for (const char* name : {"bc-frictionless", "bc-cylindrical", "bc-cylindrical-axis-down"}) {
        OpenedCase c(name);
        ASSERT_EQ(c.code, kRC_Success) << name;
        ASSERT_EQ(c.feeder.CheckBoundaryConditions(), kRC_Success) << name;
        ASSERT_EQ(c.feeder.WriteNodeRotations(), kRC_Success) << name;
        ExpectGolden(name, "node-rotations", From(c.feeder.CloseDeckLines(), "! *********** Node Rotations"));
    }
}
