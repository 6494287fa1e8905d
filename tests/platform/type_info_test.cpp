// Interface descriptions for late binding: names, argument conversion, properties, refused calls and members.
#include "platform/type_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com_object.h"
#include "platform/member_invoker.h"

namespace {

enum class SampleKind : std::int32_t { First = 1, Second = 2 };

struct ISample : IUnknown {
    static constexpr IID kIid = MakeGuid("5d0c2b71-4e8a-4f3c-9a6e-2b7d1c0e8f43");
    static constexpr const IID& iid() { return kIid; }
    virtual HRESULT Scale(std::int32_t count, double factor, BSTR label, double* result) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT get_Steps(std::int32_t* value) = 0;
    virtual HRESULT put_Steps(std::int32_t value) = 0;
    virtual HRESULT get_Title(BSTR* value) = 0;
    virtual HRESULT put_Title(BSTR value) = 0;
    virtual HRESULT get_Enabled(VARIANT_BOOL* value) = 0;
    virtual HRESULT put_Enabled(VARIANT_BOOL value) = 0;
    virtual HRESULT get_Kind(SampleKind* value) = 0;
    virtual HRESULT put_Kind(SampleKind value) = 0;
    virtual HRESULT get_Tag(VARIANT* value) = 0;
    virtual HRESULT put_Tag(VARIANT value) = 0;
};

class Sample : public ComObject<Sample, ISample> {
  public:
    HRESULT Scale(std::int32_t count, double factor, BSTR label, double* result) override {
        calls.push_back(L"Scale " + std::to_wstring(count) + L" " + std::to_wstring(factor) + L" " +
                        std::wstring(BstrView(label)));
        *result = count * factor;
        return S_OK;
    }
    HRESULT Reset() override {
        calls.push_back(L"Reset");
        return S_OK;
    }
    HRESULT get_Steps(std::int32_t* value) override { return *value = steps, S_OK; }
    HRESULT put_Steps(std::int32_t value) override {
        if (value < 0) return E_INVALIDARG;
        steps = value;
        return S_OK;
    }
    HRESULT get_Title(BSTR* value) override { return *value = SysAllocString(title), S_OK; }
    HRESULT put_Title(BSTR value) override { return title = BstrView(value), S_OK; }
    HRESULT get_Enabled(VARIANT_BOOL* value) override { return *value = enabled, S_OK; }
    HRESULT put_Enabled(VARIANT_BOOL value) override { return enabled = value, S_OK; }
    HRESULT get_Kind(SampleKind* value) override { return *value = kind, S_OK; }
    HRESULT put_Kind(SampleKind value) override { return kind = value, S_OK; }
    HRESULT get_Tag(VARIANT* value) override { return VariantCopy(value, tag.Get()); }
    HRESULT put_Tag(VARIANT value) override { return VariantCopy(tag.Get(), &value); }

    std::vector<std::wstring> calls;
    std::int32_t steps = 0;
    std::wstring title;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    SampleKind kind = SampleKind::First;
    VariantHolder tag;
};

MemberDescription Get(const wchar_t* name, DISPID id, VARTYPE vt, MemberInvoker invoker) {
    return {name, id, MemberKind::PropertyGet, {}, vt, std::move(invoker)};
}
MemberDescription Put(const wchar_t* name, DISPID id, VARTYPE vt, MemberInvoker invoker) {
    return {name, id, MemberKind::PropertyPut, {{L"value", vt}}, VT_EMPTY, std::move(invoker)};
}

std::vector<MemberDescription> SampleMembers() {
    return {
        {L"Scale",
         1,
         MemberKind::Method,
         {{L"count", VT_I4}, {L"factor", VT_R8}, {L"label", VT_BSTR}},
         VT_R8,
         InvokerWithResult(&ISample::Scale)},
        {L"Reset", 2, MemberKind::Method, {}, VT_EMPTY, Invoker(&ISample::Reset)},
        Get(L"Steps", 3, VT_I4, InvokerWithResult(&ISample::get_Steps)),
        Put(L"Steps", 3, VT_I4, Invoker(&ISample::put_Steps)),
        Get(L"Title", 5, VT_BSTR, InvokerWithResult(&ISample::get_Title)),
        Put(L"Title", 5, VT_BSTR, Invoker(&ISample::put_Title)),
        Get(L"Enabled", 6, VT_BOOL, InvokerWithResult(&ISample::get_Enabled)),
        Put(L"Enabled", 6, VT_BOOL, Invoker(&ISample::put_Enabled)),
        Get(L"Kind", 7, VT_I4, InvokerWithResult(&ISample::get_Kind)),
        Put(L"Kind", 7, VT_I4, Invoker(&ISample::put_Kind)),
        Get(L"Tag", 8, VT_VARIANT, InvokerWithResult(&ISample::get_Tag)),
        Put(L"Tag", 8, VT_VARIANT, Invoker(&ISample::put_Tag)),
    };
}

struct IOther : IUnknown {
    static constexpr IID kIid = MakeGuid("0a9e7c51-3d2b-4c61-8f0e-7b5a4d3c2e10");
    static constexpr const IID& iid() { return kIid; }
};
class Other : public ComObject<Other, IOther> {};

class TypeInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CreateTypeInfo(ISample::iid(), SampleMembers(), info_.ReleaseAndGetAddressOf()), S_OK);
        sample_ = MakeComObject<Sample>();
        ASSERT_TRUE(sample_);
    }

    // Arguments are given first to last; named[k] is the id of the k-th argument counted from
    // the last.
    HRESULT Call(DISPID id, std::uint16_t flags, std::vector<VariantHolder> args, VariantHolder* result,
                 std::vector<DISPID> named = {}, unsigned* argErr = nullptr) {
        std::vector<VARIANT> reversed;
        for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
        DISPPARAMS params{reversed.data(), named.data(), static_cast<unsigned>(reversed.size()),
                          static_cast<unsigned>(named.size())};
        unsigned ignored = 0;
        return info_->Invoke(sample_->InnerUnknown(), id, flags, &params, result ? result->Get() : nullptr,
                             nullptr, argErr ? argErr : &ignored);
    }

    ComPtr<ITypeInfo> info_;
    ComPtr<Sample> sample_;
};

template <class T>
VariantHolder V(T value) {
    return VariantHolder(value);
}

TEST_F(TypeInfoTest, NamesIgnoreCaseAndFindParameters) {
    const struct {
        std::vector<const wchar_t*> names;
        HRESULT hr;
        std::vector<DISPID> ids;
    } cases[] = {
        {{L"Scale"}, S_OK, {1}},
        {{L"tITLE"}, S_OK, {5}},
        {{L"SCALE", L"Label", L"count"}, S_OK, {1, 2, 0}},
        {{L"Scale", L"factor", L"nope", L"count"}, DISP_E_UNKNOWNNAME, {1, 1, DISPID_UNKNOWN, 0}},
        {{L"Nope", L"count"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN, DISPID_UNKNOWN}},
        {{L"Scal"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{L"Reset", L"count"}, DISP_E_UNKNOWNNAME, {2, DISPID_UNKNOWN}},
        {{L"Steps", L"value"}, S_OK, {3, 0}},
    };
    for (const auto& c : cases) {
        std::vector<DISPID> ids(c.names.size(), 42);
        EXPECT_EQ(info_->GetIDsOfNames(c.names.data(), static_cast<unsigned>(c.names.size()), ids.data()),
                  c.hr)
            << c.names[0];
        EXPECT_EQ(ids, c.ids) << c.names[0];
    }
}

TEST_F(TypeInfoTest, MethodArgumentsAreConvertedToTheirTypes) {
    VariantHolder result;
    // Text "3" for the count, an integer for the factor, a real for the label.
    ASSERT_EQ(Call(1, DISPATCH_METHOD, {V(std::wstring_view(L"3")), V(std::int32_t{2}), V(7.5)}, &result),
              S_OK);
    EXPECT_EQ(sample_->calls.back(), L"Scale 3 2.000000 7.5");
    EXPECT_EQ(result.Type(), VT_R8);
    EXPECT_EQ(result->dblVal, 6.0);

    // Named arguments in any order after the positional ones; method and get together.
    ASSERT_EQ(Call(1, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                   {V(std::int32_t{4}), V(std::wstring_view(L"x")), V(0.5)}, &result, {1, 2}),
              S_OK);
    EXPECT_EQ(sample_->calls.back(), L"Scale 4 0.500000 x");
    EXPECT_EQ(result->dblVal, 2.0);

    result = V(std::wstring_view(L"stale"));
    ASSERT_EQ(Call(2, DISPATCH_METHOD, {}, &result), S_OK);
    EXPECT_EQ(result.Type(), VT_EMPTY);
}

TEST_F(TypeInfoTest, PropertiesPutAndGetWithConversion) {
    const struct {
        DISPID id;
        VariantHolder put;
        VARTYPE got;
        std::wstring gotText;
    } cases[] = {
        {3, V(std::wstring_view(L"12")), VT_I4, L"12"},       {5, V(2.5), VT_BSTR, L"2.5"},
        {6, V(std::wstring_view(L"true")), VT_BOOL, L"-1"},   {7, V(2.0), VT_I4, L"2"},
        {8, V(std::wstring_view(L"kept")), VT_BSTR, L"kept"},
    };
    for (const auto& c : cases) {
        DISPID putId = DISPID_PROPERTYPUT;
        VariantHolder ignored;
        EXPECT_EQ(Call(c.id, DISPATCH_PROPERTYPUT, {c.put}, &ignored, {putId}), S_OK) << c.id;
        VariantHolder got;
        ASSERT_EQ(Call(c.id, DISPATCH_PROPERTYGET, {}, &got), S_OK) << c.id;
        EXPECT_EQ(got.Type(), c.got) << c.id;
        EXPECT_EQ(got.ChangeType(VT_BSTR), S_OK);
        EXPECT_EQ(BstrView(got->bstrVal), c.gotText) << c.id;
    }
    EXPECT_EQ(sample_->kind, SampleKind::Second);
    // A put may also pass its value positionally; a get may drop its answer.
    EXPECT_EQ(Call(3, DISPATCH_PROPERTYPUT, {V(std::int32_t{9})}, nullptr), S_OK);
    EXPECT_EQ(sample_->steps, 9);
    EXPECT_EQ(Call(5, DISPATCH_PROPERTYGET, {}, nullptr), S_OK);
}

TEST_F(TypeInfoTest, BadCallsAreRefusedAndReachNothing) {
    const DISPID put = DISPID_PROPERTYPUT;
    const struct {
        const char* what;
        DISPID id;
        std::uint16_t flags;
        std::vector<VariantHolder> args;
        std::vector<DISPID> named;
        HRESULT hr;
        unsigned argErr;
    } cases[] = {
        {"unknown member", 99, DISPATCH_METHOD, {}, {}, DISP_E_MEMBERNOTFOUND, 77},
        {"put of a method", 2, DISPATCH_PROPERTYPUT, {V(1.0)}, {put}, DISP_E_MEMBERNOTFOUND, 77},
        {"get of a method", 2, DISPATCH_PROPERTYGET, {}, {}, DISP_E_MEMBERNOTFOUND, 77},
        {"method call of a property", 3, DISPATCH_METHOD, {}, {}, DISP_E_MEMBERNOTFOUND, 77},
        {"put by reference", 3, DISPATCH_PROPERTYPUTREF, {V(1.0)}, {put}, DISP_E_MEMBERNOTFOUND, 77},
        {"too few", 1, DISPATCH_METHOD, {V(1.0), V(1.0)}, {}, DISP_E_BADPARAMCOUNT, 77},
        {"too many", 1, DISPATCH_METHOD, {V(1.0), V(1.0), V(1.0), V(1.0)}, {}, DISP_E_BADPARAMCOUNT, 77},
        {"arguments for none", 2, DISPATCH_METHOD, {V(1.0)}, {}, DISP_E_BADPARAMCOUNT, 77},
        {"named parameter left out", 1, DISPATCH_METHOD, {V(1.0), V(1.0)}, {2}, DISP_E_BADPARAMCOUNT, 77},
        {"text for the factor",
         1,
         DISPATCH_METHOD,
         {V(1.0), V(std::wstring_view(L"abc")), V(1.0)},
         {},
         DISP_E_TYPEMISMATCH,
         1},
        {"text for the count",
         1,
         DISPATCH_METHOD,
         {V(std::wstring_view(L"x")), V(1.0), V(1.0)},
         {},
         DISP_E_TYPEMISMATCH,
         2},
        {"unknown named parameter",
         1,
         DISPATCH_METHOD,
         {V(1.0), V(1.0), V(1.0)},
         {2, 7},
         DISP_E_PARAMNOTFOUND,
         1},
        {"named parameter given twice",
         1,
         DISPATCH_METHOD,
         {V(1.0), V(1.0), V(1.0)},
         {2, 2},
         DISP_E_PARAMNOTFOUND,
         1},
        {"named parameter already positional",
         1,
         DISPATCH_METHOD,
         {V(1.0), V(1.0), V(1.0)},
         {0},
         DISP_E_PARAMNOTFOUND,
         0},
        {"put value named on a method",
         1,
         DISPATCH_METHOD,
         {V(1.0), V(1.0), V(1.0)},
         {put},
         DISP_E_PARAMNOTFOUND,
         0},
        {"too large for the parameter", 3, DISPATCH_PROPERTYPUT, {V(1e20)}, {put}, DISP_E_OVERFLOW, 0},
        {"refused by the object", 3, DISPATCH_PROPERTYPUT, {V(std::int32_t{-1})}, {put}, E_INVALIDARG, 77},
    };
    for (const auto& c : cases) {
        unsigned argErr = 77;
        VariantHolder result(std::int32_t{5});
        EXPECT_EQ(Call(c.id, c.flags, c.args, &result, c.named, &argErr), c.hr) << c.what;
        EXPECT_EQ(argErr, c.argErr) << c.what;
        EXPECT_EQ(result.Type(), VT_I4) << c.what;  // a failed call leaves the result alone
    }
    EXPECT_TRUE(sample_->calls.empty());
    EXPECT_EQ(sample_->steps, 0);

    // The instance must answer the described interface.
    ComPtr<Other> other = MakeComObject<Other>();
    DISPPARAMS none;
    EXPECT_EQ(info_->Invoke(other->InnerUnknown(), 2, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              E_NOINTERFACE);
    EXPECT_EQ(info_->Invoke(sample_->InnerUnknown(), 2, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
    DISPPARAMS moreNamedThanGiven{nullptr, nullptr, 0, 1};
    EXPECT_EQ(info_->Invoke(sample_->InnerUnknown(), 2, DISPATCH_METHOD, &moreNamedThanGiven, nullptr,
                            nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_TRUE(sample_->calls.empty());
}

TEST(TypeInfoDescription, InconsistentDescriptionsAreRefused) {
    auto with = [](auto change) {
        std::vector<MemberDescription> members = SampleMembers();
        change(members);
        ComPtr<ITypeInfo> info;
        HRESULT hr = CreateTypeInfo(ISample::iid(), std::move(members), info.ReleaseAndGetAddressOf());
        EXPECT_EQ(info == nullptr, FAILED(hr));
        return hr;
    };
    using Members = std::vector<MemberDescription>;
    EXPECT_EQ(with([](Members&) {}), S_OK);
    // A parameter type that the operation's C++ type cannot take.
    EXPECT_EQ(with([](Members& m) { m[3].params[0].type = VT_BSTR; }), E_INVALIDARG);
    EXPECT_EQ(with([](Members& m) { m[0].result = VT_I4; }), E_INVALIDARG);
    // Two gets for one dispid, a method beside a property, one name for two dispids.
    EXPECT_EQ(with([](Members& m) {
                  m.push_back(Get(L"Steps", 3, VT_I4, InvokerWithResult(&ISample::get_Steps)));
              }),
              E_INVALIDARG);
    EXPECT_EQ(with([](Members& m) {
                  m[1].name = L"Steps";
                  m[1].dispid = 3;
              }),
              E_INVALIDARG);
    EXPECT_EQ(with([](Members& m) { m[1].name = L"steps"; }), E_INVALIDARG);
    EXPECT_EQ(with([](Members& m) { m[4].name = L"Titles"; }), E_INVALIDARG);
    // A reserved dispid, a repeated parameter name, a get without an answer.
    EXPECT_EQ(with([](Members& m) { m[1].dispid = DISPID_UNKNOWN; }), E_INVALIDARG);
    EXPECT_EQ(with([](Members& m) { m[0].params[2].name = L"COUNT"; }), E_INVALIDARG);
    EXPECT_EQ(with([](Members& m) { m[1].kind = MemberKind::PropertyGet; }), E_INVALIDARG);
}

}  // namespace
