// The thermal feeder's own sections: the analysis header, the thermal time stepping of a
// load step and the initial temperatures, uniform or from an earlier solve.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "../deck_test_support.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "feeder_test_support.h"
#include "foundation/unit_systems.h"
#include "hostsim/host_sim.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "result_files.h"
#include "settings/output_controls.h"
#include "settings/settings_factory.h"
#include "settings/step_controls_list.h"
#include "settings/time_step_options.h"
#include "tests/golden_file.h"

using feedertest::kAutomaticStepCard;
using Lines = std::vector<std::string>;

namespace {

class ThermalUnderTest : public feedertest::InScratch<ThermalDorvixFeeder> {
  public:
    using DorvixFeeder::SetSolveArguments;
    void UseSettings(int analysis, int steps) {
        std::unique_ptr<DorvixSolutionSettings> settings =
            CreateDorvixSolutionSettings(analysis, kThermalPhysics);
        ASSERT_TRUE(settings);
        ASSERT_EQ(settings->GetControlsAs<DorvixStepControlsList>(kStepListTag)->SetNumberOfSteps(steps),
                  kSettingsDone);
        AdoptSettings(std::move(settings));
    }
    DorvixTimeStepOptions& Options() {
        return *GetSettings()->GetStepControlsAs<DorvixTimeStepOptions>(1, kTimeStepOptionsSelector);
    }
    DorvixOutputControls& Output() {
        return *GetSettings()->GetStepControlsAs<DorvixOutputControls>(1, kStepOutputControlsSelector);
    }
};

const char* const kRule = "! ------------------------------------------------------------------------------";

TEST(ThermalHeader, NamesSteadyOrTransientAndRefusesNoStep) {
    struct Row {
        int analysis;
        int steps;
        int code;
        const char* title;
    };
    const Row rows[] = {
        {kStaticAnalysis, 2, kRC_Success, "! ANALYSE THERMIQUE STATIONNAIRE (NOLIN)"},
        {kTransientAnalysis, 1, kRC_Success, "! ANALYSE THERMIQUE TRANSITOIRE (NOLIN)"},
        {kStaticAnalysis, 0, kRC_NoLoadStep, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.steps);
        decktest::ScratchFolder scratch;
        ThermalUnderTest feeder;
        feeder.UseSettings(row.analysis, row.steps);
        feeder.OpenDeck();
        EXPECT_EQ(feeder.WriteAnalysisHeader(), row.code);
        Lines expected;
        if (row.title)
            expected = {row.title,
                        kRule,
                        ".MCNLTH &",
                        "! ",
                        row.title,
                        "! ",
                        "MODE IMPRES 0 LECT 132 MOUCHARD 1 ECHO 1"};
        EXPECT_EQ(feeder.CloseDeckLines(), expected);
        if (row.code == kRC_Success) {
            EXPECT_EQ(feeder.GetNumberOfSteps(), row.steps);
        }
    }
}

// One step from 0 to 1 in an SI deck unless a row changes it.
TEST(ThermalStepSubcase, WritesTheThermalBlockOfTheChosenStepping) {
    struct Row {
        const char* name;
        int analysis;
        std::function<void(ThermalUnderTest&)> set;
        int code;
        Lines cards;  // after the MECA lines, SIGMA and "  REAC 2"
    };
    const Row rows[] = {
        {"steady, program controlled",
         kStaticAnalysis,
         [](ThermalUnderTest& f) { f.Options().SetUseAutoTimeStepping(kProgramControlled); },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard}},
        {"transient, on by sub-steps",
         kTransientAnalysis,
         [](ThermalUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOn);
             f.Options().SetTimeStepDefineby(kDefineBySubSteps);
             f.Options().SetInitialSteps(4);
             f.Options().SetMaximumSteps(10);
             f.Options().SetMinimumSteps(2);
         },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard, "  DTI0 0.25 ! Initial time step",
          "  HMIN 0.1 ! Minimum time step", "  HMAX 0.5 ! Maximum time step"}},
        {"transient, off by time: the time step is the computed step",
         kTransientAnalysis,
         [](ThermalUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Options().SetTimeStepDefineby(kDefineByTime);
             f.Options().SetTimeStep(0.125);
             f.Output().SetTimePointsOptions(kTimePointsAll);
         },
         kRC_Success,
         {"  TIME 0. A 1. PAS 0.125"}},
        {"transient, off with zero sub-steps",
         kTransientAnalysis,
         [](ThermalUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Options().SetTimeStepDefineby(kDefineBySubSteps);
             f.Options().SetTimeStep(0.0);
         },
         kRC_MissingData,
         {}},
        {"unknown stepping",
         kStaticAnalysis,
         [](ThermalUnderTest& f) { f.Options().SetUseAutoTimeStepping(5); },
         kRC_MissingData,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        decktest::ScratchFolder scratch;
        ThermalUnderTest feeder;
        feeder.UseSettings(row.analysis, 1);
        row.set(feeder);
        feeder.OpenDeck();
        EXPECT_EQ(feeder.WriteStepSubcase(1), row.code);
        Lines expected;
        if (row.code == kRC_Success) {
            expected = {".SUB", "  I 1"};
            if (row.analysis == kTransientAnalysis) {
                expected.insert(expected.end(), {"  MECA 42 ! Transient analysis", "  IREF 0"});
            } else {
                expected.emplace_back("  MECA 22 ! Steady state analysis");
            }
            expected.insert(expected.end(), {"  SIGMA 5.669e-008", "  REAC 2"});
            expected.insert(expected.end(), row.cards.begin(), row.cards.end());
        }
        EXPECT_EQ(feedertest::NamingAutomaticStepCard(feeder.CloseDeckLines()), expected);
    }
}

// The block example (SI deck, temperatures in kelvin, unless a test names another deck unit
// system; 125 nodes in body 1) opened by a thermal feeder, with the initial condition a test
// sets.
class ThermalInitialTemperatures : public testing::Test {
  protected:
    virtual int DeckUnitSystem() const { return kUnitsSolverMks; }
    void SetUp() override {
        const std::filesystem::path folder = scratch_.Path() / "case";
        ASSERT_TRUE(platform::CreateFolders(folder));
        for (const char* file : {"CAERep.xml", "MatML.xml", "host.json"}) {
            if (platform::FileExists(feedertest::kBlock / file)) {
                ASSERT_TRUE(platform::CopyFileTo(feedertest::kBlock / file, folder / file, false));
            }
        }
        hostCase_ = std::shared_ptr<HostSimCase>(LoadHostCase(folder));
        hostCase_->deckUnitSystem = DeckUnitSystem();
        host_ = std::make_unique<HostSim>(hostCase_);
        feeder_.SetSolveArguments(&host_->DataSource(), nullptr);
        ASSERT_EQ(feeder_.LoadCAERepresentation(platform::WideFromPath(hostCase_->caeRepPath), L""),
                  kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
    }
    InitialConditionEntry& Entry() {
        if (!hostCase_->solveJob) hostCase_->solveJob.emplace();
        return hostCase_->solveJob->initialCondition.emplace();
    }
    // An earlier run's result description holding the value (300 unless given) at every listed
    // node at time 1, solved in the unit system given (this deck's unless given).
    void EarlierRun(const std::vector<int>& nodes, std::optional<int> unitSystem = std::nullopt,
                    double value = 300.0) {
        InitialConditionEntry& entry = Entry();
        entry.kind = 1;
        entry.earlierSolutionTime = 1.0;
        entry.source =
            InitialConditionSource{platform::WideFromPath(scratch_.Path()), L"earlier_mt.des",
                                   static_cast<std::uint16_t>(unitSystem.value_or(DeckUnitSystem()))};
        ASSERT_TRUE(WriteResultDescription((scratch_.Path() / "earlier_mt.des").string(), "mt", false,
                                           {{1, 1.0, 1}}, nodes, value));
    }
    static std::vector<int> Nodes(int first, int last) {
        std::vector<int> nodes;
        for (int n = first; n <= last; ++n) nodes.push_back(n);
        return nodes;
    }
    // The deck lines after the miscellaneous-free opening (everything the test wrote).
    Lines Written() {
        Lines lines = feeder_.CloseDeckLines();
        return lines;
    }

    decktest::ScratchFolder scratch_;
    std::shared_ptr<HostSimCase> hostCase_;
    std::unique_ptr<HostSim> host_;
    ThermalUnderTest feeder_;
};

TEST_F(ThermalInitialTemperatures, AUniformCelsiusValueGoesInInDeckUnits) {
    Entry().uniformTemperature = 22.0;
    ASSERT_EQ(feeder_.WriteInitialTemperatures(), kRC_Success);
    const Lines lines = Written();
    EXPECT_EQ(lines,
              (Lines{"!---------------------------------------", "! Initial Temperatures",
                     "!---------------------------------------", ".CLT GROUP \"ALL_NODES\" TT0 V  295.15"}));
}

TEST_F(ThermalInitialTemperatures, AnEarlierSolveGivesEveryNodeItsTemperature) {
    EarlierRun(Nodes(1, 125));
    ASSERT_EQ(feeder_.WriteInitialTemperatures(), kRC_Success);
    const Lines lines = Written();
    ASSERT_EQ(lines.size(), 3u + 1u + 125u);
    EXPECT_EQ(lines[0], "! --------------------------------------------------------");
    EXPECT_EQ(lines[1], "! ----------- Send Solved Initial Temperatures -----------");
    EXPECT_EQ(lines[2], lines[0]);
    EXPECT_EQ(lines[3], ".CLT TT0 NOEUD ");
    EXPECT_EQ(lines[4], "  I 1 V  300.");
    EXPECT_EQ(lines.back(), "  I 125 V  300.");
}

TEST_F(ThermalInitialTemperatures, MissingOrPartialEarlierTemperaturesAreRefused) {
    EarlierRun(Nodes(1, 124));  // node 125 has none
    EXPECT_EQ(feeder_.WriteInitialTemperatures(), kRC_InitialTemperatureSource);
    EXPECT_TRUE(feeder_.WasMessagePosted());
    const Lines partial = Written();
    EXPECT_EQ(partial, Lines{});

    ASSERT_TRUE(platform::RemoveFile(scratch_.Path() / "earlier_mt.des"));
    EXPECT_EQ(feeder_.WriteSolvedInitialTemperatures(), kRC_InitialTemperatureSource);
}

// An earlier solve in another unit system: its temperatures reach an inch deck (degrees
// Fahrenheit) converted, offsets included; one in a unit system the table does not know is
// refused rather than taken as read.
struct EarlierUnits {
    const char* name;
    int unitSystem;
    double value;
    const char* written;  // the deck's value; null: refused
};

void PrintTo(const EarlierUnits& row, std::ostream* os) { *os << row.name; }

class EarlierSolveUnits : public ThermalInitialTemperatures,
                          public testing::WithParamInterface<EarlierUnits> {
  protected:
    int DeckUnitSystem() const override { return kUnitsSolverBin; }
};

TEST_P(EarlierSolveUnits, TemperaturesAreConvertedIntoTheDeckUnitSystem) {
    const EarlierUnits& row = GetParam();
    EarlierRun(Nodes(1, 125), row.unitSystem, row.value);
    const int code = feeder_.WriteInitialTemperatures();
    const Lines lines = Written();
    if (!row.written) {
        EXPECT_EQ(code, kRC_InitialTemperatureSource);
        EXPECT_TRUE(feeder_.WasMessagePosted());
        EXPECT_EQ(lines, Lines{});
        return;
    }
    ASSERT_EQ(code, kRC_Success);
    ASSERT_EQ(lines.size(), 3u + 1u + 125u);
    EXPECT_EQ(lines[4], std::string("  I 1 V  ") + row.written);
    EXPECT_EQ(lines.back(), std::string("  I 125 V  ") + row.written);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EarlierSolveUnits,
    testing::Values(EarlierUnits{"kelvin", kUnitsSolverMks, 300.0, "80.33"},
                    EarlierUnits{"Celsius", kUnitsSolverMks | kUnitFlagCelsius, 100.0, "212."},
                    EarlierUnits{"Fahrenheit", kUnitsSolverBft, 300.0, "300."},
                    EarlierUnits{"unknown", kUnitsEmpty, 300.0, nullptr}),
    [](const testing::TestParamInfo<EarlierUnits>& info) { return std::string(info.param.name); });

}  // namespace

// Thermal cases with a uniform initial temperature (steady state with convection and radiation,
// transient with heat loads and a heat-flow history, steady state with thermal contacts),
// solved by the stand-in solver: the whole deck as reviewed, the thermal description named.
class ThermalWholeDeck : public ::testing::TestWithParam<const char*> {};

TEST_P(ThermalWholeDeck, IsSolvedAndMatchesItsReviewedDeck) {
    const std::string name = GetParam();
    feedertest::SolvedCase<ThermalUnderTest> run(name);
    EXPECT_EQ(run.Feed(), kRC_Success);
    int result = -1;
    unsigned bits = 1;
    int error = -1;
    (void)run.Package().GetStatus(result, bits, error);
    EXPECT_EQ(result, kRC_Success);
    EXPECT_EQ(error, kRC_Success);
    char description[64] = {};
    ASSERT_EQ(run.Package().GetResultFileName(description, sizeof description), S_OK);
    EXPECT_EQ(std::string(description), "dorvix_mt.des");
    golden::ExpectText(decktest::CaseFolder(name) / "expected-deck.dat",
                       decktest::ReadText(run.Folder() / "dorvix.dat"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ThermalWholeDeck,
                         ::testing::Values("thermal-steady", "thermal-transient-heat-flow",
                                           "thermal-contact-steady"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });
