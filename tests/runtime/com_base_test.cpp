// The add-in objects' free-threaded marshaler (made on request, switched by environment) and name lookups.
#include <gtest/gtest.h>

#include "platform/environment.h"
#include "runtime/dorvix_addin_interface.h"
#include "runtime/xen_com_object.h"

namespace {

struct ISample : IUnknown {
    static constexpr IID kIid = MakeGuid("2f4c1e0a-7b3d-4a55-8e21-9d0c6b7a3e11");
    static constexpr const IID& iid() { return kIid; }
};

class Sample : public ComObject<Sample, ISample>, public CXenComObject {
  public:
    HRESULT QueryInterfaceExtra(REFIID iid, void** out) {
        return QueryMarshaler(ControllingUnknown(), iid, out);
    }
};

ComPtr<ISample> NewSample(Sample** raw) {
    ComPtr<ISample> s;
    (void)CreateComInstanceWith<Sample>(nullptr, ISample::iid(), s.ReleaseAndGetVoidAddress(), [raw] {
        *raw = new Sample();
        return *raw;
    });
    return s;
}

TEST(FreeThreadedMarshaler, CreatedOnFirstRequestAndReused) {
    platform::UnsetEnvironmentVariable(std::string_view(CXenComObject::kFreeThreadedVariable));
    Sample* raw = nullptr;
    ComPtr<ISample> s = NewSample(&raw);
    EXPECT_TRUE(raw->UsesFreeThreadedMarshaler());
    EXPECT_FALSE(raw->HasMarshaler());
    ComPtr<IMarshal> first = s.As<IMarshal>();
    ASSERT_TRUE(first);
    EXPECT_TRUE(raw->HasMarshaler());
    ComPtr<IMarshal> second = s.As<IMarshal>();
    EXPECT_EQ(first.Get(), second.Get());
    // The marshaler is aggregated: its IUnknown is the object's.
    ComPtr<IUnknown> fromMarshaler;
    ComPtr<IUnknown> fromObject;
    EXPECT_EQ(first->QueryInterface(IID_IUnknown, fromMarshaler.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(s->QueryInterface(IID_IUnknown, fromObject.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(fromMarshaler.Get(), fromObject.Get());
}

TEST(FreeThreadedMarshaler, SwitchIsReadAtConstruction) {
    platform::WriteEnvironmentVariable(std::string_view(CXenComObject::kFreeThreadedVariable),
                                       std::string_view("0"));
    Sample* off = nullptr;
    ComPtr<ISample> a = NewSample(&off);
    platform::WriteEnvironmentVariable(std::string_view(CXenComObject::kFreeThreadedVariable),
                                       std::string_view("00"));
    EXPECT_FALSE(a.As<IMarshal>());  // still off: the switch was read when it was built
    Sample* on = nullptr;
    ComPtr<ISample> b = NewSample(&on);
    EXPECT_TRUE(b.As<IMarshal>());
    platform::UnsetEnvironmentVariable(std::string_view(CXenComObject::kFreeThreadedVariable));
}

TEST(AddinDispatch, NamesFromTheCacheThenTheTypeInfo) {
    XenComTypeInfoHolder& holder = DorvixAddinTypeInfo();
    unsigned count = 0;
    EXPECT_EQ(XenComTypeInfoHolder::GetTypeInfoCount(nullptr), E_POINTER);
    EXPECT_EQ(XenComTypeInfoHolder::GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    const OLECHAR* names[] = {L"OnUnload", L"param"};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(holder.GetIDsOfNames(IID_NULL, names, 1, 1033, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(holder.GetIDsOfNames(IID_NULL, names, 2, 1033, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    // Not in the cache as written: the type information still knows it.
    const OLECHAR* otherCase[] = {L"onunload"};
    EXPECT_EQ(holder.GetIDsOfNames(IID_NULL, otherCase, 1, 1033, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    const OLECHAR* withParameter[] = {L"ONLOAD", L"Manager"};
    EXPECT_EQ(holder.GetIDsOfNames(IID_NULL, withParameter, 2, 1033, ids), S_OK);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 0);
    const OLECHAR* prefix[] = {L"OnLoa"};
    EXPECT_EQ(holder.GetIDsOfNames(IID_NULL, prefix, 1, 1033, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

}  // namespace
