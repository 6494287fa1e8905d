// Late-bound calls through the add-in's dual interface, and its shared type information loaded on demand.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/com_object.h"
#include "platform/member_invoker.h"
#include "runtime/dorvix_addin_interface.h"

namespace {

// Serves the add-in's dual interface the way the add-in object does.
class TestAddin : public ComObject<TestAddin, DorvixAddinDispatch> {
  public:
    HRESULT OnLoad(IDispatch* manager) override {
        this->manager = ComPtr<IDispatch>(manager);
        ++loads;
        return S_OK;
    }
    HRESULT OnUnload() override {
        ++unloads;
        return S_OK;
    }

    ComPtr<IDispatch> manager;
    int loads = 0;
    int unloads = 0;
};

struct IPlain : IUnknown {
    static constexpr IID kIid = MakeGuid("7c3e9a20-51d4-4b8f-a6c2-0e9d8f7b6a15");
    static constexpr const IID& iid() { return kIid; }
};
class Plain : public ComObject<Plain, IPlain> {};

ComPtr<IUnknown> Identity(IUnknown* p) {
    ComPtr<IUnknown> unknown;
    if (p) (void)p->QueryInterface(IID_IUnknown, unknown.ReleaseAndGetVoidAddress());
    return unknown;
}

HRESULT CallOnLoad(IDispatch* addin, IUnknown* argument, unsigned* argErr) {
    VariantHolder arg(argument);  // handed as VT_UNKNOWN: the call asks it for IDispatch
    DISPPARAMS params{arg.Get(), nullptr, 1, 0};
    VariantHolder result;
    return addin->Invoke(DISPID_DorvixAddin_OnLoad, IID_NULL, 1033, DISPATCH_METHOD, &params, result.Get(),
                         nullptr, argErr);
}

TEST(AddinDispatch, LateBoundCallsReachTheAddin) {
    ComPtr<TestAddin> addin = MakeComObject<TestAddin>();
    ComPtr<TestAddin> manager = MakeComObject<TestAddin>();
    ComPtr<IDispatch> dispatch = ComPtr<IUnknown>(addin->InnerUnknown()).As<IDispatch>();
    ASSERT_TRUE(dispatch);
    ASSERT_TRUE(dispatch.As<IDorvixAddin>());

    unsigned argErr = 9;
    ASSERT_EQ(CallOnLoad(dispatch.Get(), manager->InnerUnknown(), &argErr), S_OK);
    EXPECT_EQ(addin->loads, 1);
    EXPECT_EQ(Identity(addin->manager.Get()), Identity(manager->InnerUnknown()));

    // An object without late binding is no add-in manager.
    ComPtr<Plain> plain = MakeComObject<Plain>();
    EXPECT_EQ(CallOnLoad(dispatch.Get(), plain->InnerUnknown(), &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(addin->loads, 1);

    const OLECHAR* name[] = {L"OnUnload"};
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, name, 1, 1033, &id), S_OK);
    DISPPARAMS none;
    EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 1033, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(addin->unloads, 1);

    const GUID someInterface = MakeGuid("11111111-2222-3333-4444-555555555555");
    EXPECT_EQ(dispatch->Invoke(id, someInterface, 1033, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(dispatch->Invoke(DISPID_DorvixAddin_OnLoad, IID_NULL, 1033, DISPATCH_METHOD, &none, nullptr,
                               nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(dispatch->Invoke(3, IID_NULL, 1033, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(addin->unloads, 1);
    EXPECT_EQ(addin->loads, 1);

    // Every add-in object shares the one type information.
    ComPtr<ITypeInfo> first;
    ComPtr<ITypeInfo> second;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 1033, first.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(manager->GetTypeInfo(0, 1033, second.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(first.Get(), second.Get());
    IID described;
    EXPECT_EQ(first->GetInterfaceId(&described), S_OK);
    EXPECT_EQ(described, IID_IDorvixAddin);
}

TEST(XenComTypeInfoHolder, LoadsOnceAndHandsOutReferences) {
    std::atomic<int> loads{0};
    std::atomic<bool> fail{true};
    XenComTypeInfoHolder holder(IID_IDorvixAddin, [&](ITypeInfo** out) {
        ++loads;
        if (fail) return E_OUTOFMEMORY;
        std::vector<MemberDescription> members;
        members.push_back(
            {L"OnUnload", 2, MemberKind::Method, {}, VT_EMPTY, Invoker<IDorvixAddin>(&IQHAddin::OnUnload)});
        return CreateTypeInfo(IID_IDorvixAddin, std::move(members), out);
    });

    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(holder.GetTypeInfo(0, 1033, nullptr), E_POINTER);
    EXPECT_EQ(holder.GetTypeInfo(1, 1033, &info), DISP_E_BADINDEX);
    EXPECT_EQ(info, nullptr);
    // A failed load is answered and tried again on the next call.
    EXPECT_EQ(holder.GetTypeInfo(0, 1033, &info), E_OUTOFMEMORY);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(loads, 1);
    fail = false;

    std::vector<ITypeInfo*> got(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < got.size(); ++i)
        threads.emplace_back([&, i] { EXPECT_EQ(holder.GetTypeInfo(0, 1033, &got[i]), S_OK); });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(loads, 2);
    for (ITypeInfo* p : got) EXPECT_EQ(p, got[0]);
    ASSERT_NE(got[0], nullptr);
    // The holder's own reference and one per caller.
    EXPECT_EQ(got[0]->AddRef(), 10u);
    EXPECT_EQ(got[0]->Release(), 9u);

    holder.Term();
    EXPECT_EQ(got[0]->AddRef(), 9u);
    EXPECT_EQ(got[0]->Release(), 8u);
    ComPtr<ITypeInfo> reloaded;
    EXPECT_EQ(holder.GetTypeInfo(0, 1033, reloaded.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(loads, 3);
    EXPECT_NE(reloaded.Get(), got[0]);
    for (ITypeInfo* p : got) p->Release();
}

}  // namespace
