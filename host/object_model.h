// The host's object model as the add-in services use it: the simulation applet that finds
// objects by id, and the objects themselves (id, type, name, integer properties, id lists).
#pragma once

#include <string>
#include <vector>

#include "platform/com.h"

inline constexpr IID IID_IHostApplet = MakeGuid("79f7d1cf-554a-4caa-b8e7-0d232289d5ac");
inline constexpr IID IID_IHostObjectNaming = MakeGuid("617154e2-c80c-416b-9649-7277f5052736");
inline constexpr IID IID_IHostObject = MakeGuid("5b0e6f2a-3c71-4f0d-9a55-2d8e4c1f7a03");
inline constexpr IID IID_IHostObjectArguments = MakeGuid("e6a7001d-9f12-48f4-b1c7-6db74de57bea");
inline constexpr IID IID_IHostCoordinateSystem = MakeGuid("627bdc09-e621-4cbc-91be-0b26d69347d8");

struct IHostObject : IUnknown {
    static constexpr const IID& iid() { return IID_IHostObject; }
    [[nodiscard]] virtual HRESULT GetId(int& id) = 0;
    [[nodiscard]] virtual HRESULT GetType(int& type) = 0;
    [[nodiscard]] virtual HRESULT GetName(std::wstring& name) = 0;
    // The integer the object gives for a property code; S_FALSE and 0 when it has none.
    [[nodiscard]] virtual HRESULT GetIntProperty(int code, int& value) = 0;
    // The ids the object gives for a list code (for example the ids of its objects of a type).
    [[nodiscard]] virtual HRESULT GetIdList(int code, std::vector<int>& ids) = 0;
    [[nodiscard]] virtual HRESULT GetChildIds(std::vector<int>& ids) = 0;

  protected:
    ~IHostObject() = default;
};

struct IHostObjectNaming : IUnknown {
    static constexpr const IID& iid() { return IID_IHostObjectNaming; }
    [[nodiscard]] virtual HRESULT SetName(const std::wstring& name) = 0;

  protected:
    ~IHostObjectNaming() = default;
};

// The values a user typed as the arguments of a command object (a "zyg" object under a
// symmetry region carries two).
struct IHostObjectArguments : IUnknown {
    static constexpr const IID& iid() { return IID_IHostObjectArguments; }
    // The argument at index (from 0) as the user gave it, a number or a text; S_FALSE and
    // VT_EMPTY when the object has no such argument.
    [[nodiscard]] virtual HRESULT GetArgument(int index, VARIANT* value) = 0;

  protected:
    ~IHostObjectArguments() = default;
};

// A coordinate-system object of the host.
struct IHostCoordinateSystem : IUnknown {
    static constexpr const IID& iid() { return IID_IHostCoordinateSystem; }
    // The number the host gives the system; E_FAIL when the object is no coordinate system.
    [[nodiscard]] virtual HRESULT GetNumber(int& number) = 0;

  protected:
    ~IHostCoordinateSystem() = default;
};

struct IHostApplet : IUnknown {
    static constexpr const IID& iid() { return IID_IHostApplet; }
    // VT_UNKNOWN with a new reference, or VT_EMPTY when no object has the id.
    [[nodiscard]] virtual HRESULT GetObjectById(int id, VARIANT* object) = 0;

  protected:
    ~IHostApplet() = default;
};
