// The supports section: every support set under its banner, tied nodes left out, plane supports, none.
#include "deck/constraints/supports_writer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "deck/constraints/node_constraint_table.h"
#include "tests/deck/deck_test_support.h"
#include "tests/golden_file.h"

namespace {

using Lines = std::vector<std::string>;
const NodeConstraintTable::Keys kNoKeys = {0, 0, 0};

// The lines after the deck's header.
Lines WriteSupports(const NodeConstraintTable& table, const SupportsContext& context) {
    Lines lines = decktest::DeckLines([&](DorvixDeckFile& deck) { WriteSupportSets(deck, table, context); });
    lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(5, lines.size()));
    return lines;
}

TEST(SupportsWriter, EverySetUnderItsBannerAndTiedNodesLeftOut) {
    NodeConstraintTable table;
    const std::int32_t shells[] = {10, 11, 14};
    table.MarkRotationalNodes(3, shells);
    const std::int32_t fixed[] = {1, 2, 13}, simple[] = {3};
    table.AddFixedSupport(1, 510, 3, fixed);
    table.AddSimpleSupport(2, 526, 1, simple);
    table.AddCylindricalSupport(3, 518, 4, {1, 0, 0});
    table.AddCylindricalSupport(3, 518, 5, {0, 1, 0});
    table.AddCylindricalSupport(3, 518, 6, {0, 0, 1});
    table.AddCylindricalSupport(3, 518, 12, {0, 1, 0});
    table.AddNodalMotion(4, 513, 7, CoordSystemSafe(), {2, 1, 1}, kNoKeys);
    table.AddNodalMotion(4, 513, 8, CoordSystemSafe(), {1, 2, 2}, kNoKeys);
    table.AddFixedRotation(5, 529, 1, &shells[0], {1, 0, 0});
    table.AddFixedRotation(5, 529, 1, &shells[1], {0, 0, 1});
    table.AddSymmetryRegion(6, 585, 14, false, {1, 0, 0});
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    const std::set<int> tied = {12, 13};
    golden::ExpectLines(
        std::filesystem::path(DORVIX_TEST_DATA) / "deck" / "supports" / "expected-supports.txt",
        WriteSupports(table, {&tied, false, true}));
}

// Plane supports hold the two translations; a rotation about Z held on a node that carries it
// (a wire body's node) is written as component 6, on a plane element's node it is not.
TEST(SupportsWriter, TwoDimensionalSupportsHoldTwoComponentsAndRotationAboutZ) {
    NodeConstraintTable table;
    table.SetTwoDimensional();
    const std::int32_t wire[] = {3, 5};
    table.MarkRotationalNodes(2, wire);
    const std::int32_t fixed[] = {1}, simple[] = {2}, heldAboutZ[] = {4, 5};
    table.AddFixedSupport(1, 511, 1, fixed);
    table.AddSimpleSupport(2, 526, 1, simple);
    table.AddSymmetryRegion(3, 585, 3, false, {0, 1, 0});
    table.AddFixedRotation(4, 529, 2, heldAboutZ, {0, 0, 1});
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_EQ(
        WriteSupports(table, {nullptr, true, true}),
        (Lines{".CLM", "!*********** Fixed Supports ***********", "  FIX NOEUD I 1 C 1 2",
               "!*********** Simple Supports ***********", "  FIX NOEUD I 2 C 1 2",
               "!********* Frictionless Supports Y *********", "  FIX NOEUD I 3 C 2",
               "!*********** Fixed Rotations ***********", "  FIX NOEUD I 3 C 6", "  FIX NOEUD I 5 C 6"}));
}

TEST(SupportsWriter, NoSupportWritesNoClm) {
    NodeConstraintTable table;
    table.AddNodalMotion(1, 547, 1, CoordSystemSafe(), {2, 2, 2}, kNoKeys);  // zero velocity only
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_TRUE(WriteSupports(table, {}).empty());
}

}  // namespace
