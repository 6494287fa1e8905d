// Reading an imported load's table: which child holds it, its columns at one time point, and
// the checks every imported-load writer makes before a number of the table reaches the deck.
#pragma once

#include <string>
#include <vector>

#include "caerep/model/bc_reps.h"

namespace imported {

// Which table child a writer looks for first; the other type is the fallback.
enum class TablePreference { kTable, kSTable };

// The load's table child of the preferred type, else of the other type; null when neither.
const NCAERep::NBC::CTable* FindImportedTable(const NCAERep::CCAERepBase& load, TablePreference first);

// The entries of the column for the rows of the time point. False when the table has no such
// column of doubles or it differs in length from "Time".
bool ReadColumnAt(const NCAERep::NBC::CTable& table, double time, const std::wstring& column,
                  std::vector<double>& out);

// "RealValue" when the table has that column, else "Values".
bool ReadValuesAt(const NCAERep::NBC::CTable& table, double time, std::vector<double>& out);

// An id or code stored as a double, truncated to an int; false when it is not finite or lies
// outside the int range.
bool ToInt(double value, int& out);
// Every entry as an int; false (out unspecified) at the first that is not one.
bool ToInts(const std::vector<double>& values, std::vector<int>& out);

bool AllFinite(const std::vector<double>& values);

// The load's string property, empty when it has none.
std::wstring ReadText(const NCAERep::CCAERepBase& load, const std::wstring& name);

}  // namespace imported
