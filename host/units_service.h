// The host's units service: which unit system the user works in, how the user wants angles and
// rotational velocities shown, and converters between that system and the solver's systems.
#pragma once

#include <string>

#include "platform/com.h"

inline constexpr CLSID CLSID_HostUnitsService = MakeGuid("e1515e19-c7a2-4425-aeef-a9c63fb63f74");
inline constexpr IID IID_IHostUnitsService = MakeGuid("f474ea33-8b91-4cc5-a9b1-0b7a393eeb42");
inline constexpr IID IID_IHostUnitSystems = MakeGuid("5b0e6f2a-3c71-4f0d-9a55-2d8e4c1f7a01");
inline constexpr IID IID_IHostUnitConverter = MakeGuid("5b0e6f2a-3c71-4f0d-9a55-2d8e4c1f7a02");

// Converts between one unit system (the one it was obtained for) and any other.
struct IHostUnitConverter : IUnknown {
    static constexpr const IID& iid() { return IID_IHostUnitConverter; }
    // The display label of a quantity in the converter's unit system.
    [[nodiscard]] virtual HRESULT GetUnitLabel(int quantity, std::wstring& label) = 0;
    // value given in otherSystem -> the converter's system.
    [[nodiscard]] virtual HRESULT ConvertToSystem(double value, int quantity, int otherSystem,
                                                  double& out) = 0;
    // value given in the converter's system -> otherSystem.
    [[nodiscard]] virtual HRESULT ConvertFromSystem(double value, int quantity, int otherSystem,
                                                    double& out) = 0;

  protected:
    ~IHostUnitConverter() = default;
};

// The host's unit systems; an item is asked for by a VT_I4 index (id + 1).
struct IHostUnitSystems : IUnknown {
    static constexpr const IID& iid() { return IID_IHostUnitSystems; }
    [[nodiscard]] virtual HRESULT GetCount(int& count) = 0;
    [[nodiscard]] virtual HRESULT Item(const VARIANT& index, IHostUnitConverter** converter) = 0;

  protected:
    ~IHostUnitSystems() = default;
};

struct IHostUnitsService : IUnknown {
    static constexpr const IID& iid() { return IID_IHostUnitsService; }
    // The host's id of the unit system the user works in.
    [[nodiscard]] virtual HRESULT GetCurrentUnitSystem(int& id) = 0;
    // The solver unit-system code of a host unit-system id; S_FALSE when there is none.
    [[nodiscard]] virtual HRESULT TranslateUnitSystem(int hostId, int& solverSystem) = 0;
    [[nodiscard]] virtual HRESULT GetAnglesInDegrees(VARIANT_BOOL& degrees) = 0;
    [[nodiscard]] virtual HRESULT GetRotationalVelocityInRpm(VARIANT_BOOL& rpm) = 0;
    [[nodiscard]] virtual HRESULT GetUnitSystems(IHostUnitSystems** systems) = 0;

  protected:
    ~IHostUnitsService() = default;
};
