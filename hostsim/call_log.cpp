// Locked recording, listing and clearing of the host's call log, and the number text its lines use.
#include "hostsim/call_log.h"

#include <charconv>

void HostSimCallLog::Record(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
}

std::vector<std::string> HostSimCallLog::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void HostSimCallLog::Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

std::string FormatCallLogNumber(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}
