// Vectors, axis indices and coordinate frames: completing axes, rotation angles, local coordinates, records.
#include "foundation/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "foundation/constants.h"
#include "foundation/jx_stream.h"

namespace {

constexpr double kEps = 1e-12;

void ExpectNear(const Vector3& a, const Vector3& b, double eps = kEps) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

TEST(Vector3, CrossNormalizeComponent) {
    Vector3 out;
    EXPECT_EQ(&Vector3(1, 0, 0).CrossProduct(Vector3(0, 1, 0), out), &out);
    EXPECT_EQ(out, Vector3(0, 0, 1));
    Vector3 v(3, 0, 4);
    EXPECT_EQ(v.Normalize(), S_OK);
    ExpectNear(v, Vector3(0.6, 0, 0.8));
    Vector3 zero;
    EXPECT_EQ(zero.Normalize(), E_FAIL);
    EXPECT_EQ(zero, Vector3());
    EXPECT_EQ(Vector3(1, 2, 3).GetComponent(-5), 1);
    EXPECT_EQ(Vector3(1, 2, 3).GetComponent(1), 2);
    EXPECT_EQ(Vector3(1, 2, 3).GetComponent(7), 3);
    EXPECT_EQ(Vector3(5, 5, 5).Subtract(Vector3(1, 2, 3)), Vector3(4, 3, 2));
}

// Unlike Normalize, a vector below the zero-length tolerance is still scaled; only zero stays.
TEST(Vector3, NormalizeUnlessZero) {
    Vector3 tiny(0, 3e-16, 4e-16);
    EXPECT_EQ(&tiny.NormalizeUnlessZero(), &tiny);
    ExpectNear(tiny, Vector3(0, 0.6, 0.8));
    Vector3 zero;
    EXPECT_EQ(zero.NormalizeUnlessZero(), Vector3());
}

TEST(Vector3, AngleTests) {
    EXPECT_NEAR(AngleBetweenVectors({1, 0, 0}, {0, 2, 0}), 90.0, kEps);
    EXPECT_NEAR(AngleBetweenVectors({1, 0, 0}, {-1, 0, 0}), 180.0, kEps);
    EXPECT_EQ(AngleBetweenVectors({0, 0, 0}, {1, 0, 0}), 0.0);
    EXPECT_TRUE(AreVectorsParallel({0, 0, 1}, {0, 0, -3}, 0.01));
    EXPECT_TRUE(AreVectorsParallel({0, 0, 0}, {1, 2, 3}, 0.01));       // zero is parallel to all
    EXPECT_FALSE(AreVectorsParallel({0, 0, 1}, {0, 0.001, 1}, 0.01));  // 0.057 degrees
    EXPECT_TRUE(AreVectorsParallel({0, 0, 1}, {0, 0.0001, 1}, 0.01));
    EXPECT_TRUE(AreVectorsPerpendicular({1, 0, 0}, {0, 0, 5}, 0.01));
    EXPECT_FALSE(AreVectorsPerpendicular({0, 0, 0}, {1, 0, 0}, 0.01));
    EXPECT_FALSE(AreVectorsPerpendicular({1, 0, 0}, {1, 1, 0}, 0.01));
}

TEST(Vector3, PerpendicularVectorIsUnitAndPerpendicular) {
    for (const Vector3& v : {Vector3(0, 0, 1), Vector3(1, 2, 3), Vector3(-5, 0.1, 0), Vector3(1e-3, 0, 0)}) {
        const Vector3 p = PerpendicularVector(v);
        EXPECT_NEAR(p.Length(), 1.0, kEps);
        EXPECT_NEAR(p.Dot(v), 0.0, kEps);
    }
    EXPECT_EQ(PerpendicularVector({0, 0, 0}), Vector3());
}

TEST(AxisIndex, CyclicSuccessor) {
    AxisIndex a(2);
    ++a;
    EXPECT_EQ(a.GetValue(), 0);
    EXPECT_EQ(AxisIndex(1).Next().GetValue(), 2);
}

TEST(CoordSystem, DefaultIsGlobal) {
    CoordSystemSafe f;
    EXPECT_EQ(f.GetType(), kCoordCartesian);
    EXPECT_EQ(f.GetOrigin(), Vector3());
    EXPECT_EQ(f.GetAxis(AxisIndex(1)), Vector3(0, 1, 0));
    EXPECT_TRUE(f.IsAlignedWithGlobalAxes(0.0));
    auto angles = f.GetRotationAngles();
    EXPECT_EQ(angles[0], 0.0);
    EXPECT_EQ(angles[2], 0.0);
}

TEST(CoordSystem, SetAxesCompletesRightHandedFrame) {
    CoordSystemSafe f;
    f.SetOrigin({1, 2, 3});
    // x along global Y, y given slightly off global -X: orthogonalised.
    ASSERT_EQ(f.SetAxes({0, 2, 0}, 0, {-1, 0.3, 0}, 1), S_OK);
    ExpectNear(f.GetXAxis(), {0, 1, 0});
    ExpectNear(f.GetYAxis(), {-1, 0, 0});
    ExpectNear(f.GetZAxis(), {0, 0, 1});
    EXPECT_EQ(f.GetOrigin(), Vector3(1, 2, 3));

    // z and x given (indices 2 and 0): y = z x x.
    ASSERT_EQ(f.SetAxes({0, 0, 1}, 2, {0, 1, 0}, 0), S_OK);
    ExpectNear(f.GetXAxis(), {0, 1, 0});
    ExpectNear(f.GetYAxis(), {-1, 0, 0});
    // y and x given (reverse order): z = x x y.
    ASSERT_EQ(f.SetAxes({0, 1, 0}, 1, {1, 0, 0}, 0), S_OK);
    ExpectNear(f.GetZAxis(), {0, 0, 1});
}

TEST(CoordSystem, SetAxesRefusesDegenerateInput) {
    CoordSystemSafe f;
    ASSERT_EQ(f.SetAxes({0, 1, 0}, 0, {0, 0, 1}, 1), S_OK);
    EXPECT_EQ(f.SetAxes({1, 0, 0}, 1, {0, 1, 0}, 1), E_FAIL);
    EXPECT_EQ(f.GetFrame(), Matrix3::Identity());
    ASSERT_EQ(f.SetAxes({0, 1, 0}, 0, {0, 0, 1}, 1), S_OK);
    EXPECT_EQ(f.SetAxes({0, 0, 0}, 0, {0, 1, 0}, 1), E_FAIL);
    EXPECT_EQ(f.GetFrame(), Matrix3::Identity());
    EXPECT_EQ(f.SetAxes({1, 0, 0}, 0, {-2, 0, 0}, 1), E_FAIL);
    EXPECT_EQ(f.SetAxes({1, 0, 0}, 0, {0, 1, 0}, 3), E_FAIL);
}

TEST(CoordSystem, RotationAngles) {
    CoordSystemSafe f;
    const double c = std::cos(30.0 * kRadiansPerDegree), s = std::sin(30.0 * kRadiansPerDegree);
    ASSERT_EQ(f.SetAxes({c, s, 0}, 0, {-s, c, 0}, 1), S_OK);  // 30 degrees about Z
    auto angles = f.GetRotationAngles();
    EXPECT_NEAR(angles[0], 0.0, 1e-9);
    EXPECT_NEAR(angles[1], 0.0, 1e-9);
    EXPECT_NEAR(angles[2], 30.0, 1e-9);
    ASSERT_EQ(f.SetAxes({1, 0, 0}, 0, {0, c, s}, 1), S_OK);  // 30 degrees about X
    angles = f.GetRotationAngles();
    EXPECT_NEAR(angles[0], 30.0, 1e-9);
    EXPECT_NEAR(angles[2], 0.0, 1e-9);
    ASSERT_EQ(f.SetAxes({c, 0, -s}, 0, {0, 1, 0}, 1), S_OK);  // 30 degrees about Y
    angles = f.GetRotationAngles();
    EXPECT_NEAR(angles[1], 30.0, 1e-9);
    ASSERT_EQ(f.SetAxes({0, 0, -1}, 0, {0, 1, 0}, 1), S_OK);  // 90 about Y: x along -Z
    angles = f.GetRotationAngles();
    EXPECT_NEAR(angles[1], 90.0, 1e-9);
    f.GetRotationAngles(nullptr);  // no holder: nothing happens
}

TEST(CoordSystem, AlignedWithGlobalAxes) {
    CoordSystemSafe f;
    const double a = 0.005 * kRadiansPerDegree;
    ASSERT_EQ(f.SetAxes({std::cos(a), std::sin(a), 0}, 0, {-std::sin(a), std::cos(a), 0}, 1), S_OK);
    EXPECT_TRUE(f.IsAlignedWithGlobalAxes(0.01));
    EXPECT_FALSE(f.IsAlignedWithGlobalAxes(0.001));
    f.SetType(kCoordCylindrical);
    EXPECT_FALSE(f.IsAlignedWithGlobalAxes(1.0));
}

TEST(CoordSystem, LocalCoordinatesAndVectorTransform) {
    CoordSystemSafe f;
    f.SetOrigin({1, 1, 0});
    ASSERT_EQ(f.SetAxes({0, 1, 0}, 0, {-1, 0, 0}, 1), S_OK);  // rotated 90 degrees about Z
    Vector3 local;
    f.ToLocalCoordinates({1, 3, 5}, local);
    ExpectNear(local, {2, 0, 5});
    f.SetType(kCoordCylindrical);
    EXPECT_TRUE(f.IsCylindrical());
    f.ToLocalCoordinates({-1, 1, 5}, local);  // local (0, 2, 5): r 2, 90 degrees
    ExpectNear(local, {2, 90, 5});
    // Radial unit vector at that point is local y = global -X.
    Vector3 global;
    f.TransformVectorToGlobalAtPoint({1, 0, 0}, {-1, 1, 5}, global);
    ExpectNear(global, {-1, 0, 0});
    f.TransformVectorToGlobalAtPoint({0, 1, 0}, {-1, 1, 5}, global);  // tangential
    ExpectNear(global, {0, -1, 0});
    f.SetType(kCoordCartesian);
    f.TransformVectorToGlobalAtPoint({1, 0, 0}, {9, 9, 9}, global);
    ExpectNear(global, {0, 1, 0});
    f.SetType(kCoordSpherical);
    f.ToLocalCoordinates({1, 1, 2}, local);  // straight up the local z axis
    ExpectNear(local, {2, 0, 0});
}

TEST(CoordSystem, StreamRecordRoundTripAndShortRead) {
    Matrix3 axes;
    axes.row[0] = {0, 1, 0};
    axes.row[1] = {-1, 0, 0};
    CoordSystemSafe f(kCoordToroidal, axes, {1, 2, 3}, 4.5, 6.5, 0x11, 77);
    JXMemoryChannel channel;
    JXStream out(channel);
    ASSERT_TRUE(f.Save(out));
    EXPECT_EQ(channel.Bytes().size(), 14u * 8 + 12);
    channel.Rewind();
    JXStream in(channel);
    CoordSystemSafe back;
    ASSERT_TRUE(back.Load(in));
    EXPECT_EQ(back, f);

    std::vector<std::uint8_t> bytes = channel.Bytes();
    bytes.pop_back();
    JXMemoryChannel shortChannel(bytes);
    JXStream shortStream(shortChannel);
    EXPECT_FALSE(back.Load(shortStream));
    EXPECT_EQ(back, CoordSystemSafe());
}

TEST(CoordinateSystemData, Defaults) {
    CoordinateSystemData data;
    EXPECT_EQ(data.id, 0);
    EXPECT_EQ(data.deckFrameNumber, 0);
    EXPECT_EQ(data.frame, CoordSystemSafe());
}

}  // namespace
