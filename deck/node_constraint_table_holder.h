// Holder of the per-node constraint table that the host saved with its project and hands
// over as a stream at deck open.
#pragma once

#include "deck/late_owned.h"
#include "platform/com.h"

class NodeConstraintTable;
struct IStream;

class NodeConstraintTableHolder {
  public:
    NodeConstraintTableHolder() = default;
    ~NodeConstraintTableHolder() { ReleaseTable(); }
    NodeConstraintTableHolder(const NodeConstraintTableHolder&) = delete;
    NodeConstraintTableHolder& operator=(const NodeConstraintTableHolder&) = delete;

    // Replaces the held table by one read from the stream. E_FAIL when the stream is missing
    // or the table cannot be built from it; the holder then holds no table.
    [[nodiscard]] HRESULT LoadFromStream(IStream* stream);
    void ReleaseTable() { table_.Reset(); }
    NodeConstraintTable* GetTable() const { return table_.Get(); }

    // The reader that builds a table from the stream's bytes: the table's own reader
    // (ReadNodeConstraintTable) unless another is set; null restores it.
    using TableReader = LateOwned<NodeConstraintTable> (*)(IStream* stream, HRESULT& result);
    static void SetTableReader(TableReader reader);

  private:
    LateOwned<NodeConstraintTable> table_;
};
