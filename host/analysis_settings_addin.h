// How the host drives the analysis-settings object a solver add-in provides: its solver name,
// types, steps and times, directories, the host XML it is written into and read from, and
// the copy from another settings object. Also the host's enumerations of those settings.
#pragma once

#include <cstdint>

#include "platform/com.h"

enum JXPhysicsType : std::int32_t {
    kPT_Mechanical = 1,
    kPT_Thermal = 2,
};

enum JXSimulationType : std::int32_t {
    kSIMULATION_STATIC = 0,
    kSIMULATION_HARMONIC = 1,
    kSIMULATION_TRANSIENT = 2,
    kSIMULATION_SPECTRUM = 3,
    kSIMULATION_BUCKLING = 4,
    kSIMULATION_MODAL = 5,
};

enum JXAutoTimeSteppingType : std::int32_t {
    kAutoTimeStepping_ProgramControlled = 0,
    kAutoTimeStepping_On = 1,
    kAutoTimeStepping_Off = 2,
};

enum JXTimeStepDefineByType : std::int32_t {
    kTimeStepDefineBy_SubSteps = 0,
    kTimeStepDefineBy_Time = 1,
};

enum JXTimePointsOptions : std::int32_t {
    kTimePoints_All = 0,
    kTimePoints_Last = 1,
    kTimePoints_EquallySpaced = 2,
};

enum JXFutureIntentType : std::int32_t {
    kFutureIntent_None = 0,
    kFutureIntent_PrestressedModal = 4,
    kFutureIntent_Restart = 5,
};

inline constexpr IID IID_IJXAnalysisSettingsAddIn = MakeGuid("5f9006e7-d206-468b-b6b6-2f2e08ae0fb8");
inline constexpr IID IID_IJXAnalysisSettingsAddIn2 = MakeGuid("749cdb2c-f14d-45ee-a01c-388df13a4fd1");

struct IJXAnalysisSettingsAddIn : IUnknown {
    static constexpr const IID& iid() { return IID_IJXAnalysisSettingsAddIn; }
    [[nodiscard]] virtual HRESULT get_SolverName(BSTR* name) = 0;
    // `hostNode` is a host object carrying the XML element (host/analysis_host.h).
    [[nodiscard]] virtual HRESULT WriteSettingsXml(IUnknown* hostNode) = 0;
    [[nodiscard]] virtual HRESULT ReadSettingsXml(IUnknown* hostNode) = 0;
    [[nodiscard]] virtual HRESULT CopyFrom(IUnknown* other) = 0;
    [[nodiscard]] virtual HRESULT SetTypes(JXPhysicsType physics, JXSimulationType analysis) = 0;
    // Keeps the IHostSettingsCallback of `callback` (none when it has none, or for null); S_OK.
    [[nodiscard]] virtual HRESULT SetHostCallback(IUnknown* callback) = 0;
    [[nodiscard]] virtual HRESULT ReleaseHostCallback() = 0;
    [[nodiscard]] virtual HRESULT JX_get_NumberOfSteps(std::uint32_t* count) = 0;
    [[nodiscard]] virtual HRESULT JX_put_NumberOfSteps(std::uint32_t count) = 0;
    [[nodiscard]] virtual HRESULT JX_get_CurrentStepNumber(std::uint32_t* step) = 0;
    [[nodiscard]] virtual HRESULT JX_put_CurrentStepNumber(std::uint32_t step) = 0;
    [[nodiscard]] virtual HRESULT JX_get_EndTime(double* time) = 0;
    [[nodiscard]] virtual HRESULT JX_put_EndTime(double time) = 0;
    // 1-based steps.
    [[nodiscard]] virtual HRESULT GetStepEndTime(std::uint32_t step, double* time) = 0;
    [[nodiscard]] virtual HRESULT SetStepEndTime(std::uint32_t step, double time) = 0;
    [[nodiscard]] virtual HRESULT get_CurrentTime(double* time) = 0;
    [[nodiscard]] virtual HRESULT put_CurrentTime(double time) = 0;
    [[nodiscard]] virtual HRESULT JX_get_SolverFilesDirectory(BSTR* directory) = 0;
    [[nodiscard]] virtual HRESULT JX_put_SolverFilesDirectory(BSTR directory) = 0;
    [[nodiscard]] virtual HRESULT JX_get_SolverFilesRelativeDirectory(BSTR* directory) = 0;
    [[nodiscard]] virtual HRESULT JX_put_SolverFilesRelativeDirectory(BSTR directory) = 0;
    [[nodiscard]] virtual HRESULT JX_get_NumModesToFind(int* count) = 0;
    [[nodiscard]] virtual HRESULT JX_put_NumModesToFind(int count) = 0;
    [[nodiscard]] virtual HRESULT JX_get_FutureIntent(JXFutureIntentType* intent) = 0;
    [[nodiscard]] virtual HRESULT JX_get_UseLargeDeformation(VARIANT_BOOL* value) = 0;

  protected:
    ~IJXAnalysisSettingsAddIn() = default;
};

struct IJXAnalysisSettingsAddIn2 : IUnknown {
    static constexpr const IID& iid() { return IID_IJXAnalysisSettingsAddIn2; }
    [[nodiscard]] virtual HRESULT JX2_put_FutureIntent(JXFutureIntentType intent) = 0;

  protected:
    ~IJXAnalysisSettingsAddIn2() = default;
};
