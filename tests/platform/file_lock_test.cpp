// The lock file that processes changing the same files take in turn.

#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/files.h"

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

    EXPECT_EQ(second.Acquire(folder / "missing" / "case.lock", &reason), Result::kFailed);
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
    first.Release();
    EXPECT_TRUE(platform::DeleteFolderTree(folder));
}

}  // namespace
