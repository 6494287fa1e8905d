// Processes writing one registry file at the same time: every write survives.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/registry.h"

namespace {

using platform::RegistryRoot;

TEST(RegistryConcurrencyTest, WritersInSeveralProcessesLoseNoValue) {
    const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("dorvix-registry-");
    ASSERT_FALSE(folder.empty());
    std::optional<platform::ScopedEnvironmentVariable> registry;
    registry.emplace("DORVIX_REGISTRY", platform::Utf8FromPath(folder / "registry.txt"));
    constexpr int kProcesses = 4;
    constexpr int kValuesEach = 20;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int failures = 0;
            for (int v = 0; v < kValuesEach; ++v) {
                const std::wstring name = L"v" + std::to_wstring(p) + L"_" + std::to_wstring(v);
                failures +=
                    FAILED(platform::RegistryWriteString(RegistryRoot::ClassesRoot, L"Shared", name, name));
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<std::wstring> names;
    ASSERT_EQ(platform::RegistryValueNames(RegistryRoot::ClassesRoot, L"Shared", &names), S_OK);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kProcesses * kValuesEach));
    registry.reset();
    platform::DeleteFolderTree(folder);
}

}  // namespace
