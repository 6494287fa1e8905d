// The lock file that processes changing the same files take in turn.

#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/deck/deck_test_support.h"

namespace {

using Result = platform::FileLock::Result;

// Two holders of one lock file (each opens it apart, as two processes do): the second waits its
// patience out while the first holds, and gets the lock once the first lets go.
TEST(FileLockTest, ASecondHolderWaitsItsPatienceThenGetsTheLockOnceFree) {
    const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("dorvix-lock-");
    ASSERT_FALSE(folder.empty());
    const std::filesystem::path file = folder / "case.lock";
    platform::FileLock first;
    platform::FileLock second;
    ASSERT_EQ(first.Acquire(file), Result::kHeld);
    EXPECT_TRUE(first.Held());
    std::string reason;
    const std::uint64_t start = platform::MonotonicMs();
    EXPECT_EQ(second.AcquireWithin(file, 200, &reason), Result::kBusy);
    EXPECT_GE(platform::MonotonicMs() - start, 200u);
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(reason, file.string() + " is held by another process");
    first.Release();
    EXPECT_EQ(second.AcquireWithin(file, 200), Result::kHeld);
    platform::FileLock moved = std::move(second);
    EXPECT_TRUE(moved.Held());
    EXPECT_EQ(first.AcquireWithin(file, 0), Result::kBusy);
    moved = platform::FileLock();
    EXPECT_EQ(first.AcquireWithin(file, 0), Result::kHeld);
    // A second holder of another user's, who may only read the lock file, finds it held all the
    // same; one who may not open it at all is refused, not let go on as if there were no lock file.
    for (const mode_t mode : {0444, 0}) {
        ASSERT_EQ(::chmod(folder.c_str(), 0755) | ::chmod(file.c_str(), mode), 0);
        std::thread([&] {
            (void)::setfsuid(65534);  // the superuser's rights would open any file
            EXPECT_EQ(second.AcquireWithin(file, 0, &reason), mode ? Result::kBusy : Result::kRefused);
        }).join();
        EXPECT_TRUE(reason.ends_with(mode ? " is held by another process" : ": Permission denied"));
    }

    EXPECT_EQ(second.Acquire(folder / "missing" / "case.lock", &reason), Result::kFailed);
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
    first.Release();
    EXPECT_TRUE(platform::DeleteFolderTree(folder));
}

// Whatever stands at the lock file's name that is no regular file is refused, naming the file
// and what it is, and never opened through: a link leads nowhere new, however it is made.
TEST(FileLockTest, ALockFileThatIsNoRegularFileIsRefusedAndNothingIsMadeWhereALinkLeads) {
    namespace fs = std::filesystem;
    decktest::ScratchFolder scratch;
    const fs::path file = scratch.Path() / "case.lock";
    const fs::path target = scratch.Path() / "elsewhere";
    struct Row {
        const char* what;
        std::function<void()> make;
        const char* kind;
        bool targetMade;
    };
    const Row rows[] = {
        {"a link to no file", [&] { fs::create_symlink(target, file); }, "a symbolic link", false},
        {"a link to a file",
         [&] {
             decktest::WriteText(target, "kept");
             fs::create_symlink(target, file);
         },
         "a symbolic link", true},
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0); }, "a FIFO", false},
        {"a folder", [&] { fs::create_directory(file); }, "a folder", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(file);
        fs::remove_all(target);
        row.make();
        platform::FileLock lock;
        std::string reason;
        EXPECT_EQ(lock.AcquireWithin(file, 0, &reason), Result::kRefused);
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(reason, "cannot lock " + file.string() + ": it is " + row.kind + ", not a regular file");
        ASSERT_EQ(fs::exists(target), row.targetMade);
        if (row.targetMade) {
            EXPECT_EQ(decktest::ReadText(target), "kept");
        }
    }
}

// The registry is not written past a link at its lock file's name: the write is refused, naming
// the lock file, and nothing is made where the link leads.
TEST(FileLockTest, TheRegistryIsNotWrittenPastALinkAtItsLockFile) {
    namespace fs = std::filesystem;
    decktest::ScratchFolder scratch;
    const fs::path registry = scratch.Path() / "registry.txt";
    const fs::path target = scratch.Path() / "elsewhere";
    fs::create_symlink(target, registry.string() + ".lock");
    platform::ScopedEnvironmentVariable use("DORVIX_REGISTRY", registry.string());
    EXPECT_TRUE(
        FAILED(platform::RegistryWriteString(platform::RegistryRoot::LocalMachine, L"A", L"v", L"x")));
    EXPECT_EQ(platform::RegistryLastProblem(), "the registry file is not written: cannot lock " +
                                                   registry.string() +
                                                   ".lock: it is a symbolic link, not a regular file");
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(registry));
}

}  // namespace
