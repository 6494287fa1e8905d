// A code as text for messages: "0x" and eight hexadecimal digits.
#include "platform/errors.h"

#include <charconv>

std::string HexCodeText(std::uint32_t code) {
    char digits[8];
    const std::size_t count =
        static_cast<std::size_t>(std::to_chars(digits, digits + 8, code, 16).ptr - digits);
    return "0x" + std::string(8 - count, '0') + std::string(digits, count);
}
