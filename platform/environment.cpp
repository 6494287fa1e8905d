// Locked reads and writes of variables, a snapshot, %NAME% expansion, memory size, and scoped variables.
#include "platform/environment.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/text.h"

extern char** environ;

namespace platform {

namespace {

// getenv and setenv are not safe against each other; every access here takes this lock.
std::mutex& EnvironmentMutex() {
    static std::mutex m;
    return m;
}

bool ValidName(std::string_view name) { return !name.empty() && name.find('=') == std::string_view::npos; }

}  // namespace

std::optional<std::string> ReadEnvironmentVariable(std::string_view name) {
    if (!ValidName(name)) return std::nullopt;
    std::lock_guard<std::mutex> lock(EnvironmentMutex());
    const char* v = std::getenv(std::string(name).c_str());
    if (!v) return std::nullopt;
    return std::string(v);
}

std::optional<std::wstring> ReadEnvironmentVariable(std::wstring_view name) {
    auto v = ReadEnvironmentVariable(std::string_view(WideToUtf8(name)));
    if (!v) return std::nullopt;
    return Utf8ToWide(*v);
}

bool WriteEnvironmentVariable(std::string_view name, std::string_view value) {
    if (!ValidName(name) || value.find('\0') != std::string_view::npos) return false;
    std::lock_guard<std::mutex> lock(EnvironmentMutex());
    return ::setenv(std::string(name).c_str(), std::string(value).c_str(), 1) == 0;
}

bool WriteEnvironmentVariable(std::wstring_view name, std::wstring_view value) {
    return WriteEnvironmentVariable(std::string_view(WideToUtf8(name)), std::string_view(WideToUtf8(value)));
}

bool UnsetEnvironmentVariable(std::string_view name) {
    if (!ValidName(name)) return false;
    std::lock_guard<std::mutex> lock(EnvironmentMutex());
    return ::unsetenv(std::string(name).c_str()) == 0;
}

bool UnsetEnvironmentVariable(std::wstring_view name) {
    return UnsetEnvironmentVariable(std::string_view(WideToUtf8(name)));
}

std::vector<std::pair<std::string, std::string>> EnvironmentSnapshot() {
    std::lock_guard<std::mutex> lock(EnvironmentMutex());
    std::vector<std::pair<std::string, std::string>> out;
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        std::size_t eq = entry.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        out.emplace_back(std::string(entry.substr(0, eq)), std::string(entry.substr(eq + 1)));
    }
    return out;
}

std::wstring ExpandEnvironmentText(std::wstring_view text) {
    std::wstring out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t open = text.find(L'%', i);
        if (open == std::wstring_view::npos) break;
        std::size_t close = text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) break;
        out.append(text.substr(i, open - i));
        std::wstring_view name = text.substr(open + 1, close - open - 1);
        auto value = name.empty() ? std::nullopt : ReadEnvironmentVariable(name);
        if (value)
            out += *value;
        else
            out.append(text.substr(open, close - open + 1));  // kept as written
        i = close + 1;
    }
    out.append(text.substr(std::min(i, text.size())));
    return out;
}

std::size_t ExpandEnvironmentText(std::wstring_view text, wchar_t* buffer, std::size_t capacity) {
    if (!buffer) return 0;
    std::wstring expanded = ExpandEnvironmentText(text);
    if (expanded.size() + 1 > capacity) return 0;
    std::memcpy(buffer, expanded.data(), expanded.size() * sizeof(wchar_t));
    buffer[expanded.size()] = L'\0';
    return expanded.size() + 1;
}

std::uint64_t PhysicalMemoryBytes() {
    long pages = ::sysconf(_SC_PHYS_PAGES);
    long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, std::optional<std::string> value)
    : name_(std::move(name)), saved_(ReadEnvironmentVariable(std::string_view(name_))) {
    if (value)
        WriteEnvironmentVariable(std::string_view(name_), std::string_view(*value));
    else
        UnsetEnvironmentVariable(std::string_view(name_));
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    if (saved_)
        WriteEnvironmentVariable(std::string_view(name_), std::string_view(*saved_));
    else
        UnsetEnvironmentVariable(std::string_view(name_));
}

}  // namespace platform
