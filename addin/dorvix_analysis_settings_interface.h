// What settings objects ask of each other inside the add-in module; the host never sees it.
#pragma once

#include "host/dorvix_analysis_settings_interface.h"
#include "platform/com.h"

inline constexpr IID IID_IDorvixSettingsAdoption = MakeGuid("7d3e9a51-2c84-4f06-b8e2-91a5c0f4d6e3");

// Inside the module only: a settings object takes over the settings another object of its class
// and of the same types holds (the proxy resumes every object of a project into fresh objects
// first and hands the settings over only when the whole record set was read, so the objects the
// host holds keep their identity and a failed resume changes none of them).
struct IDorvixSettingsAdoption : IUnknown {
    static constexpr const IID& iid() { return IID_IDorvixSettingsAdoption; }
    // E_INVALIDARG for an object of another class or other types, or for a source without
    // settings when this object has settings; the source is left without settings. Two objects
    // without settings hand over nothing (S_OK).
    [[nodiscard]] virtual HRESULT AdoptSettingsFrom(IUnknown* source) = 0;
    // Takes the physics and analysis types of `source` (an object of this class) and, when the
    // source holds settings, new settings of those types; without settings it holds none, as
    // the source. E_INVALIDARG for an object of another class.
    [[nodiscard]] virtual HRESULT TakeTypesOf(IUnknown* source) = 0;

  protected:
    ~IDorvixSettingsAdoption() = default;
};
