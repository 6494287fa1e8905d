// The add-in module as a host loads it: the shared library opened by path, its classes reached
// only through its exports. Each test runs in a process of its own, so the module's state
// (the collect flag) starts fresh in each.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "addin/dorvix_analysis_settings_interface.h"
#include "host/dorvix_proxy_interface.h"
#include "host/module_exports.h"
#include "host/solver_interfaces.h"
#include "platform/com_object.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/module_loader.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "runtime/dorvix_addin_interface.h"

namespace {

using platform::RegistryRoot;

struct CoClass {
    CLSID clsid;
    const wchar_t* progId;
    IID mainInterface;
};

const CoClass kCoClasses[] = {
    {MakeGuid("e963eca3-80f7-4291-a63f-633ca1f6454e"), L"DorvixSolver.JXDorvixSolver.120", IID_ITRVSolver},
    {MakeGuid("cda7510d-6c5f-4f7c-8df5-a490a6e6de21"), L"DorvixSolver.DorvixProxy.120", IID_IDorvixProxy},
    {MakeGuid("92ee5997-cbfc-4627-850b-332c9fe2afd9"), L"DorvixSolver.DorvixAnalysisSettings.120",
     IID_IDorvixAnalysisSettings},
    {MakeGuid("754706da-154c-4a95-935f-c3006264668b"), L"DorvixSolver.DorvixAddin.120", IID_IDorvixAddin},
};

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(platform::LoadComponentModule(DORVIX_MODULE_PATH, &module_), S_OK);
        getClassObject_ = Export<decltype(&DllGetClassObject)>("DllGetClassObject");
        canUnloadNow_ = Export<decltype(&DllCanUnloadNow)>("DllCanUnloadNow");
        registered_ = Export<decltype(&DllRegisteredCoClasses)>("DllRegisteredCoClasses");
        runtime_ = Export<decltype(&DllRuntimeRegisteredCoClasses)>("DllRuntimeRegisteredCoClasses");
        register_ = Export<decltype(&DllRegisterServer)>("DllRegisterServer");
        unregister_ = Export<decltype(&DllUnregisterServer)>("DllUnregisterServer");
    }

    template <class Function>
    Function Export(const char* name) {
        auto f = reinterpret_cast<Function>(module_.FindExport(name));
        EXPECT_NE(f, nullptr) << name;
        return f;
    }

    // Collects the co-classes and frees what the module handed out.
    std::vector<std::pair<std::wstring, CLSID>> Collect() {
        ULONG count = 0;
        BSTR* progIds = nullptr;
        CLSID** clsids = nullptr;
        EXPECT_EQ(registered_(&count, &progIds, &clsids), S_OK);
        std::vector<std::pair<std::wstring, CLSID>> list;
        for (ULONG i = 0; i < count; ++i) {
            list.emplace_back(std::wstring(BstrView(progIds[i])), *clsids[i]);
            SysFreeString(progIds[i]);
            CoTaskMemFree(clsids[i]);
        }
        CoTaskMemFree(progIds);
        CoTaskMemFree(clsids);
        return list;
    }

    platform::ComponentModule module_;
    decltype(&DllGetClassObject) getClassObject_ = nullptr;
    decltype(&DllCanUnloadNow) canUnloadNow_ = nullptr;
    decltype(&DllRegisteredCoClasses) registered_ = nullptr;
    decltype(&DllRuntimeRegisteredCoClasses) runtime_ = nullptr;
    decltype(&DllRegisterServer) register_ = nullptr;
    decltype(&DllUnregisterServer) unregister_ = nullptr;
};

TEST_F(ModuleTest, EachFactoryMakesItsClassAndEveryObjectReleasesItsLock) {
    const long before = ModuleLockCount();
    std::vector<ComPtr<IUnknown>> objects;
    for (const CoClass& c : kCoClasses) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject_(c.clsid, IID_IClassFactory, factory.ReleaseAndGetVoidAddress()), S_OK);
        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, c.mainInterface, object.ReleaseAndGetVoidAddress()), S_OK)
            << platform::WideToUtf8(c.progId);
        objects.push_back(object);
    }
    EXPECT_EQ(ModuleLockCount(), before + 4);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    objects.clear();
    EXPECT_EQ(ModuleLockCount(), before);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);

    ComPtr<IClassFactory> none;
    EXPECT_EQ(getClassObject_(IID_IUnknown, IID_IClassFactory, none.ReleaseAndGetVoidAddress()),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(ModuleTest, CollectsTheFourCoClassesInMapOrderOnEveryCall) {
    ULONG count = 7;
    CLSID** entries = nullptr;
    GUID** categories = nullptr;
    EXPECT_EQ(runtime_(&count, &entries, &categories), E_FAIL);

    for (int call = 0; call < 2; ++call) {
        const auto list = Collect();
        ASSERT_EQ(list.size(), 4u) << "call " << call;
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(list[i].first, kCoClasses[i].progId);
            EXPECT_EQ(list[i].second, kCoClasses[i].clsid);
        }
    }

    EXPECT_EQ(runtime_(&count, &entries, &categories), S_OK);
    EXPECT_EQ(count, 0u);
    CoTaskMemFree(entries);
    CoTaskMemFree(categories);
}

TEST_F(ModuleTest, RegistersItselfInTheRegistryFileAndIsThenCreatedByClassId) {
    const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("dorvix-module-");
    ASSERT_FALSE(folder.empty());
    std::optional<platform::ScopedEnvironmentVariable> registry;
    registry.emplace("DORVIX_REGISTRY", platform::Utf8FromPath(folder / "registry.txt"));
    const std::wstring modulePath = platform::WideFromPath(std::filesystem::canonical(DORVIX_MODULE_PATH));

    ASSERT_EQ(register_(), S_OK);
    for (const CoClass& c : kCoClasses) {
        const std::wstring key = platform::ClassKeyPath(c.clsid);
        std::wstring value;
        EXPECT_EQ(
            platform::RegistryReadString(RegistryRoot::ClassesRoot, key + L"\\InprocServer32", L"", &value),
            S_OK);
        EXPECT_EQ(value, modulePath);
        EXPECT_EQ(platform::RegistryReadString(RegistryRoot::ClassesRoot, key + L"\\InprocServer32",
                                               L"ThreadingModel", &value),
                  S_OK);
        EXPECT_EQ(value, L"Both");
        EXPECT_EQ(platform::RegistryReadString(RegistryRoot::ClassesRoot, key + L"\\ProgID", L"", &value),
                  S_OK);
        EXPECT_EQ(value, c.progId);
        EXPECT_EQ(platform::RegistryReadString(RegistryRoot::ClassesRoot, std::wstring(c.progId) + L"\\CLSID",
                                               L"", &value),
                  S_OK);
        EXPECT_EQ(value, platform::Utf8ToWide(GuidToString(c.clsid)));
    }
    // A class no creator of this process serves comes from the module the registry names.
    ComPtr<IUnknown> proxy;
    EXPECT_EQ(CoCreateInstance(kCoClasses[1].clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDorvixProxy,
                               proxy.ReleaseAndGetVoidAddress()),
              S_OK);
    proxy = nullptr;

    ASSERT_EQ(unregister_(), S_OK);
    for (const CoClass& c : kCoClasses) {
        EXPECT_FALSE(platform::RegistryKeyExists(RegistryRoot::ClassesRoot, platform::ClassKeyPath(c.clsid)));
        EXPECT_FALSE(platform::RegistryKeyExists(RegistryRoot::ClassesRoot, c.progId));
    }
    EXPECT_EQ(CoCreateInstance(kCoClasses[1].clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDorvixProxy,
                               proxy.ReleaseAndGetVoidAddress()),
              REGDB_E_CLASSNOTREG);
    registry.reset();
    platform::DeleteFolderTree(folder);
}

}  // namespace
