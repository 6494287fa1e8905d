// Time stepping, Newton controls and printing/storage frequencies of one load step.
#pragma once

#include <array>
#include <cstdint>

#include "settings/settings_record.h"
#include "settings/settings_types.h"

// Index of a Newton control, in the order the controls are stored and written.
enum class NewtonControl {
    IterationMaximumNumber,
    IterationOptimumNumber,
    ResidualNormConvergence,
    EnergyConvergence,
    StiffnessMatrixConvergence,
    RelaxationConvergence,
};
inline constexpr int kNewtonControlCount = 6;

// Index of a printing or storage frequency, in the order they are stored and written.
enum class OutputFrequency {
    PrintingNodalResults,
    PrintingElementResults,
    PrintingGeneralResults,
    StorageNodalResults,
    StorageElementResults,
    StorageSelectedResults,
};
inline constexpr int kOutputFrequencyCount = 6;

class DorvixTimeStepOptions : public DorvixSettingsRecord {
  public:
    DorvixTimeStepOptions() = default;

    int GetUseAutoTimeStepping() const { return useAutoTimeStepping_; }
    void SetUseAutoTimeStepping(int v) { useAutoTimeStepping_ = v; }
    int GetTimeStepDefineby() const { return timeStepDefineby_; }
    void SetTimeStepDefineby(int v) { timeStepDefineby_ = v; }
    double GetInitialTimeStep() const { return initialTimeStep_; }
    void SetInitialTimeStep(double v) { initialTimeStep_ = v; }
    double GetMaximumTimeStep() const { return maximumTimeStep_; }
    void SetMaximumTimeStep(double v) { maximumTimeStep_ = v; }
    double GetMinimumTimeStep() const { return minimumTimeStep_; }
    void SetMinimumTimeStep(double v) { minimumTimeStep_ = v; }
    bool GetCarryOverTimeStep() const { return carryOverTimeStep_; }
    void SetCarryOverTimeStep(bool v) { carryOverTimeStep_ = v; }

    double GetTimeStep() const { return initialTimeStep_; }
    // Sets the initial, minimum and maximum time step alike.
    void SetTimeStep(double t);

    // Sub-step counts derived from the step span and the time steps; 0 when the time step
    // they divide by is not positive.
    std::uint32_t GetInitialSteps() const;
    std::uint32_t GetNumberOfSubSteps() const { return GetInitialSteps(); }
    std::uint32_t GetMaximumSteps() const;
    std::uint32_t GetMinimumSteps() const;
    // Each turns a count into the time step it implies for the current span; 0 changes nothing.
    void SetInitialSteps(std::uint32_t n);
    void SetMaximumSteps(std::uint32_t n);
    void SetMinimumSteps(std::uint32_t n);
    void SetNumberOfSubSteps(std::uint32_t n);

    double GetStepSpan() const { return stepSpan_; }
    // A step defined by sub-steps keeps its sub-step counts when its duration changes; one
    // defined by time keeps its time steps.
    void SetStepSpan(double newSpan);
    // Replaces the span without touching the time steps (used when records are restored).
    void StoreStepSpan(double span) { stepSpan_ = span; }

    std::int32_t GetReserved() const { return reserved_; }
    void SetReserved(std::int32_t v) { reserved_ = v; }

    bool IsTimeStepValid() const;
    bool IsTimeStepRangeValid() const;
    bool IsSubStepsValid() const;
    bool IsSubStepRangeValid() const;

    // Indexed access for the persistence code; type 0 is ProgramControlled, 1 Manual.
    int GetNewtonType(NewtonControl c) const { return newtonTypes_[Index(c)]; }
    void SetNewtonType(NewtonControl c, int type) { newtonTypes_[Index(c)] = type != 0 ? 1 : 0; }
    int GetFrequencyType(OutputFrequency f) const { return frequencyTypes_[Index(f)]; }
    void SetFrequencyType(OutputFrequency f, int type) { frequencyTypes_[Index(f)] = type != 0 ? 1 : 0; }
    std::uint32_t GetFrequency(OutputFrequency f) const { return frequencies_[Index(f)]; }
    void SetFrequency(OutputFrequency f, std::uint32_t v) { frequencies_[Index(f)] = v; }

    // Newton controls.
    int GetNewtonIterationMaximumNumberType() const {
        return GetNewtonType(NewtonControl::IterationMaximumNumber);
    }
    void SetNewtonIterationMaximumNumberType(int t) {
        SetNewtonType(NewtonControl::IterationMaximumNumber, t);
    }
    std::uint32_t GetNewtonIterationMaximumNumber() const { return iterationMaximumNumber_; }
    void SetNewtonIterationMaximumNumber(std::uint32_t v) { iterationMaximumNumber_ = v; }
    int GetNewtonIterationOptimumNumberType() const {
        return GetNewtonType(NewtonControl::IterationOptimumNumber);
    }
    void SetNewtonIterationOptimumNumberType(int t) {
        SetNewtonType(NewtonControl::IterationOptimumNumber, t);
    }
    std::uint32_t GetNewtonIterationOptimumNumber() const { return iterationOptimumNumber_; }
    void SetNewtonIterationOptimumNumber(std::uint32_t v) { iterationOptimumNumber_ = v; }
    int GetNewtonResidualNormConvergenceType() const {
        return GetNewtonType(NewtonControl::ResidualNormConvergence);
    }
    void SetNewtonResidualNormConvergenceType(int t) {
        SetNewtonType(NewtonControl::ResidualNormConvergence, t);
    }
    double GetNewtonResidualNormConvergence() const { return residualNormConvergence_; }
    void SetNewtonResidualNormConvergence(double v) { residualNormConvergence_ = v; }
    int GetNewtonEnergyConvergenceType() const { return GetNewtonType(NewtonControl::EnergyConvergence); }
    void SetNewtonEnergyConvergenceType(int t) { SetNewtonType(NewtonControl::EnergyConvergence, t); }
    double GetNewtonEnergyConvergence() const { return energyConvergence_; }
    void SetNewtonEnergyConvergence(double v) { energyConvergence_ = v; }
    int GetNewtonStiffnessMatrixConvergenceType() const {
        return GetNewtonType(NewtonControl::StiffnessMatrixConvergence);
    }
    void SetNewtonStiffnessMatrixConvergenceType(int t) {
        SetNewtonType(NewtonControl::StiffnessMatrixConvergence, t);
    }
    double GetNewtonStiffnessMatrixConvergence() const { return stiffnessMatrixConvergence_; }
    void SetNewtonStiffnessMatrixConvergence(double v) { stiffnessMatrixConvergence_ = v; }
    int GetNewtonRelaxationConvergenceType() const {
        return GetNewtonType(NewtonControl::RelaxationConvergence);
    }
    void SetNewtonRelaxationConvergenceType(int t) { SetNewtonType(NewtonControl::RelaxationConvergence, t); }
    double GetNewtonRelaxationConvergence() const { return relaxationConvergence_; }
    void SetNewtonRelaxationConvergence(double v) { relaxationConvergence_ = v; }

    // Printing and storage frequencies.
    int GetPrintingFrequencyNodalResultsType() const {
        return GetFrequencyType(OutputFrequency::PrintingNodalResults);
    }
    void SetPrintingFrequencyNodalResultsType(int t) {
        SetFrequencyType(OutputFrequency::PrintingNodalResults, t);
    }
    std::uint32_t GetPrintingFrequencyNodalResults() const {
        return GetFrequency(OutputFrequency::PrintingNodalResults);
    }
    void SetPrintingFrequencyNodalResults(std::uint32_t v) {
        SetFrequency(OutputFrequency::PrintingNodalResults, v);
    }
    int GetPrintingFrequencyElementResultsType() const {
        return GetFrequencyType(OutputFrequency::PrintingElementResults);
    }
    void SetPrintingFrequencyElementResultsType(int t) {
        SetFrequencyType(OutputFrequency::PrintingElementResults, t);
    }
    std::uint32_t GetPrintingFrequencyElementResults() const {
        return GetFrequency(OutputFrequency::PrintingElementResults);
    }
    void SetPrintingFrequencyElementResults(std::uint32_t v) {
        SetFrequency(OutputFrequency::PrintingElementResults, v);
    }
    int GetPrintingFrequencyGeneralResultsType() const {
        return GetFrequencyType(OutputFrequency::PrintingGeneralResults);
    }
    void SetPrintingFrequencyGeneralResultsType(int t) {
        SetFrequencyType(OutputFrequency::PrintingGeneralResults, t);
    }
    std::uint32_t GetPrintingFrequencyGeneralResults() const {
        return GetFrequency(OutputFrequency::PrintingGeneralResults);
    }
    void SetPrintingFrequencyGeneralResults(std::uint32_t v) {
        SetFrequency(OutputFrequency::PrintingGeneralResults, v);
    }
    int GetStorageFrequencyNodalResultsType() const {
        return GetFrequencyType(OutputFrequency::StorageNodalResults);
    }
    void SetStorageFrequencyNodalResultsType(int t) {
        SetFrequencyType(OutputFrequency::StorageNodalResults, t);
    }
    std::uint32_t GetStorageFrequencyNodalResults() const {
        return GetFrequency(OutputFrequency::StorageNodalResults);
    }
    void SetStorageFrequencyNodalResults(std::uint32_t v) {
        SetFrequency(OutputFrequency::StorageNodalResults, v);
    }
    int GetStorageFrequencyElementResultsType() const {
        return GetFrequencyType(OutputFrequency::StorageElementResults);
    }
    void SetStorageFrequencyElementResultsType(int t) {
        SetFrequencyType(OutputFrequency::StorageElementResults, t);
    }
    std::uint32_t GetStorageFrequencyElementResults() const {
        return GetFrequency(OutputFrequency::StorageElementResults);
    }
    void SetStorageFrequencyElementResults(std::uint32_t v) {
        SetFrequency(OutputFrequency::StorageElementResults, v);
    }
    int GetStorageFrequencySelectedResultsType() const {
        return GetFrequencyType(OutputFrequency::StorageSelectedResults);
    }
    void SetStorageFrequencySelectedResultsType(int t) {
        SetFrequencyType(OutputFrequency::StorageSelectedResults, t);
    }
    std::uint32_t GetStorageFrequencySelectedResults() const {
        return GetFrequency(OutputFrequency::StorageSelectedResults);
    }
    void SetStorageFrequencySelectedResults(std::uint32_t v) {
        SetFrequency(OutputFrequency::StorageSelectedResults, v);
    }

    bool operator==(const DorvixTimeStepOptions&) const = default;

  private:
    template <class E>
    static constexpr int Index(E e) {
        return static_cast<int>(e);
    }
    std::uint32_t CountFor(double timeStep) const;

    std::int32_t useAutoTimeStepping_ = kProgramControlled;
    std::int32_t timeStepDefineby_ = kDefineByTime;
    double initialTimeStep_ = 0.0;
    double maximumTimeStep_ = 0.0;
    double minimumTimeStep_ = 0.0;
    bool carryOverTimeStep_ = false;
    std::int32_t reserved_ = 0;
    double stepSpan_ = 1.0;
    std::array<std::uint8_t, kNewtonControlCount> newtonTypes_{};
    std::uint32_t iterationMaximumNumber_ = 10;
    std::uint32_t iterationOptimumNumber_ = 6;
    double residualNormConvergence_ = 0.001;
    double energyConvergence_ = 0.001;
    double stiffnessMatrixConvergence_ = 1e-10;
    double relaxationConvergence_ = 1e-9;
    std::array<std::uint8_t, kOutputFrequencyCount> frequencyTypes_{};
    std::array<std::uint32_t, kOutputFrequencyCount> frequencies_{10, 10, 10, 10, 10, 1};
};

// Rounds a quotient of span and time step to a sub-step count: half away from zero, the sum
// taken in single precision first. Negative and non-finite quotients give 0 and quotients
// beyond the range of the count saturate, so a degenerate step never yields a wrapped count.
std::uint32_t RoundSubStepCount(double quotient);
