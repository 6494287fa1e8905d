// Type information for one interface, built in code from a description of its members.
// There is no type library on this platform, so each component describes its dual interface
// itself; the type info then answers name look-ups and carries late-bound calls through to
// the typed operations (see member_invoker.h for binding an operation to a description).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/dispatch.h"

enum class MemberKind : std::uint16_t {
    Method = DISPATCH_METHOD,
    PropertyGet = DISPATCH_PROPERTYGET,
    PropertyPut = DISPATCH_PROPERTYPUT,
};

struct ParameterDescription {
    std::wstring name;
    // The type every argument is converted to before the call; VT_VARIANT takes it as it is.
    VARTYPE type = VT_EMPTY;
};

// Calls a typed operation on behalf of the type info.
struct MemberInvoker {
    // `instance` is a pointer to the described interface; `args` hold one value per
    // parameter, in declaration order, already of the described types; a value the operation
    // answers goes to `result` as `resultType`.
    std::function<HRESULT(void* instance, const VARIANT* args, VARTYPE resultType, VARIANT* result)> call;
    // Whether the operation's C++ signature takes these parameter types and answers this type,
    // so that a description that does not match its operation is refused when it is built.
    bool (*fits)(const std::vector<VARTYPE>& params, VARTYPE resultType) = nullptr;
};

struct MemberDescription {
    std::wstring name;
    DISPID dispid = DISPID_UNKNOWN;
    MemberKind kind = MemberKind::Method;
    // For a property put, the last parameter is the new value.
    std::vector<ParameterDescription> params;
    // VT_EMPTY: the member answers nothing beyond its HRESULT.
    VARTYPE result = VT_EMPTY;
    MemberInvoker invoker;
};

inline constexpr IID IID_ITypeInfo = MakeGuid("00020401-0000-0000-c000-000000000046");

struct ITypeInfo : IUnknown {
    static constexpr const IID& iid() { return IID_ITypeInfo; }
    // The interface this type info describes.
    [[nodiscard]] virtual HRESULT GetInterfaceId(IID* iid) = 0;
    [[nodiscard]] virtual HRESULT GetMemberCount(unsigned* count) = 0;
    // The description stays valid as long as the type info lives.
    [[nodiscard]] virtual HRESULT GetMember(unsigned index, const MemberDescription** member) = 0;
    // The first name is a member, the others parameters of it (their dispids are their
    // positions); names compare without regard to ASCII case.
    [[nodiscard]] virtual HRESULT GetIDsOfNames(const OLECHAR* const* names, unsigned count,
                                                DISPID* dispids) = 0;
    // Calls the member on `instance`, which must answer the described interface. `argErr`
    // (may be null) receives the index in `rgvarg` of a refused argument.
    [[nodiscard]] virtual HRESULT Invoke(IUnknown* instance, DISPID member, std::uint16_t flags,
                                         DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                         unsigned* argErr) = 0;

  protected:
    ~ITypeInfo() = default;
};

// Builds the type info of interface `iid`. E_INVALIDARG (and a null *out) when the
// description is inconsistent: an empty or reserved name or dispid, one name for two
// dispids, a dispid with two members of one kind or a method beside properties, a property
// get without a result or a put without a value, a repeated parameter name, or an operation
// whose signature does not fit the described types.
[[nodiscard]] HRESULT CreateTypeInfo(REFIID iid, std::vector<MemberDescription> members, ITypeInfo** out);
