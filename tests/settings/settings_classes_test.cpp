// The settings classes: which the factory makes, type names, each class's defaults, typed lookups, copies.
#include <gtest/gtest.h>

#include <typeinfo>

#include "settings/harmonic_settings.h"
#include "settings/modal_settings.h"
#include "settings/settings_factory.h"
#include "settings/step_settings_classes.h"

namespace {

TEST(SettingsFactory, MatrixGivesExactlyTheSixSupportedClasses) {
    int created = 0;
    for (int physics = 0; physics <= 6; ++physics) {
        for (int analysis = -1; analysis <= 9; ++analysis) {
            auto s = CreateDorvixSolutionSettings(analysis, physics);
            if (!s) continue;
            ++created;
            EXPECT_EQ(s->GetAnalysisType(), analysis);
            EXPECT_EQ(s->GetPhysicsType(), physics);
        }
    }
    EXPECT_EQ(created, 6);
    auto expectClass = [](int analysis, int physics, const std::type_info& type) {
        auto s = CreateDorvixSolutionSettings(analysis, physics);
        ASSERT_NE(s, nullptr);
        const DorvixSolutionSettings& object = *s;
        EXPECT_EQ(typeid(object), type);
    };
    expectClass(0, 1, typeid(DorvixStaticMechanicalSettings));
    expectClass(2, 1, typeid(DorvixTransientMechanicalSettings));
    expectClass(4, 1, typeid(DorvixBucklingMechanicalSettings));
    expectClass(5, 1, typeid(DorvixModalMechanicalSettings));
    expectClass(0, 2, typeid(DorvixStaticThermalSettings));
    expectClass(2, 2, typeid(DorvixTransientThermalSettings));
    EXPECT_EQ(CreateDorvixSolutionSettings(kHarmonicAnalysis, kMechanicalPhysics), nullptr);
    EXPECT_EQ(CreateDorvixSolutionSettings(kStaticAnalysis, kElectromagneticPhysics), nullptr);
}

TEST(SettingsFactory, NamesMapToTypes) {
    EXPECT_EQ(GetAnalysisTypeFromName(L"Shape"), kShapeAnalysis);
    EXPECT_EQ(GetAnalysisTypeFromName(L"modal"), kStaticAnalysis);  // exact match only
    EXPECT_EQ(GetPhysicsTypeFromName(L"ElectricCond"), kElectricCondPhysics);
    EXPECT_EQ(GetPhysicsTypeFromName(L"Acoustic"), kMechanicalPhysics);
    std::wstring name = L"unchanged";
    EXPECT_FALSE(GetAnalysisTypeName(9, name));
    EXPECT_EQ(name, L"unchanged");
    EXPECT_TRUE(GetAnalysisTypeName(6, name));
    EXPECT_EQ(name, L"InitialContact");

    auto transient = CreateDorvixSolutionSettingsFromNames(L"Transient", L"Plasma");
    ASSERT_NE(transient, nullptr);
    const DorvixSolutionSettings& transientObject = *transient;
    EXPECT_EQ(typeid(transientObject), typeid(DorvixTransientMechanicalSettings));
    auto thermal = CreateDorvixSolutionSettingsFromNames(L"Unknown", L"Thermal");
    ASSERT_NE(thermal, nullptr);
    const DorvixSolutionSettings& thermalObject = *thermal;
    EXPECT_EQ(typeid(thermalObject), typeid(DorvixStaticThermalSettings));
}

TEST(StepSettingsDefaults, StaticStructural) {
    DorvixStaticMechanicalSettings s;
    EXPECT_EQ(s.GetNumberOfSteps(), 1);
    EXPECT_EQ(s.GetControls(kStaticMechanicalClassTag), &s);
    const DorvixStepControls* step = s.GetStepControlsAs<DorvixStepControls>(1, kStepSelector);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->GetEndTime(), 1.0);
    EXPECT_EQ(step->GetStepCodes(), (std::set<int>{2, 3, 4}));
    EXPECT_FALSE(step->GetTimeIntegration());
    const DorvixTimeStepOptions& o = step->GetTimeStepOptions();
    EXPECT_EQ(o.GetTimeStepDefineby(), kDefineBySubSteps);
    EXPECT_EQ(o.GetUseAutoTimeStepping(), kProgramControlled);
    EXPECT_EQ(o.GetInitialTimeStep(), 1.0);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.1);
    EXPECT_EQ(o.GetMaximumTimeStep(), 1.0);
    EXPECT_EQ(step->GetOutputControls().GetSupportedOutputs(), (std::set<int>{1, 2, 3, 4, 6}));
    EXPECT_EQ(step->GetOutputControls().GetRequestedOutputs(), (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(s.GetSolverControls().GetPresentControls(), (std::set<int>{1, 2, 3, 5, 6}));
    EXPECT_FALSE(s.GetSolverControls().GetUseLargeDeformation());
    EXPECT_EQ(s.GetSolverFileControls().GetPhysicsType(), 1u);
    EXPECT_EQ(s.GetSolverFileControls().GetAnalysisType(), 0u);
    EXPECT_EQ(s.GetDampingControls(), nullptr);
    EXPECT_EQ(s.GetControls(kDampingControlsTag), nullptr);
}

TEST(StepSettingsDefaults, TransientStructural) {
    DorvixTransientMechanicalSettings s;
    const DorvixStepControls* step = s.GetStepList().GetStep(1);
    EXPECT_EQ(step->GetStepCodes(), (std::set<int>{1, 3, 4}));
    EXPECT_TRUE(step->GetTimeIntegration());
    EXPECT_EQ(step->GetTimeStepOptions().GetUseAutoTimeStepping(), kOn);
    EXPECT_EQ(step->GetTimeStepOptions().GetTimeStepDefineby(), kDefineByTime);
    EXPECT_EQ(step->GetTimeStepOptions().GetInitialTimeStep(), 0.0);
    EXPECT_TRUE(s.GetSolverControls().GetUseLargeDeformation());
    EXPECT_EQ(s.GetSolverControls().GetPresentControls(), (std::set<int>{1, 2, 3, 5}));
    ASSERT_NE(s.GetDampingControls(), nullptr);
    EXPECT_EQ(s.GetDampingControls()->GetPresentControls(), (std::set<int>{2, 3}));
    EXPECT_EQ(s.GetControlsAs<DorvixDampingControls>(kDampingControlsTag), s.GetDampingControls());
}

TEST(StepSettingsDefaults, Thermal) {
    DorvixStaticThermalSettings st;
    const DorvixStepControls* step = st.GetStepList().GetStep(1);
    EXPECT_EQ(step->GetStepCodes(), (std::set<int>{3, 4}));
    EXPECT_EQ(step->GetOutputControls().GetSupportedOutputs(), (std::set<int>{4, 5, 6}));
    EXPECT_EQ(step->GetOutputControls().GetRequestedOutputs(), (std::set<int>{4, 5}));
    EXPECT_EQ(step->GetTimeStepOptions().GetTimeStepDefineby(), kDefineBySubSteps);
    EXPECT_EQ(st.GetSolverControls().GetPresentControls(), (std::set<int>{1}));

    DorvixTransientThermalSettings tt;
    step = tt.GetStepList().GetStep(1);
    EXPECT_TRUE(step->GetTimeIntegration());
    const DorvixTimeStepOptions& o = step->GetTimeStepOptions();
    EXPECT_EQ(o.GetInitialTimeStep(), 0.01);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.001);
    EXPECT_EQ(o.GetMaximumTimeStep(), 0.1);
    EXPECT_EQ(o.GetInitialSteps(), 100u);
    EXPECT_EQ(tt.GetSolverControls().GetPresentControls(), (std::set<int>{1, 4}));
    EXPECT_EQ(tt.GetSolverFileControls().GetPhysicsType(), 2u);
    EXPECT_EQ(tt.GetSolverFileControls().GetAnalysisType(), 2u);
}

TEST(NonStepSettingsDefaults, HarmonicModalBuckling) {
    DorvixHarmonicMechanicalSettings h;
    EXPECT_EQ(h.GetOutputControls().GetSupportedOutputs(), (std::set<int>{1, 2}));
    EXPECT_TRUE(h.GetOutputControls().GetRequestedOutputs().empty());
    EXPECT_EQ(h.GetDampingControls().GetPresentControls(), (std::set<int>{1, 2}));
    EXPECT_EQ(h.GetSolverControls().GetPresentControls(), (std::set<int>{1}));
    EXPECT_EQ(h.GetControls(kHarmonicControlsTag), &h.GetHarmonicControls());
    EXPECT_EQ(h.GetControls(kHarmonicMechanicalClassTag), &h);

    DorvixModalMechanicalSettings m;
    EXPECT_EQ(m.GetSolverControls().GetPresentControls(), (std::set<int>{1, 3}));
    EXPECT_EQ(m.GetControls(kStepListTag), nullptr);
    EXPECT_EQ(m.GetNumberOfSteps(), 1);
    // The step is ignored; the selector is a record tag.
    EXPECT_EQ(m.GetStepControls(7, kModalControlsTag), &m.GetModalControls());
    EXPECT_EQ(m.GetSolverFileControls().GetAnalysisType(), 5u);
    EXPECT_EQ(m.ApplyTemplateToStep(nullptr, 0), 0);

    DorvixBucklingMechanicalSettings b;
    EXPECT_EQ(b.GetControls(kBucklingControlsTag), &b.GetBucklingControls());
    EXPECT_EQ(b.GetControls(kModalControlsTag), nullptr);
    EXPECT_EQ(b.GetSolverFileControls().GetAnalysisType(), 4u);
}

TEST(TypedControls, AMismatchedTypeGivesNull) {
    DorvixModalMechanicalSettings m;
    EXPECT_NE(m.GetControlsAs<DorvixModalControls>(kModalControlsTag), nullptr);
    EXPECT_EQ(m.GetControlsAs<DorvixSolverControls>(kModalControlsTag), nullptr);
    EXPECT_EQ(m.GetControlsAs<DorvixModalControls>(99), nullptr);
    const DorvixSolutionSettings& constView = m;
    EXPECT_NE(constView.GetControlsAs<DorvixOutputControls>(kOutputControlsTag), nullptr);
    DorvixStaticMechanicalSettings s;
    EXPECT_NE(s.GetStepControlsAs<DorvixTimeStepOptions>(1, kTimeStepOptionsSelector), nullptr);
    EXPECT_NE(s.GetStepControlsAs<DorvixOutputControls>(1, kStepOutputControlsSelector), nullptr);
    EXPECT_EQ(s.GetStepControlsAs<DorvixOutputControls>(1, kTimeStepOptionsSelector), nullptr);
    EXPECT_EQ(s.GetStepControls(1, 3), nullptr);
    EXPECT_EQ(s.GetStepControls(2, kStepSelector), nullptr);
    EXPECT_NE(s.GetControlsAs<DorvixStepControlsList>(kStepListTag), nullptr);
}

TEST(CloneAndCopy, CloneCopiesStepsButNotTheTemplate) {
    DorvixStaticMechanicalSettings source;
    ASSERT_EQ(source.GetStepList().AddStepAtTime(2.5), 0);
    source.GetStepList().GetStep(2)->GetTimeStepOptions().SetNewtonEnergyConvergence(0.5);
    source.GetSolverFileControls().SetResultFile(L"out.res");
    auto clone = CloneDorvixSolutionSettings(&source);
    ASSERT_NE(clone, nullptr);
    EXPECT_TRUE(*clone == source);
    EXPECT_EQ(clone->GetNumberOfSteps(), 2);
    auto* typed = dynamic_cast<DorvixStaticMechanicalSettings*>(clone.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->GetTemplateTimeStepOptions(),
              DorvixStaticMechanicalSettings().GetTemplateTimeStepOptions());
    EXPECT_EQ(typed->GetStepList().GetStep(2)->GetOwner(), &typed->GetStepList());
    EXPECT_EQ(CloneDorvixSolutionSettings(nullptr), nullptr);
    // The harmonic class has no factory path, so it cannot be cloned.
    DorvixHarmonicMechanicalSettings harmonic;
    EXPECT_EQ(CloneDorvixSolutionSettings(&harmonic), nullptr);
}

TEST(CloneAndCopy, CopyNeedsTheSameClassNotJustTheSameTypes) {
    DorvixStaticMechanicalSettings statics;
    DorvixModalMechanicalSettings modal;
    modal.GetModalControls().SetNumModesToFind(12);
    // Public setters can make the types agree; the classes still differ.
    statics.SetAnalysisType(kModalAnalysis);
    ASSERT_TRUE(statics.IsSameType(&modal));
    EXPECT_FALSE(statics.CopyFrom(modal));
    EXPECT_FALSE(modal.CopyFrom(statics));
    EXPECT_EQ(modal.GetModalControls().GetNumModesToFind(), 12);
    EXPECT_FALSE(statics == modal);
    EXPECT_FALSE(statics.IsSameType(nullptr));

    DorvixModalMechanicalSettings other;
    EXPECT_FALSE(other == modal);
    other = modal;  // assignment copies
    EXPECT_TRUE(other == modal);
    EXPECT_EQ(other.GetModalControls().GetNumModesToFind(), 12);

    DorvixTransientMechanicalSettings a, b;
    a.GetDampingControls()->SetNumericalValue(0.3);
    b = a;
    EXPECT_EQ(b.GetDampingControls()->GetNumericalValue(), 0.3);
    EXPECT_TRUE(a == b);
}

}  // namespace
