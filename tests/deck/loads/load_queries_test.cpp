// The load writers' questions to objects and host loads, asked of the "remote-mass" case: load
// 61 sits on a face and is active in steps 1 and 3, load 62 on an edge.
#include <gtest/gtest.h>

#include <set>

#include "../feeder/feeder_test_support.h"
#include "host/load_model.h"
#include "runtime/return_package.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;

namespace {

constexpr int kOnFace = 61, kOnEdge = 62, kOnVertex = 63, kOnBody = 64, kUnknownFace = 65;

class LoadQueriesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        feeder_.UseSolveArguments(&model_.DataSource(), &package_);
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
    }
    const ObjectTypeRecord& Record(int id) const { return *feeder_.GetObjectTypeTable()->FindById(id); }
    IUnknown* Load(int id) const { return Record(id).GetHostLoad(); }

    decktest::ScratchFolder scratch_;
    ModelCase model_{"remote-mass"};
    ReturnPackage package_;
    FeederUnderTest feeder_;
};

}  // namespace

TEST_F(LoadQueriesTest, LoadTypeApplicability) {
    struct Row {
        int type;
        int object;
        bool twoDimensional;
        bool expected;
    };
    const Row rows[] = {
        {1, kOnVertex, false, true},  {22, kOnBody, false, true},  {23, kOnEdge, false, true},
        {25, kOnFace, false, true},   {25, kOnEdge, false, false}, {25, kOnEdge, true, true},
        {25, kOnVertex, true, false}, {25, kOnBody, false, false}, {25, 999, true, false},
        {4, kOnFace, false, false},   {21, kOnFace, false, false}, {24, kOnFace, false, false},
        {26, kOnFace, false, false},
    };
    for (const Row& row : rows) {
        model_.MutableCase().is2D = row.twoDimensional;
        EXPECT_EQ(feeder_.IsLoadTypeApplicable(row.type, row.object), row.expected)
            << "type " << row.type << " on " << row.object << (row.twoDimensional ? " in 2D" : "");
    }
}

// Active in steps 1 and 3, not 2: first activated, deactivated, re-activated.
TEST_F(LoadQueriesTest, LoadStepStatus) {
    const int expected[] = {0, 1, 3, 2};
    for (int step = 1; step <= 3; ++step)
        EXPECT_EQ(feeder_.GetLoadStepStatus(Load(kOnFace), step), expected[step]) << "step " << step;
    EXPECT_EQ(feeder_.GetLoadStepStatus(nullptr, 1), 0);
}

// A variable of time keeps its own activity (2: steps 2 and 3); one over x (3, active in every
// step) takes that of variable 10 (step 3 only).
TEST_F(LoadQueriesTest, ComponentOfSpaceTakesTheActivityOfVariable10) {
    const int ofTime[] = {0, 0, 1, 0};
    const int ofSpace[] = {0, 0, 0, 1};
    for (int step = 1; step <= 3; ++step) {
        EXPECT_EQ(feeder_.GetComponentStepStatus(Load(kOnFace), 2, step), ofTime[step]) << "step " << step;
        EXPECT_EQ(feeder_.GetComponentStepStatus(Load(kOnFace), 3, step), ofSpace[step]) << "step " << step;
    }
    // Load 62's variable over y has no variable 10 to ask.
    EXPECT_EQ(feeder_.GetComponentStepStatus(Load(kOnEdge), 3, 2), 0);
}

TEST_F(LoadQueriesTest, ReadsDirectionValueKindAndNodes) {
    double direction[3] = {};
    ASSERT_EQ(feeder_.GetLoadDirection(Load(kOnFace), direction), kRC_Success);
    EXPECT_EQ(direction[1], 0.6);
    EXPECT_EQ(direction[2], 0.8);
    double value = 0.0;
    ASSERT_EQ(feeder_.GetLoadVariableValue(Load(kOnFace), 20, 3, value), kRC_Success);
    EXPECT_EQ(value, 5.0);
    int kind = -1;
    ASSERT_EQ(feeder_.GetLoadVariableDefinitionKind(Load(kOnFace), 4, kind), kRC_Success);
    EXPECT_EQ(kind, kLoadDefinitionFree);
    std::set<int> nodes{99};
    ASSERT_EQ(feeder_.GetObjectNodeSet(Record(kOnFace), nodes), kRC_Success);
    EXPECT_EQ(nodes, (std::set<int>{1, 2, 3, 4}));
    EXPECT_FALSE(feeder_.WasMessagePosted());
}

TEST_F(LoadQueriesTest, FailureCodes) {
    double direction[3] = {7, 7, 7};
    EXPECT_EQ(feeder_.GetLoadDirection(Load(kOnEdge), direction), kRC_DataMismatch);  // no properties
    EXPECT_EQ(direction[0], 7.0);
    double value = 7.0;
    EXPECT_EQ(feeder_.GetLoadVariableValue(Load(kOnFace), 20, 0, value), kRC_DataMismatch);  // no such flag
    EXPECT_EQ(feeder_.GetLoadVariableValue(Load(kOnFace), 4, 0, value), kRC_DataMismatch);   // free
    EXPECT_EQ(feeder_.GetLoadVariableValue(nullptr, 1, 0, value), kRC_DataMismatch);
    EXPECT_EQ(value, 7.0);
    int kind = -1;
    EXPECT_EQ(feeder_.GetLoadVariableDefinitionKind(Load(kOnFace), 9, kind), kRC_MissingData);
    EXPECT_EQ(kind, 0);
    EXPECT_TRUE(feeder_.WasMessagePosted());
    // The face's nodes stay; the unknown face after it is refused.
    std::set<int> nodes;
    EXPECT_EQ(feeder_.GetObjectNodeSet(Record(kUnknownFace), nodes), kRC_HostMeshRefused);
    EXPECT_EQ(nodes, (std::set<int>{1, 2, 3, 4}));
}
