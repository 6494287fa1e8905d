// Conversions between paths and wide text that carry bytes which are not UTF-8 as escaped low surrogates.
#include "platform/path_text.h"

#include "platform/text.h"

namespace platform {
namespace {

// Wide text keeps a byte that is no part of UTF-8 as a lone low surrogate, which no UTF-8
// text can hold: U+DC80 to U+DCFF stand for the bytes 0x80 to 0xFF.
constexpr wchar_t kEscapedByteBase = 0xDC00;

bool IsEscapedByte(wchar_t c) { return c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF; }

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at text[i]; 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(byte(i + k))) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return c < min || c > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view text) {
    // From char the native form is taken as it stands: no locale is consulted.
    return std::filesystem::path(std::string(text));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return path.native(); }

std::filesystem::path PathFromWide(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    std::size_t run = 0;  // start of the text not yet converted
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsEscapedByte(text[i])) continue;
        bytes += WideToUtf8(text.substr(run, i - run));
        bytes += static_cast<char>(text[i] - kEscapedByteBase);
        run = i + 1;
    }
    bytes += WideToUtf8(text.substr(run));
    return PathFromUtf8(bytes);
}

std::wstring WideFromPath(const std::filesystem::path& path) {
    const std::string_view bytes = path.native();
    std::wstring wide;
    wide.reserve(bytes.size());
    std::size_t run = 0;  // start of the well-formed text not yet converted
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t length = SequenceLength(bytes, i); length > 0) {
            i += length;
            continue;
        }
        wide += Utf8ToWide(bytes.substr(run, i - run));
        wide += static_cast<wchar_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[i]));
        run = ++i;
    }
    wide += Utf8ToWide(bytes.substr(run));
    return wide;
}

}  // namespace platform
