// Imported nodal thicknesses as ".PHP ELEMENT" lines: an element gets its nodes' thicknesses
// only when every one of its nodes carries one, so no element is given a made-up value.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "deck/dorvix_feeder.h"
#include "deck/loads/imported_table_columns.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/number_format.h"

int DorvixFeeder::WriteImportedThickness() try {
    std::vector<NCAERep::CIdentity> loads;
    inputRoot_->getIdentitiesByType(NCAERep::NBC::CExternalLoadRep::kTypeName, loads);
    // The mesh is held for the whole pass, whoever else lets it go.
    ComPtr<IHostMeshData> mesh(meshWrapper_ ? meshWrapper_->GetMeshData() : nullptr);
    for (const NCAERep::CIdentity& identity : loads) {
        const NCAERep::CCAERepBase* load = inputDatabase_.getObject(identity);
        if (!load) return kRC_ModelLoadFailed;
        if (imported::ReadText(*load, L"ExternalLoadType") != L"ImportedThickness") continue;
        if (!deckFile_ || !mesh) return kRC_DataMismatch;
        if (const int code = WriteThicknessOf(*load, *mesh); code != kRC_Success) return code;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the imported thickness");
}

int DorvixFeeder::WriteThicknessOf(const NCAERep::CCAERepBase& load, IHostMeshData& mesh) {
    const NCAERep::NBC::CTable* table = imported::FindImportedTable(load, imported::TablePreference::kTable);
    NCAERep::CPropertyValue timeColumn;
    if (!table || !table->getTimePoints(timeColumn)) return kRC_ModelLoadFailed;
    std::vector<double> timePoints;
    timeColumn.getValue(timePoints);
    if (timePoints.empty()) return kRC_ModelLoadFailed;

    const auto refuse = [&](const wchar_t* reason) {
        PostHostMessage(L"Imported thickness \"" + imported::ReadText(load, L"Caption") + L"\": " + reason,
                        L"Error");
        return kRC_DataMismatch;
    };
    std::vector<double> values, ids;
    std::vector<int> nodes;
    if (!imported::ReadValuesAt(*table, timePoints.front(), values) ||
        !imported::ReadColumnAt(*table, timePoints.front(), L"EntityId", ids) || values.size() != ids.size())
        return refuse(L"the thickness and node columns do not fit together");
    if (!imported::AllFinite(values) || !imported::ToInts(ids, nodes))
        return refuse(L"a thickness or node number is not a number");

    std::map<int, std::size_t> positionOfNode;
    std::set<int> elements;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        positionOfNode[nodes[i]] = i;
        std::vector<int> users;
        if (FAILED(mesh.GetElementsOfNode(nodes[i], users)))
            return refuse(L"the mesh does not know one of its nodes");
        elements.insert(users.begin(), users.end());
    }

    bool headerWritten = false;
    std::vector<int> elementNodes;
    for (int element : elements) {
        if (FAILED(mesh.GetElementNodes(element, elementNodes)))
            return refuse(L"the mesh does not know one of its elements");
        std::string text;
        bool complete = !elementNodes.empty();
        for (std::size_t k = 0; k < elementNodes.size() && complete; ++k) {
            const auto found = positionOfNode.find(elementNodes[k]);
            complete = found != positionOfNode.end();
            if (complete) text += " " + FormatGeneral15(values[found->second]);
        }
        if (!complete) continue;
        if (!headerWritten) deckFile_->WriteLine(".PHP ELEMENT");
        headerWritten = true;
        deckFile_->WriteLine("  I " + std::to_string(element) + " THICK V " + text);
    }
    return kRC_Success;
}
