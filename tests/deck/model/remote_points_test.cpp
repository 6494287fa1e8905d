// Remote points of the "remote-points" case, written by a feeder loaded and opened as the
// analysis feeders do, against its golden section.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "../feeder/feeder_test_support.h"
#include "caerep/core/cae_rep.h"
#include "runtime/return_package.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

constexpr int kNodeLookup = 1;
const char* const kFirstBanner = "!*********** Create Remote Point \"Rigid Pilot\" ***********";

class RemotePointsTest : public ::testing::Test {
  protected:
    void Open() {
        feeder_.UseSolveArguments(&model_.DataSource(), &package_);
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
    }
    bool HasLookup(int id, int node) const {
        int first = 0;
        int second = 0;
        return SUCCEEDED(package_.GetLookup(id, first, second)) && first == node && second == kNodeLookup;
    }

    decktest::ScratchFolder scratch_;
    ModelCase model_{"remote-points"};
    ReturnPackage package_;
    FeederUnderTest feeder_;
};

void SetUnsigned(NCAERep::CCAERepBase& point, const wchar_t* name, unsigned int value) {
    NCAERep::CPropertyValue property;
    property.setValue(value);
    point.setProperty(name, property);
}

}  // namespace

// A rigid point on a face and a vertex in an aligned frame with its snippet; a deformable one
// on a face in a turned frame (its axes follow); a beam one without a caption on the
// same face in a turned frame the deck has no number for (no axes). The unscoped point and the one
// without "HasScoping" leave no trace.
TEST_F(RemotePointsTest, WritesTheReviewedSectionAndThePilotLookups) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(feeder_.WriteRemotePoints(), kRC_Success);
    golden::ExpectLines(decktest::CaseFolder("remote-points") / "expected-remote-points.txt",
                        feeder_.CloseDeckLines());
    EXPECT_TRUE(HasLookup(20, 9));
    EXPECT_TRUE(HasLookup(21, 10));
    EXPECT_TRUE(HasLookup(22, 11));
    int first = 0;
    int second = 0;
    EXPECT_TRUE(FAILED(package_.GetLookup(23, first, second)));
    EXPECT_TRUE(FAILED(package_.GetLookup(24, first, second)));
}

struct FailureCase {
    const char* what;
    std::function<void(NCAERep::CCAERepBase&)> change;
    int code;
    bool named;
};

// Each failure stops at the first point, after its banner and before its coupling; a frame or
// node the host lacks is named to the user.
TEST_F(RemotePointsTest, AFailingPointStopsTheWriterWithItsCode) {
    const FailureCase cases[] = {
        {"unknown frame", [](auto& p) { SetUnsigned(p, L"RefCoordSysId", 99); }, kRC_MissingData, true},
        {"unknown node reference", [](auto& p) { SetUnsigned(p, L"NodeReferenceId", 999); },
         kRC_HostMeshRefused, true},
        {"reference to an element", [](auto& p) { SetUnsigned(p, L"NodeReferenceId", 904); },
         kRC_HostMeshRefused, true},
        {"unresolved scoping",
         [](auto& p) {
             NCAERep::CPropertyValue scoping;
             scoping.setValue(std::vector<std::wstring>{L"Nowhere"});
             p.setProperty(L"Scoping", scoping);
         },
         kRC_ModelLoadFailed, false},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        FeederUnderTest feeder;
        ReturnPackage package;
        feeder.UseSolveArguments(&model_.DataSource(), &package);
        ASSERT_EQ(feeder.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder.Open(), kRC_Success);
        std::vector<NCAERep::CCAERepBase*> points;
        feeder.GetInputRoot()->getDescendantsByType(L"RemotePointRep", points);
        ASSERT_FALSE(points.empty());
        c.change(*points.front());
        EXPECT_EQ(feeder.WriteRemotePoints(), c.code);
        EXPECT_EQ(feeder.WasMessagePosted(), c.named);
        EXPECT_EQ(feeder.CloseDeckLines(), Lines{kFirstBanner});
        int first = 0;
        int second = 0;
        EXPECT_TRUE(FAILED(package.GetLookup(20, first, second)));
    }
}
