// Saved constraint tables: loaded and finalised like filled ones, damaged streams refused, host stream read.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "deck/constraints/node_constraint_table.h"
#include "deck/node_constraint_table_holder.h"
#include "foundation/jx_stream.h"
#include "platform/stream.h"

namespace {

void WriteFrame(JXStream& s, const CoordSystemSafe& frame = CoordSystemSafe()) { ASSERT_TRUE(frame.Save(s)); }

void WriteIds(JXStream& s, std::uint32_t id, std::uint32_t type) {
    s.WriteInt32(1);
    s.WriteUInt32(id);
    s.WriteUInt32(type);
}

// Node 3: a fixed support saved with a later simple one; node 8: a symmetry region with normal
// Y, a zero displacement along Z and a coupling-free, frame-free record.
std::vector<std::uint8_t> SavedTable(double normalY = 1.0) {
    JXMemoryChannel channel;
    JXStream s(channel);
    s.WriteInt32(1);
    s.WriteUInt32(2);
    for (const std::int32_t node : {3, 8}) {
        s.WriteUInt32(static_cast<std::uint32_t>(node));
        s.WriteInt32(1);
        s.WriteInt32(node);
        s.WriteByte(node == 3);  // rotational
        s.WriteByte(0);
        s.WriteByte(0);
        s.WriteInt32(0);
        WriteFrame(s);
        if (node == 3) {
            s.WriteUInt32(2);
            for (int simple = 0; simple < 2; ++simple) {
                WriteIds(s, 20 + simple, 510);
                const double zeros[6] = {};
                s.WriteDoubles(zeros, 6);
                for (int flag = 0; flag < 5; ++flag) s.WriteByte(flag == simple);
            }
            for (int list = 0; list < 4; ++list) s.WriteUInt32(0);
        } else {
            s.WriteUInt32(0);
            s.WriteUInt32(1);  // displacement: Z held at zero
            WriteIds(s, 30, 513);
            WriteFrame(s);
            for (const std::int32_t flag : {1, 1, 2}) s.WriteInt32(flag);
            s.WriteDouble(0.0);
            for (int k = 0; k < 3; ++k) s.WriteInt32(0);
            s.WriteUInt32(0);
            s.WriteUInt32(1);
            WriteIds(s, 40, 585);
            const double normal[3] = {0.0, normalY, 0.0};
            s.WriteDoubles(normal, 3);
            s.WriteByte(0);
            s.WriteUInt32(0);
        }
    }
    s.WriteInt32(0);
    s.WriteUInt32(1);
    return channel.Bytes();
}

HRESULT LoadBytes(NodeConstraintTable& table, std::vector<std::uint8_t> bytes) {
    JXMemoryChannel channel(std::move(bytes));
    JXStream s(channel);
    return table.Load(s);
}

TEST(NodeConstraintTableLoad, SavedTableFinalisesLikeAFilledOne) {
    NodeConstraintTable table;
    ASSERT_EQ(LoadBytes(table, SavedTable()), S_OK);
    ASSERT_EQ(table.FinaliseAll(), S_OK);
    EXPECT_EQ(table.DumpText(), "3 2 2 2 2 2 2 global\n8 1 5 7 0 0 0 global\n");
}

TEST(NodeConstraintTableLoad, DamagedStreamsLeaveTheTableEmpty) {
    const std::vector<std::uint8_t> good = SavedTable();
    NodeConstraintTable table;
    for (std::size_t size = 0; size < good.size(); ++size) {
        ASSERT_EQ(LoadBytes(table, std::vector<std::uint8_t>(good.begin(), good.begin() + size)), E_FAIL)
            << size;
        ASSERT_TRUE(table.Records().empty()) << size;
    }

    ASSERT_EQ(LoadBytes(table, good), S_OK);
    EXPECT_EQ(LoadBytes(table, SavedTable(std::numeric_limits<double>::quiet_NaN())), E_FAIL);
    EXPECT_TRUE(table.Records().empty());

    std::vector<std::uint8_t> huge = good;
    const std::uint32_t count = 0x7fffffff;
    std::memcpy(huge.data() + 4, &count, 4);  // record count far beyond the bytes left
    EXPECT_EQ(LoadBytes(table, huge), E_FAIL);

    std::vector<std::uint8_t> mismatch = good;
    mismatch[8] = 4;  // the record's own node id stays 3
    EXPECT_EQ(LoadBytes(table, mismatch), E_FAIL);
    EXPECT_TRUE(table.Records().empty());
}

TEST(NodeConstraintTableLoad, HolderBuildsTheTableFromTheHostStream) {
    const std::vector<std::uint8_t> bytes = SavedTable();
    ComPtr<IStream> stream = platform::CreateMemoryStream();
    ASSERT_TRUE(stream);
    ULONG written = 0;
    ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
    LARGE_INTEGER start{};
    ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    NodeConstraintTableHolder holder;
    ASSERT_EQ(holder.LoadFromStream(stream.Get()), S_OK);
    ASSERT_NE(holder.GetTable(), nullptr);
    EXPECT_EQ(holder.GetTable()->Records().size(), 2u);
}

}  // namespace
