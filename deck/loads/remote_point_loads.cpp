// Loads on remote points: moments (host type 21), remote forces (type 5) and remote
// displacements (type 20), each on the deck node of the load's remote point.
#include <string>
#include <vector>

#include "deck/loads/load_writer_support.h"
#include "host/data_source.h"
#include "host/object_types.h"
#include "runtime/return_package.h"

using namespace loadwriter;

namespace {

// The deck node of the load's remote point: 0, the lookup's code, or 25.
[[nodiscard]] int RemotePointNode(DorvixFeeder& feeder, const TypedLoad& load, int& node) {
    if (const int code = feeder.RegisterEntityLookup(load.id, load.record->GetHostObject()); code)
        return Refuse(feeder, *load.record, code, L"its remote point has no deck node");
    int kind = 0;
    if (!feeder.GetReturnPackage() || FAILED(feeder.GetReturnPackage()->GetLookup(load.id, node, kind)))
        return Refuse(feeder, *load.record, kRC_MissingData, L"its remote point has no deck node");
    return kRC_Success;
}

// Per component: "  I <node> V <value> COMP <c> NC <step>" for an imposed value, or
// "  I <node> V 1.0 COMP <c> NF <function> TIME" for a component with a function.
void WriteComponentLines(DorvixDeckFile& deck, int node, int step, int firstComp,
                         const std::vector<double>& values, const std::vector<int>& functions) {
    LoadLine line;
    const bool loadCases = !values.empty();
    const std::size_t count = loadCases ? values.size() : functions.size();
    for (std::size_t c = 0; c < count; ++c) {
        const int comp = static_cast<int>(c) + firstComp;
        if (loadCases && values[c] != DorvixFeeder::kFreeComponent)
            line.Start("  I").Int(node).Text(" V").Value(values[c]).Text(" COMP").Int(comp).Text(" NC").Int(
                step);
        else if (!loadCases && functions[c] >= 0)
            line.Start("  I")
                .Int(node)
                .Text(" V 1.0 COMP")
                .Int(comp)
                .Text(" NF")
                .Int(functions[c])
                .Text(" TIME");
        else
            continue;
        deck.WriteLine(line.Get());
    }
}

}  // namespace

int DorvixFeeder::WriteRemotePointLoads(int step, int loadType) {
    const bool moments = loadType == kLoadTypeMoment;
    return ForEachLoad(*this, step, LoadsOfType(*this, loadType), kRC_MissingData, [&](const TypedLoad& l) {
        if (!deckFile_) return int{kRC_Success};
        int node = 0;
        if (const int code = RemotePointNode(*this, l, node); code) return code;
        std::vector<double> values;
        std::vector<int> functions;
        if (const int code =
                ComponentValuesOrFunctions(*this, step, l, 1.0, false, moments, values, functions);
            code)
            return code;
        deckFile_->WriteLine(HeaderLine("CHA NOE", *l.record));
        WriteComponentLines(*deckFile_, node, step, moments ? 4 : 1, values, functions);
        return int{kRC_Success};
    });
}

int DorvixFeeder::WriteRemoteDisplacements(int step) {
    return ForEachLoad(*this, step, LoadsOfType(*this, kLoadTypeRemoteDisplacement), kRC_MissingData,
                       [&](const TypedLoad& l) {
                           if (!deckFile_) return int{kRC_Success};
                           deckFile_->WriteLine("!*********** Construct Remote Displacement ***********");
                           int node = 0;
                           if (const int code = RemotePointNode(*this, l, node); code) return code;
                           std::vector<double> values;
                           std::vector<int> functions;
                           if (const int code = ComponentValuesOrFunctions(*this, step, l, 1.0, true, false,
                                                                           values, functions);
                               code)
                               return code;
                           deckFile_->WriteLine(HeaderLine("DEP NOE", *l.record));
                           WriteComponentLines(*deckFile_, node, step, 1, values, functions);
                           return int{kRC_Success};
                       });
}
