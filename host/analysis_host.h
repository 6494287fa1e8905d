// What the analysis-settings object asks of the host's tree: the analysis object and its
// per-step children, the time tables of its loads, the notification of changed settings, the
// XML element a settings object is written into, and the questions behind the settings'
// visibility rules and their nonlinear test (contact and cyclic regions, loads, bodies and
// their materials, the environment a modal analysis takes its temperature from).
#pragma once

#include <cstdint>
#include <pugixml.hpp>

#include "host/object_types.h"
#include "platform/com.h"

// List and property codes the settings object walks (the object types: host/object_types.h).
inline constexpr int kHostOwnerAnalysisProperty = 105;  // of a settings object: its analysis
inline constexpr int kHostParentProperty = 104;         // an object's parent
inline constexpr int kHostModelProperty = 136;
inline constexpr int kHostSymmetryProperty = 419;
inline constexpr int kHostContactRegionList = 575;
inline constexpr int kHostCyclicRegionList = 585;
inline constexpr int kHostAnalysisLoadList = 403;
inline constexpr int kHostBodyList = 400;
inline constexpr int kHostBodyMaterialProperty = 406;
inline constexpr int kHostEnvironmentList = 422;
// The code the settings object notifies its host with after a change.
inline constexpr int kSettingsChangedNotification = 11;

inline constexpr IID IID_IHostStepCarrier = MakeGuid("3c0d51a2-7e49-4b8f-a1d6-90e2b47c5f13");
inline constexpr IID IID_IHostStepRows = MakeGuid("8a4e2f67-1b3c-4d95-bc07-5e61f9a2d384");
inline constexpr IID IID_IHostStepCount = MakeGuid("a03c69f9-de32-4826-8c53-34ef9e4ac165");
inline constexpr IID IID_IHostTimeTableOwner = MakeGuid("4db1b6aa-875f-4071-8b9e-45af60fe06de");
inline constexpr IID IID_IHostTimeTable = MakeGuid("9fe4f5e3-e2ad-4a57-9a3b-f80ffe26d7dc");
inline constexpr IID IID_IHostSettingsCallback = MakeGuid("137d1ec3-57da-485c-a79d-9edba107f4de");
inline constexpr IID IID_IHostAnalysisTime = MakeGuid("e2b7c940-6f18-4a3d-9d52-17c8a0e4b6f9");
inline constexpr IID IID_IHostXmlElementSource = MakeGuid("73f6938a-b2bf-4bb8-b1cc-6a8c8e2c8b65");
inline constexpr IID IID_IHostXmlElementSource2 = MakeGuid("1231821e-dc42-417d-9ed9-6811b4375172");
inline constexpr IID IID_IHostXmlElementSource3 = MakeGuid("4429ecaa-1fc4-4d20-86c1-d868f826a0d4");
inline constexpr IID IID_IHostContactRegion = MakeGuid("78c30e0c-adc3-4bbf-bfbb-8ea6fd0e7062");
inline constexpr IID IID_IHostCyclicRegion = MakeGuid("613c7f73-fadc-404d-82b9-30d734f0ac58");
inline constexpr IID IID_IHostLoadObject = MakeGuid("f9ceb9fa-47f2-4db2-ae9c-51bed9f15e20");
inline constexpr IID IID_IHostLoadFinder = MakeGuid("5d29a8e4-c7b1-4f60-8e3a-b21f6d0c9a57");
inline constexpr IID IID_IHostEnvironmentLink = MakeGuid("9a98b08e-fb34-4ff1-a759-07a9c7a87253");
inline constexpr IID IID_IHostBodyState = MakeGuid("c6f13b72-0d8e-4e29-a5b4-7f3e9c2d1a80");
inline constexpr IID IID_IHostMaterialBehaviour = MakeGuid("2e8b4d61-93fa-4c07-b1e5-d4a7c3f08b29");

// A per-step object (host types 423 and 431): one entry per step of the analysis.
struct IHostStepCarrier : IUnknown {
    static constexpr const IID& iid() { return IID_IHostStepCarrier; }
    // 1-based step numbers.
    [[nodiscard]] virtual HRESULT AddStep(std::uint32_t step) = 0;
    [[nodiscard]] virtual HRESULT RemoveStep(std::uint32_t step) = 0;

  protected:
    ~IHostStepCarrier() = default;
};

// A per-step object of host type 546, with its own pair of operations.
struct IHostStepRows : IUnknown {
    static constexpr const IID& iid() { return IID_IHostStepRows; }
    [[nodiscard]] virtual HRESULT InsertStepRow(std::uint32_t step) = 0;
    [[nodiscard]] virtual HRESULT DeleteStepRow(std::uint32_t step) = 0;

  protected:
    ~IHostStepRows() = default;
};

// Children of a host object of type 415 that follow the analysis's step count.
struct IHostStepCount : IUnknown {
    static constexpr const IID& iid() { return IID_IHostStepCount; }
    [[nodiscard]] virtual HRESULT SetStepCount(std::uint32_t count) = 0;

  protected:
    ~IHostStepCount() = default;
};

// A child of the analysis object that carries a time table.
struct IHostTimeTableOwner : IUnknown {
    static constexpr const IID& iid() { return IID_IHostTimeTableOwner; }
    // The value object, answering IHostTimeTable; a new reference.
    [[nodiscard]] virtual HRESULT GetValueObject(IUnknown** table) = 0;

  protected:
    ~IHostTimeTableOwner() = default;
};

struct IHostTimeTable : IUnknown {
    static constexpr const IID& iid() { return IID_IHostTimeTable; }
    [[nodiscard]] virtual HRESULT GetEntryCount(int& count) = 0;
    // Entries are 1-based.
    [[nodiscard]] virtual HRESULT GetEntryKind(int entry, int& kind) = 0;
    // Sets the time at a 1-based position of the entry; `selector` and `value` pick the
    // column the time belongs to.
    [[nodiscard]] virtual HRESULT SetEntryTime(int entry, int position, VARIANT selector, int value,
                                               double time) = 0;

  protected:
    ~IHostTimeTable() = default;
};

// The host's side of a settings object: told about every change the user makes.
struct IHostSettingsCallback : IUnknown {
    static constexpr const IID& iid() { return IID_IHostSettingsCallback; }
    [[nodiscard]] virtual HRESULT OnSettingsChanged(int code) = 0;

  protected:
    ~IHostSettingsCallback() = default;
};

// The analysis object's time display.
struct IHostAnalysisTime : IUnknown {
    static constexpr const IID& iid() { return IID_IHostAnalysisTime; }
    [[nodiscard]] virtual HRESULT SetCurrentTime(double time) = 0;

  protected:
    ~IHostAnalysisTime() = default;
};

// A host object that carries an XML element of the host's project document. The element
// stays valid while the object lives; its document is the element's root. The host offers
// one of three interfaces, which differ only by their id.
struct IHostXmlElementSource : IUnknown {
    static constexpr const IID& iid() { return IID_IHostXmlElementSource; }
    [[nodiscard]] virtual HRESULT GetElement(pugi::xml_node& element) = 0;

  protected:
    ~IHostXmlElementSource() = default;
};
struct IHostXmlElementSource2 : IUnknown {
    static constexpr const IID& iid() { return IID_IHostXmlElementSource2; }
    [[nodiscard]] virtual HRESULT GetElement(pugi::xml_node& element) = 0;

  protected:
    ~IHostXmlElementSource2() = default;
};
struct IHostXmlElementSource3 : IUnknown {
    static constexpr const IID& iid() { return IID_IHostXmlElementSource3; }
    [[nodiscard]] virtual HRESULT GetElement(pugi::xml_node& element) = 0;

  protected:
    ~IHostXmlElementSource3() = default;
};

// A contact region of the analysis.
struct IHostContactRegion : IUnknown {
    static constexpr const IID& iid() { return IID_IHostContactRegion; }
    [[nodiscard]] virtual HRESULT GetKind(int& kind) = 0;
    [[nodiscard]] virtual HRESULT IsSuppressed(bool& suppressed) = 0;

  protected:
    ~IHostContactRegion() = default;
};

// A cyclic-symmetry region of the model.
struct IHostCyclicRegion : IUnknown {
    static constexpr const IID& iid() { return IID_IHostCyclicRegion; }
    [[nodiscard]] virtual HRESULT IsSuppressed(bool& suppressed) = 0;
    [[nodiscard]] virtual HRESULT GetKind(int& kind) = 0;

  protected:
    ~IHostCyclicRegion() = default;
};

// A load of the analysis.
struct IHostLoadObject : IUnknown {
    static constexpr const IID& iid() { return IID_IHostLoadObject; }
    [[nodiscard]] virtual HRESULT GetHostType(int& type) = 0;
    [[nodiscard]] virtual HRESULT IsSuppressed(bool& suppressed) = 0;
    // Rows of the load's value table (one row: a constant value).
    [[nodiscard]] virtual HRESULT GetValueRowCount(int& rows) = 0;
    // Whether the load is applied to a whole body of the model.
    [[nodiscard]] virtual HRESULT IsScopedToBody(bool& scoped) = 0;

  protected:
    ~IHostLoadObject() = default;
};

// The loads of an analysis by kind (the object the analysis names as its property 104).
struct IHostLoadFinder : IUnknown {
    static constexpr const IID& iid() { return IID_IHostLoadFinder; }
    // The first load of the kind, answering IHostLoadObject; S_FALSE and null when none.
    [[nodiscard]] virtual HRESULT FindLoadOfKind(int kind, IUnknown** load) = 0;

  protected:
    ~IHostLoadFinder() = default;
};

// An environment of the model (list 422 of the settings' host object) and the object it
// takes its conditions from.
struct IHostEnvironmentLink : IUnknown {
    static constexpr const IID& iid() { return IID_IHostEnvironmentLink; }
    // 0 when the environment names no object.
    [[nodiscard]] virtual HRESULT GetLinkedObjectId(int& id) = 0;

  protected:
    ~IHostEnvironmentLink() = default;
};

// A body of the model as the nonlinear test sees it.
struct IHostBodyState : IUnknown {
    static constexpr const IID& iid() { return IID_IHostBodyState; }
    [[nodiscard]] virtual HRESULT IsSuppressed(bool& suppressed) = 0;
    // Whether the body takes part in the analysis's stiffness (false for rigid bodies).
    [[nodiscard]] virtual HRESULT IsFlexible(bool& flexible) = 0;

  protected:
    ~IHostBodyState() = default;
};

// A material, asked whether it behaves nonlinearly in a host analysis kind (MapAnalysisKindCode,
// foundation/analysis_kind.h).
struct IHostMaterialBehaviour : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialBehaviour; }
    [[nodiscard]] virtual HRESULT IsNonlinear(int analysisKind, bool& nonlinear) = 0;

  protected:
    ~IHostMaterialBehaviour() = default;
};
