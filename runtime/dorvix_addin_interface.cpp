// The type information of the add-in's interface (OnLoad and OnUnload), described once and held.
#include "runtime/dorvix_addin_interface.h"

#include "platform/member_invoker.h"

namespace {

[[nodiscard]] HRESULT LoadDorvixAddinTypeInfo(ITypeInfo** out) {
    std::vector<MemberDescription> members;
    members.push_back({L"OnLoad",
                       DISPID_DorvixAddin_OnLoad,
                       MemberKind::Method,
                       {{L"manager", VT_DISPATCH}},
                       VT_EMPTY,
                       Invoker<IDorvixAddin>(&IQHAddin::OnLoad)});
    members.push_back({L"OnUnload",
                       DISPID_DorvixAddin_OnUnload,
                       MemberKind::Method,
                       {},
                       VT_EMPTY,
                       Invoker<IDorvixAddin>(&IQHAddin::OnUnload)});
    return CreateTypeInfo(IID_IDorvixAddin, std::move(members), out);
}

}  // namespace

XenComTypeInfoHolder& DorvixAddinTypeInfo() {
    static XenComTypeInfoHolder holder(IID_IDorvixAddin, LoadDorvixAddinTypeInfo);
    return holder;
}
