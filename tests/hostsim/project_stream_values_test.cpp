// Signed whole values on the file-backed host's project stream.

#include <gtest/gtest.h>

#include "hostsim/project_stream.h"

TEST(HostSimProjectStream, SignedValuesAreFourLittleEndianBytesAndFailPastTheEnd) {
    ComPtr<HostSimProjectStream> stream = CreateHostSimProjectStream();
    EXPECT_EQ(stream->writeINT(-2), S_OK);
    EXPECT_EQ(stream->writeUINT(3), S_OK);
    EXPECT_EQ(stream->Bytes(), (std::vector<std::uint8_t>{0xfe, 0xff, 0xff, 0xff, 3, 0, 0, 0}));

    ComPtr<HostSimProjectStream> cut = CreateHostSimProjectStream({0xfe, 0xff, 0xff, 0xff, 3, 0});
    std::int32_t value = 0;
    EXPECT_EQ(cut->readINT(&value), S_OK);
    EXPECT_EQ(value, -2);
    EXPECT_EQ(cut->readINT(&value), E_FAIL);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(cut->readINT(nullptr), E_POINTER);
}
