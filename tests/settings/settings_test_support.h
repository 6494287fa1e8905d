// Helpers shared by the settings persistence tests: byte and XML round trips, and settings
// objects filled with values that differ from every default.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "foundation/jx_stream.h"
#include "foundation/xml.h"
#include "settings/harmonic_settings.h"
#include "settings/modal_settings.h"
#include "settings/settings_factory.h"
#include "settings/step_settings_classes.h"

namespace settings_test {

inline std::vector<std::uint8_t> SaveBytes(const DorvixSolutionSettings& s,
                                           JXByteOrder order = JXByteOrder::Little) {
    JXMemoryChannel channel;
    JXStream stream(channel);
    stream.BeginWrite(order);
    EXPECT_EQ(s.SaveDB(stream), S_OK);
    return channel.Bytes();
}

[[nodiscard]] inline HRESULT ResumeBytes(DorvixSolutionSettings& s, const std::vector<std::uint8_t>& bytes) {
    JXMemoryChannel channel(bytes);
    JXStream stream(channel);
    if (!stream.BeginRead()) return E_FAIL;
    return s.ResumeDB(stream);
}

// The settings written under an "AnalysisSettings" element, as document text.
inline std::string WriteXmlText(const DorvixSolutionSettings& s) {
    XmlDocument doc;
    EXPECT_EQ(doc.LoadFromText("<AnalysisSettings/>"), S_OK);
    EXPECT_EQ(s.WriteXML(doc.Root()), S_OK);
    return doc.SaveString();
}

[[nodiscard]] inline HRESULT ReadXmlText(DorvixSolutionSettings& s, const std::string& text) {
    XmlDocument doc;
    if (FAILED(doc.LoadFromText(text))) return E_FAIL;
    return s.ReadXML(doc.Root());
}

// Time stepping in one of four forms, with values the XML form carries exactly: automatic by
// time, fixed by sub-steps, automatic by sub-steps, fixed by time. The step's span must be set.
inline void FillStepOptions(DorvixTimeStepOptions& o, int variant) {
    switch (variant % 4) {
        case 1:
            o.SetUseAutoTimeStepping(kOn);
            o.SetTimeStepDefineby(kDefineByTime);
            o.SetInitialTimeStep(0.1);
            o.SetMinimumTimeStep(0.02);
            o.SetMaximumTimeStep(0.5);
            break;
        case 2:
            o.SetUseAutoTimeStepping(kOff);
            o.SetTimeStepDefineby(kDefineBySubSteps);
            o.SetNumberOfSubSteps(5);
            break;
        case 3:
            o.SetUseAutoTimeStepping(kOn);
            o.SetTimeStepDefineby(kDefineBySubSteps);
            o.SetInitialSteps(8);
            o.SetMinimumSteps(2);
            o.SetMaximumSteps(40);
            break;
        default:
            o.SetUseAutoTimeStepping(kOff);
            o.SetTimeStepDefineby(kDefineByTime);
            o.SetTimeStep(0.3);
            break;
    }
    o.SetNewtonIterationMaximumNumberType(1);
    o.SetNewtonIterationMaximumNumber(25 + variant);
    o.SetNewtonEnergyConvergenceType(1);
    o.SetNewtonEnergyConvergence(2.5e-4);
    o.SetNewtonRelaxationConvergenceType(1);
    o.SetNewtonRelaxationConvergence(0.75);
    o.SetPrintingFrequencyGeneralResultsType(1);
    o.SetPrintingFrequencyGeneralResults(3);
    o.SetStorageFrequencySelectedResultsType(1);
    o.SetStorageFrequencySelectedResults(7 + variant);
}

inline void FillSolverControls(DorvixSolverControls& solver) {
    if (solver.IsControlPresent(kSolverTypeControl)) {
        solver.SetSolverType(kSolverManual);
        solver.SetManualSolver(kSolverFrontal);
    }
    if (solver.IsControlPresent(kLargeDeformationControl))
        solver.SetUseLargeDeformation(!solver.GetUseLargeDeformation());
    if (solver.IsControlPresent(kWeakSpringsControl)) {
        solver.SetWeakSprings(kOn);
        solver.SetSpringsStiffnessType(kStiffnessFactor);
        solver.SetSpringsStiffnessFactor(2.5);
    }
    if (solver.IsControlPresent(kNonlinearFormulationControl)) {
        solver.SetNonlinearFormulationType(kFormulationQuasi);
        solver.SetReformulationTolerance(0.125);
    }
    if (solver.IsControlPresent(kInitialComputationControl)) solver.SetDoInitialComputation(true);
    if (solver.IsControlPresent(kPrestressedStaticControl)) solver.SetDoPrestressedStatic(true);
}

// Four steps (ends 1.5, 4, 10, 12) with values off the template; solver, file and damping
// controls changed. Every changed value is one the XML form carries.
template <class StepClass>
void FillStepSettings(StepClass& s) {
    DorvixStepControlsList& list = s.GetStepList();
    ASSERT_EQ(list.GetStep(1)->SetEndTime(1.5), kSettingsDone);
    for (double end : {4.0, 10.0, 12.0}) ASSERT_EQ(list.AddStepAtTime(end), kSettingsDone);
    for (int i = 1; i <= list.GetCount(); ++i) {
        DorvixStepControls* step = list.GetStep(i);
        FillStepOptions(step->GetTimeStepOptions(), i);
        DorvixOutputControls& out = step->GetOutputControls();
        for (int code : {kStressOutput, kStrainOutput, kContactOutput, kThermalFluxOutput})
            out.SetOutputRequested(code, (code + i) % 2 == 0);
        out.SetTimePointsOptions(i == 2 ? kTimePointsEquallySpaced : kTimePointsLast);
        if (i == 2) out.SetEquallySpaced(4);
        out.SetResultSetsType(kResultSetsManual);
        out.SetResultSets({0.25 * i, 1.5, 1e-7, 3e16});
        if (step->HasStepCode(kTimeIntegrationStepCode)) step->SetTimeIntegration(i != 2);
        if (step->HasStepCode(kInertialReliefStepCode)) step->SetInertialRelief(i == 2);
    }
    FillSolverControls(s.GetSolverControls());
    DorvixSolverFileControls& files = s.GetSolverFileControls();
    files.SetFutureAnalysisType(kSaveRestartFiles);
    files.SetSolverUnits(5);
    files.SetSolverFilesDirectory(L"/projects/run \u00e9t\u00e9");
    files.SetAdditionalList(L"extra.dat");
    files.SetSaveDorvixDB(false);
    files.SetResultFile(L"result.res");
    if (DorvixDampingControls* damping = s.GetDampingControls()) {
        damping->SetBetaDampingDefinition(kBetaByFrequency);
        damping->SetFrequency(12.5);
        damping->SetMeasure(0.03);
        damping->SetNumericalValue(0.2);
    }
}

inline void FillModalControls(DorvixModalControls& m) {
    m.SetNumModesToFind(14);
    m.SetFrequencyRange(5.5, 2500.0);
    m.StoreRefTemperature(20.5);
    m.SetHarmonicIndex(3);
}

// The buckling class keeps its solver controls out of its XML form: changeSolver false there.
inline void FillSharedRecords(DorvixNonStepSettings& s, bool changeSolver = true) {
    s.GetOutputControls().SetOutputRequested(kStrainOutput, true);
    s.GetOutputControls().SetResultSetsType(kResultSetsManual);
    s.GetOutputControls().SetResultSets({2.0, 8.0});
    if (changeSolver) FillSolverControls(s.GetSolverControls());
    s.GetSolverFileControls().SetFutureAnalysisType(kSaveFilesForPrestressedModalAnalysis);
    s.GetSolverFileControls().SetResultFile(L"modes.res");
    s.GetSolverFileControls().SetDeleteUnusedFiles(false);
}

inline void FillHarmonic(DorvixHarmonicMechanicalSettings& h) {
    FillSharedRecords(h);
    DorvixHarmonicControls& c = h.GetHarmonicControls();
    c.SetForcingFrequencyMinimum(10.0);
    c.SetForcingFrequencyMaximum(900.0);
    c.SetClustering(true);
    c.SetClusterNumber(7);
    c.SetForcingFrequencyStepped(false);
    c.SetStoreResultsAtAllFrequencies(1);
    c.SetModalFrequencyRange(kModalRangeManual);
    c.SetManualRangeMinimum(1.0);
    c.SetManualRangeMaximum(2000.0);
    c.SetManualRangeIntervals(30);
    h.GetDampingControls().SetConstantValue(0.015);
    h.GetDampingControls().SetBetaDamping(0.001);
}

// One object of every settings class, filled by the helpers above. changeBucklingSolver false
// for the XML tests: the buckling class keeps its solver controls out of its XML form.
inline std::vector<std::unique_ptr<DorvixSolutionSettings>> FilledObjects(bool changeBucklingSolver = true) {
    std::vector<std::unique_ptr<DorvixSolutionSettings>> all;
    const auto addSteps = [&all](auto settings) {
        FillStepSettings(*settings);
        all.push_back(std::move(settings));
    };
    addSteps(std::make_unique<DorvixStaticMechanicalSettings>());
    addSteps(std::make_unique<DorvixTransientMechanicalSettings>());
    addSteps(std::make_unique<DorvixStaticThermalSettings>());
    addSteps(std::make_unique<DorvixTransientThermalSettings>());
    auto harmonic = std::make_unique<DorvixHarmonicMechanicalSettings>();
    FillHarmonic(*harmonic);
    all.push_back(std::move(harmonic));
    auto modal = std::make_unique<DorvixModalMechanicalSettings>();
    FillSharedRecords(*modal);
    FillModalControls(modal->GetModalControls());
    all.push_back(std::move(modal));
    auto buckling = std::make_unique<DorvixBucklingMechanicalSettings>();
    FillSharedRecords(*buckling, changeBucklingSolver);
    FillModalControls(buckling->GetBucklingControls());
    all.push_back(std::move(buckling));
    return all;
}

// A default object of the same class (the factory offers no path to the harmonic class).
inline std::unique_ptr<DorvixSolutionSettings> FreshLike(const DorvixSolutionSettings& s) {
    if (typeid(s) == typeid(DorvixHarmonicMechanicalSettings))
        return std::make_unique<DorvixHarmonicMechanicalSettings>();
    return CreateDorvixSolutionSettings(s.GetAnalysisType(), s.GetPhysicsType());
}

}  // namespace settings_test
