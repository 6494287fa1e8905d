// Property entries and their collection as the host's grid uses them: listed, looked up by
// index and dispid, read and written through a small owner with one property of each type.

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "addin/xen_property_browsing.h"
#include "addin/xen_property_coll.h"
#include "addin/xen_property_entry.h"
#include "platform/com_object.h"

namespace {

enum TestChoice : std::int32_t { kChoiceA = 0, kChoiceB = 1 };

// One property of each type; keys "ID_<x>" of its string table read "<x> text".
class TestOwner : public ComObject<TestOwner, IXenPropertyBrowsingImpl<TestOwner>> {
  public:
    explicit TestOwner(bool* destroyed = nullptr) : destroyed_(destroyed) {}
    ~TestOwner() override {
        if (destroyed_) *destroyed_ = true;
    }

    template <class V, V TestOwner::*field>
    HRESULT Get(V* v) {
        *v = this->*field;
        return S_OK;
    }
    template <class V, V TestOwner::*field>
    HRESULT Put(V v) {
        ++setCalls;
        this->*field = v;
        return S_OK;
    }
    // Refuses negative levels with a code of its own.
    HRESULT PutLevel(double v) {
        return v < 0 ? (++setCalls, E_INVALIDARG) : Put<double, &TestOwner::level>(v);
    }
    HRESULT GetLabel(BSTR* v) {
        *v = SysAllocString(label.View());
        return S_OK;
    }
    HRESULT PutLabel(BSTR v) {
        ++setCalls;
        label = BstrHolder(BstrView(v));
        return S_OK;
    }
    HRESULT GetBroken(double*) { return E_FAIL; }

    HRESULT BuildProperties(IXenPropertyColl** properties) override {
        using O = TestOwner;
        ComPtr<IXenPropertyColl> c;
        HRESULT hr = CreateXenPropertyColl(c.ReleaseAndGetAddressOf());
        const HRESULT added[] = {
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackVariantBool<O>>(
                               L"Flag", L"ID_Flag", L"ID_Switches", 1, &O::Get<VARIANT_BOOL, &O::flag>,
                               &O::Put<VARIANT_BOOL, &O::flag>)),
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackUInt<O>>(L"Count", L"ID_Count", L"ID_Numbers",
                                                                       2, &O::Get<std::uint32_t, &O::count>,
                                                                       &O::Put<std::uint32_t, &O::count>)),
            AddXenProperty(
                c.Get(), this,
                new XenPropInfo<XenPropertyCallbackDouble<O>>(L"Level", L"ID_Level", L"ID_Numbers", 3,
                                                              &O::Get<double, &O::level>, &O::PutLevel)),
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackInt<O>>(L"Offset", L"ID_Offset", L"ID_Numbers",
                                                                      4, &O::Get<std::int32_t, &O::offset>,
                                                                      &O::Put<std::int32_t, &O::offset>)),
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackEnum<TestChoice, O>>(
                               L"Choice", L"ID_Choice", L"ID_Switches", 5, &O::Get<TestChoice, &O::choice>,
                               &O::Put<TestChoice, &O::choice>)),
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackBSTR<O>>(L"Label", L"ID_Label", L"ID_Texts", 6,
                                                                       &O::GetLabel, &O::PutLabel)),
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackDouble<O>>(
                               L"Fixed", L"ID_Fixed", L"ID_Numbers", 7, &O::Get<double, &O::level>, nullptr)),
            // Shares its dispid with Level, added before it; its caption key is unknown.
            AddXenProperty(c.Get(), this,
                           new XenPropInfo<XenPropertyCallbackDouble<O>>(L"Broken", L"missing", L"ID_Numbers",
                                                                         3, &O::GetBroken, &O::PutLevel)),
        };
        for (HRESULT one : added) hr = FAILED(hr) ? hr : one;
        return FAILED(hr) ? hr : c.CopyTo(properties);
    }
    HRESULT GetLocalizedString(const OLECHAR* key, BSTR* text) override {
        std::wstring_view k(key ? key : L"");
        if (!k.starts_with(L"ID_")) return E_INVALIDARG;
        *text = SysAllocString(std::wstring(k.substr(3)) + L" text");
        return S_OK;
    }
    HRESULT GetPropertyCaption(IXenProperty* property, BSTR* caption) override {
        if (!ownCaptions) return IXenPropertyBrowsingImpl::GetPropertyCaption(property, caption);
        *caption = SysAllocString(L"own caption");
        return S_OK;
    }

    VARIANT_BOOL flag = VARIANT_FALSE;
    std::uint32_t count = 3;
    double level = 1.5;
    std::int32_t offset = -4;
    TestChoice choice = kChoiceB;
    BstrHolder label{L"start"};
    int setCalls = 0;
    bool ownCaptions = false;

  private:
    bool* destroyed_;
};

// "<vartype>:<value as text>".
std::wstring Show(const VARIANT& v) {
    VariantHolder text;
    if (FAILED(VariantChangeType(text.Get(), &v, 0, VT_BSTR))) return L"?";
    return std::to_wstring(v.vt) + L":" + std::wstring(BstrView(text->bstrVal));
}

std::wstring Text(HRESULT (IXenProperty::*get)(BSTR*), IXenProperty* entry) {
    BstrHolder text;
    if (FAILED((entry->*get)(text.ReleaseAndGetAddressOf()))) return L"failed";
    return text.IsNull() ? L"null" : text.Str();
}

std::wstring ValueOf(IXenProperty* entry) {
    VariantHolder value;
    HRESULT hr = entry->get_Value(value.Get());
    return SUCCEEDED(hr) ? Show(*value) : L"failed";
}

struct Built {
    explicit Built(bool* destroyed = nullptr) : owner(MakeComObject<TestOwner>(destroyed)) {
        EXPECT_EQ(owner->BuildProperties(coll.ReleaseAndGetAddressOf()), S_OK);
    }
    ComPtr<IXenProperty> Item(std::uint32_t index) const {
        ComPtr<IXenProperty> entry;
        EXPECT_EQ(coll->get_Item(index, entry.ReleaseAndGetAddressOf()), S_OK);
        return entry;
    }
    ComPtr<TestOwner> owner;
    ComPtr<IXenPropertyColl> coll;
};

TEST(XenPropertyEntry, ReportsNameTextsTypesAndFlags) {
    struct Row {
        std::wstring name, caption, group;
        DISPID dispid;
        VARTYPE type;
        std::wstring value;
    };
    const Row rows[] = {
        {L"Flag", L"Flag text", L"Switches text", 1, VT_BOOL, L"11:0"},
        {L"Count", L"Count text", L"Numbers text", 2, VT_UINT, L"3:3"},
        {L"Level", L"Level text", L"Numbers text", 3, VT_R8, L"5:1.5"},
        {L"Offset", L"Offset text", L"Numbers text", 4, VT_INT, L"3:-4"},
        {L"Choice", L"Choice text", L"Switches text", 5, VT_INT, L"3:1"},
        {L"Label", L"Label text", L"Texts text", 6, VT_BSTR, L"8:start"},
        {L"Fixed", L"Fixed text", L"Numbers text", 7, VT_R8, L"5:1.5"},
        // The string table lacks the caption key; the getter fails without writing.
        {L"Broken", L"null", L"Numbers text", 3, VT_R8, L"5:0"},
    };
    Built b;
    std::uint32_t count = 0;
    ASSERT_EQ(b.coll->get_Count(&count), S_OK);
    ASSERT_EQ(count, std::size(rows));
    for (std::uint32_t i = 0; i < count; ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        ComPtr<IXenProperty> entry = b.Item(i + 1);
        EXPECT_EQ(Text(&IXenProperty::get_Name, entry.Get()), row.name);
        EXPECT_EQ(Text(&IXenProperty::get_Caption, entry.Get()), row.caption);
        EXPECT_EQ(Text(&IXenProperty::get_Group, entry.Get()), row.group);
        DISPID dispid = 0;
        VARTYPE type = VT_EMPTY;
        std::uint32_t flags = 0;
        EXPECT_EQ(entry->get_DispID(&dispid), S_OK);
        EXPECT_EQ(entry->get_Type(&type), S_OK);
        EXPECT_EQ(entry->get_Flags(&flags), S_OK);
        EXPECT_EQ(std::make_tuple(dispid, type, flags), std::make_tuple(row.dispid, row.type, 1u));
        EXPECT_EQ(ValueOf(entry.Get()), row.value);
    }
}

TEST(XenPropertyEntry, PutValueConvertsThenCallsTheSetter) {
    struct Row {
        std::uint32_t index;
        VariantHolder value;
        HRESULT result;
        int setCalls;
        std::wstring after;
    };
    const Row rows[] = {
        {3, VariantHolder(std::wstring_view(L"2.5")), S_OK, 1, L"5:2.5"},
        {3, VariantHolder(std::wstring_view(L"two")), DISP_E_TYPEMISMATCH, 0, L"5:1.5"},
        {3, VariantHolder(-1.0), E_INVALIDARG, 1, L"5:1.5"},  // the setter's own refusal
        {7, VariantHolder(9.0), E_NOTIMPL, 0, L"5:1.5"},
        {5, VariantHolder(std::int32_t{7}), S_OK, 1, L"3:7"},
        {2, VariantHolder(4294967295.0), S_OK, 1, L"3:-1"},
        {4, VariantHolder(std::wstring_view(L"-12")), S_OK, 1, L"3:-12"},
        {1, VariantHolder(std::wstring_view(L"true")), S_OK, 1, L"11:-1"},
        {6, VariantHolder(std::int32_t{42}), S_OK, 1, L"8:42"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_wstring(row.index) + L" <- " + Show(*row.value));
        Built b;
        ComPtr<IXenProperty> entry = b.Item(row.index);
        EXPECT_EQ(entry->put_Value(*row.value), row.result);
        EXPECT_EQ(b.owner->setCalls, row.setCalls);
        EXPECT_EQ(ValueOf(entry.Get()), row.after);
    }
}

TEST(XenPropertyColl, LooksUpByIndexAndDispid) {
    Built b;
    const std::pair<std::uint32_t, std::wstring> byIndex[] = {
        {0, L"failed"}, {1, L"Flag"}, {8, L"Broken"}, {9, L"failed"}};
    for (const auto& [index, name] : byIndex) {
        ComPtr<IXenProperty> entry;
        HRESULT hr = b.coll->get_Item(index, entry.ReleaseAndGetAddressOf());
        EXPECT_EQ(hr, entry ? S_OK : E_INVALIDARG);
        EXPECT_EQ(entry ? Text(&IXenProperty::get_Name, entry.Get()) : L"failed", name) << index;
    }
    ComPtr<IXenProperty> entry;
    ASSERT_EQ(b.coll->get_ItemById(3, entry.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(Text(&IXenProperty::get_Name, entry.Get()), L"Level");
    EXPECT_EQ(b.coll->get_ItemById(99, entry.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_EQ(b.coll->get_Item(1, nullptr), XEN_E_NULL_OUT);
    EXPECT_EQ(b.coll->get_ItemById(3, nullptr), XEN_E_NULL_OUT);
    EXPECT_EQ(b.coll->get_Count(nullptr), E_POINTER);
    EXPECT_EQ(b.coll->Add(nullptr), E_POINTER);

    ComPtr<IXenPropertyColl> empty;
    ASSERT_EQ(CreateXenPropertyColl(empty.ReleaseAndGetAddressOf()), S_OK);
    std::uint32_t count = 7;
    EXPECT_EQ(std::make_pair(empty->get_Count(&count), count), std::make_pair(S_OK, 0u));
    EXPECT_EQ(empty->get_Item(1, entry.ReleaseAndGetAddressOf()), E_INVALIDARG);
}

// An entry whose Init was refused stays in the collection, inert.
TEST(XenPropertyEntry, WithoutInfoRecordFails) {
    using Callback = XenPropertyCallbackDouble<TestOwner>;
    ComPtr<TestOwner> owner = MakeComObject<TestOwner>();
    ComPtr<IXenPropertyColl> coll;
    ASSERT_EQ(CreateXenPropertyColl(coll.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(AddXenProperty<Callback>(coll.Get(), owner.Get(), nullptr), E_FAIL);
    auto* info =
        new XenPropInfo<Callback>(L"Level", L"", L"", 3, &TestOwner::Get<double, &TestOwner::level>, nullptr);
    EXPECT_EQ(AddXenProperty(coll.Get(), static_cast<TestOwner*>(nullptr), info), E_FAIL);
    ComPtr<IXenProperty> entry;
    EXPECT_EQ(coll->get_ItemById(3, entry.ReleaseAndGetAddressOf()), E_INVALIDARG);
    ASSERT_EQ(coll->get_Item(2, entry.ReleaseAndGetAddressOf()), S_OK);
    DISPID dispid = 0;
    VARTYPE type = 0;
    std::uint32_t flags = 0;
    const HRESULT results[] = {entry->get_DispID(&dispid), entry->get_DispID(nullptr), entry->get_Type(&type),
                               entry->get_Flags(&flags), entry->put_Value(*VariantHolder(1.0))};
    for (HRESULT hr : results) EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(ValueOf(entry.Get()), L"failed");
    IUnknown* unknown = owner.Get();
    EXPECT_EQ(entry->GetOwner(&unknown), E_FAIL);
    EXPECT_EQ(unknown, nullptr);
}

TEST(XenPropertyEntry, OutlivesCollectionAndKeepsOwnerAlive) {
    const long locks = ModuleLockCount();
    bool destroyed = false;
    ComPtr<IXenProperty> entry = Built(&destroyed).Item(3);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(entry->put_Value(*VariantHolder(6.0)), S_OK);
    EXPECT_EQ(ValueOf(entry.Get()), L"5:6");
    ComPtr<IUnknown> owner;
    ASSERT_EQ(entry->GetOwner(owner.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(owner.As<IXenProvideProperties>());
    owner = nullptr;
    EXPECT_GT(ModuleLockCount(), locks);
    entry = nullptr;
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(ModuleLockCount(), locks);
}

TEST(XenPropertyEntry, OwnCaptionFirstThenReplacedOrCleared) {
    ComPtr<TestOwner> owner = MakeComObject<TestOwner>();
    owner->ownCaptions = true;
    ComPtr<IXenPropertyColl> coll;
    ASSERT_EQ(owner->BuildProperties(coll.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IXenProperty> entry;
    ASSERT_EQ(coll->get_Item(1, entry.ReleaseAndGetAddressOf()), S_OK);
    // The owner's own caption wins over the string table.
    EXPECT_EQ(Text(&IXenProperty::get_Caption, entry.Get()), L"own caption");
    EXPECT_EQ(entry->put_Caption(L"new"), S_OK);
    EXPECT_EQ(entry->put_Group(nullptr), S_OK);
    EXPECT_EQ(Text(&IXenProperty::get_Caption, entry.Get()), L"new");
    EXPECT_EQ(Text(&IXenProperty::get_Group, entry.Get()), L"null");
}

}  // namespace
