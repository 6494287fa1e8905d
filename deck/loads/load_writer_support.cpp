// Refusing or leaving out a named load, a load's faces, the loads of a type walked per step, line headers.
#include "deck/loads/load_writer_support.h"

#include <charconv>

#include "deck/mesh/mesh_scoping.h"
#include "foundation/unit_systems.h"
#include "platform/text.h"

namespace loadwriter {

namespace {

std::wstring LoadName(const ObjectTypeRecord& record) {
    return L"Load \"" + platform::Utf8ToWide(record.GetName()) + L"\" (" + std::to_wstring(record.GetId()) +
           L")";
}

}  // namespace

int Refuse(DorvixFeeder& feeder, const ObjectTypeRecord& record, int code, std::wstring_view reason) {
    std::wstring text = LoadName(record) + L": ";
    text += reason;
    feeder.PostHostMessage(text, L"Error");
    return code;
}

int LeaveOut(DorvixFeeder& feeder, const ObjectTypeRecord& record, std::wstring_view reason) {
    std::wstring text = LoadName(record) + L" is left out of the deck: ";
    text += reason;
    feeder.PostHostMessage(text, L"Warning");
    return kRC_Success;
}

int Refuse(DorvixFeeder& feeder, int loadId, int code, std::wstring_view reason) {
    const ObjectTypeTable* table = feeder.GetObjectTypeTable();
    if (const ObjectTypeRecord* record = table ? table->FindById(loadId) : nullptr)
        return Refuse(feeder, *record, code, reason);
    feeder.PostHostMessage(L"Load " + std::to_wstring(loadId) + L": " + std::wstring(reason), L"Error");
    return code;
}

double MeasureInDeckUnits(const DorvixFeeder& feeder, const ObjectTypeRecord& record, int quantity) {
    return GetUnitSystemTable().Convert(feeder.GetModelUnitSystem(), feeder.GetDeckUnitSystem(), quantity,
                                        record.GetArea());
}

int ScopingFacesOrLeaveOut(DorvixFeeder& feeder, const ObjectTypeRecord& record, std::vector<int>& elements,
                           std::vector<int>& faces) {
    elements.clear();
    faces.clear();
    const HRESULT found = feeder.GetLoadScopingFaces(record, elements, faces);
    if (found != S_OK || faces.size() != elements.size()) {
        elements.clear();
        faces.clear();
        // The refusal's message names the load already.
        if (found == kE_SolidElementEdge) return kRC_MissingData;
        return LeaveOut(feeder, record, L"its scoping cannot be turned into element faces");
    }
    if (elements.empty()) return LeaveOut(feeder, record, L"its scoping holds no element face");
    return kRC_Success;
}

std::vector<TypedLoad> LoadsOfType(const DorvixFeeder& feeder, int type) {
    std::vector<TypedLoad> loads;
    const ObjectTypeTable* table = feeder.GetObjectTypeTable();
    if (!table) return loads;
    std::vector<int> ids;
    std::vector<const ObjectTypeRecord*> records;
    if (FindEntriesById(*table, type, ids, records) != S_OK) return loads;
    for (std::size_t i = 0; i < ids.size(); ++i)
        loads.push_back({ids[i], records[i], records[i] ? records[i]->GetHostLoad() : nullptr});
    return loads;
}

int ForEachLoad(DorvixFeeder& feeder, int step, const std::vector<TypedLoad>& loads, int missingLoadCode,
                const std::function<int(const TypedLoad&)>& write) {
    const bool loadCases = feeder.UseLoadCases();
    if (!loadCases && step != 1) return kRC_Success;
    for (const TypedLoad& load : loads) {
        if (!load.record) continue;
        if (loadCases && feeder.GetLoadStepStatus(load.load, step) == DorvixFeeder::kStepDeactivated)
            continue;
        if (!load.load)
            return Refuse(feeder, *load.record, missingLoadCode, L"the host gives no load object");
        if (const int code = write(load); code != kRC_Success) return code;
    }
    return kRC_Success;
}

int ComponentValuesOrFunctions(DorvixFeeder& feeder, int step, const TypedLoad& load, double scale,
                               bool withRotations, bool moments, std::vector<double>& values,
                               std::vector<int>& functions) {
    if (feeder.UseLoadCases()) {
        if (const int code =
                feeder.GetLoadComponentValuesAtStep(step, load.load, values, withRotations, moments))
            return code;
        if (!FiniteProducts(values, scale))
            return Refuse(feeder, *load.record, kRC_DataMismatch, L"its share of a component is not finite");
        return kRC_Success;
    }
    if (!std::isfinite(scale) ||
        feeder.CreateComponentFunctions(load.load, load.id, scale, withRotations, functions, moments) != S_OK)
        return Refuse(feeder, *load.record, kRC_DataMismatch, L"its component functions cannot be made");
    return kRC_Success;
}

int BodyIdOf(const ObjectTypeRecord& record) {
    const std::string& text = record.GetBodyIdText();
    int id = 0;
    (void)std::from_chars(text.data(), text.data() + text.size(), id);
    return id;
}

std::string HeaderLine(std::string_view kind, const ObjectTypeRecord& record) {
    std::string line = ".CLM ";
    line.append(kind);
    line += " NOM \"" + record.GetName() + "\"";
    return line;
}

}  // namespace loadwriter
