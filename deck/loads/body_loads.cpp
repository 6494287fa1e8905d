// Loads on the whole structure: an acceleration (host type 31, written as its inertia load, so
// with the opposite sign) and a rotational velocity (type 30) about an axis.
#include <string>
#include <vector>

#include "deck/loads/load_writer_support.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "host/object_types.h"

using namespace loadwriter;

int DorvixFeeder::WriteAccelerations(int step) {
    if (!UseLoadCases() && step != 1) return kRC_Success;
    const std::vector<TypedLoad> loads = LoadsOfType(*this, kLoadTypeAcceleration);
    if (loads.empty()) return kRC_Success;
    if (loads.size() >= 3)
        return Refuse(*this, *loads[2].record, kRC_MissingData, L"at most two accelerations");
    const int code = WriteAcceleration(step, loads[0].id, loads[0].load);
    if (code == kRC_Success && loads.size() == 2 && deckFile_)
        deckFile_->WriteLine("! Warning : skipped second acceleration");
    return code;
}

int DorvixFeeder::WriteAcceleration(int step, int loadId, IUnknown* load) {
    if (!load) return Refuse(*this, loadId, kRC_DataMismatch, L"the host gives no load object");
    if (!deckFile_) return kRC_Success;
    if (UseLoadCases()) {
        if (GetLoadStepStatus(load, step) == kStepDeactivated) return kRC_Success;
        std::vector<double> values;
        if (const int code = GetLoadComponentValuesAtStep(step, load, values, false); code) return code;
        const double list[3] = {ListValue(values[0], -1.0), ListValue(values[1], -1.0),
                                ListValue(values[2], -1.0)};
        deckFile_->WriteFields(".CLM STRU ACC V ", DeckDoubles{list, 3}, "NC", static_cast<double>(step));
        return kRC_Success;
    }
    if (step != 1) return kRC_Success;
    std::vector<int> functions;
    if (CreateComponentFunctions(load, loadId, -1.0, false, functions) != S_OK)
        return Refuse(*this, loadId, kRC_DataMismatch, L"its component functions cannot be made");
    LoadLine line;
    for (int c = 0; c < 3; ++c) {
        if (functions[c] < 0) continue;
        deckFile_->WriteLine(line.Start(".CLM STRU ACC COMP")
                                 .Int(c + 1)
                                 .Text(" V 1.0 NF")
                                 .Int(functions[c])
                                 .Text(" TIME")
                                 .Get());
    }
    return kRC_Success;
}

int DorvixFeeder::WriteRotationalVelocity(int step) {
    const bool loadCases = UseLoadCases();
    if (!loadCases && step != 1) return kRC_Success;
    const std::vector<TypedLoad> loads = LoadsOfType(*this, kLoadTypeRotationalVelocity);
    if (loads.empty()) return kRC_Success;
    if (loads.size() > 1)
        return Refuse(*this, *loads[1].record, kRC_MissingData, L"at most one rotational velocity");
    return ForEachLoad(*this, step, loads, kRC_DataMismatch, [&](const TypedLoad& l) {
        if (!deckFile_) return int{kRC_Success};
        double axis[3] = {0.0, 0.0, 0.0};
        if (const int code = GetLoadDirection(l.load, axis); code) return code;
        std::vector<double> values;
        if (loadCases) {
            if (const int code = GetLoadComponentValuesAtStep(step, l.load, values, false); code) return code;
        }
        deckFile_->WriteLine("!*********** Define Rotational Velocity ***********");
        std::vector<int> functions;
        if (!loadCases && CreateComponentFunctions(l.load, l.id, 1.0, false, functions) != S_OK)
            return Refuse(*this, *l.record, kRC_DataMismatch, L"its component functions cannot be made");
        deckFile_->WriteLine(".CLM");
        if (!bodyWrapper_ || !bodyWrapper_->IsAxisymmetricModel())
            deckFile_->WriteFields("  CROT STRUCTURE VAL", DeckDoubles{axis, 3});
        if (loadCases) {
            const double list[3] = {ListValue(values[0], 1.0), ListValue(values[1], 1.0),
                                    ListValue(values[2], 1.0)};
            deckFile_->WriteFields("  ROT STRUCTURE V", DeckDoubles{list, 3}, "NC",
                                   static_cast<double>(step));
            return int{kRC_Success};
        }
        LoadLine line;
        for (int c = 0; c < 3; ++c) {
            if (functions[c] < 0) continue;
            deckFile_->WriteLine(line.Start("  ROT STRUCTURE V 1.0 COMP")
                                     .Int(c + 1)
                                     .Text(" NF")
                                     .Int(functions[c])
                                     .Text(" TIME")
                                     .Get());
        }
        return int{kRC_Success};
    });
}
