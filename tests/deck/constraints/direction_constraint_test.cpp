// Held directions combined and released by their table, the perpendicular axis chosen, conditions compared.
#include "deck/constraints/direction_constraint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kR = 1.0 / std::sqrt(2.0);

struct Row {
    const char* name;
    bool release;  // false: Combine(a, b); true: Release(released a, held b)
    int kindA;
    Vector3 a;
    int kindB;
    Vector3 b;
    int kind;
    Vector3 vector;   // compared as a direction (either sense); unused for kinds 0 and 3
    unsigned fromId;  // condition id carried: 1 from a, 2 from b
};

const Row kRows[] = {
    {"combine none first", false, 0, {}, 1, {1, 0, 0}, 1, {1, 0, 0}, 2},
    {"combine none second", false, 1, {0, 1, 0}, 0, {}, 1, {0, 1, 0}, 1},
    {"combine all first", false, 3, {}, 1, {1, 0, 0}, 3, {}, 1},
    {"combine all second", false, 1, {1, 0, 0}, 3, {}, 3, {}, 2},
    {"two parallel normals", false, 1, {1, 0, 0}, 1, {-1, 0, 0}, 1, {1, 0, 0}, 1},
    {"two normals leave their cross", false, 1, {1, 0, 0}, 1, {0, kR, kR}, 2, {0, -kR, kR}, 1},
    {"two parallel axes", false, 2, {0, 0, 1}, 2, {0, 0, -1}, 2, {0, 0, 1}, 1},
    {"two axes hold all", false, 2, {0, 0, 1}, 2, {1, 0, 0}, 3, {}, 1},
    {"normal across axis", false, 1, {1, 0, 0}, 2, {0, 0, 1}, 2, {0, 0, 1}, 2},
    {"normal along axis", false, 2, {0, 0, 1}, 1, {0, 0, 1}, 3, {}, 1},
    {"release nothing", true, 0, {}, 1, {1, 0, 0}, 1, {1, 0, 0}, 2},
    {"release all", true, 3, {}, 1, {1, 0, 0}, 0, {}, 2},
    {"release from nothing", true, 1, {1, 0, 0}, 0, {}, 0, {}, 2},
    {"release parallel normal", true, 1, {1, 0, 0}, 1, {1, 0, 0}, 0, {}, 2},
    {"release oblique normal", true, 1, {1, 0, 0}, 1, {kR, kR, 0}, 1, {0, 1, 0}, 2},
    {"release across axis", true, 1, {1, 0, 0}, 2, {0, 0, 1}, 1, {0, 1, 0}, 2},
    {"release along axis", true, 1, {0, 0, 1}, 2, {0, 0, 1}, 2, {0, 0, 1}, 2},
    {"release normal from all", true, 1, {1, 0, 0}, 3, {}, 2, {1, 0, 0}, 2},
    {"release axis, normal across", true, 2, {0, 0, 1}, 1, {1, 0, 0}, 0, {}, 2},
    {"release axis, normal along", true, 2, {0, 0, 1}, 1, {0, 0, 1}, 1, {0, 0, 1}, 2},
    {"release axis, parallel axis", true, 2, {0, 0, 1}, 2, {0, 0, 1}, 0, {}, 2},
    {"release axis, other axis", true, 2, {0, 0, 1}, 2, {1, 0, 0}, 1, {0, 0, 1}, 2},
    {"release axis from all", true, 2, {0, 0, 1}, 3, {}, 1, {0, 0, 1}, 2},
};

TEST(DirectionConstraint, CombineAndReleaseFollowTheirTable) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const DirectionConstraint a(row.kindA, row.a, DofCondition(5, 1));
        const DirectionConstraint b(row.kindB, row.b, DofCondition(5, 2));
        const DirectionConstraint r =
            row.release ? DirectionConstraint::Release(a, b) : DirectionConstraint::Combine(a, b);
        EXPECT_EQ(r.kind, row.kind);
        EXPECT_EQ(r.condition.conditionId, row.fromId);
        if (row.kind == kConstraintDirection || row.kind == kConstraintAllButAxis) {
            EXPECT_TRUE(IsParallel(r.vector, row.vector));
            EXPECT_NEAR(r.vector.Length(), 1.0, 1e-12);
        }
    }
}

TEST(DirectionConstraint, PerpendicularAxisPrefersGlobalAxes) {
    EXPECT_EQ(PickPerpendicularAxis({0, 0, 2}), Vector3(1, 0, 0));  // along Z: the next axis
    EXPECT_EQ(PickPerpendicularAxis({0, 1, 1}), Vector3(1, 0, 0));  // first perpendicular axis
    const Vector3 oblique(1, 2, 3);
    EXPECT_TRUE(IsPerpendicular(PickPerpendicularAxis(oblique), oblique));
}

TEST(DofCondition, SameAsComparesValuesOnlyForPrescribedKinds) {
    EXPECT_TRUE(DofCondition(9, 4, 1.0, 2).IsSameAs(DofCondition(9, 4, 1.0 + 1e-11, 2)));
    EXPECT_FALSE(DofCondition(9, 4, 1.0, 2).IsSameAs(DofCondition(9, 4, 1.0 + 1e-9, 2)));
    EXPECT_TRUE(DofCondition(10, 4, 0.0, 2).IsSameAs(DofCondition(10, 4, 1e-13, 2)));
    EXPECT_FALSE(DofCondition(10, 4, 0.0, 2).IsSameAs(DofCondition(10, 4, 1e-11, 2)));
    EXPECT_FALSE(DofCondition(9, 4, 1.0, 2).IsSameAs(DofCondition(9, 5, 1.0, 2)));
    EXPECT_FALSE(DofCondition(9, 4, 1.0, 2).IsSameAs(DofCondition(9, 4, 1.0, 3)));
    EXPECT_TRUE(DofCondition(7, 4).IsSameAs(DofCondition(7, 8)));
    EXPECT_FALSE(DofCondition(7, 4).IsSameAs(DofCondition(8, 4)));
    EXPECT_TRUE(DofCondition(7, 1).IsZeroMotion(19));
    EXPECT_FALSE(DofCondition(7, 1).IsZeroMotion(54));
    EXPECT_TRUE(DofCondition(8, 1).IsZeroMotion(54));
}

}  // namespace
