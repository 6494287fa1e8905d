// In-memory streams and storages (seeks, short reads, named streams), and typed arrays with their bounds.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/com_object.h"
#include "platform/safearray.h"
#include "platform/stream.h"

namespace {

TEST(MemoryStream, WritesSeeksAndReadsBack) {
    ComPtr<IStream> s;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, true, s.ReleaseAndGetAddressOf()), S_OK);
    const char text[] = "0123456789";
    ULONG n = 0;
    ASSERT_EQ(s->Write(text, 10, &n), S_OK);
    EXPECT_EQ(n, 10u);
    ULARGE_INTEGER pos;
    ASSERT_EQ(s->Seek(LARGE_INTEGER{-4}, STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos.QuadPart, 6u);
    ASSERT_EQ(s->Write("AB", 2, nullptr), S_OK);
    ASSERT_EQ(s->Seek(LARGE_INTEGER{20}, STREAM_SEEK_SET, nullptr),
              S_OK);  // writing past the end fills zeros
    ASSERT_EQ(s->Write("Z", 1, nullptr), S_OK);

    std::vector<std::uint8_t> all;
    ASSERT_EQ(platform::ReadAllBytes(s.Get(), &all), S_OK);
    ASSERT_EQ(all.size(), 21u);
    EXPECT_EQ(std::memcmp(all.data(), "012345AB89", 10), 0);
    EXPECT_EQ(all[15], 0);
    EXPECT_EQ(all[20], 'Z');

    STATSTG st;
    ASSERT_EQ(s->Stat(&st, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(st.cbSize.QuadPart, 21u);
    EXPECT_EQ(st.type, STGTY_STREAM);
    EXPECT_EQ(st.pwcsName, nullptr);  // a free stream has no name
    ASSERT_EQ(s->SetSize(ULARGE_INTEGER{3}), S_OK);
    ASSERT_EQ(s->Stat(&st, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(st.cbSize.QuadPart, 3u);
}

TEST(MemoryStream, ShortReadsSayTheyAreShort) {
    ComPtr<IStream> s = platform::CreateMemoryStream({1, 2, 3});
    std::uint8_t buffer[8] = {};
    ULONG n = 99;
    EXPECT_EQ(s->Read(buffer, 2, &n), S_OK);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(s->Read(buffer, 8, &n), S_FALSE);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(s->Read(buffer, 8, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(s->Seek(LARGE_INTEGER{-1}, STREAM_SEEK_SET, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Seek(LARGE_INTEGER{}, 7, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Seek(LARGE_INTEGER{INT64_MAX}, STREAM_SEEK_CUR, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Read(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
}

TEST(MemoryStream, AnswersItsInterfaces) {
    ComPtr<IStream> s = platform::CreateMemoryStream();
    EXPECT_TRUE(s.As<ISequentialStream>());
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(s->QueryInterface(IID_IUnknown, unknown.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_FALSE(s.As<IStorage>());
}

TEST(MemoryStorage, CreatesOpensAndNamesStreams) {
    ComPtr<IStorage> storage = platform::CreateMemoryStorage();
    ComPtr<IStream> created;
    ASSERT_EQ(
        storage->CreateStream(L"DORVIX_ADDIN_STREAM", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                              created.ReleaseAndGetAddressOf()),
        S_OK);
    ASSERT_EQ(created->Write("project", 7, nullptr), S_OK);

    ComPtr<IStream> opened;
    ASSERT_EQ(storage->OpenStream(L"dorvix_addin_stream", STGM_READ, opened.ReleaseAndGetAddressOf()), S_OK);
    char buffer[8] = {};
    ULONG n = 0;
    ASSERT_EQ(opened->Read(buffer, 7, &n), S_OK);
    EXPECT_EQ(std::string(buffer, n), "project");
    STATSTG st;
    ASSERT_EQ(opened->Stat(&st, STATFLAG_DEFAULT), S_OK);
    ASSERT_NE(st.pwcsName, nullptr);
    EXPECT_EQ(std::wstring_view(st.pwcsName), L"DORVIX_ADDIN_STREAM");
    EXPECT_EQ(st.grfMode, STGM_READ);
    CoTaskMemFree(st.pwcsName);
    ASSERT_EQ(opened->Stat(&st, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(st.pwcsName, nullptr);
    EXPECT_EQ(opened->Write("x", 1, nullptr), STG_E_ACCESSDENIED);  // opened for reading only

    IStream* missing = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(storage->OpenStream(L"OTHER", STGM_READ, &missing), STG_E_FILENOTFOUND);
    EXPECT_EQ(missing, nullptr);
    ComPtr<IStream> again;
    EXPECT_EQ(storage->CreateStream(L"DORVIX_ADDIN_STREAM", STGM_READWRITE, again.ReleaseAndGetAddressOf()),
              STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(storage->CreateStream(L"", STGM_CREATE, again.ReleaseAndGetAddressOf()), STG_E_INVALIDNAME);
    EXPECT_EQ(
        storage->CreateStream(std::wstring(32, L'n').c_str(), STGM_CREATE, again.ReleaseAndGetAddressOf()),
        STG_E_INVALIDNAME);

    // Replacing a stream starts it empty; the old stream object keeps its own bytes.
    ASSERT_EQ(storage->CreateStream(L"Dorvix_Addin_Stream", STGM_CREATE | STGM_READWRITE,
                                    again.ReleaseAndGetAddressOf()),
              S_OK);
    ASSERT_EQ(again->Stat(&st, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(st.cbSize.QuadPart, 0u);
    std::vector<std::wstring> names;
    ASSERT_EQ(storage->ElementNames(&names), S_OK);
    EXPECT_EQ(names, std::vector<std::wstring>{L"Dorvix_Addin_Stream"});
    EXPECT_EQ(storage->DestroyElement(L"DORVIX_ADDIN_STREAM"), S_OK);
    EXPECT_EQ(storage->DestroyElement(L"DORVIX_ADDIN_STREAM"), STG_E_FILENOTFOUND);
}

TEST(SafeArray, HoldsNumbersWithBoundsChecks) {
    SAFEARRAY* a = SafeArrayCreateVector(VT_R8, 1, 3);
    ASSERT_NE(a, nullptr);
    std::int32_t lo = 0, hi = 0;
    ASSERT_EQ(SafeArrayGetLBound(a, 1, &lo), S_OK);
    ASSERT_EQ(SafeArrayGetUBound(a, 1, &hi), S_OK);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 3);
    EXPECT_EQ(SafeArrayGetLBound(a, 2, &lo), DISP_E_BADINDEX);
    double v = 2.5;
    std::int32_t i = 3;
    ASSERT_EQ(SafeArrayPutElement(a, &i, &v), S_OK);
    i = 0;
    EXPECT_EQ(SafeArrayPutElement(a, &i, &v), DISP_E_BADINDEX);
    i = 4;
    EXPECT_EQ(SafeArrayGetElement(a, &i, &v), DISP_E_BADINDEX);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(a, &data), S_OK);
    EXPECT_EQ(static_cast<double*>(data)[0], 0.0);
    EXPECT_EQ(static_cast<double*>(data)[2], 2.5);
    EXPECT_EQ(SafeArrayDestroy(a), DISP_E_ARRAYISLOCKED);
    ASSERT_EQ(SafeArrayUnaccessData(a), S_OK);
    VARTYPE vt = VT_EMPTY;
    ASSERT_EQ(SafeArrayGetVartype(a, &vt), S_OK);
    EXPECT_EQ(vt, VT_R8);
    EXPECT_EQ(SafeArrayGetElemsize(a), 8u);
    EXPECT_EQ(SafeArrayDestroy(a), S_OK);

    EXPECT_EQ(SafeArrayCreateVector(VT_DISPATCH, 0, 1), nullptr);
    SAFEARRAYBOUND two[2] = {{2, 0}, {2, 0}};
    EXPECT_EQ(SafeArrayCreate(VT_I4, 2, two), nullptr);
}

class Counted : public ComObject<Counted, IStream> {
  public:
    HRESULT Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
};

TEST(SafeArray, OwnsStringsVariantsAndReferences) {
    ComPtr<Counted> object = MakeComObject<Counted>();
    SAFEARRAY* unknowns = SafeArrayCreateVector(VT_UNKNOWN, 0, 2);
    std::int32_t i = 0;
    ASSERT_EQ(SafeArrayPutElement(unknowns, &i, static_cast<IStream*>(object.Get())), S_OK);
    EXPECT_EQ(object->RefCountForTesting(), 2u);
    IUnknown* got = nullptr;
    ASSERT_EQ(SafeArrayGetElement(unknowns, &i, &got), S_OK);
    EXPECT_EQ(object->RefCountForTesting(), 3u);
    got->Release();
    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(unknowns, &copy), S_OK);
    EXPECT_EQ(object->RefCountForTesting(), 3u);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
    EXPECT_EQ(SafeArrayDestroy(unknowns), S_OK);
    EXPECT_EQ(object->RefCountForTesting(), 1u);

    SAFEARRAY* variants = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    VariantHolder text(std::wstring_view(L"cell"));
    ASSERT_EQ(SafeArrayPutElement(variants, &i, text.Get()), S_OK);
    ASSERT_EQ(SafeArrayPutElement(variants, &i, text.Get()), S_OK);  // replacing frees the old copy
    VariantHolder out;
    ASSERT_EQ(SafeArrayGetElement(variants, &i, out.Get()), S_OK);
    EXPECT_EQ(BstrView(out->bstrVal), L"cell");
    i = 1;
    ASSERT_EQ(SafeArrayGetElement(variants, &i, out.Get()), S_OK);
    EXPECT_EQ(out.Type(), VT_EMPTY);
    EXPECT_EQ(SafeArrayDestroy(variants), S_OK);
}

}  // namespace
