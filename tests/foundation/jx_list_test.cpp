// Signed memory blocks, the growing list, the reference list without repeats, and id lists streamed back.
#include "foundation/jx_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/jx_stream.h"
#include "foundation/signed_memory.h"

namespace {

TEST(SignedMemory, HeaderAndZeroedPayload) {
    auto* block = static_cast<unsigned char*>(SignedMemAlloc(24));
    ASSERT_NE(block, nullptr);
    const unsigned char expected[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x8B, 0xAD, 0xF0, 0x0D};
    EXPECT_EQ(std::memcmp(block - 8, expected, 8), 0);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(block[i], 0) << i;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
    EXPECT_EQ(SignedMemSize(block), 24u);
    EXPECT_TRUE(SignedMemFree(block));
}

TEST(SignedMemory, ReallocKeepsContentAndZeroesTheTail) {
    auto* block = static_cast<unsigned char*>(SignedMemAlloc(4));
    std::memset(block, 0x5A, 4);
    block = static_cast<unsigned char*>(SignedMemRealloc(block, 4000));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[3], 0x5A);
    EXPECT_EQ(block[4], 0);
    EXPECT_EQ(block[3999], 0);
    EXPECT_TRUE(IsSignedMemBlock(block));
    EXPECT_TRUE(SignedMemFree(block));
    void* fresh = SignedMemRealloc(nullptr, 8);
    EXPECT_TRUE(IsSignedMemBlock(fresh));
    SignedMemFree(fresh);
}

TEST(SignedMemory, NullIgnoredAndForeignBlockRefused) {
    EXPECT_TRUE(SignedMemFree(nullptr));
    auto* block = static_cast<unsigned char*>(SignedMemAlloc(16));
    block[-1] ^= 0xFF;  // damage the signature
    EXPECT_FALSE(IsSignedMemBlock(block));
    EXPECT_FALSE(SignedMemFree(block));
    EXPECT_EQ(SignedMemRealloc(block, 32), nullptr);
    block[-1] ^= 0xFF;
    EXPECT_TRUE(SignedMemFree(block));
}

TEST(JXList, GrowthRule) {
    JXList<int> list(5, 100);
    EXPECT_EQ(list.GetCapacity(), 5);
    for (int i = 0; i < 5; ++i) list.Add(i);
    EXPECT_EQ(list.GetCapacity(), 5);
    list.Add(5);
    EXPECT_EQ(list.GetCapacity(), 10);  // int(2 * 5 + 0.999)

    JXList<double> slow(3, 10);  // int(1.1 * 3 + 0.999) = 4
    for (int i = 0; i < 4; ++i) slow.Add(i);
    EXPECT_EQ(slow.GetCapacity(), 4);
    slow.Add(4);
    EXPECT_EQ(slow.GetCapacity(), 5);  // int(1.1 * 4 + 0.999) = 5

    JXList<int> none(0, 0);  // at least capacity + 1
    none.Add(1);
    EXPECT_EQ(none.GetCapacity(), 1);
    none.Add(2);
    EXPECT_EQ(none.GetCapacity(), 2);
    EXPECT_EQ(none[1], 2);
}

TEST(JXList, IndexedAccessGrowsAndRaisesCount) {
    JXList<int> list(2, 100);
    list.Add(7);
    list[9] = 3;
    EXPECT_EQ(list.GetCount(), 10);
    EXPECT_GE(list.GetCapacity(), 10);
    EXPECT_EQ(list[0], 7);
    for (int i = 1; i < 9; ++i) EXPECT_EQ(list[i], 0);
    EXPECT_EQ(list[9], 3);
    list.ElementAt(10) = 4;  // within the grown capacity or not, the count follows
    EXPECT_EQ(list.GetCount(), 11);
}

TEST(JXList, NegativeIndexRefused) {
    JXList<int> list;
    EXPECT_THROW(list[-1], std::out_of_range);
    EXPECT_THROW(list.InsertAt(1, -1), std::out_of_range);
    const JXList<int>& constant = list;
    EXPECT_THROW(constant[0], std::out_of_range);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(JXList, InsertRemoveAndCopy) {
    JXList<std::string> list(1, 100);
    list.Add("b");
    list.InsertAt("a", 0);
    list.InsertAt("d", 2);
    list.InsertAt("c", 2);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0] + list[1] + list[2] + list[3], "abcd");
    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_FALSE(list.RemoveAt(3));
    EXPECT_FALSE(list.RemoveAt(-1));
    EXPECT_EQ(list[0] + list[1] + list[2], "acd");

    JXList<std::string> copy = list;
    copy[0] = "x";
    EXPECT_EQ(list[0], "a");
    list = copy;
    EXPECT_EQ(list[0], "x");
    list.Add(list[0]);  // an element of the list itself while the buffer grows
    EXPECT_EQ(list[3], "x");
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(copy.GetCount(), 3);

    std::string joined;
    for (const std::string& s : copy) joined += s;
    EXPECT_EQ(joined, "xcd");
}

TEST(JXList, BufferIsSignedMemory) {
    JXList<int> list(4, 100);
    EXPECT_TRUE(IsSignedMemBlock(list.GetData()));
}

TEST(JXReferenceList, AddsOnlyNewReferencesAndGrowsByTen) {
    JXReferenceList list;
    EXPECT_TRUE(list.Add(5, kJXReferenceFace));
    EXPECT_FALSE(list.Add(5, kJXReferenceFace));
    EXPECT_TRUE(list.Add(5, kJXReferenceEdge));
    for (int i = 0; i < 20; ++i) list.Add(100 + i, kJXReferenceElements);
    EXPECT_EQ(list.GetCount(), 22);
    EXPECT_EQ(list.GetAt(1), (JXReference{5, kJXReferenceEdge}));
    EXPECT_EQ(list.GetAt(22), (JXReference{-1, 0}));
    EXPECT_EQ(list.GetAt(-1), (JXReference{-1, 0}));
}

// 300,000 references of which 100,000 repeat earlier ones: one look-up each, not a scan of the
// list so far, or the load would take minutes.
TEST(JXReferenceList, LargeLoadDropsRepeatsAndKeepsTheFirstOrder) {
    constexpr int kStored = 300'000, kDistinct = 200'000;
    JXMemoryChannel channel;
    JXStream out(channel);
    out.WriteUInt32(kStored);
    for (int i = 0; i < kStored; ++i) {
        out.WriteInt32(kDistinct - i % kDistinct);
        out.WriteUInt32(i % 2 ? kJXReferenceFace : kJXReferenceEdge);
    }
    channel.Rewind();
    JXStream in(channel);
    JXReferenceList list;
    ASSERT_TRUE(list.Load(in));
    ASSERT_EQ(list.GetCount(), kDistinct);
    EXPECT_EQ(list.GetAt(0), (JXReference{kDistinct, kJXReferenceEdge}));
    EXPECT_EQ(list.GetAt(kDistinct - 1), (JXReference{1, kJXReferenceFace}));
    EXPECT_FALSE(list.Add(7, kJXReferenceFace));
    EXPECT_TRUE(list.Add(7, kJXReferenceElements));

    // Moving and emptying take the set of present references along.
    JXReferenceList moved(std::move(list));
    EXPECT_EQ(moved.GetCount(), kDistinct + 1);
    EXPECT_TRUE(moved.Contains({7, kJXReferenceElements}));
    EXPECT_TRUE(list.Add(7, kJXReferenceElements));
    moved.RemoveAll();
    EXPECT_FALSE(moved.Contains({7, kJXReferenceElements}));
    EXPECT_TRUE(moved.Add(7, kJXReferenceElements));
}

TEST(JXIdList, StreamRoundTripAndTruncation) {
    JXIdList ids;
    ids.Add(3);
    ids.Add(-7);
    ids[3] = 42;
    JXMemoryChannel channel;
    JXStream out(channel);
    ASSERT_TRUE(ids.Save(out));
    JXReferenceList refs;
    refs.Add(9, kJXReferenceElementFaces);
    ASSERT_TRUE(refs.Save(out));

    channel.Rewind();
    JXStream in(channel);
    JXIdList back;
    ASSERT_TRUE(back.Load(in));
    EXPECT_EQ(back, ids);
    EXPECT_EQ(back.GetAt(3), 42);
    JXReferenceList refsBack;
    ASSERT_TRUE(refsBack.Load(in));
    EXPECT_EQ(refsBack.GetAt(0), (JXReference{9, kJXReferenceElementFaces}));

    std::vector<std::uint8_t> bytes = channel.Bytes();
    bytes.resize(10);  // count says 4 ids, only 1.5 follow
    JXMemoryChannel shortChannel(bytes);
    JXStream shortStream(shortChannel);
    JXIdList partial;
    partial.Add(1);
    EXPECT_FALSE(partial.Load(shortStream));
    EXPECT_EQ(partial.GetCount(), 0);
}

}  // namespace
