// Shared pieces of the load writers: the host load and its variables, the loads of one type code,
// the refusal that names a load, and the texts of the deck's load lines.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "foundation/number_format.h"
#include "host/load_model.h"

namespace loadwriter {

inline ComPtr<IHostLoad> HostLoadOf(IUnknown* object) {
    ComPtr<IHostLoad> load;
    if (object) (void)object->QueryInterface(IHostLoad::iid(), load.ReleaseAndGetVoidAddress());
    return load;
}

inline ComPtr<IHostLoadVariable> HostVariableOf(IUnknown* object) {
    ComPtr<IHostLoadVariable> variable;
    if (object) (void)object->QueryInterface(IHostLoadVariable::iid(), variable.ReleaseAndGetVoidAddress());
    return variable;
}

// Null when the load has no variable of the index.
inline ComPtr<IHostLoadVariable> VariableOf(IHostLoad* load, int index) {
    ComPtr<IHostLoadVariable> variable;
    if (!load || load->GetVariable(index, variable.ReleaseAndGetAddressOf()) != S_OK) variable.Reset();
    return variable;
}

// Independent quantity of a defined variable; kLoadIndependentNone when it cannot be read.
inline int IndependentOf(IHostLoadVariable* variable) {
    HostLoadDefinition definition;
    if (!variable || variable->GetDefinition(definition) != S_OK) return kLoadIndependentNone;
    return definition.independentQuantity;
}

inline bool AllFinite(const std::vector<double>& values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// Whether every imposed value times scale stays finite (scale included).
inline bool FiniteProducts(const std::vector<double>& values, double scale) {
    if (!std::isfinite(scale)) return false;
    for (double v : values)
        if (v != DorvixFeeder::kFreeComponent && !std::isfinite(v * scale)) return false;
    return true;
}

// The largest magnitude among the values of a history.
inline double LargestValue(const std::vector<double>& history) {
    double largest = 0.0;
    for (std::size_t j = 1; j < history.size(); j += 2) largest = std::max(largest, std::fabs(history[j]));
    return largest;
}

// A free component written in a value list is 0; the marker itself is never scaled.
inline double ListValue(double value, double scale) {
    return value == DorvixFeeder::kFreeComponent ? 0.0 : value * scale;
}

// The size of the record's scoping, its faces' area or its edges' length as the quantity says, in
// the deck's units: the host measures it in the model's units, while the loads it divides are
// asked in the deck's.
double MeasureInDeckUnits(const DorvixFeeder& feeder, const ObjectTypeRecord& record, int quantity);

// Posts "Load "<name>" (<id>): <reason>" as an error and gives the code back.
[[nodiscard]] int Refuse(DorvixFeeder& feeder, const ObjectTypeRecord& record, int code,
                         std::wstring_view reason);
[[nodiscard]] int Refuse(DorvixFeeder& feeder, int loadId, int code, std::wstring_view reason);
// Posts "Load "<name>" (<id>) is left out of the deck: <reason>" as a warning and answers 0: the
// writer goes on without the load, and the user learns that the solver runs without it.
[[nodiscard]] int LeaveOut(DorvixFeeder& feeder, const ObjectTypeRecord& record, std::wstring_view reason);

// The element faces of the load's scoping: 0 with the faces listed; 0 with none listed when the
// load is left out (a warning names it: the host cannot turn the scoping into element faces or
// finds none); kRC_MissingData for an edge of a solid element, which no element face holds (an
// error names the load).
[[nodiscard]] int ScopingFacesOrLeaveOut(DorvixFeeder& feeder, const ObjectTypeRecord& record,
                                         std::vector<int>& elements, std::vector<int>& faces);

// The loads of the type code in id order, each with its record and host load object (null when
// the host has none). Empty when there is none.
struct TypedLoad {
    int id = 0;
    const ObjectTypeRecord* record = nullptr;
    IUnknown* load = nullptr;
};
std::vector<TypedLoad> LoadsOfType(const DorvixFeeder& feeder, int type);

// The common frame of a writer: nothing in function form after step 1; per load, a load
// deactivated in the step is passed over in load-case form, one without a host load object ends
// the writer with missingLoadCode; the first non-zero answer of `write` ends the writer.
[[nodiscard]] int ForEachLoad(DorvixFeeder& feeder, int step, const std::vector<TypedLoad>& loads,
                              int missingLoadCode, const std::function<int(const TypedLoad&)>& write);

// Load-case form: the component values at the step, refused (39) when one times scale is not
// finite. Function form: the component functions with scale (39 when one cannot be made).
[[nodiscard]] int ComponentValuesOrFunctions(DorvixFeeder& feeder, int step, const TypedLoad& load,
                                             double scale, bool withRotations, bool moments,
                                             std::vector<double>& values, std::vector<int>& functions);

// Line texts, built in one reused string.
class LoadLine {
  public:
    LoadLine& Text(std::string_view text) {
        line_.append(text);
        return *this;
    }
    LoadLine& Int(int value) {
        line_.push_back(' ');
        AppendInt(line_, value);
        return *this;
    }
    // 15 significant digits.
    LoadLine& Value(double value) {
        line_.push_back(' ');
        AppendGeneral15(line_, value);
        return *this;
    }
    // 6 significant digits.
    LoadLine& Short(double value) {
        line_.push_back(' ');
        AppendSignificant(line_, value, 6);
        return *this;
    }
    LoadLine& Start(std::string_view text) {
        line_.assign(text);
        return *this;
    }
    const std::string& Get() const { return line_; }

  private:
    std::string line_;
};

// The id of the body the load lies on; 0 when the record names none.
int BodyIdOf(const ObjectTypeRecord& record);

// ".CLM <kind> NOM "<name>"".
std::string HeaderLine(std::string_view kind, const ObjectTypeRecord& record);

}  // namespace loadwriter
