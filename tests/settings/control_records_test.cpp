// The modal, output, solver-file, solver, damping and harmonic control records: defaults, ranges, rules.
#include <gtest/gtest.h>

#include "foundation/jx_list.h"
#include "foundation/unit_systems.h"
#include "settings/damping_controls.h"
#include "settings/harmonic_controls.h"
#include "settings/modal_controls.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"

namespace {

TEST(ModalControls, ModeCountBelowOneFallsBackToSix) {
    DorvixModalControls m;
    EXPECT_EQ(m.GetNumModesToFind(), 6);
    m.SetNumModesToFind(1);
    EXPECT_EQ(m.GetNumModesToFind(), 1);
    m.SetNumModesToFind(0);
    EXPECT_EQ(m.GetNumModesToFind(), 6);
    m.SetNumModesToFind(-3);
    EXPECT_EQ(m.GetNumModesToFind(), 6);
    m.StoreNumModesToFind(0);
    EXPECT_EQ(m.GetNumModesToFind(), 0);
}

TEST(ModalControls, FrequencyRangeRules) {
    double lo = -1, hi = -1;
    DorvixModalControls defaults;
    defaults.SetFrequencyRange(0, 1e8);
    EXPECT_FALSE(defaults.GetRangeSearch());

    DorvixModalControls m;
    m.SetFrequencyRange(10, 100);
    m.GetFrequencyRange(lo, hi);
    EXPECT_EQ(lo, 10);
    EXPECT_EQ(hi, 100);
    EXPECT_TRUE(m.GetRangeSearch());

    m.SetFrequencyRange(-5, 200);  // negative minimum kept out
    m.GetFrequencyRange(lo, hi);
    EXPECT_EQ(lo, 10);
    EXPECT_EQ(hi, 200);

    DorvixModalControls inverted;
    inverted.SetFrequencyRange(50, 20);
    inverted.GetFrequencyRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 20);
    EXPECT_TRUE(inverted.GetRangeSearch());

    DorvixModalControls below;
    below.SetFrequencyRange(30, 40);
    below.SetFrequencyRange(50, 5);
    below.GetFrequencyRange(lo, hi);
    EXPECT_EQ(lo, 30);  // 5 is not above 30: nothing moves
    EXPECT_EQ(hi, 40);
}

TEST(ModalControls, ReferenceTemperatureIsHeldInDegreesCelsius) {
    DorvixModalControls m;
    m.SetRefTemperature(22.0, kReferenceTemperatureSystem);
    EXPECT_EQ(m.GetStoredRefTemperature(), 22.0);
    // Room temperature, never 22 kelvin: 71.6 degrees Fahrenheit, 295.15 kelvin.
    EXPECT_NEAR(m.GetRefTemperature(kUnitsBinStandard), 71.6, 1e-9);
    EXPECT_NEAR(m.GetRefTemperature(kReferenceUnitSystem), 295.15, 1e-9);
    const UnitSystemTable& table = GetUnitSystemTable();
    for (int system : {0, 5, 6, 7, 8, 10, 11 | kUnitFlagCelsius, 4 | kUnitFlagCelsius}) {
        ASSERT_TRUE(table.IsKnownSystem(system)) << system;
        const double inSystem =
            table.Convert(kReferenceTemperatureSystem, system, kTemperatureQuantity, 22.0);
        EXPECT_DOUBLE_EQ(m.GetRefTemperature(system), inSystem) << system;
        DorvixModalControls other;
        other.SetRefTemperature(inSystem, system);
        EXPECT_NEAR(other.GetStoredRefTemperature(), 22.0, 1e-9) << system;
    }
}

TEST(OutputControls, OnlySupportedCodesCanBeRequested) {
    DorvixOutputControls o({1, 2});
    o.SetOutputRequested(3, true);
    EXPECT_FALSE(o.IsOutputRequested(3));
    EXPECT_TRUE(o.GetRequestedOutputs().empty());
    o.SetOutputRequested(1, true);
    EXPECT_TRUE(o.IsOutputRequested(1));
    o.SetOutputRequested(1, false);
    EXPECT_FALSE(o.IsOutputRequested(1));
    // A stored request for an unsupported code is kept but does not count.
    o.SetRequestedOutputs({5});
    EXPECT_FALSE(o.IsOutputRequested(5));
    EXPECT_EQ(o.GetEquallySpaced(), 1);
    EXPECT_EQ(o.GetTimePointsOptions(), kTimePointsAll);
}

TEST(OutputControls, ResultSetValuesInAscendingOrder) {
    DorvixOutputControls o;
    double v = -1;
    EXPECT_EQ(o.GetResultSetValue(0, v), E_FAIL);
    o.SetResultSets({2.0, 0.5, 1.0});
    EXPECT_EQ(o.GetResultSetValue(0, v), S_OK);
    EXPECT_EQ(v, 0.5);
    EXPECT_EQ(o.GetResultSetValue(2, v), S_OK);
    EXPECT_EQ(v, 2.0);
    EXPECT_EQ(o.GetResultSetValue(3, v), E_FAIL);
    EXPECT_EQ(o.GetResultSetValue(-1, v), E_FAIL);
    JXList<double> list;
    list.Add(9.0);
    o.CopyResultSetsTo(list);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[1], 0.5);
    EXPECT_EQ(list[3], 2.0);
}

TEST(SolverFileControls, DefaultsAndValueTexts) {
    DorvixSolverFileControls f;
    EXPECT_EQ(f.GetSolverUnits(), 0xFFFF);
    EXPECT_TRUE(f.GetSaveDorvixDB());
    EXPECT_TRUE(f.GetDeleteUnusedFiles());
    EXPECT_EQ(f.GetFutureAnalysisType(), kNoFutureAnalysis);
    EXPECT_FALSE(f.HasAdditionalList());
    std::wstring text = L"/work/run";
    f.SetSolverFilesDirectory(text);
    text[0] = L'X';  // the record keeps its own copy
    EXPECT_EQ(f.GetSolverFilesDirectory(), L"/work/run");
    f.SetAdditionalList(L"a.dat");
    EXPECT_TRUE(f.HasAdditionalList());
    DorvixSolverFileControls copy = f;
    EXPECT_TRUE(copy == f);
    copy.SetResultFile(L"r.res");
    EXPECT_FALSE(copy == f);
}

TEST(SolverControls, Defaults) {
    DorvixSolverControls s({1, 3});
    EXPECT_TRUE(s.IsControlPresent(3));
    EXPECT_FALSE(s.IsControlPresent(2));
    EXPECT_EQ(s.GetSolverType(), kSolverProgramControlled);
    EXPECT_EQ(s.GetManualSolver(), kSolverSparse);
    EXPECT_EQ(s.GetSpringsStiffnessFactor(), 1.0);
    EXPECT_EQ(s.GetReformulationTolerance(), 0.05);
    EXPECT_FALSE(s.GetDoPrestressedStatic());
}

TEST(DampingControls, BetaFromFrequencyUsesSinglePrecisionPi) {
    DorvixDampingControls d;
    EXPECT_EQ(d.GetNumericalValue(), 0.1);
    d.SetBetaDamping(0.7);
    d.SetMeasure(0.02);
    d.UpdateBetaFromFrequency();  // frequency 0: unchanged
    EXPECT_EQ(d.GetBetaDamping(), 0.7);
    d.SetFrequency(2.0);
    d.UpdateBetaFromFrequency();
    EXPECT_EQ(d.GetBetaDamping(), 0.02 / (2.0 * 3.1415927410125732));
    EXPECT_NEAR(d.GetBetaDamping(), 0.0031831, 1e-7);
    EXPECT_EQ(d.SetConstantValue(0.25), 0.25);
}

TEST(HarmonicControls, DefaultsAndEquality) {
    DorvixHarmonicControls h;
    EXPECT_EQ(h.GetIntervals(), 10);
    EXPECT_EQ(h.GetClusterNumber(), 4);
    EXPECT_TRUE(h.GetForcingFrequencyStepped());
    DorvixHarmonicControls other;
    EXPECT_TRUE(h == other);
    other.SetManualRangeIntervals(3);
    EXPECT_FALSE(h == other);
}

}  // namespace
