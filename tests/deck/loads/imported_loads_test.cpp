// Imported loads, thicknesses and their tables, written by a feeder loaded and opened as the
// analysis feeders do. The "imported-*" cases carry the loads; a test that needs a broken
// table changes one column of the loaded model.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "../deck_test_support.h"
#include "../feeder/feeder_test_support.h"
#include "settings/step_controls.h"
#include "tests/golden_file.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

constexpr int kStructural = 1;
constexpr int kEigen = 2;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ImportedLoadsTest : public ::testing::Test {
  protected:
    void Open(const std::string& name, int kind, const std::vector<double>& stepEnds,
              bool twoDimensional = false) {
        // The host of the last case goes first, so its registrations do not outlive it.
        feeder_.reset();
        model_.reset();
        model_ = std::make_unique<ModelCase>(name);
        model_->MutableCase().is2D = twoDimensional;
        feeder_ = std::make_unique<FeederUnderTest>(kind);
        feeder_->UseSolveArguments(&model_->DataSource(), nullptr);
        ASSERT_EQ(feeder_->LoadCAERepresentation(model_->ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_->Open(), kRC_Success);
        feeder_->UseSettings(kStaticAnalysis, kMechanicalPhysics, static_cast<int>(stepEnds.size()));
        for (std::size_t i = 0; i < stepEnds.size(); ++i) {
            auto* controls = feeder_->GetSettings()->GetStepControlsAs<DorvixStepControls>(
                static_cast<int>(i) + 1, kStepSelector);
            ASSERT_NE(controls, nullptr);
            controls->StoreEndTime(stepEnds[i]);
        }
    }
    NCAERep::CCAERepBase& Load(int id) {
        std::vector<NCAERep::CCAERepBase*> loads;
        feeder_->GetInputRoot()->getDescendantsByType(L"ExternalLoad", loads);
        for (NCAERep::CCAERepBase* load : loads)
            if (load->getId() == id) return *load;
        ADD_FAILURE() << "no load " << id;
        return *loads.front();
    }
    // Replaces a column of the load's table, keeping its units.
    void SetColumn(int load, const std::wstring& column, std::vector<double> values) {
        NCAERep::CCAERepBase* table = Load(load).getChildByType(L"Table");
        if (!table) table = Load(load).getChildByType(L"sTable");
        ASSERT_NE(table, nullptr);
        NCAERep::CPropertyValue value = table->getProperty(column);
        value.setValue(std::move(values), value.quantityType(), value.units());
        table->setProperty(column, value);
    }
    NCAERep::CPropertyValue Time(double t) {
        NCAERep::CPropertyValue time;
        time.setValue(t, L"Time", L"s");
        return time;
    }
    void ExpectGolden(const std::string& name, const std::string& file) {
        golden::ExpectLines(decktest::CaseFolder(name) / file, feeder_->CloseDeckLines());
    }

    decktest::ScratchFolder scratch_;
    std::unique_ptr<ModelCase> model_;
    std::unique_ptr<FeederUnderTest> feeder_;
};

const std::string kTemperatureBanner =
    "! ~~~~~~~~~~~~ Create Imported Load \"Mapped Temperature\" (step 1) ~~~~~~~~~~~~";

}  // namespace

// Step 1 takes the temperatures of time 1; step 2 those of time 2 and the thermal condition,
// whose "RealValue" column wins over its "Values".
TEST_F(ImportedLoadsTest, WritesEachStepsTemperaturesInTheirReviewedForm) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-temperature", kEigen, {1.0, 2.0}));
    feeder_->SetCurrentStepEndTime(1.0);
    ASSERT_EQ(feeder_->WriteImportedLoads(1), kRC_Success);
    feeder_->SetCurrentStepEndTime(2.0);
    ASSERT_EQ(feeder_->WriteImportedLoads(2), kRC_Success);
    ExpectGolden("imported-temperature", "expected-imported-loads.txt");
}

TEST_F(ImportedLoadsTest, ImportedTemperatureIsWrittenInEigenRunsOnly) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-temperature", kStructural, {1.0, 2.0}));
    feeder_->SetCurrentStepEndTime(1.0);
    ASSERT_EQ(feeder_->WriteImportedLoads(1), kRC_Success);
    EXPECT_EQ(feeder_->CloseDeckLines(), Lines{kTemperatureBanner});
}

// Faces per hexahedron face (a face the element lacks is left out), a directed load split
// into components (a zero direction gives zeros), and a shell pressure per element, negated.
TEST_F(ImportedLoadsTest, WritesPressuresInTheirReviewedForm) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-pressure", kStructural, {1.0}));
    feeder_->SetCurrentStepEndTime(1.0);
    ASSERT_EQ(feeder_->WriteImportedLoads(1), kRC_Success);
    ExpectGolden("imported-pressure", "expected-imported-loads.txt");
}

// A plane model's pressure on every edge of a quadrilateral and on the third edge of a
// triangle; the row of a fourth triangle edge is left out.
TEST_F(ImportedLoadsTest, TwoDimensionalPressureOnEveryEdgeInItsReviewedForm) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-pressure-2d", kStructural, {1.0}, true));
    feeder_->SetCurrentStepEndTime(1.0);
    ASSERT_EQ(feeder_->WriteImportedLoads(1), kRC_Success);
    ExpectGolden("imported-pressure-2d", "expected-imported-loads.txt");
}

TEST_F(ImportedLoadsTest, TwoDimensionalDirectedLoadGoesOnEdgesWithoutZRows) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-pressure", kStructural, {1.0}, true));
    ASSERT_EQ(feeder_->WriteImportedSurfaceLoadTables(Load(50), Time(1.0), 1), kRC_Success);
    EXPECT_EQ(feeder_->CloseDeckLines(),
              (Lines{".CLM SFX ARETE", "  I 1 3 V 6. NC 1", "  I 1 4 V 0. NC 1", ".CLM SFY ARETE",
                     "  I 1 3 V 8. NC 1", "  I 1 4 V 0. NC 1", ".CLM SFZ ARETE"}));
}

// Each table that does not fit its rows writes nothing at all.
TEST_F(ImportedLoadsTest, PressureTableThatDoesNotFitWritesNothing) {
    struct Broken {
        const wchar_t* column;
        std::vector<double> values;
        double time;
    };
    const Broken cases[] = {
        {L"RealVectorK", {}, 1.0},         // directions neither all empty nor all full
        {L"FaceNumber", {1.0}, 1.0},       // a column shorter than the rows
        {L"Time", {1.0, 1.0}, 2.0},        // no row at the time
        {L"RealValue", {kNaN, 5.0}, 1.0},  // a value that is not a number
        {L"EntityId", {1e20, 1.0}, 1.0},   // an id outside the int range
        {L"RealVectorI", {std::numeric_limits<double>::infinity(), 0.0}, 1.0},
    };
    for (const Broken& broken : cases) {
        SCOPED_TRACE(::testing::Message() << &broken - cases);
        ASSERT_NO_FATAL_FAILURE(Open("imported-pressure", kStructural, {1.0}));
        ASSERT_NO_FATAL_FAILURE(SetColumn(50, broken.column, broken.values));
        EXPECT_EQ(feeder_->WriteImportedSurfaceLoadTables(Load(50), Time(broken.time), 1), kRC_Success);
        EXPECT_EQ(feeder_->CloseDeckLines(), Lines{});
    }
}

TEST_F(ImportedLoadsTest, TemperatureColumnsOfDifferentLengthWriteNothing) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-temperature", kEigen, {1.0, 2.0}));
    ASSERT_NO_FATAL_FAILURE(SetColumn(40, L"EntityId", {1, 2, 3}));
    ASSERT_NO_FATAL_FAILURE(SetColumn(50, L"EntityId", {5}));
    EXPECT_EQ(feeder_->WriteImportedTemperatureTable(Load(40), Time(1.0)), kRC_Success);
    EXPECT_EQ(feeder_->WriteImportedTemperatureTables(Load(50), Time(2.0)), kRC_Success);
    EXPECT_EQ(feeder_->CloseDeckLines(), Lines{});
}

// A time point is some step's end time within 1e-10 of it, or within 1e-15 of 0 at 0.
TEST_F(ImportedLoadsTest, TimePointMustBeAStepEndTime) {
    struct Match {
        double timePoint;
        double stepEnd;
        int code;
    };
    const Match cases[] = {
        {2.0000000001, 2.0, kRC_Success},
        {1e-16, 0.0, kRC_Success},
        {2.000001, 2.0, kRC_ImportedTimeNotStepEnd},
        {0.0, 1.0, kRC_ImportedTimeNotStepEnd},
        {kNaN, 0.0, kRC_ImportedTimeNotStepEnd},
    };
    for (const Match& match : cases) {
        SCOPED_TRACE(match.timePoint);
        ASSERT_NO_FATAL_FAILURE(Open("imported-temperature", kEigen, {match.stepEnd}));
        ASSERT_NO_FATAL_FAILURE(SetColumn(40, L"Time", std::vector<double>(6, match.timePoint)));
        ASSERT_NO_FATAL_FAILURE(SetColumn(50, L"Time", std::vector<double>(2, match.timePoint)));
        feeder_->SetCurrentStepEndTime(match.stepEnd);
        EXPECT_EQ(feeder_->WriteImportedLoads(1), match.code);
        const Lines lines = feeder_->CloseDeckLines();
        EXPECT_EQ(!lines.empty(), match.code == kRC_Success);
        EXPECT_EQ(feeder_->WasMessagePosted(), match.code != kRC_Success);
    }
}

TEST_F(ImportedLoadsTest, UnsupportedTypeStopsWith25AfterItsBanner) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-temperature", kEigen, {1.0, 2.0}));
    NCAERep::CPropertyValue type;
    type.setValue(std::wstring(L"ImportedConvectionCoefficient"));
    Load(40).setProperty(L"ExternalLoadType", type);
    feeder_->SetCurrentStepEndTime(1.0);
    EXPECT_EQ(feeder_->WriteImportedLoads(1), kRC_MissingData);
    EXPECT_EQ(feeder_->CloseDeckLines(), Lines{kTemperatureBanner});
}

TEST_F(ImportedLoadsTest, MissingTableOrStepStopsTheImportedLoads) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-temperature", kEigen, {1.0, 2.0}));
    // The thermal condition's time 2 is looked for past the one step the settings hold.
    feeder_->UseSettings(kStaticAnalysis, kMechanicalPhysics, 1);
    feeder_->SetNumberOfSteps(2);
    EXPECT_EQ(feeder_->WriteImportedLoads(1), kRC_MissingStepValue);
    Load(40).removeChildrenIf([](const NCAERep::CCAERepBase*) { return true; });
    EXPECT_EQ(feeder_->WriteImportedLoads(1), kRC_ModelLoadFailed);
}

// Element 2 of each thickness has a node outside the table and is left out.
TEST_F(ImportedLoadsTest, WritesThicknessesInTheirReviewedForm) {
    ASSERT_NO_FATAL_FAILURE(Open("imported-thickness", kStructural, {1.0}));
    ASSERT_EQ(feeder_->WriteImportedThickness(), kRC_Success);
    ExpectGolden("imported-thickness", "expected-imported-thickness.txt");
}

// Written by the model section, which stops with the thickness's code.
TEST_F(ImportedLoadsTest, ThicknessThatDoesNotFitStopsTheModelWith39) {
    const std::pair<const wchar_t*, std::vector<double>> cases[] = {
        {L"RealValue", {0.5, 0.5, 0.75, 0.001, 2, 9}},    // shorter than the rows
        {L"RealValue", {0.5, 0.5, 0.75, kNaN, 2, 9, 9}},  // not a number
        {L"EntityId", {1, 2, 4, 5, 3e10, 1, 2}},          // no node number
    };
    for (const auto& [column, values] : cases) {
        ASSERT_NO_FATAL_FAILURE(Open("imported-thickness", kStructural, {1.0}));
        ASSERT_NO_FATAL_FAILURE(SetColumn(40, column, values));
        EXPECT_EQ(feeder_->SendModel(), kRC_DataMismatch);
        EXPECT_TRUE(feeder_->WasMessagePosted());
    }
}
