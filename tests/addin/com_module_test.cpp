// The module's registration logic where a loaded module cannot be made to fail: a collection
// whose allocations give out part-way, and a registration the registry refuses.

#include "addin/com_module.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/module_loader.h"
#include "platform/path_text.h"
#include "platform/registry.h"

namespace {

int g_stringsLeft = 0;

BSTR AllocStringWhileAny(const OLECHAR* text) { return g_stringsLeft-- > 0 ? SysAllocString(text) : nullptr; }

TEST(ComModuleTest, ACollectionThatFailsPartWayHandsOutNothingAndFreesWhatItHad) {
    // The third class's ProgID cannot be allocated; the sanitizer build's leak check sees any
    // string or CLSID copy of the first two that is not freed.
    g_stringsLeft = 2;
    CoClassAllocators allocators;
    allocators.allocString = &AllocStringWhileAny;
    DorvixComModule module(DorvixObjectMap(), "/opt/dorvix/libdorvixsolver.so", allocators);
    ULONG count = 9;
    BSTR* progIds = nullptr;
    CLSID** clsids = nullptr;
    EXPECT_EQ(module.CollectRegisteredCoClasses(&count, &progIds, &clsids), E_FAIL);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(progIds, nullptr);
    EXPECT_EQ(clsids, nullptr);

    // Once the allocations succeed again the whole list comes, not a remainder.
    g_stringsLeft = 4;
    ASSERT_EQ(module.CollectRegisteredCoClasses(&count, &progIds, &clsids), S_OK);
    ASSERT_EQ(count, 4u);
    for (ULONG i = 0; i < count; ++i) {
        EXPECT_EQ(*clsids[i], module.Entries()[i].clsid);
        SysFreeString(progIds[i]);
        CoTaskMemFree(clsids[i]);
    }
    CoTaskMemFree(progIds);
    CoTaskMemFree(clsids);
}

TEST(ComModuleTest, ARegistrationTheRegistryRefusesLeavesNoPartOfTheClass) {
    const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("dorvix-com-module-");
    ASSERT_FALSE(folder.empty());
    std::optional<platform::ScopedEnvironmentVariable> registry;
    registry.emplace("DORVIX_REGISTRY", platform::Utf8FromPath(folder / "registry.txt"));
    // The registry file cannot hold a line break, so the server path is refused.
    DorvixComModule module(DorvixObjectMap(), "/opt/dorvix\nlib/libdorvixsolver.so");
    const CoClassEntry& entry = module.Entries().front();
    EXPECT_EQ(module.UpdateRegistry(entry, true, RegistrationMode::Normal), E_INVALIDARG);
    EXPECT_FALSE(platform::RegistryKeyExists(platform::RegistryRoot::ClassesRoot,
                                             platform::ClassKeyPath(entry.clsid)));
    EXPECT_FALSE(platform::RegistryKeyExists(platform::RegistryRoot::ClassesRoot, entry.progId));
    registry.reset();
    platform::DeleteFolderTree(folder);
}

}  // namespace
