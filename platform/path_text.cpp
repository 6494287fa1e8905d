#include "platform/path_text.h"

#include "platform/text.h"

namespace platform {

std::filesystem::path PathFromUtf8(std::string_view text) {
    // From char the native form is taken as it stands: no locale is consulted.
    return std::filesystem::path(std::string(text));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return path.native(); }

std::filesystem::path PathFromWide(std::wstring_view text) { return PathFromUtf8(WideToUtf8(text)); }

std::wstring WideFromPath(const std::filesystem::path& path) { return Utf8ToWide(path.native()); }

}  // namespace platform
