#include "addin/runtime/dispatch_table.h"

DispatchTable::DispatchTable(std::initializer_list<DispatchMember> members) {
    for (const DispatchMember& m : members) members_.emplace_back(m.name, m.dispid);
}

HRESULT DispatchTable::GetTypeInfoCount(unsigned* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT DispatchTable::GetTypeInfo(unsigned, std::uint32_t, void** typeInfo) {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT DispatchTable::GetIDsOfNames(const OLECHAR* const* names, unsigned count, DISPID* dispids) const {
    if (!names || !dispids) return E_POINTER;
    if (count == 0) return S_OK;
    HRESULT hr = S_OK;
    for (unsigned i = 0; i < count; ++i) {
        dispids[i] = DISPID_UNKNOWN;
        if (i == 0 && names[0]) {
            const std::wstring_view name(names[0]);
            for (const auto& [member, dispid] : members_) {
                if (member.size() == name.size() && member == name) {
                    dispids[0] = dispid;
                    break;
                }
            }
        }
        if (dispids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

const DispatchTable& DorvixAddinDispatchTable() {
    // The add-in's interface adds nothing to the host's add-in interface: its two members.
    static const DispatchTable table{{L"OnLoad", 1}, {L"OnUnload", 2}};
    return table;
}
