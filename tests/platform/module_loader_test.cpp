// Loading component modules: files that are no module are refused with a reason.

#include "platform/module_loader.h"

#include <dlfcn.h>
#include <gnu/libc-version.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/errors.h"
#include "platform/files.h"

namespace {

TEST(ModuleLoaderTest, RefusesWhatIsNoComponentModule) {
    const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("dorvix-loader-");
    ASSERT_FALSE(folder.empty());
    std::ofstream(folder / "text.so") << "not a library\n";
    struct Case {
        std::filesystem::path path;
        HRESULT answer;
        const char* reason;
    };
    const Case cases[] = {
        {folder / "missing.so", E_NOTFOUND, "no module file"},
        {folder / "text.so", E_FAIL, "cannot load"},
        // A library, but one that serves no classes.
        {std::filesystem::path(DORVIX_BINARY_DIR) / "libdorvix_platform.so", E_FAIL,
         "exports no DllGetClassObject"},
    };
    for (const Case& c : cases) {
        platform::ComponentModule module;
        std::string error;
        EXPECT_EQ(platform::LoadComponentModule(c.path, &module, &error), c.answer) << c.path;
        EXPECT_FALSE(module.IsLoaded());
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    platform::DeleteFolderTree(folder);
}

TEST(ModuleLoaderTest, ALibraryThatIsNoComponentModuleIsNotKeptLoaded) {
    // A system library this process does not load otherwise, found beside the C library.
    const std::filesystem::path libc =
        platform::ModulePathOf(reinterpret_cast<const void*>(&gnu_get_libc_version));
    const std::filesystem::path library = libc.parent_path() / "libresolv.so.2";
    ASSERT_TRUE(platform::FileExists(library)) << library;
    ASSERT_EQ(dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "loaded before the test";

    platform::ComponentModule module;
    EXPECT_EQ(platform::LoadComponentModule(library, &module), E_FAIL);
    void* stillLoaded = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(stillLoaded, nullptr);
    if (stillLoaded) dlclose(stillLoaded);
}

}  // namespace
