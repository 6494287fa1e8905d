// Equation solver and non-linear solution controls of an analysis.
#pragma once

#include <cstdint>
#include <set>

#include "settings/settings_record.h"
#include "settings/settings_types.h"

class DorvixSolverControls : public DorvixSettingsRecord {
  public:
    DorvixSolverControls() = default;
    explicit DorvixSolverControls(std::set<int> presentControls) : present_(std::move(presentControls)) {}

    // Which controls the owning class offers (and writes to its XML form).
    bool IsControlPresent(int code) const { return present_.count(code) != 0; }
    const std::set<int>& GetPresentControls() const { return present_; }
    void AddPresentControl(int code) { present_.insert(code); }

    std::uint32_t GetSolverType() const { return solverType_; }
    void SetSolverType(std::uint32_t v) { solverType_ = v; }
    std::uint32_t GetManualSolver() const { return manualSolver_; }
    void SetManualSolver(std::uint32_t v) { manualSolver_ = v; }
    std::uint32_t GetWeakSprings() const { return weakSprings_; }
    void SetWeakSprings(std::uint32_t v) { weakSprings_ = v; }
    std::uint32_t GetSpringsStiffnessType() const { return springsStiffness_; }
    void SetSpringsStiffnessType(std::uint32_t v) { springsStiffness_ = v; }
    double GetSpringsStiffnessFactor() const { return springsStiffnessFactor_; }
    void SetSpringsStiffnessFactor(double v) { springsStiffnessFactor_ = v; }
    double GetSpringsStiffnessValue() const { return springsStiffnessValue_; }
    void SetSpringsStiffnessValue(double v) { springsStiffnessValue_ = v; }
    bool GetUseLargeDeformation() const { return useLargeDeformation_; }
    void SetUseLargeDeformation(bool v) { useLargeDeformation_ = v; }
    double GetReformulationTolerance() const { return reformulationTolerance_; }
    void SetReformulationTolerance(double v) { reformulationTolerance_ = v; }
    std::uint32_t GetNonlinearFormulationType() const { return nonlinearFormulationType_; }
    void SetNonlinearFormulationType(std::uint32_t v) { nonlinearFormulationType_ = v; }
    bool GetDoInitialComputation() const { return doInitialComputation_; }
    void SetDoInitialComputation(bool v) { doInitialComputation_ = v; }
    bool GetDoPrestressedStatic() const { return doPrestressedStatic_; }
    void SetDoPrestressedStatic(bool v) { doPrestressedStatic_ = v; }

    bool operator==(const DorvixSolverControls&) const = default;

  private:
    std::set<int> present_;
    std::uint32_t solverType_ = kSolverProgramControlled;
    std::uint32_t manualSolver_ = kSolverSparse;
    std::uint32_t weakSprings_ = kProgramControlled;
    std::uint32_t springsStiffness_ = kStiffnessProgramControlled;
    double springsStiffnessFactor_ = 1.0;
    double springsStiffnessValue_ = 0.0;
    bool useLargeDeformation_ = false;
    double reformulationTolerance_ = 0.05;
    std::uint32_t nonlinearFormulationType_ = kFormulationProgramControlled;
    bool doInitialComputation_ = false;
    bool doPrestressedStatic_ = false;
};
