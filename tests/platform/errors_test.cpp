#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

TEST(HexCodeText, EightLowerCaseDigitsWithLeadingZeros) {
    const struct {
        std::uint32_t code;
        const char* text;
    } rows[] = {{0, "0x00000000"},
                {0x800, "0x00000800"},
                {static_cast<std::uint32_t>(E_FAIL), "0x80004005"},
                {0xFFFFFFFFu, "0xffffffff"}};
    for (const auto& row : rows) EXPECT_EQ(HexCodeText(row.code), row.text) << row.code;
}

}  // namespace
