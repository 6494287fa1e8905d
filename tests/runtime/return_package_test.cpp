// The return package: status, part values, lookups, contact pairs, part results, file name and messages.
#include "runtime/return_package.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/com_object.h"

namespace {

struct IProbe : IUnknown {
    static constexpr IID kIid = MakeGuid("0b7e1c52-55a8-4d3e-9c11-6f0a4b2e9d01");
    static constexpr const IID& iid() { return kIid; }
};
class Probe : public ComObject<Probe, IProbe> {};

ComPtr<IUnknown> NewProbe() {
    ComPtr<IUnknown> p;
    (void)CreateComInstanceWith<Probe>(nullptr, IID_IUnknown, p.ReleaseAndGetVoidAddress(),
                                       [] { return new Probe(); });
    return p;
}

TEST(ReturnPackage, FreshPackageAndInitReset) {
    ReturnPackage package;
    int code = 0, error = -1;
    unsigned bits = 9;
    EXPECT_EQ(package.GetStatus(code, bits, error), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(bits, 0u);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(package.GetPartCount(), 0);

    package.Init(3);
    // The host reads the two bits by these numbers.
    package.SetStatus(11, ReturnPackage::kStatusIncompleteSolution | ReturnPackage::kStatusLastSetFlagged);
    package.SetErrorCode(11);
    package.AddMessage(L"kept");
    EXPECT_EQ(package.GetStatus(code, bits, error), 11);
    EXPECT_EQ(bits, 0x800u | 0x10000u);
    EXPECT_EQ(package.GetPartCount(), 3);
    package.Reset();
    EXPECT_EQ(package.GetStatus(code, bits, error), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(package.GetPartCount(), 0);
    EXPECT_EQ(package.GetMessageCount(), 1);
}

TEST(ReturnPackage, PartValuesAtEveryRangeEdge) {
    ReturnPackage package;
    package.Init(2);
    double v = 7.0;
    EXPECT_EQ(package.SetPartValue1(1, 4.5), S_OK);
    EXPECT_EQ(package.SetPartValue2(0, -1.0), S_OK);
    EXPECT_EQ(package.GetPartValue1(1, v), S_OK);
    EXPECT_EQ(v, 4.5);
    EXPECT_EQ(package.GetPartValue2(0, v), S_OK);
    EXPECT_EQ(v, -1.0);
    EXPECT_EQ(package.GetPartValue1(2, v), E_FAIL);
    EXPECT_EQ(v, 0.0);
    v = 3.0;
    EXPECT_EQ(package.GetPartValue2(-1, v), E_FAIL);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(package.SetPartValue1(2, 1.0), E_FAIL);
    EXPECT_EQ(package.SetPartValue2(-1, 1.0), E_FAIL);
}

TEST(ReturnPackage, LookupsInsertThenReplace) {
    ReturnPackage package;
    EXPECT_EQ(package.SetLookup(5, 1, 2), 0);
    EXPECT_EQ(package.SetLookup(5, 3, 4), 1);
    int a = -1, b = -1;
    EXPECT_EQ(package.GetLookup(5, a, b), S_OK);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 4);
    a = 9;
    b = 9;
    EXPECT_EQ(package.GetLookup(6, a, b), E_FAIL);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 9);

    contactLookupData contact;
    contact.a = 1;
    contact.entries = {0x1122334455667788ull};
    ASSERT_EQ(package.AddContactLookup(contact), S_OK);
    resultLookupData all;
    ASSERT_EQ(package.GetLookupData(all), S_OK);
    ASSERT_EQ(all.contacts.size(), 1u);
    EXPECT_EQ(all.contacts[0].entries[0], 0x1122334455667788ull);
    EXPECT_EQ(all.lookup.at(5), std::make_pair(3, 4));
}

TEST(ReturnPackage, ContactPairsReplaceByPairIdAndRefuseBadIndex) {
    ReturnPackage package;
    ContactPairResultData first;
    first.ints[0] = 4;
    first.blocks[0].values[0] = 1.0;
    ContactPairResultData second = first;
    second.blocks[0].values[0] = 2.0;
    ContactPairResultData other;
    other.ints[0] = 5;
    package.AddOrReplaceContactPair(first);
    package.AddOrReplaceContactPair(other);
    package.AddOrReplaceContactPair(second);
    EXPECT_EQ(package.GetContactPairCount(), 2);
    ContactPairResultData out;
    EXPECT_EQ(out.blocks[1].kind, 4);
    EXPECT_EQ(package.GetContactPair(0, out), S_OK);
    EXPECT_EQ(out.blocks[0].values[0], 2.0);
    EXPECT_EQ(package.GetContactPair(2, out), E_INVALIDARG);
    EXPECT_EQ(package.GetContactPair(-1, out), E_INVALIDARG);
}

TEST(ReturnPackage, PartResultsFoundByCategoryAndIdWithOwningReference) {
    ReturnPackage package;
    package.Init(1);
    ComPtr<IUnknown> probe = NewProbe();
    ResultDefinition d;
    d.SetResultType(48);
    d.id = 3;
    d.value = 1.25;
    package.AddPartResult(0, probe.Get(), d);
    package.AddPartResult(1, probe.Get(), d);  // out of range: ignored
    package.AddPartResult(0, nullptr, d);      // no object: ignored
    // The host asks for temperatures (type 49) under its category 6.
    ComPtr<IUnknown> temperatures = NewProbe();
    ResultDefinition t;
    t.SetResultType(49);
    t.id = 3;
    package.AddPartResult(0, temperatures.Get(), t);
    EXPECT_EQ(package.GetPart(0)->GetCount(), 2);
    double value = 0.0;
    ComPtr<IUnknown> found = package.FindPartResult(0, 1, 3, value);
    EXPECT_EQ(found.Get(), probe.Get());
    EXPECT_EQ(value, 1.25);
    EXPECT_EQ(package.FindPartResult(0, 6, 3, value).Get(), temperatures.Get());
    EXPECT_FALSE(package.FindPartResult(0, 1, 4, value));
    EXPECT_FALSE(package.FindPartResult(1, 1, 3, value));

    package.AddResultChart(probe.Get(), 77);
    EXPECT_EQ(package.GetResultChart(77).Get(), probe.Get());
    EXPECT_FALSE(package.GetResultChart(78));
}

TEST(ReturnPackage, HoldsItsOwnReferencesAndFindsTheFirstMatch) {
    Probe* raw = nullptr;
    ComPtr<IUnknown> probe;
    (void)CreateComInstanceWith<Probe>(nullptr, IID_IUnknown, probe.ReleaseAndGetVoidAddress(), [&raw] {
        raw = new Probe();
        return raw;
    });
    ComPtr<IUnknown> other = NewProbe();
    {
        ReturnPackage package;
        package.Init(1);
        ResultDefinition d;
        d.category = 5;
        d.id = 1;
        d.value = 1.0;
        package.AddPartResult(0, probe.Get(), d);
        d.value = 2.0;
        package.AddPartResult(0, other.Get(), d);
        package.AddResultChart(probe.Get(), 3);
        EXPECT_EQ(raw->RefCountForTesting(), 3u);
        double value = 0.0;
        {
            ComPtr<IUnknown> found = package.FindPartResult(0, 5, 1, value);
            EXPECT_EQ(found.Get(), probe.Get());
            EXPECT_EQ(value, 1.0);
            EXPECT_EQ(raw->RefCountForTesting(), 4u);
        }
        ASSERT_EQ(package.SetPartValue1(0, 9.0), S_OK);
        package.Init(1);  // a new solve: the parts and their values start afresh
        EXPECT_EQ(raw->RefCountForTesting(), 2u);
        EXPECT_EQ(package.GetPartValue1(0, value), S_OK);
        EXPECT_EQ(value, 0.0);
        EXPECT_FALSE(package.FindPartResult(0, 5, 1, value));
    }
    EXPECT_EQ(raw->RefCountForTesting(), 1u);
}

TEST(ReturnPackage, ResultFileNameNeverOverflowsTheBuffer) {
    ReturnPackage package;
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(package.GetResultFileName(nullptr, 8), E_POINTER);
    EXPECT_EQ(package.GetResultFileName(buffer, sizeof buffer), S_OK);
    EXPECT_STREQ(buffer, "");
    ASSERT_EQ(package.SetResultFileName("res.rst"), S_OK);  // 7 characters and the terminator fit exactly
    EXPECT_EQ(package.GetResultFileName(buffer, sizeof buffer), S_OK);
    EXPECT_STREQ(buffer, "res.rst");
    ASSERT_EQ(package.SetResultFileName("longer.rst"), S_OK);
    char small[8] = {'q', 'q', 'q', 'q', 'q', 'q', 'q', 'q'};
    EXPECT_TRUE(FAILED(package.GetResultFileName(small, sizeof small)));
    EXPECT_STREQ(small, "");
    ASSERT_EQ(package.SetResultFileName(nullptr), S_OK);  // clears the name
    EXPECT_EQ(package.GetResultFileName(buffer, sizeof buffer), S_OK);
    EXPECT_STREQ(buffer, "");
}

TEST(ReturnPackage, MessagesAndValueListsAreCopies) {
    ReturnPackage package;
    package.AddMessage(L"one");
    package.AddMessage(L"two");
    std::vector<BstrHolder> messages;
    messages.emplace_back(L"before");
    package.GetMessages(messages);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].Str(), L"one");
    EXPECT_EQ(messages[2].Str(), L"two");

    ASSERT_EQ(package.SetValueList({1.0, 2.0}), S_OK);
    std::vector<double> values{9.0};
    package.GetValueList(values);
    EXPECT_EQ(values, (std::vector<double>{1.0, 2.0}));

    LmatrixResultData matrix(2);
    matrix.At(1, 0) = 5.0;
    matrix.Ids()[1] = 42;
    package.SetLmatrixData(matrix);
    matrix.At(1, 0) = 6.0;
    LmatrixResultData copy;
    package.GetLmatrixData(copy);
    EXPECT_EQ(copy.GetDimension(), 2);
    EXPECT_EQ(copy.At(1, 0), 5.0);
    EXPECT_EQ(copy.Ids()[1], 42);
    EXPECT_THROW(copy.At(2, 0), std::out_of_range);
}

}  // namespace
