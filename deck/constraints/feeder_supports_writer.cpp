// The feeder's supports step: the finished constraint table handed to the support-set writer.
#include "deck/constraints/node_constraint_table.h"
#include "deck/constraints/supports_writer.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "host/data_source.h"

int DorvixFeeder::WriteSupports() try {
    const NodeConstraintTable* table = GetNodeConstraintTable();
    if (!table || !deckFile_) return kRC_Success;
    SupportsContext context;
    context.tiedNodes = &cyclicSymmetryNodes_;
    context.twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    context.rotationalDofs = bodyWrapper_ && bodyWrapper_->HasRotationalDofs();
    WriteSupportSets(*deckFile_, *table, context);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the supports");
}
