// The boundary-condition pre-pass: constraint tables of the bc-* cases, its refusals, the supports written.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../deck_test_support.h"
#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "deck/constraints/node_constraint_table.h"
#include "deck/constraints/supports_writer.h"
#include "feeder_test_support.h"
#include "platform/text.h"
#include "runtime/return_package.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using feedertest::PostedMessages;

namespace {

NCAERep::CCAERepBase& ModelObject(FeederUnderTest& feeder, int id) {
    NCAERep::CCAERepBase* object = feeder.GetInputRoot()->getDatabase()->getObjectById(id);
    if (!object) throw std::runtime_error("the case has no object " + std::to_string(id));
    return *object;
}

void SetText(FeederUnderTest& feeder, int id, const std::wstring& property, const std::wstring& text) {
    NCAERep::CPropertyValue value;
    value.setValue(text);
    ModelObject(feeder, id).setOrAddProperty(property, value);
}

struct GoldenCase {
    const char* name;
    int code;
    // Every message the pre-pass posts, in order.
    std::vector<std::wstring> messages;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

class PrePassGolden : public ::testing::TestWithParam<GoldenCase> {};

}  // namespace

TEST_P(PrePassGolden, FillsTheTableAsReviewed) {
    const GoldenCase& c = GetParam();
    decktest::ScratchFolder scratch;  // the output representation is saved when a message was posted
    ModelCase model(c.name);
    FeederUnderTest feeder;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L"unused-output.xml"), kRC_Success);

    EXPECT_EQ(feeder.CheckBoundaryConditions(), c.code);
    EXPECT_EQ(PostedMessages(feeder), c.messages);
    golden::ExpectText(decktest::CaseFolder(c.name) / "expected-constraints.txt",
                       feeder.GetNodeConstraintTable()->DumpText());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrePassGolden,
    ::testing::Values(
        GoldenCase{"bc-supports-block", kRC_Success, {}}, GoldenCase{"bc-frictionless", kRC_Success, {}},
        GoldenCase{"bc-cylindrical", kRC_Success, {}}, GoldenCase{"bc-symmetry", kRC_Success, {}},
        GoldenCase{"bc-displacement-local", kRC_Success, {}},
        GoldenCase{"bc-cylindrical-axis-down", kRC_Success, {}},
        GoldenCase{"bc-shell-rotation", kRC_Success, {}}, GoldenCase{"bc-plane-edges", kRC_Success, {}},
        GoldenCase{"bc-conflict",
                   kRC_ConstraintTableCheck,
                   {L"Error: The boundary conditions cannot be applied: node 5: two prescribed "
                    L"displacements are not perpendicular"}}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

namespace {

struct FailureCase {
    const char* label;
    const char* caseName;
    std::function<void(FeederUnderTest&, ModelCase&)> change;
    int code;
    // Part of the one message the pre-pass posts.
    std::wstring message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.label; }

class PrePassFailures : public ::testing::TestWithParam<FailureCase> {};

}  // namespace

TEST_P(PrePassFailures, AnswerTheCodeWithAMessage) {
    const FailureCase& c = GetParam();
    decktest::ScratchFolder scratch;
    ModelCase model(c.caseName);
    FeederUnderTest feeder;
    ReturnPackage package;
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L"unused-output.xml"), kRC_Success);
    feeder.UseSolveArguments(nullptr, &package);
    c.change(feeder, model);

    EXPECT_EQ(feeder.CheckBoundaryConditions(), c.code);
    const std::vector<std::wstring> posted = PostedMessages(feeder);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_NE(posted.front().find(c.message), std::wstring::npos) << platform::WideToUtf8(posted.front());
    std::vector<BstrHolder> packaged;
    package.GetMessages(packaged);
    ASSERT_EQ(packaged.size(), 1u);
    EXPECT_EQ(packaged.front().Str(), posted.front());
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrePassFailures,
    ::testing::Values(
        FailureCase{"ScopingOfTwo", "bc-supports-block",
                    [](FeederUnderTest& f, ModelCase&) {
                        NCAERep::CPropertyValue two;
                        two.setValue(std::vector<std::wstring>{L"Fixed Edge", L"Fixed Vertex"});
                        ModelObject(f, 21).setProperty(L"Scoping", two);
                    },
                    kRC_ModelLoadFailed, L"Support \"FixedEdge\" (id 21): its scoping holds 2 references"},
        FailureCase{"UnknownReferenceIsLeftOut", "bc-supports-block",
                    [](FeederUnderTest& f, ModelCase&) {
                        NCAERep::CPropertyValue nowhere;
                        nowhere.setValue(std::vector<std::wstring>{L"Nowhere"});
                        ModelObject(f, 22).setProperty(L"Scoping", nowhere);
                    },
                    kRC_Success,
                    L"Warning: Support \"FixedVertex\" (id 22): the host knows no scoping \"Nowhere\""},
        FailureCase{"NoAssemblyAttributes", "bc-supports-block",
                    [](FeederUnderTest& f, ModelCase&) {
                        ModelObject(f, 6).removeChildrenIf([](NCAERep::CCAERepBase*) { return true; });
                    },
                    kRC_ModelLoadFailed, L"no boundary-condition or assembly attribute objects"},
        FailureCase{"UnknownNormalDirection", "bc-symmetry",
                    [](FeederUnderTest& f, ModelCase&) { SetText(f, 20, L"NormalDir", L"WAxis"); },
                    kRC_ModelLoadFailed, L"its normal direction \"WAxis\" is none of"},
        FailureCase{
            "UnknownCoupledDegreeOfFreedom", "bc-symmetry",
            [](FeederUnderTest& f, ModelCase&) { SetText(f, 21, L"DOFSelection", L"DOFTemperature"); },
            kRC_ModelLoadFailed, L"its degree of freedom \"DOFTemperature\""},
        FailureCase{"EntityTheGeometryLacks", "bc-frictionless",
                    [](FeederUnderTest&, ModelCase& m) {
                        m.MutableCase().selections.back().entities.front().bodyId = 77;
                    },
                    kRC_ModelLoadFailed, L"the host geometry knows no body 77 of entity 202"},
        FailureCase{"FrameNotFinite", "bc-displacement-local",
                    [](FeederUnderTest& f, ModelCase&) {
                        NCAERep::CPropertyValue values;
                        values.setValue(std::vector<double>{std::nan(""), 0, 0, 0, 1, 0, 0, 0, 1},
                                        L"NoDimension", L"NoUnit");
                        ModelObject(f, 31).setProperty(L"Values", values);
                    },
                    kRC_ModelLoadFailed,
                    L"Displacement \"Surface\" (id 20): its coordinate system is not finite"},
        FailureCase{"MotionWithoutHostGeometry", "bc-displacement-local",
                    [](FeederUnderTest& f, ModelCase&) {
                        ModelObject(f, 1).removeChildrenIf(
                            [](NCAERep::CCAERepBase* child) { return child->typeName() == L"GeometryRep"; });
                    },
                    kRC_ModelLoadFailed, L"need the host geometry, and the host gave none"},
        FailureCase{"SphericalComponents", "bc-displacement-local",
                    [](FeederUnderTest& f, ModelCase&) {
                        NCAERep::CPropertyValue spherical;
                        spherical.setValue(2);
                        ModelObject(f, 33).setProperty(L"Type", spherical);
                    },
                    kRC_DataMismatch, L"neither Cartesian nor cylindrical"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

// A cylindrical support holds, at each node of its face, the directions set "Fixed" of the
// node's radial (UX), tangential (UY) and axial (UZ) axes; holding all three is a fixed support.
TEST(PrePassCylindrical, EachFixedDirectionHoldsItsOwnAxis) {
    struct Row {
        const wchar_t* radial;
        const wchar_t* tangential;
        const wchar_t* axial;
        const char* kinds;  // UX UY UZ of every node of the face
    };
    const Row rows[] = {{L"Free", L"Free", L"Fixed", "1 1 5"},
                        {L"Free", L"Fixed", L"Free", "1 5 1"},
                        {L"Fixed", L"Free", L"Fixed", "5 1 5"},
                        {L"Fixed", L"Fixed", L"Free", "5 5 1"},
                        {L"Fixed", L"Fixed", L"Fixed", "2 2 2"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kinds);
        decktest::ScratchFolder scratch;
        ModelCase model("bc-cylindrical");
        FeederUnderTest feeder;
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L"unused-output.xml"), kRC_Success);
        SetText(feeder, 20, L"Radial", row.radial);
        SetText(feeder, 20, L"Tangential", row.tangential);
        SetText(feeder, 20, L"Axial", row.axial);
        ASSERT_EQ(feeder.CheckBoundaryConditions(), kRC_Success);
        std::istringstream dump(feeder.GetNodeConstraintTable()->DumpText());
        std::vector<int> nodes;
        for (std::string line; std::getline(dump, line);) {
            std::istringstream fields(line);
            int node = 0;
            std::string ux, uy, uz;
            fields >> node >> ux >> uy >> uz;
            nodes.push_back(node);
            EXPECT_EQ(ux + " " + uy + " " + uz, row.kinds) << line;
        }
        EXPECT_EQ(nodes, (std::vector<int>{1, 4, 6, 7, 10, 12}));
    }
}

// The supports block each example's table gives: every support kind of the pre-pass reaches the
// deck in its set (fixed supports hold six components where the model has shell nodes).
TEST(PrePassSupports, EveryExampleWritesItsReviewedSupports) {
    const std::pair<const char*, SupportsContext> cases[] = {
        {"bc-supports-block", {nullptr, false, false}},
        {"bc-frictionless", {nullptr, false, false}},
        {"bc-cylindrical", {nullptr, false, false}},
        {"bc-symmetry", {nullptr, false, false}},
        {"bc-displacement-local", {nullptr, false, false}},
        {"bc-shell-rotation", {nullptr, false, true}},
        {"bc-plane-edges", {nullptr, true, false}},
        {"bc-cylindrical-axis-down", {nullptr, false, false}}};
    for (const auto& entry : cases) {
        const char* name = entry.first;
        const SupportsContext& context = entry.second;
        decktest::ScratchFolder scratch;
        ModelCase model(name);
        FeederUnderTest feeder;
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L"unused-output.xml"), kRC_Success) << name;
        ASSERT_EQ(feeder.CheckBoundaryConditions(), kRC_Success) << name;
        std::vector<std::string> lines = decktest::DeckLines(
            [&](DorvixDeckFile& deck) { WriteSupportSets(deck, *feeder.GetNodeConstraintTable(), context); });
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(5, lines.size()));
        golden::ExpectLines(decktest::CaseFolder(name) / "expected-supports.txt", lines);
    }
}
