// The analysis-settings object: one per analysis the host solves with Dorvix. It owns the
// analysis's settings (subsystem classes chosen by physics and analysis type), shows them in
// the host's property grid, writes them into the host's XML (from which the feeders rebuild
// them), saves and resumes them in the project stream, and tells the host about every change
// the user makes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "addin/dorvix_analysis_settings_interface.h"
#include "addin/xen_property_browsing.h"
#include "host/analysis_host.h"
#include "host/analysis_settings_addin.h"
#include "host/property_grid.h"
#include "platform/com.h"
#include "platform/com_object.h"
#include "runtime/xen_com_object.h"
#include "runtime/xen_dispatch.h"

class DorvixSolutionSettings;
class DorvixStepControlsList;
class DorvixStepControls;
class DorvixTimeStepOptions;
class DorvixModalControls;
class DorvixOutputControls;
class DorvixSolverFileControls;
class DorvixSolverControls;

// Static and transient analyses go through load steps; modal and buckling analyses find
// eigenvalues and keep no steps.
inline bool IsStepAnalysisType(int analysis) {
    return analysis == kSIMULATION_STATIC || analysis == kSIMULATION_TRANSIENT;
}
inline bool IsEigenAnalysisType(int analysis) {
    return analysis == kSIMULATION_MODAL || analysis == kSIMULATION_BUCKLING;
}

// The type information of IDorvixAnalysisSettings, shared by every settings object.
XenComTypeInfoHolder& DorvixAnalysisSettingsTypeInfo();

class CDorvixAnalysisSettings
    : public ComObject<
          CDorvixAnalysisSettings, IXenDispatchImpl<IDorvixAnalysisSettings, &DorvixAnalysisSettingsTypeInfo>,
          IJXAnalysisSettingsAddIn, IJXAnalysisSettingsAddIn2, QHPropertyBrowsingImpl, IPerPropertyBrowsing,
          IXenPropertyBrowsingImpl<CDorvixAnalysisSettings>, IDorvixSettingsAdoption>,
      public CXenComObject {
  public:
    CDorvixAnalysisSettings();
    ~CDorvixAnalysisSettings();

    [[nodiscard]] HRESULT QueryInterfaceExtra(REFIID iid, void** out);
    void FinalRelease();

    // IDorvixAnalysisSettings
    // The record: UINT 1 and the settings' own records, or UINT 0 alone for an object without
    // settings (never typed, or its types refused).
    [[nodiscard]] HRESULT SaveDB(IXenMultiplatformStream* stream) override;
    // Takes only a record of what the object holds: settings of its types, or none. Anything
    // else answers E_FAIL (or the stream's failure) with the reason left as the thread's error
    // information, and leaves the object as it was.
    [[nodiscard]] HRESULT ResumeDB(IXenMultiplatformStream* stream) override;
    [[nodiscard]] HRESULT put_AnalysisSettingsID(int id) override;
    [[nodiscard]] HRESULT get_PhysicsType(JXPhysicsType* type) override;
    [[nodiscard]] HRESULT get_AnalysisType(JXSimulationType* type) override;
#define DORVIX_DECLARE_SETTINGS_GETTER(name, type) [[nodiscard]] HRESULT get_##name(type* value) override;
    DORVIX_ANALYSIS_SETTINGS_PROPERTIES(DORVIX_DECLARE_SETTINGS_GETTER)
#undef DORVIX_DECLARE_SETTINGS_GETTER
    [[nodiscard]] HRESULT get_IgnoreNotify(VARIANT_BOOL* ignore) override;
    [[nodiscard]] HRESULT put_IgnoreNotify(VARIANT_BOOL ignore) override;

    // The object's own setters, in the order the grid's entries and late-bound callers use.
    [[nodiscard]] virtual HRESULT put_NumModesToFind(int value);
    [[nodiscard]] virtual HRESULT put_RangeSearch(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_MinFrequency(double value);
    [[nodiscard]] virtual HRESULT put_MaxFrequency(double value);
    [[nodiscard]] virtual HRESULT put_RefTemperature(double value);
    [[nodiscard]] virtual HRESULT put_HarmonicIndex(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_UseLargeDeformation(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_SolverType(DorvixSolverType value);
    [[nodiscard]] virtual HRESULT put_ManualSolver(int value);
    [[nodiscard]] virtual HRESULT put_PrestressedStatic(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NumberOfSteps(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_InitialComputation(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_CurrentStepNumber(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_EndTime(double value);
    [[nodiscard]] virtual HRESULT put_UseAutoTimeStepping(JXAutoTimeSteppingType value);
    [[nodiscard]] virtual HRESULT put_TimeStepDefineby(JXTimeStepDefineByType value);
    [[nodiscard]] virtual HRESULT put_InitialSteps(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_MinimumSteps(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_MaximumSteps(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_NumberOfSubSteps(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_InitialTimeStep(double value);
    [[nodiscard]] virtual HRESULT put_MinimumTimeStep(double value);
    [[nodiscard]] virtual HRESULT put_MaximumTimeStep(double value);
    [[nodiscard]] virtual HRESULT put_CarryOverTimeStep(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_TimeStep(double value);
    [[nodiscard]] virtual HRESULT put_CalculateStress(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_CalculateStrain(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_CalculateThermalFlux(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_CalculateContact(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_CalculateResultsAtTimePoints(JXTimePointsOptions value);
    [[nodiscard]] virtual HRESULT put_PrintingFrequencyNodalResultsType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_PrintingFrequencyNodalResults(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_PrintingFrequencyElementResultsType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_PrintingFrequencyElementResults(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_PrintingFrequencyGeneralResultsType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_PrintingFrequencyGeneralResults(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_StorageFrequencyNodalResultsType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_StorageFrequencyNodalResults(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_StorageFrequencyElementResultsType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_StorageFrequencyElementResults(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_StorageFrequencySelectedResultsType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_StorageFrequencySelectedResults(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_FutureIntent(JXFutureIntentType value);
    [[nodiscard]] virtual HRESULT put_SolverFilesDirectory(BSTR value);
    [[nodiscard]] virtual HRESULT put_SolverFilesRelativeDirectory(BSTR value);
    [[nodiscard]] virtual HRESULT put_ResultFileName(BSTR value);
    [[nodiscard]] virtual HRESULT put_CleanupOptionalDorvixFiles(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonIterationMaximumNumberType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonIterationMaximumNumber(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_NewtonIterationOptimumNumberType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonIterationOptimumNumber(std::uint32_t value);
    [[nodiscard]] virtual HRESULT put_NewtonResidualNormConvergenceType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonResidualNormConvergence(double value);
    [[nodiscard]] virtual HRESULT put_NewtonEnergyConvergenceType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonEnergyConvergence(double value);
    [[nodiscard]] virtual HRESULT put_NewtonStiffnessMatrixConvergenceType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonStiffnessMatrixConvergence(double value);
    [[nodiscard]] virtual HRESULT put_NewtonRelaxationConvergenceType(VARIANT_BOOL value);
    [[nodiscard]] virtual HRESULT put_NewtonRelaxationConvergence(double value);

    // IJXAnalysisSettingsAddIn
    [[nodiscard]] HRESULT get_SolverName(BSTR* name) override;
    [[nodiscard]] HRESULT WriteSettingsXml(IUnknown* hostNode) override;
    [[nodiscard]] HRESULT ReadSettingsXml(IUnknown* hostNode) override;
    [[nodiscard]] HRESULT CopyFrom(IUnknown* other) override;
    [[nodiscard]] HRESULT SetTypes(JXPhysicsType physics, JXSimulationType analysis) override;
    [[nodiscard]] HRESULT SetHostCallback(IUnknown* callback) override;
    [[nodiscard]] HRESULT ReleaseHostCallback() override;
    [[nodiscard]] HRESULT JX_get_NumberOfSteps(std::uint32_t* count) override;
    [[nodiscard]] HRESULT JX_put_NumberOfSteps(std::uint32_t count) override;
    [[nodiscard]] HRESULT JX_get_CurrentStepNumber(std::uint32_t* step) override;
    [[nodiscard]] HRESULT JX_put_CurrentStepNumber(std::uint32_t step) override;
    [[nodiscard]] HRESULT JX_get_EndTime(double* time) override;
    [[nodiscard]] HRESULT JX_put_EndTime(double time) override;
    [[nodiscard]] HRESULT GetStepEndTime(std::uint32_t step, double* time) override;
    [[nodiscard]] HRESULT SetStepEndTime(std::uint32_t step, double time) override;
    [[nodiscard]] HRESULT get_CurrentTime(double* time) override;
    [[nodiscard]] HRESULT put_CurrentTime(double time) override;
    [[nodiscard]] HRESULT JX_get_SolverFilesDirectory(BSTR* directory) override;
    [[nodiscard]] HRESULT JX_put_SolverFilesDirectory(BSTR directory) override;
    [[nodiscard]] HRESULT JX_get_SolverFilesRelativeDirectory(BSTR* directory) override;
    [[nodiscard]] HRESULT JX_put_SolverFilesRelativeDirectory(BSTR directory) override;
    [[nodiscard]] HRESULT JX_get_NumModesToFind(int* count) override;
    [[nodiscard]] HRESULT JX_put_NumModesToFind(int count) override;
    [[nodiscard]] HRESULT JX_get_FutureIntent(JXFutureIntentType* intent) override;
    [[nodiscard]] HRESULT JX_get_UseLargeDeformation(VARIANT_BOOL* value) override;

    // IDorvixSettingsAdoption
    [[nodiscard]] HRESULT AdoptSettingsFrom(IUnknown* source) override;
    [[nodiscard]] HRESULT TakeTypesOf(IUnknown* source) override;

    // IJXAnalysisSettingsAddIn2
    [[nodiscard]] HRESULT JX2_put_FutureIntent(JXFutureIntentType intent) override;

    // IQHPropertyBrowsing (the rest keep their defaults)
    [[nodiscard]] HRESULT IsPropertyVisible(DISPID dispid, VARIANT_BOOL* visible) override;
    [[nodiscard]] HRESULT IsPropertyEditable(DISPID dispid, VARIANT_BOOL* editable) override;
    [[nodiscard]] HRESULT GetPropertyRange(DISPID dispid, QHPropertyRange* range) override;
    [[nodiscard]] HRESULT GetPropertyFlags(DISPID dispid, DWORD* flags) override;
    [[nodiscard]] HRESULT IsPropertyValueValid(DISPID dispid, VARIANT_BOOL* valid) override;

    // IPerPropertyBrowsing
    [[nodiscard]] HRESULT GetDisplayString(DISPID dispid, BSTR* text) override;
    [[nodiscard]] HRESULT MapPropertyToPage(DISPID dispid, CLSID* page) override;
    [[nodiscard]] HRESULT GetPredefinedStrings(DISPID dispid, CALPOLESTR* strings, CADWORD* cookies) override;
    [[nodiscard]] HRESULT GetPredefinedValue(DISPID dispid, DWORD cookie, VARIANT* value) override;

    // IXenProvideProperties (captions and groups keep their defaults)
    [[nodiscard]] HRESULT get_ObjectTypeName(BSTR* name) override;
    [[nodiscard]] HRESULT BuildProperties(IXenPropertyColl** properties) override;
    [[nodiscard]] HRESULT GetLocalizedString(const OLECHAR* key, BSTR* text) override;

    // Tells the host about a change, unless notifications are off or no host listens.
    void NotifyChange();

    // ---- lifecycle and properties: private helpers and state ----
  private:
    // Points the cached records at the settings object's records and step 1 (without
    // creating a new object or touching the current time).
    void FetchRecords();
    void ForgetRecords();
    // The host analysis object's id (0 without a settings id).
    int GetOwnerAnalysisId() const;
    // Passes the current time to the host analysis object, unless notifications are off.
    void RefreshHostTime();
    // Makes `step` the current step, with its time-step options and (in analyses with steps)
    // its output controls; null forgets all three together.
    void SelectStep(DorvixStepControls* step);
    // Selects `step` (one of the list's) and makes its end time the current time.
    void MakeCurrent(DorvixStepControls* step);
    // Leaves "the saved settings [of host object N] <what>" as the thread's error information;
    // answers E_FAIL.
    [[nodiscard]] HRESULT ReportResumeFailure(const std::wstring& what) const;
    // Creates the settings object of the stored types and fetches its records.
    [[nodiscard]] HRESULT RebuildSettings();
    // Makes a fresh settings object of the current one's class, lets `read` fill it and, when
    // that succeeds, puts it in place of the current one and fetches its records. A failure
    // leaves the settings as they were; E_FAIL without settings.
    [[nodiscard]] HRESULT ReplaceSettings(const std::function<HRESULT(DorvixSolutionSettings&)>& read);
    // Gives the host's per-step objects under the analysis object `count` steps instead of
    // `oldCount`; the failure of a step-count object ends the walk.
    [[nodiscard]] HRESULT ResizeHostSteps(std::uint32_t oldCount, std::uint32_t count);
    // Puts the end time of step 1 into the time tables of the analysis object's children.
    void SetHostTableTimes(double time);
    // Sets an output request (stress, strain, contact) where the analysis keeps it.
    [[nodiscard]] HRESULT RequestOutput(int code, VARIANT_BOOL value, bool everyStepWithList);
    // The host's answer to whether the analysis is nonlinear.
    [[nodiscard]] HRESULT AnswerNonLinear(VARIANT_BOOL* nonLinear);
    bool IsNonLinearByHost() const;
    // Whether the host list `listCode` of object `ownerId` holds a region (IHostContactRegion
    // or IHostCyclicRegion) that is not suppressed and whose kind `wanted` accepts.
    template <class Region>
    [[nodiscard]] static bool HasActiveRegion(int ownerId, int listCode, bool (*wanted)(int));

    // The descriptions of the properties (record, accessors, rules), in
    // dorvix_analysis_settings_properties.cpp.
    struct PropertyTable;

    JXPhysicsType physicsType_ = kPT_Mechanical;
    JXSimulationType analysisType_ = kSIMULATION_STATIC;
    int analysisSettingsId_ = 0;
    std::unique_ptr<DorvixSolutionSettings> settings_;
    DorvixStepControlsList* stepList_ = nullptr;
    DorvixStepControls* currentStep_ = nullptr;
    DorvixTimeStepOptions* currentTimeStepOptions_ = nullptr;
    DorvixModalControls* modalControls_ = nullptr;
    DorvixOutputControls* outputControls_ = nullptr;
    DorvixSolverFileControls* solverFileControls_ = nullptr;
    DorvixSolverControls* solverControls_ = nullptr;
    double currentTime_ = 1.0;
    ComPtr<IHostSettingsCallback> hostCallback_;
    bool ignoreNotify_ = false;
    // ---- end of lifecycle and properties ----

    // ---- grid, XML and copy: private helpers ----
  private:
    // Puts the source of a copy back on the current step it had, and both objects back into the
    // notification state each had before, at the latest when the copy ends.
    struct CopyRestored {
        CDorvixAnalysisSettings& self;
        bool ignored;
        IDorvixAnalysisSettings* other;
        VARIANT_BOOL otherIgnored;
        IJXAnalysisSettingsAddIn* otherSteps;
        std::optional<std::uint32_t> otherStep;
        bool done = false;
        void Restore();
        ~CopyRestored() { Restore(); }
    };
    // The settings as the grid's visibility rules read them (defined beside the rules).
    struct GridView;
    // The value of a property the grid lists, read through its getter: VT_BOOL, VT_UI4 for
    // unsigned properties, VT_I4 for signed and enumerated ones, VT_R8 or VT_BSTR. The getter's
    // failure leaves *value empty; DISP_E_MEMBERNOTFOUND for a dispid the grid does not list.
    [[nodiscard]] HRESULT GetGridValue(DISPID dispid, VARIANT* value);
    // The XML element the host object carries, through the first of the three element-source
    // interfaces it answers.
    [[nodiscard]] static HRESULT CheckXmlNode(IUnknown* hostNode, pugi::xml_node& element);
    // ---- end of grid, XML and copy ----
};

// Creates a settings object answering `iid` (no aggregation).
[[nodiscard]] HRESULT CreateDorvixAnalysisSettings(IUnknown* outer, REFIID iid, void** out);
// Registers the class with the creation registry under CLSID_DorvixAnalysisSettings.
[[nodiscard]] HRESULT RegisterDorvixAnalysisSettingsClass();
