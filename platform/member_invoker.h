// Binds a typed interface operation to a member description, so that a late-bound call
// reaches it with its arguments unpacked from VARIANTs:
//
//   {L"EndTime", 17, MemberKind::PropertyGet, {}, VT_R8, InvokerWithResult(&ISettings::get_EndTime)},
//   {L"EndTime", 17, MemberKind::PropertyPut, {{L"value", VT_R8}}, VT_EMPTY,
//    Invoker(&ISettings::put_EndTime)},
//
// An operation declared on a base of the described interface is bound as
// `Invoker<IDescribed>(&IBase::Op)`, so that the call reaches it through the described one.
// Parameter types and the VARTYPEs they take: std::int32_t VT_I4, std::uint32_t VT_UI4,
// std::int16_t VT_I2 or VT_BOOL (VARIANT_BOOL), double VT_R8, float VT_R4, BSTR VT_BSTR,
// IUnknown* VT_UNKNOWN, IDispatch* VT_DISPATCH, VARIANT VT_VARIANT, and an enumeration of
// 32 bits VT_I4. In parameters are borrowed for the call; an answered BSTR, interface or
// VARIANT passes to the caller's result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/com.h"
#include "platform/dispatch.h"
#include "platform/type_info.h"

namespace platform_detail {

template <class T>
struct InArg;  // a type without a specialisation cannot be bound

template <>
struct InArg<std::int32_t> {
    static bool Fits(VARTYPE vt) { return vt == VT_I4; }
    static std::int32_t From(const VARIANT& v) { return v.lVal; }
};
template <>
struct InArg<std::uint32_t> {
    static bool Fits(VARTYPE vt) { return vt == VT_UI4; }
    static std::uint32_t From(const VARIANT& v) { return v.ulVal; }
};
template <>
struct InArg<std::int16_t> {
    static bool Fits(VARTYPE vt) { return vt == VT_I2 || vt == VT_BOOL; }
    static std::int16_t From(const VARIANT& v) { return v.vt == VT_BOOL ? v.boolVal : v.iVal; }
};
template <>
struct InArg<double> {
    static bool Fits(VARTYPE vt) { return vt == VT_R8; }
    static double From(const VARIANT& v) { return v.dblVal; }
};
template <>
struct InArg<float> {
    static bool Fits(VARTYPE vt) { return vt == VT_R4; }
    static float From(const VARIANT& v) { return v.fltVal; }
};
template <>
struct InArg<BSTR> {
    static bool Fits(VARTYPE vt) { return vt == VT_BSTR; }
    static BSTR From(const VARIANT& v) { return v.bstrVal; }
};
template <>
struct InArg<IUnknown*> {
    static bool Fits(VARTYPE vt) { return vt == VT_UNKNOWN; }
    static IUnknown* From(const VARIANT& v) { return v.punkVal; }
};
template <>
struct InArg<IDispatch*> {
    static bool Fits(VARTYPE vt) { return vt == VT_DISPATCH; }
    // A VT_DISPATCH value keeps its IDispatch pointer in the IUnknown slot.
    static IDispatch* From(const VARIANT& v) { return static_cast<IDispatch*>(v.punkVal); }
};
template <>
struct InArg<VARIANT> {
    static bool Fits(VARTYPE vt) { return vt == VT_VARIANT; }
    static VARIANT From(const VARIANT& v) { return v; }
};
template <class E>
requires std::is_enum_v<E> &&(sizeof(E) == sizeof(std::int32_t)) struct InArg<E> {
    static bool Fits(VARTYPE vt) { return vt == VT_I4; }
    static E From(const VARIANT& v) { return static_cast<E>(v.lVal); }
};

template <class T>
struct OutArg;

template <>
struct OutArg<std::int32_t> {
    static bool Fits(VARTYPE vt) { return vt == VT_I4; }
    static void Store(std::int32_t value, VARTYPE, VARIANT* r) {
        r->vt = VT_I4;
        r->lVal = value;
    }
};
template <>
struct OutArg<std::uint32_t> {
    static bool Fits(VARTYPE vt) { return vt == VT_UI4; }
    static void Store(std::uint32_t value, VARTYPE, VARIANT* r) {
        r->vt = VT_UI4;
        r->ulVal = value;
    }
};
template <>
struct OutArg<std::int16_t> {
    static bool Fits(VARTYPE vt) { return vt == VT_I2 || vt == VT_BOOL; }
    static void Store(std::int16_t value, VARTYPE vt, VARIANT* r) {
        r->vt = vt;
        if (vt == VT_BOOL)
            r->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;  // late-bound callers test for -1
        else
            r->iVal = value;
    }
};
template <>
struct OutArg<double> {
    static bool Fits(VARTYPE vt) { return vt == VT_R8; }
    static void Store(double value, VARTYPE, VARIANT* r) {
        r->vt = VT_R8;
        r->dblVal = value;
    }
};
template <>
struct OutArg<float> {
    static bool Fits(VARTYPE vt) { return vt == VT_R4; }
    static void Store(float value, VARTYPE, VARIANT* r) {
        r->vt = VT_R4;
        r->fltVal = value;
    }
};
template <>
struct OutArg<BSTR> {
    static bool Fits(VARTYPE vt) { return vt == VT_BSTR; }
    static void Store(BSTR value, VARTYPE, VARIANT* r) {
        r->vt = VT_BSTR;
        r->bstrVal = value;
    }
};
template <>
struct OutArg<IUnknown*> {
    static bool Fits(VARTYPE vt) { return vt == VT_UNKNOWN; }
    static void Store(IUnknown* value, VARTYPE, VARIANT* r) {
        r->vt = VT_UNKNOWN;
        r->punkVal = value;
    }
};
template <>
struct OutArg<IDispatch*> {
    static bool Fits(VARTYPE vt) { return vt == VT_DISPATCH; }
    static void Store(IDispatch* value, VARTYPE, VARIANT* r) {
        r->vt = VT_DISPATCH;
        r->punkVal = value;
    }
};
template <>
struct OutArg<VARIANT> {
    static bool Fits(VARTYPE vt) { return vt == VT_VARIANT; }
    static void Store(const VARIANT& value, VARTYPE, VARIANT* r) { *r = value; }
};
template <class E>
requires std::is_enum_v<E> &&(sizeof(E) == sizeof(std::int32_t)) struct OutArg<E> {
    static bool Fits(VARTYPE vt) { return vt == VT_I4; }
    static void Store(E value, VARTYPE, VARIANT* r) {
        r->vt = VT_I4;
        r->lVal = static_cast<std::int32_t>(value);
    }
};

// The interface the type info hands the instance as: the operation's own unless named.
template <class Described, class I>
using DescribedInterface = std::conditional_t<std::is_void_v<Described>, I, Described>;

template <std::size_t K, class... Args>
using NthArg = std::remove_cvref_t<std::tuple_element_t<K, std::tuple<Args...>>>;

// Whether the first N of Args take the described parameter types.
template <std::size_t N, class... Args>
bool FirstArgsFit(const std::vector<VARTYPE>& params) {
    if (params.size() != N) return false;
    return [&]<std::size_t... K>(std::index_sequence<K...>) {
        return (InArg<NthArg<K, Args...>>::Fits(params[K]) && ...);
    }
    (std::make_index_sequence<N>{});
}

template <class I, class... Args, class... Extra, std::size_t... K>
[[nodiscard]] HRESULT CallMember(HRESULT (I::*fn)(Args...), I* self, const VARIANT* args,
                                 std::index_sequence<K...>, Extra... extra) {
    return (self->*fn)(InArg<NthArg<K, Args...>>::From(args[K])..., extra...);
}

}  // namespace platform_detail

// An operation whose parameters are all in parameters and that answers nothing but its HRESULT.
// `Described` names the described interface when the operation is declared on a base of it.
template <class Described = void, class I, class... Args>
MemberInvoker Invoker(HRESULT (I::*fn)(Args...)) {
    using Target = platform_detail::DescribedInterface<Described, I>;
    constexpr std::size_t n = sizeof...(Args);
    MemberInvoker invoker;
    invoker.fits = [](const std::vector<VARTYPE>& params, VARTYPE resultType) {
        return resultType == VT_EMPTY && platform_detail::FirstArgsFit<n, Args...>(params);
    };
    invoker.call = [fn](void* instance, const VARIANT* args, VARTYPE, VARIANT*) {
        I* self = static_cast<Target*>(instance);
        return platform_detail::CallMember(fn, self, args, std::make_index_sequence<n>{});
    };
    return invoker;
}

// An operation whose last parameter receives its answer (a property get, or a method with a
// result); the parameters before it are in parameters.
template <class Described = void, class I, class... Args>
MemberInvoker InvokerWithResult(HRESULT (I::*fn)(Args...)) {
    using Target = platform_detail::DescribedInterface<Described, I>;
    static_assert(sizeof...(Args) >= 1, "the last parameter receives the answer");
    constexpr std::size_t n = sizeof...(Args) - 1;
    using Last = std::tuple_element_t<n, std::tuple<Args...>>;
    static_assert(std::is_pointer_v<Last>, "the last parameter receives the answer");
    using Out = std::remove_pointer_t<Last>;
    MemberInvoker invoker;
    invoker.fits = [](const std::vector<VARTYPE>& params, VARTYPE resultType) {
        return platform_detail::OutArg<Out>::Fits(resultType) &&
               platform_detail::FirstArgsFit<n, Args...>(params);
    };
    invoker.call = [fn](void* instance, const VARIANT* args, VARTYPE resultType, VARIANT* result) {
        I* self = static_cast<Target*>(instance);
        Out value{};
        HRESULT hr = platform_detail::CallMember(fn, self, args, std::make_index_sequence<n>{}, &value);
        if (SUCCEEDED(hr)) platform_detail::OutArg<Out>::Store(value, resultType, result);
        return hr;
    };
    return invoker;
}
