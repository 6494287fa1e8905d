// The binary stream: values in either byte order, the wide-string form, short or bad input, huge counts.
#include "foundation/jx_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace {

// Writes one value of every kind after the mark in the given order.
std::vector<std::uint8_t> WriteSample(JXByteOrder order) {
    JXMemoryChannel channel;
    JXStream s(channel);
    EXPECT_TRUE(s.BeginWrite(order));
    s.WriteInt32(-123456);
    s.WriteUInt32(0xA1B2C3D4u);
    s.WriteUInt16(0xBEEF);
    s.WriteDouble(-2.5e-7);
    s.WriteBool(true);
    s.WriteByte(0x7F);
    const double array[3] = {1.0, -2.0, 3.5};
    s.WriteDoubleArray(array, 3);
    s.WriteDoubles(array, 2);
    s.WriteString8("name");
    WriteBSTR(s, std::wstring_view(L"Gr\u00fc\u00dfe \U0001F600"));
    WriteBSTR(s, std::wstring_view());
    EXPECT_TRUE(s.Good());
    return channel.Bytes();
}

void ExpectSample(const std::vector<std::uint8_t>& bytes, JXByteOrder order) {
    JXMemoryChannel channel(bytes);
    JXStream s(channel);
    ASSERT_TRUE(s.BeginRead());
    EXPECT_EQ(s.GetByteOrder(), order);
    std::int32_t i = 0;
    std::uint32_t u = 0;
    std::uint16_t w = 0;
    double d = 0;
    bool b = false;
    std::uint8_t byte = 0;
    ASSERT_TRUE(s.ReadInt32(&i));
    ASSERT_TRUE(s.ReadUInt32(&u));
    ASSERT_TRUE(s.ReadUInt16(&w));
    ASSERT_TRUE(s.ReadDouble(&d));
    ASSERT_TRUE(s.ReadBool(&b));
    ASSERT_TRUE(s.ReadByte(&byte));
    EXPECT_EQ(i, -123456);
    EXPECT_EQ(u, 0xA1B2C3D4u);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(d, -2.5e-7);
    EXPECT_TRUE(b);
    EXPECT_EQ(byte, 0x7F);
    std::vector<double> array;
    ASSERT_TRUE(s.ReadDoubleArray(array));
    EXPECT_EQ(array, (std::vector<double>{1.0, -2.0, 3.5}));
    double two[2] = {};
    ASSERT_TRUE(s.ReadDouble(two, 2));
    EXPECT_EQ(two[1], -2.0);
    std::string text;
    ASSERT_TRUE(s.ReadString8(text));
    EXPECT_EQ(text, "name");
    BSTR wide = nullptr;
    ASSERT_TRUE(ReadBSTR(s, &wide));
    EXPECT_EQ(BstrView(wide), L"Gr\u00fc\u00dfe \U0001F600");
    SysFreeString(wide);
    BSTR empty = reinterpret_cast<BSTR>(1);  // must be overwritten, not freed
    ASSERT_TRUE(ReadBSTR(s, &empty));
    EXPECT_EQ(empty, nullptr);  // length 0 reads back as null
    EXPECT_EQ(s.BytesLeft(), 0u);
}

TEST(JXStream, RoundTripLittleEndian) {
    const auto bytes = WriteSample(JXByteOrder::Little);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[0], 'J');
    EXPECT_EQ(bytes[1], 'X');
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0xFE);
    EXPECT_EQ(bytes[4], 0xC0);  // -123456 = 0xFFFE1DC0, low byte first
    EXPECT_EQ(bytes[7], 0xFF);
    ExpectSample(bytes, JXByteOrder::Little);
}

TEST(JXStream, RoundTripBigEndianIsSwappedOnRead) {
    const auto bytes = WriteSample(JXByteOrder::Big);
    EXPECT_EQ(bytes[2], 0xFE);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[4], 0xFF);  // high byte first
    EXPECT_EQ(bytes[7], 0xC0);
    ExpectSample(bytes, JXByteOrder::Big);
}

TEST(JXStream, BstrWireForm) {
    JXMemoryChannel channel;
    JXStream s(channel);
    WriteBSTR(s, std::wstring_view(L"ab"));
    // length 2, then 'a', 'b' and the terminator as UTF-16LE
    const std::vector<std::uint8_t> expected = {2, 0, 0, 0, 'a', 0, 'b', 0, 0, 0};
    EXPECT_EQ(channel.Bytes(), expected);
}

TEST(JXStream, UnknownMarkFails) {
    JXMemoryChannel channel(std::vector<std::uint8_t>{'J', 'X', 0x00, 0x01, 1, 0, 0, 0});
    JXStream s(channel);
    EXPECT_FALSE(s.BeginRead());
    std::int32_t v = 5;
    EXPECT_FALSE(s.ReadInt32(&v));
    EXPECT_EQ(v, 0);
}

// Every read kind, each on a stream one byte too short: it fails, zeroes its destination and
// fails every later read.
TEST(JXStream, TruncatedInputFailsEveryReadKind) {
    auto shortStream = [](std::size_t bytes) {
        return std::make_unique<JXStream>(
            std::make_unique<JXMemoryChannel>(std::vector<std::uint8_t>(bytes, 0xAB)));
    };
    {
        auto s = shortStream(3);
        std::int32_t v = 9;
        EXPECT_FALSE(s->ReadInt32(&v));
        EXPECT_EQ(v, 0);
        EXPECT_FALSE(s->Good());
        std::uint8_t byte = 9;
        EXPECT_FALSE(s->ReadByte(&byte));  // the stream stays failed
        EXPECT_EQ(byte, 0);
    }
    {
        auto s = shortStream(3);
        std::uint32_t v = 9;
        EXPECT_FALSE(s->ReadUInt32(&v));
        EXPECT_EQ(v, 0u);
    }
    {
        auto s = shortStream(1);
        std::uint16_t v = 9;
        EXPECT_FALSE(s->ReadUInt16(&v));
        EXPECT_EQ(v, 0);
    }
    {
        auto s = shortStream(15);
        double v[2] = {9, 9};
        EXPECT_FALSE(s->ReadDouble(v, 2));
        EXPECT_EQ(v[0], 0.0);
        EXPECT_EQ(v[1], 0.0);
    }
    {
        auto s = shortStream(1);
        bool v[2] = {true, true};
        EXPECT_FALSE(s->ReadBool(v, 2));
        EXPECT_FALSE(v[0]);  // 0xAB is not 1
        EXPECT_FALSE(v[1]);
    }
    {
        auto s = shortStream(0);
        std::uint8_t v = 9;
        EXPECT_FALSE(s->ReadByte(&v));
        EXPECT_EQ(v, 0);
        EXPECT_EQ(s->Status(), E_FAIL);
    }
}

// A run of values on a stream that holds only the first ones: none of the values read before
// the end is left behind (bytes of 1 read as true, 1, or a denormal double).
TEST(JXStream, ShortRunsOfValuesLeaveEveryValueZero) {
    auto run = [](std::size_t bytes, auto read) {
        JXMemoryChannel channel(std::vector<std::uint8_t>(bytes, 0x01));
        JXStream s(channel);
        return read(s);
    };
    EXPECT_TRUE(run(3, [](JXStream& s) {
        bool v[4] = {true, true, true, true};
        return !s.ReadBool(v, 4) && !v[0] && !v[1] && !v[2] && !v[3];
    }));
    EXPECT_TRUE(run(9, [](JXStream& s) {
        std::int32_t v[3] = {9, 9, 9};
        return !s.ReadInt32(v, 3) && v[0] == 0 && v[1] == 0 && v[2] == 0;
    }));
    EXPECT_TRUE(run(5, [](JXStream& s) {
        std::uint16_t v[3] = {9, 9, 9};
        return !s.ReadUInt16(v, 3) && v[0] == 0 && v[1] == 0 && v[2] == 0;
    }));
    EXPECT_TRUE(run(2, [](JXStream& s) {
        std::uint8_t v[3] = {9, 9, 9};
        return !s.ReadByte(v, 3) && v[0] == 0 && v[1] == 0 && v[2] == 0;
    }));
    EXPECT_TRUE(run(12, [](JXStream& s) {
        double v[2] = {9, 9};
        return !s.ReadDouble(v, 2) && v[0] == 0.0 && v[1] == 0.0;
    }));
}

TEST(JXStream, CountsAndLengthsAreCheckedBeforeAllocation) {
    auto streamOf = [](std::vector<std::uint8_t> bytes) {
        return std::make_unique<JXStream>(std::make_unique<JXMemoryChannel>(std::move(bytes)));
    };
    // A huge count with a few bytes behind it.
    const std::vector<std::uint8_t> huge = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4};
    {
        auto s = streamOf(huge);
        std::vector<double> values{1.0};
        EXPECT_FALSE(s->ReadDoubleArray(values));
        EXPECT_TRUE(values.empty());
    }
    {
        auto s = streamOf(huge);
        std::string text = "old";
        EXPECT_FALSE(s->ReadString8(text));
        EXPECT_TRUE(text.empty());
    }
    {
        auto s = streamOf(huge);
        BSTR text = reinterpret_cast<BSTR>(1);
        EXPECT_FALSE(ReadBSTR(*s, &text));
        EXPECT_EQ(text, nullptr);
    }
    {
        // Length 1 needs 2 code units; only one is there.
        auto s = streamOf({1, 0, 0, 0, 'a', 0});
        std::wstring text = L"old";
        EXPECT_FALSE(ReadBSTR(*s, text));
        EXPECT_TRUE(text.empty());
    }
    {
        // The terminator is not zero.
        auto s = streamOf({1, 0, 0, 0, 'a', 0, 'b', 0});
        std::wstring text;
        EXPECT_FALSE(ReadBSTR(*s, text));
    }
    {
        auto s = streamOf({});
        BSTR text = nullptr;
        EXPECT_FALSE(ReadBSTR(*s, &text));
        EXPECT_FALSE(ReadBSTR(*s, nullptr));
    }
}

TEST(JXStream, OverPlatformIStream) {
    ComPtr<IStream> stream = platform::CreateMemoryStream();
    {
        JXStream out(stream.Get());
        ASSERT_TRUE(out.BeginWrite());
        out.WriteInt32(77);
        WriteBSTR(out, std::wstring_view(L"x"));
        ASSERT_TRUE(out.Good());
    }
    ASSERT_EQ(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);
    JXStream in(stream.Get());
    ASSERT_TRUE(in.BeginRead());
    EXPECT_EQ(in.BytesLeft(), 12u);  // the int, then the string's length and "x" with its terminator
    std::int32_t v = 0;
    EXPECT_TRUE(in.ReadInt32(&v));
    EXPECT_EQ(v, 77);
    std::wstring text;
    EXPECT_TRUE(ReadBSTR(in, text));
    EXPECT_EQ(text, L"x");
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_FALSE(in.ReadInt32(&v));
}

}  // namespace
