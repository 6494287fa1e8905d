// Type info built from member descriptions: its checks, names to dispids, argument placement and invocation.
#include "platform/type_info.h"

#include <map>
#include <new>
#include <string_view>

#include "platform/com_object.h"
#include "platform/text.h"

namespace {

// The members that share one dispid: a method, or a property's get and put.
struct DispidEntry {
    const MemberDescription* method = nullptr;
    const MemberDescription* get = nullptr;
    const MemberDescription* put = nullptr;
};

bool ParametersValid(const MemberDescription& m) {
    for (std::size_t i = 0; i < m.params.size(); ++i) {
        if (m.params[i].name.empty()) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (platform::EqualsIgnoreAsciiCase(m.params[i].name, m.params[j].name)) return false;
    }
    std::vector<VARTYPE> types;
    for (const ParameterDescription& p : m.params) types.push_back(p.type);
    return m.invoker.call && m.invoker.fits && m.invoker.fits(types, m.result);
}

bool MemberValid(const MemberDescription& m) {
    if (m.name.empty() || m.dispid == DISPID_UNKNOWN || m.dispid == DISPID_PROPERTYPUT) return false;
    switch (m.kind) {
        case MemberKind::Method:
            break;
        case MemberKind::PropertyGet:
            if (m.result == VT_EMPTY) return false;
            break;
        case MemberKind::PropertyPut:
            if (m.params.empty() || m.result != VT_EMPTY) return false;
            break;
        default:
            return false;
    }
    return ParametersValid(m);
}

class DescribedTypeInfo : public ComObject<DescribedTypeInfo, ITypeInfo> {
  public:
    DescribedTypeInfo(const IID& iid, std::vector<MemberDescription> members)
        : iid_(iid), members_(std::move(members)) {}

    // False when the description is inconsistent (see CreateTypeInfo).
    bool Index() {
        for (const MemberDescription& m : members_) {
            if (!MemberValid(m)) return false;
            for (const auto& [dispid, entry] : byDispid_) {
                const MemberDescription* other = entry.method ? entry.method
                                                 : entry.get  ? entry.get
                                                              : entry.put;
                if (dispid != m.dispid && platform::EqualsIgnoreAsciiCase(other->name, m.name)) return false;
                if (dispid == m.dispid && other->name != m.name) return false;
            }
            DispidEntry& entry = byDispid_[m.dispid];
            const MemberDescription** slot = m.kind == MemberKind::Method        ? &entry.method
                                             : m.kind == MemberKind::PropertyGet ? &entry.get
                                                                                 : &entry.put;
            if (*slot) return false;
            *slot = &m;
            if (entry.method && (entry.get || entry.put)) return false;
        }
        return true;
    }

    HRESULT GetInterfaceId(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = iid_;
        return S_OK;
    }
    HRESULT GetMemberCount(unsigned* count) override {
        if (!count) return E_POINTER;
        *count = static_cast<unsigned>(members_.size());
        return S_OK;
    }
    HRESULT GetMember(unsigned index, const MemberDescription** member) override {
        if (!member) return E_POINTER;
        *member = index < members_.size() ? &members_[index] : nullptr;
        return *member ? S_OK : DISP_E_BADINDEX;
    }
    HRESULT GetIDsOfNames(const OLECHAR* const* names, unsigned count, DISPID* dispids) override;
    HRESULT Invoke(IUnknown* instance, DISPID member, std::uint16_t flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excepInfo, unsigned* argErr) override;

  private:
    const DispidEntry* FindDispid(DISPID dispid) const {
        auto it = byDispid_.find(dispid);
        return it == byDispid_.end() ? nullptr : &it->second;
    }
    const MemberDescription* SelectMember(DISPID dispid, std::uint16_t flags) const;
    [[nodiscard]] HRESULT PlaceArguments(const MemberDescription& m, const DISPPARAMS& params,
                                         std::vector<unsigned>* sources, unsigned* argErr) const;
    HRESULT CallMember(const MemberDescription& m, void* typed, const DISPPARAMS& params,
                       const std::vector<unsigned>& sources, VARIANT* result, unsigned* argErr) const;

    IID iid_;
    std::vector<MemberDescription> members_;
    std::map<DISPID, DispidEntry> byDispid_;
};

// A parameter's position among the parameters of whichever member of the dispid has it.
DISPID FindParameter(const DispidEntry& entry, std::wstring_view name) {
    for (const MemberDescription* m : {entry.method, entry.get, entry.put}) {
        if (!m) continue;
        for (std::size_t i = 0; i < m->params.size(); ++i)
            if (platform::EqualsIgnoreAsciiCase(m->params[i].name, name)) return static_cast<DISPID>(i);
    }
    return DISPID_UNKNOWN;
}

HRESULT DescribedTypeInfo::GetIDsOfNames(const OLECHAR* const* names, unsigned count, DISPID* dispids) {
    if (count == 0) return S_OK;
    if (!names || !dispids) return E_POINTER;
    for (unsigned i = 0; i < count; ++i) dispids[i] = DISPID_UNKNOWN;
    const DispidEntry* entry = nullptr;
    if (names[0]) {
        for (const auto& [dispid, e] : byDispid_) {
            const MemberDescription* m = e.method ? e.method : e.get ? e.get : e.put;
            if (platform::EqualsIgnoreAsciiCase(m->name, names[0])) {
                dispids[0] = dispid;
                entry = &e;
                break;
            }
        }
    }
    HRESULT hr = entry ? S_OK : DISP_E_UNKNOWNNAME;
    for (unsigned i = 1; i < count; ++i) {
        if (entry && names[i]) dispids[i] = FindParameter(*entry, names[i]);
        if (dispids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

const MemberDescription* DescribedTypeInfo::SelectMember(DISPID dispid, std::uint16_t flags) const {
    const DispidEntry* entry = FindDispid(dispid);
    if (!entry) return nullptr;
    if (flags & DISPATCH_PROPERTYPUT) return entry->put;
    if ((flags & DISPATCH_METHOD) && entry->method) return entry->method;
    if (flags & DISPATCH_PROPERTYGET) return entry->get;
    return nullptr;
}

// Finds, for each parameter in declaration order, the index in `rgvarg` of its argument:
// positional arguments fill the first parameters, named ones the rest.
HRESULT DescribedTypeInfo::PlaceArguments(const MemberDescription& m, const DISPPARAMS& params,
                                          std::vector<unsigned>* sources, unsigned* argErr) const {
    constexpr unsigned kUnset = ~0u;
    const auto count = static_cast<unsigned>(m.params.size());
    const unsigned positional = params.cArgs - params.cNamedArgs;
    if (positional > count) return DISP_E_BADPARAMCOUNT;
    sources->assign(count, kUnset);
    for (unsigned i = 0; i < positional; ++i) (*sources)[i] = params.cArgs - 1 - i;
    for (unsigned k = 0; k < params.cNamedArgs; ++k) {
        DISPID id = params.rgdispidNamedArgs[k];
        if (id == DISPID_PROPERTYPUT && m.kind == MemberKind::PropertyPut)
            id = static_cast<DISPID>(count - 1);
        if (id < static_cast<DISPID>(positional) || id >= static_cast<DISPID>(count) ||
            (*sources)[static_cast<unsigned>(id)] != kUnset) {
            if (argErr) *argErr = k;
            return DISP_E_PARAMNOTFOUND;
        }
        (*sources)[static_cast<unsigned>(id)] = k;
    }
    for (unsigned s : *sources)
        if (s == kUnset) return DISP_E_BADPARAMCOUNT;
    return S_OK;
}

HRESULT DescribedTypeInfo::CallMember(const MemberDescription& m, void* typed, const DISPPARAMS& params,
                                      const std::vector<unsigned>& sources, VARIANT* result,
                                      unsigned* argErr) const {
    std::vector<VariantHolder> converted(sources.size());
    std::vector<VARIANT> args(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const VARIANT& source = params.rgvarg[sources[i]];
        if (m.params[i].type == VT_VARIANT) {
            args[i] = source;  // borrowed as it stands
            continue;
        }
        HRESULT hr = VariantChangeType(converted[i].ReleaseAndGet(), &source, 0, m.params[i].type);
        if (FAILED(hr)) {
            if (argErr) *argErr = sources[i];
            return hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
        }
        args[i] = *converted[i];
    }
    VariantHolder answer;
    HRESULT hr = m.invoker.call(typed, args.data(), m.result, answer.ReleaseAndGet());
    if (SUCCEEDED(hr) && result) {
        // A caller's value that cannot be released (a locked array) is not overwritten and lost.
        hr = VariantClear(result);
        if (SUCCEEDED(hr)) *result = answer.Detach();
    }
    return hr;
}

HRESULT DescribedTypeInfo::Invoke(IUnknown* instance, DISPID member, std::uint16_t flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO*, unsigned* argErr) {
    if (!instance || !params) return E_INVALIDARG;
    if (params->cNamedArgs > params->cArgs || (params->cArgs && !params->rgvarg) ||
        (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    const MemberDescription* m = SelectMember(member, flags);
    if (!m) return DISP_E_MEMBERNOTFOUND;
    try {
        std::vector<unsigned> sources;
        HRESULT hr = PlaceArguments(*m, *params, &sources, argErr);
        if (FAILED(hr)) return hr;
        // The operation is reached through the described interface of the object, whatever
        // pointer to it the caller holds.
        ComPtr<IUnknown> typed;
        hr = instance->QueryInterface(iid_, typed.ReleaseAndGetVoidAddress());
        if (FAILED(hr) || !typed) return E_NOINTERFACE;
        return CallMember(*m, typed.Get(), *params, sources, result, argErr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace

HRESULT CreateTypeInfo(REFIID iid, std::vector<MemberDescription> members, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        auto info = MakeComObject<DescribedTypeInfo>(iid, std::move(members));
        if (!info) return E_OUTOFMEMORY;
        if (!info->Index()) return E_INVALIDARG;
        *out = info.Detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
