// Finalising the per-node constraint table: frames, which support wins, 2-D turns, prescribed motions, walks.
#include "deck/constraints/node_constraint_table.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kR = 1.0 / std::sqrt(2.0);
const NodeConstraintTable::Keys kNoKeys = {0, 0, 0};

CoordSystemSafe TurnedAboutZ(double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    CoordSystemSafe frame;
    EXPECT_EQ(frame.SetAxes({std::cos(a), std::sin(a), 0}, 0, {0, 0, 1}, 2), S_OK);
    return frame;
}

std::string Line(const NodeConstraintTable& table) { return table.DumpText(); }

struct NormalsRow {
    const char* name;
    std::vector<Vector3> normals;
    std::string dump;
    bool turned;
};

TEST(NodeConstraintTable, FrictionlessNormalsResolveIntoOneFrame) {
    const NormalsRow rows[] = {
        {"two along axes", {{1, 0, 0}, {0, 1, 0}}, "1 5 5 1 0 0 0 global\n", false},
        {"three along axes", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "1 5 5 5 0 0 0 global\n", false},
        {"one along Z", {{0, 0, 1}}, "1 1 1 5 0 0 0 global\n", false},
        {"one oblique pair",
         {{1, 0, 0}, {0, kR, kR}},
         "1 5 5 1 0 0 0 x=1,0,0 y=0,0.707107,0.707107 z=0,-0.707107,0.707107\n",
         true},
    };
    for (const NormalsRow& row : rows) {
        SCOPED_TRACE(row.name);
        NodeConstraintTable table;
        for (std::size_t i = 0; i < row.normals.size(); ++i)
            table.AddCylindricalSupport(10 + i, 518, 1, row.normals[i]);
        ASSERT_EQ(table.FinaliseAll(), S_OK);
        EXPECT_EQ(Line(table), row.dump);
        EXPECT_EQ(table.HasNodeRotation(1), row.turned);
    }
}

// A frame whose Z axis lies in the XY plane ties two axis pairs at distance 0: the first pair
// (built X to the candidate's Y) wins, so the frame is rebuilt with global Z as X. Rounding of
// an ulp or two in the built axes must not make the other pair win.
TEST(NodeConstraintTable, NodeFrameChoiceIgnoresRoundingInATie) {
    const Vector3 nudges[] = {{0, 0, 0}, {0, 0, 2e-16}, {2e-16, -2e-16, 0}, {-2e-16, 0, 0}};
    for (const Vector3& nudge : nudges) {
        for (int axis = 0; axis < 3; ++axis) {
            SCOPED_TRACE(::testing::Message()
                         << "axis " << axis << " nudged by " << nudge.x << "," << nudge.y << "," << nudge.z);
            Matrix3 axes;
            axes.row[0] = {0, 0, 1};
            axes.row[1] = {-kR, -kR, 0};
            axes.row[2] = {kR, -kR, 0};
            axes.row[axis] = axes.row[axis] + nudge;
            CoordSystemSafe built;
            built.SetFrame(axes);
            const CoordSystemSafe chosen = ChooseNodeFrame(built, nullptr);
            const Vector3 expected[] = {{0, 0, 1}, {kR, -kR, 0}, {kR, kR, 0}};
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(chosen.GetAxis(AxisIndex(k)).x, expected[k].x, 1e-12) << "axis " << k;
                EXPECT_NEAR(chosen.GetAxis(AxisIndex(k)).y, expected[k].y, 1e-12) << "axis " << k;
                EXPECT_NEAR(chosen.GetAxis(AxisIndex(k)).z, expected[k].z, 1e-12) << "axis " << k;
            }
        }
    }
}

TEST(NodeConstraintTable, FixedSupportWinsWhateverTheListingOrder) {
    NodeConstraintTable table;
    const std::int32_t shell[] = {4}, solid[] = {5};
    table.MarkRotationalNodes(1, shell);
    for (const std::int32_t* node : {shell, solid}) {
        table.AddFixedSupport(1, 510, 1, node);
        table.AddSimpleSupport(2, 526, 1, node);
        table.AddSymmetryRegion(3, 585, *node, false, {1, 1, 0});
        table.AddNodalMotion(4, 513, *node, TurnedAboutZ(30), {3, 2, 3}, {1, 2, 3});
    }
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_EQ(Line(table), "4 2 2 2 2 2 2 global\n5 2 2 2 0 0 0 global\n");
    EXPECT_FALSE(table.HasNodeRotation(4));
}

TEST(NodeConstraintTable, TwoDimensionalNodesTurnAboutZOnly) {
    NodeConstraintTable table;
    table.SetTwoDimensional();
    table.AddSymmetryRegion(1, 585, 1, false, {0, 0, 1});
    table.AddSymmetryRegion(1, 585, 2, false, {0, 0, -1});
    table.AddSymmetryRegion(1, 585, 3, false, {1, 0, 1e-17});  // rounding, not out of plane
    table.AddCylindricalSupport(2, 518, 4, {std::cos(0.5), std::sin(0.5), 0});
    EXPECT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(),
              "node 1: a symmetry normal leaves the plane of the two-dimensional model");

    table.Clear();
    table.AddSymmetryRegion(1, 585, 2, false, {0, 0, -1});
    table.AddSymmetryRegion(1, 585, 3, false, {1, 0, 1e-17});
    table.AddCylindricalSupport(2, 518, 4, {std::cos(0.5), std::sin(0.5), 1e-17});
    ASSERT_EQ(table.FinaliseAll(), S_OK) << table.GetFailureText();
    EXPECT_EQ(table.GetNodeFrame(2).GetFrame(), Matrix3::Identity());
    EXPECT_EQ(table.FindRecord(3)->state.Dof(kUX).kind, kDofTranslationHeld);
    const CoordSystemSafe frame = table.GetNodeFrame(4);
    EXPECT_EQ(frame.GetZAxis(), Vector3(0, 0, 1));
    EXPECT_NEAR(frame.GetXAxis().x, std::cos(0.5), 1e-12);
    EXPECT_EQ(table.FindRecord(4)->state.Dof(kUX).kind, kDofTranslationHeld);
    EXPECT_TRUE(table.HasNodeRotation(4));

    table.AddNodalMotion(3, 513, 9, CoordSystemSafe(), {1, 1, 3}, kNoKeys);
    EXPECT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(),
              "node 9: a prescribed displacement leaves the plane of the two-dimensional model");
}

TEST(NodeConstraintTable, PrescribedDisplacementsMustBeFewAndPerpendicular) {
    NodeConstraintTable table;
    table.AddNodalMotion(1, 513, 1, CoordSystemSafe(), {3, 3, 3}, {1, 2, 3});
    table.AddNodalMotion(1, 513, 1, CoordSystemSafe(), {3, 3, 3}, {1, 2, 3});  // repeats nothing new
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_EQ(Line(table), "1 9 9 9 0 0 0 global\n");

    table.AddNodalMotion(2, 514, 1, TurnedAboutZ(30), {3, 1, 1}, kNoKeys);
    EXPECT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(), "node 1: more than three prescribed displacements");

    table.Clear();
    table.AddNodalMotion(1, 513, 1, CoordSystemSafe(), {3, 1, 1}, kNoKeys);
    table.AddNodalMotion(2, 514, 1, TurnedAboutZ(30), {3, 1, 1}, kNoKeys);
    EXPECT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(), "node 1: two prescribed displacements are not perpendicular");
}

TEST(NodeConstraintTable, HeldDirectionCoversPrescribedValue) {
    NodeConstraintTable table;
    table.AddCylindricalSupport(1, 518, 1, {1, 0, 0});
    table.AddNodalMotion(2, 513, 1, CoordSystemSafe(), {3, 3, 1}, {7, 8, 0});
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_EQ(Line(table), "1 5 9 1 0 0 0 global\n");
    std::set<std::uint32_t> ids;
    ASSERT_EQ(table.CollectPrescribedDisplacementIds(ids), S_OK);
    EXPECT_EQ(ids, std::set<std::uint32_t>{2});
}

TEST(NodeConstraintTable, VelocitiesFindTheirAxisInATurnedFrame) {
    NodeConstraintTable table;
    table.AddNodalMotion(1, 547, 1, TurnedAboutZ(30), {3, 2, 1}, {5, 0, 0});
    table.AddNodalMotion(1, 547, 2, TurnedAboutZ(30), {3, 1, 1}, kNoKeys);
    table.AddNodalMotion(2, 513, 2, CoordSystemSafe(), {3, 1, 1}, kNoKeys);
    table.AddNodalMotion(3, 999, 3, CoordSystemSafe(), {3, 3, 3}, kNoKeys);  // unknown type: dropped
    ASSERT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(), "node 2: a prescribed value lies along no axis of the node frame");
    EXPECT_TRUE(table.HasNodeRotation(1));
    EXPECT_EQ(table.FindRecord(1)->state.Dof(kUX).kind, kDofPrescribedVelocity);
    EXPECT_EQ(table.FindRecord(1)->state.Dof(kUY).kind, kDofZeroVelocity);
    EXPECT_EQ(table.FindRecord(3), nullptr);
    std::vector<std::int32_t> nodes;
    ASSERT_EQ(table.CollectNodesWithPrescribedValue(kUX, 1, 5, 0, nodes), S_OK);
    EXPECT_EQ(nodes, std::vector<std::int32_t>{1});
}

TEST(NodeConstraintTable, CouplingConditionsStandAlone) {
    NodeConstraintTable table;
    const std::int32_t nodes[] = {5, 5, 7};
    table.AddCouplingCondition(1, 436, 3, nodes, 11);
    EXPECT_EQ(table.FindRecord(5)->couplings.size(), 1u);
    EXPECT_EQ(table.FindRecord(7)->couplings.size(), 1u);
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    ASSERT_EQ(table.FinaliseAll(), S_OK);  // a second pass sees the same keys once

    table.AddCouplingCondition(2, 436, 1, nodes, 11);
    EXPECT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(), "node 5: two coupling conditions couple the same degrees of freedom");
    table.Clear();
    table.AddCouplingCondition(1, 436, 1, nodes, 11);
    table.AddSimpleSupport(2, 526, 1, nodes);
    EXPECT_EQ(table.FinaliseAll(), E_FAIL);
    EXPECT_EQ(table.GetFailureText(),
              "node 5: a coupling condition shares the node with a support or motion");
}

TEST(NodeConstraintTable, ReadersWaitForFinalisation) {
    NodeConstraintTable table;
    table.AddNodalMotion(1, 513, 1, CoordSystemSafe(), {3, 1, 1}, kNoKeys);
    std::set<std::uint32_t> ids = {9};
    std::vector<std::int32_t> nodes = {9};
    EXPECT_EQ(table.CollectPrescribedDisplacementIds(ids), E_FAIL);
    EXPECT_EQ(table.CollectNodesWithPrescribedValue(kUX, 1, 0, 0, nodes), E_FAIL);
    EXPECT_TRUE(ids.empty());
    EXPECT_TRUE(nodes.empty());
    EXPECT_FALSE(table.HasNodeRotation(42));
    EXPECT_EQ(table.GetNodeFrame(42), CoordSystemSafe());
}

TEST(NodeConstraintTable, UserFrameWinsWhenItCarriesTheHeldDirections) {
    NodeConstraintTable table;
    const CoordSystemSafe user = TurnedAboutZ(30);
    table.SetNodeFrame(1, user);
    table.AddCylindricalSupport(1, 518, 1, user.GetXAxis());
    table.SetNodeFrame(2, user);
    table.AddCylindricalSupport(1, 518, 2, {0, 0, 1});  // along a global axis: the global frame
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_EQ(table.GetNodeFrame(1), user);
    EXPECT_EQ(table.GetNodeFrame(2), CoordSystemSafe());
}

TEST(NodeConstraintTable, WalksVisitMatchingNodesInOrder) {
    NodeConstraintTable table;
    const std::int32_t fixed[] = {9, 3}, simple[] = {6};
    table.AddFixedSupport(1, 510, 2, fixed);
    table.AddSimpleSupport(2, 526, 1, simple);
    table.AddNodalMotion(3, 513, 4, CoordSystemSafe(), {2, 1, 1}, kNoKeys);
    table.AddNodalMotion(4, 547, 5, CoordSystemSafe(), {2, 1, 1}, kNoKeys);
    table.AddCylindricalSupport(5, 518, 7, {0, 1, 0});
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    const auto visit = [&](NodeWalkFilter filter, std::int32_t code = 0) {
        std::vector<std::int32_t> seen;
        NodeConstraintWalk walk(table, filter, code);
        for (walk.First(); !walk.IsAtEnd(); walk.Next()) seen.push_back(walk.GetNodeId());
        return seen;
    };
    EXPECT_EQ(visit(NodeWalkFilter::kFixedSupports), (std::vector<std::int32_t>{3, 9}));
    EXPECT_EQ(visit(NodeWalkFilter::kSimpleSupports), std::vector<std::int32_t>{6});
    EXPECT_EQ(visit(NodeWalkFilter::kZeroMotionX, 19), std::vector<std::int32_t>{4});
    EXPECT_EQ(visit(NodeWalkFilter::kZeroMotionX, 54), std::vector<std::int32_t>{5});
    EXPECT_EQ(visit(NodeWalkFilter::kDirectionSupportY), std::vector<std::int32_t>{7});
    EXPECT_TRUE(visit(NodeWalkFilter::kRotatedNodes).empty());
}

}  // namespace
