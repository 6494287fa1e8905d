// The add-in services: texts from host, table or key, object lookups, units, unique names, choice arrays.
#include "runtime/addin_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hostsim/components.h"
#include "hostsim/host_sim.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

// A registry naming the project's data folder as the install folder, English as the language,
// and the file-backed host of the basic case.
class AddinServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A folder of this test's own: tests of other processes (and other checkouts) run at
        // the same time and must not remove its registry file.
        folder_ = platform::CreateUniqueTemporaryFolder("dorvix-services-");
        registry_ = folder_ / "dorvix.reg";
        std::ofstream(registry_)
            << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin]\n"
            << "\"InstallDir\"=\"%DORVIX_TEST_SOURCE%/data\"\n";
        platform::WriteEnvironmentVariable(std::string_view("DORVIX_TEST_SOURCE"),
                                           std::string_view(DORVIX_SOURCE_DIR));
        platform::WriteEnvironmentVariable(std::string_view("DORVIX_REGISTRY"),
                                           std::string_view(registry_.string()));
        platform::WriteEnvironmentVariable(std::string_view("QXW_LOCALE120"), std::string_view("en-us"));
        host_ = std::make_unique<HostSim>(fs::path(DORVIX_TEST_DATA) / "cases" / "host-basic");
    }
    void TearDown() override {
        AddinServices::ReleaseInstance();
        host_.reset();
        platform::UnsetEnvironmentVariable(std::string_view("DORVIX_REGISTRY"));
        platform::UnsetEnvironmentVariable(std::string_view("QXW_LOCALE120"));
        platform::DeleteFolderTree(folder_);
    }
    fs::path folder_;
    fs::path registry_;
    std::unique_ptr<HostSim> host_;
};

TEST_F(AddinServicesTest, StringsFromHostThenTableThenKey) {
    AddinServices& services = AddinServices::GetInstance();
    ASSERT_TRUE(services.HasStringTable());
    EXPECT_EQ(services.GetStringText(L"ID_Yes"), L"Yes");
    EXPECT_EQ(services.GetStringText(L"ID_NOT_A_KEY"), L"ID_NOT_A_KEY");

    ComPtr<IHostStringTable> hostTable = CreateHostSimStringTable({{L"ID_Yes", L"Oui"}});
    EXPECT_EQ(services.SetStringSource(hostTable.Get()), S_OK);
    EXPECT_EQ(services.GetStringText(L"ID_Yes"), L"Oui");
    EXPECT_EQ(services.GetStringText(L"ID_No"), L"No");

    BSTR text = SysAllocString(L"old");
    services.GetString(L"ID_No", &text);
    EXPECT_EQ(BstrView(text), L"No");
    SysFreeString(text);

    // An object without texts removes the host's table.
    EXPECT_EQ(services.SetStringSource(host_->Applet().Get()), E_FAIL);
    EXPECT_EQ(services.GetStringText(L"ID_Yes"), L"Yes");
}

TEST_F(AddinServicesTest, WithoutLanguageEveryKeyComesBackAsItself) {
    platform::UnsetEnvironmentVariable(std::string_view("QXW_LOCALE120"));
    AddinServices& services = AddinServices::GetInstance();
    EXPECT_FALSE(services.HasStringTable());
    EXPECT_EQ(services.GetStringText(L"ID_ERROR_UNCORRECT_WEIGHTING_EQUATION"),
              L"ID_ERROR_UNCORRECT_WEIGHTING_EQUATION");
}

TEST_F(AddinServicesTest, ObjectLookupsThroughTheApplet) {
    AddinServices& services = AddinServices::GetInstance();
    EXPECT_FALSE(services.GetObjectById(20));
    EXPECT_EQ(services.SetApplet(nullptr), S_FALSE);
    EXPECT_EQ(services.SetApplet(host_->Applet().Get()), S_OK);
    ComPtr<IUnknown> object = services.GetObjectById(20);
    ASSERT_TRUE(object);
    EXPECT_TRUE(object.As<IHostObject>());
    EXPECT_FALSE(services.GetObjectById(999));
    EXPECT_EQ(services.GetObjectProperty(20, 104), 5);
    EXPECT_EQ(services.GetObjectProperty(20, 105), 0);
    EXPECT_EQ(services.GetObjectProperty(999, 104), 0);
    EXPECT_EQ(services.GetObjectIdList(21, 135).GetCount(), 3);
    EXPECT_EQ(services.GetObjectIdList(999, 135).GetCount(), 0);
    EXPECT_EQ(services.GetObjectChildIds(21).GetCount(), 3);
}

TEST_F(AddinServicesTest, UnitSystemLabelsAndConversions) {
    AddinServices& services = AddinServices::GetInstance();
    EXPECT_EQ(services.GetUnitSystem(), 11);
    BSTR label = nullptr;
    EXPECT_EQ(services.GetUnitLabel(1, &label), S_OK);
    EXPECT_EQ(BstrView(label), L"deg");
    SysFreeString(label);
    label = nullptr;
    EXPECT_EQ(services.GetUnitLabel(-2, &label), S_OK);
    EXPECT_EQ(BstrView(label), L"");
    SysFreeString(label);
    double out = 0.0;
    EXPECT_EQ(services.ConvertToUnitSystem(2.0, 26, out), S_OK);
    EXPECT_DOUBLE_EQ(out, 2.0);  // the host works in the reference system itself
}

TEST(AddinServicesNames, UniqueNames) {
    EXPECT_EQ(AddinServices::UniqueName(L"Frame 2", {L"Frame", L"Frame 1"}), L"Frame 3");
    EXPECT_EQ(AddinServices::UniqueName(L"Beam 0", {}), L"Beam 0");
    EXPECT_EQ(AddinServices::UniqueName(L"Plate 4", {L"Other"}), L"Plate");
    EXPECT_EQ(AddinServices::UniqueName(L"Frame", {L"Frame", L"Frame 2"}), L"Frame 3");
    // A candidate in use moves the counter on.
    EXPECT_EQ(AddinServices::UniqueName(L"Frame", {L"Frame", L"Frame x", L"Frame 2"}), L"Frame 3");
    EXPECT_EQ(AddinServices::UniqueName(L"Frame", {L"Frame", L"frame 2"}), L"Frame 2");
    EXPECT_EQ(AddinServices::UniqueName(L"A  7", {L"A "}), L"A  2");
}

TEST_F(AddinServicesTest, MakeUniqueNameRenamesAmongSiblings) {
    AddinServices& services = AddinServices::GetInstance();
    ASSERT_EQ(services.SetApplet(host_->Applet().Get()), S_OK);
    ComPtr<IUnknown> frame = services.GetObjectById(24);  // "Frame 2" among "Frame", "Frame 1"
    EXPECT_EQ(services.MakeUniqueName(frame.Get(), 21, L"Frame 2", true), 0);
    std::wstring name;
    ASSERT_EQ(frame.As<IHostObject>()->GetName(name), S_OK);
    EXPECT_EQ(name, L"Frame 3");
    EXPECT_EQ(services.MakeUniqueName(frame.Get(), 21, L"Frame", false), 0);
    ASSERT_EQ(frame.As<IHostObject>()->GetName(name), S_OK);
    EXPECT_EQ(name, L"Frame");
}

TEST(AddinServicesArrays, FillPredefinedArrays) {
    CALPOLESTR strings;
    CADWORD cookies;
    const OLECHAR* values[] = {L"Program Controlled", L"Sparse Direct Solver", L""};
    EXPECT_EQ(AddinServices::FillPredefinedArrays(0, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(AddinServices::FillPredefinedArrays(3, nullptr, &strings, &cookies, nullptr), E_INVALIDARG);
    EXPECT_EQ(AddinServices::FillPredefinedArrays(3, values, nullptr, &cookies, nullptr), E_POINTER);
    EXPECT_EQ(AddinServices::FillPredefinedArrays(3, values, &strings, nullptr, nullptr), E_POINTER);

    ASSERT_EQ(AddinServices::FillPredefinedArrays(3, values, &strings, &cookies, nullptr), S_OK);
    ASSERT_EQ(strings.cElems, 3u);
    EXPECT_STREQ(strings.pElems[1], L"Sparse Direct Solver");
    EXPECT_STREQ(strings.pElems[2], L"");
    EXPECT_EQ(cookies.pElems[2], 2u);
    for (std::uint32_t i = 0; i < strings.cElems; ++i) CoTaskMemFree(strings.pElems[i]);
    CoTaskMemFree(strings.pElems);
    CoTaskMemFree(cookies.pElems);

    const std::uint32_t given[] = {1, 5, 7};
    ASSERT_EQ(AddinServices::FillPredefinedArrays(3, values, &strings, &cookies, given), S_OK);
    EXPECT_EQ(cookies.pElems[1], 5u);
    for (std::uint32_t i = 0; i < strings.cElems; ++i) CoTaskMemFree(strings.pElems[i]);
    CoTaskMemFree(strings.pElems);
    CoTaskMemFree(cookies.pElems);
}

}  // namespace
