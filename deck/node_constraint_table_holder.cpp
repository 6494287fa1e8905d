#include "deck/node_constraint_table_holder.h"

namespace {

NodeConstraintTableHolder::TableReader& Reader() {
    static NodeConstraintTableHolder::TableReader reader = nullptr;
    return reader;
}

}  // namespace

void NodeConstraintTableHolder::SetTableReader(TableReader reader) { Reader() = reader; }

HRESULT NodeConstraintTableHolder::LoadFromStream(IStream* stream) {
    ReleaseTable();
    if (!stream || !Reader()) return E_FAIL;
    HRESULT result = E_FAIL;
    LateOwned<NodeConstraintTable> table = Reader()(stream, result);
    if (FAILED(result) || !table) return E_FAIL;
    table_ = std::move(table);
    return S_OK;
}
