// Environment variables and facts about the machine. The process environment is shared by
// every thread; these functions serialise their own access to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Nothing when the variable is not set (a variable set to "" answers "").
std::optional<std::wstring> ReadEnvironmentVariable(std::wstring_view name);
std::optional<std::string> ReadEnvironmentVariable(std::string_view name);
// False for an empty name or one holding '='.
bool WriteEnvironmentVariable(std::wstring_view name, std::wstring_view value);
bool WriteEnvironmentVariable(std::string_view name, std::string_view value);
bool UnsetEnvironmentVariable(std::string_view name);
bool UnsetEnvironmentVariable(std::wstring_view name);
// Every NAME=VALUE pair of the process environment.
std::vector<std::pair<std::string, std::string>> EnvironmentSnapshot();

// Replaces each %NAME% by the variable's value. A reference to an unset variable, a lone
// '%' and an unterminated reference stay as written.
std::wstring ExpandEnvironmentText(std::wstring_view text);
// Expands into buffer (capacity in characters, terminator included). Answers the number of
// characters written including the terminator, or 0 when the result does not fit (the
// buffer is then untouched).
[[nodiscard]] std::size_t ExpandEnvironmentText(std::wstring_view text, wchar_t* buffer,
                                                std::size_t capacity);

// Total physical memory in bytes (0 when the system does not say).
std::uint64_t PhysicalMemoryBytes();

// Sets a variable for the lifetime of this object and then restores the earlier state.
class ScopedEnvironmentVariable {
  public:
    ScopedEnvironmentVariable(std::string name, std::optional<std::string> value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace platform
