// The Ctrl-C catcher: the first interrupt noted, the second ends the process, earlier handlers
// restored; the stop-signal catcher: the first of the three noted, ignored ones left ignored.
#include "platform/interrupt.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "platform/stop_signals.h"

namespace {

volatile sig_atomic_t earlierHandlerCalls = 0;
extern "C" void EarlierHandler(int) { earlierHandlerCalls = earlierHandlerCalls + 1; }

}  // namespace

// The first interrupt is only noted; the handler in place before is back afterwards.
TEST(InterruptCatcher, NotesTheInterruptAndRestoresTheEarlierHandler) {
    struct sigaction earlier = {};
    earlier.sa_handler = EarlierHandler;
    sigemptyset(&earlier.sa_mask);
    struct sigaction saved = {};
    ASSERT_EQ(sigaction(SIGINT, &earlier, &saved), 0);
    {
        platform::InterruptCatcher catcher;
        ASSERT_TRUE(catcher.Installed());
        EXPECT_FALSE(platform::InterruptRequested());
        raise(SIGINT);
        EXPECT_TRUE(platform::InterruptRequested());
        EXPECT_EQ(earlierHandlerCalls, 0);
    }
    raise(SIGINT);
    EXPECT_EQ(earlierHandlerCalls, 1);
    {
        platform::InterruptCatcher next;
        EXPECT_FALSE(platform::InterruptRequested());
    }
    sigaction(SIGINT, &saved, nullptr);
}

// Asked twice, the process ends as it would have without the catcher.
TEST(InterruptCatcherDeathTest, ASecondInterruptEndsTheProcess) {
    EXPECT_EXIT(
        {
            signal(SIGINT, SIG_DFL);
            platform::InterruptCatcher catcher;
            raise(SIGINT);
            raise(SIGINT);
            _exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

// A process started to ignore interrupts (a background job) keeps ignoring them.
TEST(InterruptCatcher, LeavesIgnoredInterruptsIgnored) {
    struct sigaction saved = {};
    ASSERT_EQ(sigaction(SIGINT, nullptr, &saved), 0);
    signal(SIGINT, SIG_IGN);
    {
        platform::InterruptCatcher catcher;
        EXPECT_FALSE(catcher.Installed());
        raise(SIGINT);
        EXPECT_FALSE(platform::InterruptRequested());
    }
    sigaction(SIGINT, &saved, nullptr);
}

// The first stop signal is the one noted, and none ends the process; an ignored one stays
// ignored, and the handlers in place before are back afterwards.
TEST(StopSignalCatcher, NotesTheFirstAndRestoresTheEarlierHandlers) {
    struct sigaction earlier = {};
    earlier.sa_handler = EarlierHandler;
    sigemptyset(&earlier.sa_mask);
    struct sigaction ignore = earlier;
    ignore.sa_handler = SIG_IGN;
    struct sigaction saved[3] = {};
    ASSERT_EQ(sigaction(SIGINT, nullptr, &saved[0]), 0);
    ASSERT_EQ(sigaction(SIGTERM, &earlier, &saved[1]), 0);
    ASSERT_EQ(sigaction(SIGHUP, &ignore, &saved[2]), 0);
    earlierHandlerCalls = 0;
    {
        platform::StopSignalCatcher catcher;
        raise(SIGHUP);
        EXPECT_EQ(platform::StopSignalArrived(), 0);
        raise(SIGTERM);
        raise(SIGINT);
        EXPECT_EQ(platform::StopSignalArrived(), SIGTERM);
        EXPECT_EQ(earlierHandlerCalls, 0);
    }
    raise(SIGTERM);
    EXPECT_EQ(earlierHandlerCalls, 1);
    sigaction(SIGINT, &saved[0], nullptr);
    sigaction(SIGTERM, &saved[1], nullptr);
    sigaction(SIGHUP, &saved[2], nullptr);
}
