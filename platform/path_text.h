// Paths as text. A path's native form here is a run of bytes which the system reads as UTF-8.
// The standard library's own wide forms of a path go through the "C" locale and throw on the
// first non-ASCII character, whatever the environment's locale, so paths meet wide text only
// through these conversions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::filesystem::path PathFromUtf8(std::string_view text);
// The native bytes unchanged.
std::string Utf8FromPath(const std::filesystem::path& path);

std::filesystem::path PathFromWide(std::wstring_view text);
// Bytes that are not UTF-8 (a name written under another encoding) become U+FFFD, so such a
// name is shown but cannot be found again from its wide form.
std::wstring WideFromPath(const std::filesystem::path& path);

}  // namespace platform
