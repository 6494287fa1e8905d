// System error codes that the platform services answer, wrapped as HRESULTs the way the
// component layer reports operating-system failures.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com.h"

[[nodiscard]] constexpr HRESULT HResultFromSystemError(std::uint32_t code) {
    return code == 0 ? S_OK : static_cast<HRESULT>((code & 0x0000FFFFu) | 0x80070000u);
}

constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr std::uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr std::uint32_t ERROR_INVALID_DATA = 13;
constexpr std::uint32_t ERROR_FILE_EXISTS = 80;
constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
constexpr std::uint32_t ERROR_MORE_DATA = 234;

// A key, value or file that does not exist.
constexpr HRESULT E_NOTFOUND = HResultFromSystemError(ERROR_FILE_NOT_FOUND);
// The caller's buffer is too small for the answer; nothing usable was written.
constexpr HRESULT E_MOREDATA = HResultFromSystemError(ERROR_MORE_DATA);
// A file the platform reads (for instance the registry file) is malformed.
constexpr HRESULT E_BADFILEDATA = HResultFromSystemError(ERROR_INVALID_DATA);

// A failure code or a word of status bits as messages show it: "0x" and eight lower-case hex
// digits ("0x80004005").
std::string HexCodeText(std::uint32_t code);
