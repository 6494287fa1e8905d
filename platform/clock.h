// Time: sleeping, a monotonic clock for time-outs, and the wall clock for date lines. The
// wall clock can be fixed by tests so that dated output is reproducible.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

void SleepMs(std::uint32_t milliseconds);
// Milliseconds since an arbitrary start; never goes back.
std::uint64_t MonotonicMs();

// Broken-down local time.
struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 4;  // 0 Sunday .. 6 Saturday
};

std::chrono::system_clock::time_point WallClockNow();
// The local date and time now, or the fixed test time when one is set.
LocalDateTime LocalNow();
LocalDateTime ToLocalDateTime(std::chrono::system_clock::time_point t);
// The C library's ctime text without its newline: "Wed Jun  5 09:04:03 2024" (longer only
// for a year beyond four digits).
std::string CTimeText(const LocalDateTime& t);

// Fixes LocalNow() (and WallClockNow(), read as UTC) for tests; nullopt restores the real clock.
void SetFixedClock(std::optional<LocalDateTime> fixed);

class ScopedFixedClock {
  public:
    explicit ScopedFixedClock(const LocalDateTime& t) { SetFixedClock(t); }
    ~ScopedFixedClock() { SetFixedClock(std::nullopt); }
    ScopedFixedClock(const ScopedFixedClock&) = delete;
    ScopedFixedClock& operator=(const ScopedFixedClock&) = delete;
};

}  // namespace platform
