// Cyclic symmetry: sector and link forms, the sector angle, refused edges and axes, eigen runs, supports.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "deck/constraints/node_constraint_table.h"
#include "deck/deck_counters.h"
#include "deck/model/cyclic_sector.h"
#include "hostsim/mesh_model.h"
#include "settings/modal_controls.h"
#include "settings/settings_types.h"
#include "writer_case_support.h"

namespace {

using Lines = std::vector<std::string>;
constexpr int kEigen = 2;

class CyclicSymmetryTest : public writertest::WriterTest {
  protected:
    // An eigen feeder whose modal controls ask for the harmonic index.
    void LoadEigen(const std::string& name, unsigned wave, bool prestress) {
        Load(name, kEigen);
        feeder_->UseSettings(kModalAnalysis, kMechanicalPhysics, 1);
        auto* modal = feeder_->GetSettings()->GetControlsAs<DorvixModalControls>(kModalControlsTag);
        ASSERT_NE(modal, nullptr);
        modal->SetHarmonicIndex(wave);
        feeder_->prestress = prestress;
    }
};

TEST_F(CyclicSymmetryTest, SectorFormWithTheZygArguments) {
    Load("cyclic-sector");
    ASSERT_EQ(feeder_->WriteCyclicSymmetry(), kRC_Success);
    EXPECT_EQ(feeder_->GetCyclicSymmetryNodes(), (std::set<int>{1, 4, 7, 10}));
    // The sector's groups are numbered from their entities, not counted.
    EXPECT_EQ(GetDeckCounters().selectionGroup, 0);
    ExpectGoldenDeckLines("cyclic-sector", "expected-cyclic.txt");
}

// A high boundary edge that only a hexahedron holds has no element face: the sector is refused
// after its banner, before either of its groups, with a message naming the region and the edge.
TEST_F(CyclicSymmetryTest, AHighEdgeOfASolidElementIsRefusedBeforeAnyGroup) {
    Load("cyclic-sector", 1, [](HostSimCase& c) {
        c.mesh->AddGeometricEdge(103, 10, HostMeshEdges{false, {3, 6}});
        c.symmetryRegions[0].highBoundary = {{103, 0x4000}};
    });
    EXPECT_EQ(feeder_->WriteCyclicSymmetry(), kRC_MissingData);
    const std::vector<std::wstring> errors = feedertest::ErrorTexts(*feeder_);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(
        errors[0].rfind(L"The symmetry region of host object 40 (its high boundary) holds the edge 103,", 0),
        0u);
    EXPECT_TRUE(feeder_->GetCyclicSymmetryNodes().empty());
    EXPECT_EQ(DeckLines(), Lines{"!*********** Create Periodic/Cyclic Symmetry ***********"});
}

TEST_F(CyclicSymmetryTest, LinkFormTiesTheHighNodes) {
    Load("cyclic-link");
    ASSERT_EQ(feeder_->WriteCyclicSymmetry(), kRC_Success);
    EXPECT_EQ(feeder_->GetCyclicSymmetryNodes(), (std::set<int>{3, 6, 9, 12}));
    EXPECT_EQ(GetDeckCounters().selectionGroup, 1);
    ExpectGoldenDeckLines("cyclic-link", "expected-cyclic.txt");
}

TEST_F(CyclicSymmetryTest, LinkFormWithFrameZeroWritesNoAxisLine) {
    Load("cyclic-link", 1, [](HostSimCase& c) { c.coordinateSystems[0].deckFrameNumber = 0; });
    ASSERT_EQ(feeder_->WriteCyclicSymmetry(), kRC_Success);
    const Lines lines = DeckLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "  I 1 3 4 6 7 9 10 12");
}

TEST(CyclicSectorAngle, Table) {
    struct Case {
        double body;
        int code;
        double sector;
    };
    const Case cases[] = {{270, kRC_Success, 90},
                          {-30, kRC_Success, 30},
                          {30, kRC_Success, -30},
                          {180, kRC_Success, 180},
                          {0, kRC_MissingData, 0},
                          {1e-16, kRC_MissingData, 0},
                          {360.0000001, kRC_MissingData, 0},
                          {7, kRC_MissingData, 0}};
    for (const Case& c : cases) {
        double sector = 0.0;
        EXPECT_EQ(CyclicSectorAngle(c.body, sector), c.code) << c.body;
        if (c.code == kRC_Success) {
            EXPECT_DOUBLE_EQ(sector, c.sector) << c.body;
        }
    }
}

TEST_F(CyclicSymmetryTest, AnAxisAlongMinusZIs101) {
    Load("cyclic-sector", 1, [](HostSimCase& c) {
        ASSERT_EQ(c.coordinateSystems[0].frame.SetAxes({1, 0, 0}, 0, {0, -1, 0}, 1), S_OK);
    });
    EXPECT_EQ(feeder_->WriteCyclicSymmetry(), kRC_PeriodicAxisIncorrect);
}

TEST_F(CyclicSymmetryTest, EigenWithPrestressWritesTheSectorLineOnlyAndNoLink) {
    Load("cyclic-sector", kEigen);
    EXPECT_EQ(feeder_->WriteCyclicSymmetry(), kRC_MissingStepValue);  // no modal controls
    LoadEigen("cyclic-sector", 3, true);
    ASSERT_EQ(feeder_->WriteCyclicSymmetry(), kRC_Success);
    EXPECT_EQ(DeckLines(), (Lines{"!*********** Create Periodic/Cyclic Symmetry ***********", ".DEL.ZYG",
                                  ".ZYG GROUP 10000101 10000102 ANGLE -30 AXE Z WAVE 3 ATT 40 PRECT 0.001"}));
    LoadEigen("cyclic-link", 0, true);
    ASSERT_EQ(feeder_->WriteCyclicSymmetry(), kRC_Success);
    EXPECT_TRUE(DeckLines().empty());
}

TEST_F(CyclicSymmetryTest, SupportsWrittenAfterwardsLeaveOutTheTiedNodes) {
    Load("cyclic-link");
    ASSERT_EQ(feeder_->WriteCyclicSymmetry(), kRC_Success);
    NodeConstraintTable* table = feeder_->GetNodeConstraintTable();
    ASSERT_NE(table, nullptr);
    table->AddCylindricalSupport(1, 518, 3, {0, 1, 0});
    table->AddCylindricalSupport(1, 518, 5, {0, 1, 0});
    ASSERT_EQ(table->FinaliseAll(), S_OK);
    ASSERT_EQ(feeder_->WriteSupports(), kRC_Success);
    const Lines lines = DeckLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
              (Lines{".CLM", "!********* Frictionless Supports Y *********", "  FIX NOEUD I 5 C 2"}));
}

}  // namespace
