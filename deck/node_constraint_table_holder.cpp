// Loading the saved constraint table from the host's stream through a reader that tests can replace.
#include "deck/node_constraint_table_holder.h"

#include "deck/constraints/node_constraint_stream.h"
#include "deck/constraints/node_constraint_table.h"

namespace {

NodeConstraintTableHolder::TableReader& Reader() {
    static NodeConstraintTableHolder::TableReader reader = &ReadNodeConstraintTable;
    return reader;
}

}  // namespace

void NodeConstraintTableHolder::SetTableReader(TableReader reader) {
    Reader() = reader ? reader : &ReadNodeConstraintTable;
}

HRESULT NodeConstraintTableHolder::LoadFromStream(IStream* stream) {
    ReleaseTable();
    if (!stream) return E_FAIL;
    HRESULT result = E_FAIL;
    LateOwned<NodeConstraintTable> table = Reader()(stream, result);
    if (FAILED(result) || !table) return E_FAIL;
    table_ = std::move(table);
    return S_OK;
}
