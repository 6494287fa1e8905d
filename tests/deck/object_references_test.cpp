// Object records adding their references without repeats, and the constraint-table holder's failed loads.
#include <gtest/gtest.h>

#include "deck/late_owned.h"
#include "deck/node_constraint_table_holder.h"
#include "deck/object_type_table.h"
#include "platform/stream.h"

namespace {

TEST(ObjectTypeRecord, AppendsItsReferencesWithoutRepeats) {
    HostObjectRecord host;
    host.id = 9;
    host.scoping.references = {{14, kJXReferenceFace}, {15, kJXReferenceEdge}, {14, kJXReferenceFace}};
    const ObjectTypeRecord record(host);

    JXReferenceList list;
    list.Add(15, kJXReferenceEdge);  // already there: kept once, in its first place
    record.AppendReferencesTo(list);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(0), (JXReference{15, kJXReferenceEdge}));
    EXPECT_EQ(list.GetAt(1), (JXReference{14, kJXReferenceFace}));

    // A reference that differs only in its kind word is another reference.
    JXReferenceList other;
    other.Add(14, kJXReferenceEdge);
    record.AppendReferencesTo(other);
    EXPECT_EQ(other.GetCount(), 3);

    JXReferenceList none;
    ObjectTypeRecord().AppendReferencesTo(none);
    EXPECT_EQ(none.GetCount(), 0);
}

// Readers installed by the tests below; each answers like a table reader that failed.
int g_readerCalls = 0;

LateOwned<NodeConstraintTable> FailingReader(IStream*, HRESULT& result) {
    ++g_readerCalls;
    result = E_FAIL;
    return {};
}

LateOwned<NodeConstraintTable> EmptySuccessReader(IStream*, HRESULT& result) {
    ++g_readerCalls;
    result = S_OK;  // success claimed, but no table made: still a failure for the holder
    return {};
}

class NodeConstraintTableHolderTest : public ::testing::Test {
  protected:
    void SetUp() override { g_readerCalls = 0; }
    void TearDown() override { NodeConstraintTableHolder::SetTableReader(nullptr); }
};

TEST_F(NodeConstraintTableHolderTest, EveryFailedLoadLeavesNoTable) {
    ComPtr<IStream> stream = platform::CreateMemoryStream();
    ASSERT_TRUE(stream);
    NodeConstraintTableHolder holder;

    NodeConstraintTableHolder::SetTableReader(nullptr);
    EXPECT_EQ(holder.LoadFromStream(stream.Get()), E_FAIL);
    EXPECT_EQ(holder.GetTable(), nullptr);

    NodeConstraintTableHolder::SetTableReader(&FailingReader);
    EXPECT_EQ(holder.LoadFromStream(nullptr), E_FAIL);
    EXPECT_EQ(g_readerCalls, 0);  // no stream: the reader is not asked
    EXPECT_EQ(holder.LoadFromStream(stream.Get()), E_FAIL);
    EXPECT_EQ(g_readerCalls, 1);
    EXPECT_EQ(holder.GetTable(), nullptr);

    NodeConstraintTableHolder::SetTableReader(&EmptySuccessReader);
    EXPECT_EQ(holder.LoadFromStream(stream.Get()), E_FAIL);
    EXPECT_EQ(g_readerCalls, 2);
    EXPECT_EQ(holder.GetTable(), nullptr);

    holder.ReleaseTable();  // releasing nothing is harmless
    EXPECT_EQ(holder.GetTable(), nullptr);
}

}  // namespace
