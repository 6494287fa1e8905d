// Point masses of the "remote-mass" case, written by a feeder loaded and opened as the analysis
// feeders do, after the remote-point writer gave the remote points' nodes their deck nodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

#include "../feeder/feeder_test_support.h"
#include "hostsim/mesh_json.h"
#include "runtime/return_package.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

constexpr int kNodeLookup = 1;

class RemoteMassTest : public ::testing::Test {
  protected:
    // After the test's changes to the case.
    void Open() {
        feeder_.UseSolveArguments(&model_.DataSource(), &package_);
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
    }
    // The host's nodes 1001 to 1004 of the four masses' remote points as deck nodes 9 to 12.
    void RegisterRemotePoints(int count = 4) {
        for (int k = 0; k < count; ++k) (void)package_.SetLookup(1001 + k, 9 + k, kNodeLookup);
    }

    // The case's mesh with its one element numbered `number`.
    void NumberTheElement(int number) {
        nlohmann::json mesh = nlohmann::json::parse(
            decktest::ReadText(decktest::CaseFolder("remote-mass") / "host.json"))["mesh"];
        mesh["elements"][0][0] = number;
        mesh["parts"][0]["bodies"][0]["elements"][0] = number;
        model_.MutableCase().mesh = std::shared_ptr<HostSimMesh>(LoadMeshSection(mesh, "host.json:/mesh"));
    }

    decktest::ScratchFolder scratch_;
    ModelCase model_{"remote-mass"};
    ReturnPackage package_;
    FeederUnderTest feeder_;
};

}  // namespace

// No inertia: the mass alone. Inertia in a turned frame: a frame of its own after the user's
// frame 12, for the second such mass too. Inertia in the global frame: no node axes.
TEST_F(RemoteMassTest, WritesTheMassesInTheirReviewedForm) {
    ASSERT_NO_FATAL_FAILURE(Open());
    RegisterRemotePoints();
    ASSERT_EQ(feeder_.WriteRemoteMasses(), kRC_Success);
    golden::ExpectLines(decktest::CaseFolder("remote-mass") / "expected-remote-masses.txt",
                        feeder_.CloseDeckLines());
}

// Each deformable remote load makes an element in the deck, numbered after the highest one
// there (the mesh's 1): with three made before them, the masses take 5 to 8.
TEST_F(RemoteMassTest, MassesAreNumberedAfterTheElementsOfDeformableRemoteLoads) {
    ASSERT_NO_FATAL_FAILURE(Open());
    JXReferenceList face;
    face.Add(JXReference{101, kJXReferenceFace});
    for (int k = 0; k < 3; ++k) {
        RemotePointRecord point;
        point.id = 1001 + k;
        point.behaviour = RemotePointRecord::kDeformable;
        point.locationKind = RemotePointRecord::kExistingNode;
        point.node = 9 + k;
        ASSERT_EQ(feeder_.WriteRemoteLoad(point, L"Pilot " + std::to_wstring(k), face), kRC_Success);
    }
    RegisterRemotePoints();
    ASSERT_EQ(feeder_.WriteRemoteMasses(), kRC_Success);
    Lines elements;
    for (const std::string& line : feeder_.CloseDeckLines())
        if (line.rfind(".MASS I ", 0) == 0) elements.push_back(line.substr(0, line.find(" N ")));
    EXPECT_EQ(elements, (Lines{".MASS I 5", ".MASS I 6", ".MASS I 7", ".MASS I 8"}));
}

// Element numbers end at the largest an int holds: the mass that finds none left is refused with
// 25 and an error naming it, before any line of it; the masses before it took what was left.
TEST_F(RemoteMassTest, AMassWithNoElementNumberLeftIsRefused) {
    constexpr int kLargest = std::numeric_limits<int>::max();
    NumberTheElement(kLargest - 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    RegisterRemotePoints();
    EXPECT_EQ(feeder_.WriteRemoteMasses(), kRC_MissingData);
    EXPECT_EQ(
        feedertest::ErrorTexts(feeder_),
        std::vector<std::wstring>{L"Remote mass 52 needs an element number of its own, and none is left: "
                                  L"the elements are numbered up to 2147483647."});
    const Lines lines = feeder_.CloseDeckLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, lines[1].find(" N ")), ".MASS I " + std::to_string(kLargest));
}

TEST_F(RemoteMassTest, TwoDimensionalModelGivesOnlyTheInertiaAboutZ) {
    model_.MutableCase().is2D = true;
    ASSERT_NO_FATAL_FAILURE(Open());
    RegisterRemotePoints();
    ASSERT_EQ(feeder_.WriteRemoteMasses(), kRC_Success);
    const Lines lines = feeder_.CloseDeckLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], ".MASS I 2 N 9 MASS 2.5");
    EXPECT_EQ(lines[3], ".MASS I 3 N 10 MASS 12.75 MIZZ 1.5e-003");
}

// The third mass's remote point has no deck node: the writer stops there with 25, the masses
// before it and its banner written, and tells the host which mass failed.
TEST_F(RemoteMassTest, MassWithoutItsNodeStopsTheWriterWith25) {
    ASSERT_NO_FATAL_FAILURE(Open());
    RegisterRemotePoints(2);
    EXPECT_EQ(feeder_.WriteRemoteMasses(), kRC_MissingData);
    EXPECT_TRUE(feeder_.WasMessagePosted());
    const Lines lines = feeder_.CloseDeckLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "!*********** Construct Remote Mass ***********");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), lines.back()), 3);
}

TEST_F(RemoteMassTest, RecordWithoutPointMassIsRefusedWith25) {
    // A mass record that carries no point mass would be written with a mass of 0.
    HostObjectRecord plain;
    plain.id = 50;
    plain.hostType = 45;
    plain.load.loadClass = HostLoadRecord::Class::kPlain;
    model_.MutableCase().objectTable->records.push_back(plain);
    ASSERT_NO_FATAL_FAILURE(Open());
    RegisterRemotePoints();
    EXPECT_EQ(feeder_.WriteRemoteMasses(), kRC_MissingData);
    EXPECT_EQ(feeder_.CloseDeckLines(), Lines{});
}
