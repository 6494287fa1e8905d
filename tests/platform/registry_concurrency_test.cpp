// Processes writing one registry file at the same time: every write survives, and a write that
// finds the lock file held waits only so long.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "tests/deck/deck_test_support.h"

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

// A write that finds the lock file held says so and waits: it goes through once the holder lets
// go, and is refused with the file as it was when the holder keeps it past the patience or the
// program asks to stop. A read meanwhile does not wait for it. The registry is named by a link: the
// lock file is the one beside the file it leads to. Only the first wait is told. Under a command's
// deadline, a holder that takes the lock back after a write keeps the next one waiting only what
// is left of it; without one (a host that loads the module) each write waits its own patience.
TEST(RegistryConcurrencyTest, AWriteWaitsForAHeldLockFileWithinItsPatience) {
    decktest::ScratchFolder scratch;
    const std::string file = (scratch.Path() / "registry.txt").string(), lockFile = file + ".lock";
    std::filesystem::create_symlink("registry.txt", scratch.Path() / "alias.txt");
    platform::ScopedEnvironmentVariable use("DORVIX_REGISTRY", (scratch.Path() / "alias.txt").string());
    const std::string refused = "the registry file is not written: ";
    const struct {
        std::uint32_t patienceMs;
        bool stop;
        std::string problem;  // none: the holder lets go
        // The holder lets go after half the patience, and takes the lock back after the write.
        bool takenBack = false;
        bool commandDeadline = false;
    } rows[] = {{300, false, refused + lockFile + " is held by another process"},
                {2000, false, refused + lockFile + " is held by another process", true, true},
                {600, false, refused + lockFile + " is held by another process", true, false},
                {20000, true, refused + "the wait for " + lockFile + " was stopped"},
                {20000, false, ""}};
    for (const auto& row : rows) {
        decktest::WriteText(file, "# kept\n");
        platform::FileLock holder;
        ASSERT_EQ(holder.Acquire(lockFile), platform::FileLock::Result::kHeld);
        std::atomic<int> told{0};
        platform::SetRegistryLockWait(
            {row.patienceMs, [&](const std::string& f, std::uint32_t) { told += f == lockFile ? 1 : 100; },
             [&] { return row.stop; }});
        if (row.commandDeadline) platform::StartCommandLockDeadline(row.patienceMs);
        const std::uint64_t start = platform::MonotonicMs();
        auto write = std::async(std::launch::async, [&] {
            (void)platform::RegistryWriteString(RegistryRoot::LocalMachine, L"K", L"v", L"x");
            platform::FileLock back;
            if (row.takenBack && back.Acquire(lockFile) == platform::FileLock::Result::kHeld)
                (void)platform::RegistryWriteString(RegistryRoot::LocalMachine, L"K", L"w", L"x");
            return platform::RegistryLastProblem();
        });
        for (int i = 0; i < 5000 && told == 0; ++i) platform::SleepMs(1);
        std::wstring value;
        EXPECT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, L"K", L"v", &value), E_NOTFOUND);
        if (row.takenBack) platform::SleepMs(row.patienceMs / 2);
        if (row.problem.empty() || row.takenBack) holder.Release();
        EXPECT_EQ(write.get(), row.problem);
        const std::uint64_t took = platform::MonotonicMs() - start;
        EXPECT_TRUE(took >= (row.stop || row.problem.empty() ? 0 : row.patienceMs) && took < 5000) << took;
        EXPECT_TRUE(!row.takenBack || (took < row.patienceMs * 5 / 4) == row.commandDeadline) << took;
        platform::EndCommandLockDeadline();
        EXPECT_EQ(told, 1);
        EXPECT_EQ(decktest::ReadText(file) == "# kept\n", !row.problem.empty() && !row.takenBack);
    }
    platform::SetRegistryLockWait({});
}

}  // namespace
