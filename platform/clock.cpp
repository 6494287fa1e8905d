// Sleeping, the monotonic and wall clocks, the fixed clock of tests, local date parts and the date-line text.
#include "platform/clock.h"

#include <time.h>

#include <cstdio>
#include <mutex>
#include <thread>

namespace platform {
namespace {

std::mutex g_clockMutex;
std::optional<LocalDateTime> g_fixed;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

void SleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint64_t MonotonicMs() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::chrono::system_clock::time_point WallClockNow() {
    {
        std::lock_guard<std::mutex> lock(g_clockMutex);
        if (g_fixed) {
            const LocalDateTime& f = *g_fixed;
            long long seconds = DaysFromCivil(f.year, f.month, f.day) * 86400LL + f.hour * 3600LL +
                                f.minute * 60LL + f.second;
            return std::chrono::system_clock::time_point(std::chrono::seconds(seconds) +
                                                         std::chrono::milliseconds(f.millisecond));
        }
    }
    return std::chrono::system_clock::now();
}

LocalDateTime ToLocalDateTime(std::chrono::system_clock::time_point t) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    long long seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    time_t tt = static_cast<time_t>(seconds);
    struct tm parts {};
    localtime_r(&tt, &parts);
    LocalDateTime r;
    r.year = parts.tm_year + 1900;
    r.month = parts.tm_mon + 1;
    r.day = parts.tm_mday;
    r.hour = parts.tm_hour;
    r.minute = parts.tm_min;
    r.second = parts.tm_sec;
    r.millisecond = static_cast<int>(ms - seconds * 1000);
    r.dayOfWeek = parts.tm_wday;
    return r;
}

LocalDateTime LocalNow() {
    {
        std::lock_guard<std::mutex> lock(g_clockMutex);
        if (g_fixed) return *g_fixed;
    }
    return ToLocalDateTime(std::chrono::system_clock::now());
}

void SetFixedClock(std::optional<LocalDateTime> fixed) {
    if (fixed) {
        // Keep the day of the week consistent with the date: 1970-01-01 was a Thursday.
        long long days = DaysFromCivil(fixed->year, fixed->month, fixed->day);
        fixed->dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);
    }
    std::lock_guard<std::mutex> lock(g_clockMutex);
    g_fixed = fixed;
}

}  // namespace platform

std::string platform::CTimeText(const LocalDateTime& t) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[(t.dayOfWeek % 7 + 7) % 7],
                  kMonths[((t.month - 1) % 12 + 12) % 12], t.day, t.hour, t.minute, t.second, t.year);
    return text;
}
