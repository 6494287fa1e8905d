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

// A name written under another encoding holds bytes that are no part of UTF-8. Wide text keeps
// each such byte as a lone surrogate (U+DC80 to U+DCFF), so the path is found again from its
// wide form byte for byte, while the text shows U+FFFD there (as every conversion to UTF-8
// shows a lone surrogate).
std::filesystem::path PathFromWide(std::wstring_view text);
std::wstring WideFromPath(const std::filesystem::path& path);

}  // namespace platform
