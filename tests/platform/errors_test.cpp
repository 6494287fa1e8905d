// Result codes as hex text, and a failure's reason: kept per thread, taken once, cleared.
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/error_info.h"

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

// A failed call's reason belongs to the thread it failed on, is taken once, and gives way to
// the next reason left or to a clearing caller.
TEST(ErrorInfo, AReasonIsTheThreadsAndIsTakenOnce) {
    ASSERT_EQ(ReportErrorInfo(L"Component.One", L"first reason"), S_OK);
    ASSERT_EQ(ReportErrorInfo(L"Component.Two", L"second reason"), S_OK);
    std::wstring elsewhere = L"not asked";
    std::thread([&] { elsewhere = TakeErrorDescription(); }).join();
    EXPECT_EQ(elsewhere, L"");

    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.ReleaseAndGetAddressOf()), S_OK);
    BstrHolder source, description;
    EXPECT_EQ(info->GetSource(source.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(info->GetDescription(description.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(source.View(), L"Component.Two");
    EXPECT_EQ(description.View(), L"second reason");
    EXPECT_EQ(GetErrorInfo(0, info.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_FALSE(info);

    ASSERT_EQ(ReportErrorInfo(L"Component.One", L"stale reason"), S_OK);
    EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK);
    EXPECT_EQ(TakeErrorDescription(), L"");
}

}  // namespace
