// The file-backed host's load model: the loads of host.json's "loads" section as plain data,
// and the load objects (IHostLoad and what it reaches) that answer from that data. Values are
// held in the section's one unit system and converted on every answer.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/load_model.h"
#include "platform/com.h"

struct HostSimLoadEntry {
    int kind = kLoadEntryExpression;  // HostLoadEntryKind
    int quantity = 0;                 // host quantity code of the values
    int unitQuantity = 0;             // solver unit quantity the values convert as; 0: none
    // Table: (abscissa, value), abscissas strictly ascending, at least one row.
    std::vector<std::pair<double, double>> rows;
    // Expression: c0 + c1 x + c2 x^2 + ... of the independent quantity.
    std::vector<double> coefficients;
};

struct HostSimLoadVariable {
    int index = 0;
    int id = 0;
    int flag = 0;
    std::wstring name;
    int definitionKind = kLoadDefinitionDefined;
    int independent = kLoadIndependentTime;
    // One per load step; empty: the load's own activity.
    std::vector<bool> activeSteps;
    HostSimLoadEntry entry;  // unused for a free variable
};

struct HostSimLoadData {
    int id = 0;
    int type = 0;
    int unitSystem = 11;  // the system every stored value is in
    int stepCount = 1;
    std::vector<bool> activeSteps;  // one per load step
    int samplingCount = 0;
    int coordinateSystemId = 0;
    std::map<int, double> properties;  // dimensionless (directions)
    std::vector<HostSimLoadVariable> variables;
};

// The load object over the data; it answers IHostLoad.
ComPtr<IUnknown> CreateHostSimLoad(std::shared_ptr<const HostSimLoadData> data);

// The entry's value at an abscissa in stored units: a table interpolates linearly between rows
// and holds its first and last value outside them. False when the value is not finite.
bool EvaluateStoredEntry(const HostSimLoadEntry& entry, double at, double& value);
