// The preferred or fallback table child of an imported load, its columns at a time, and number checks.
#include "deck/loads/imported_table_columns.h"

#include <cmath>
#include <limits>

namespace imported {

using NCAERep::NBC::CTable;

namespace {
const CTable* TableChild(const NCAERep::CCAERepBase& load, const wchar_t* type) {
    return dynamic_cast<const CTable*>(load.getChildByType(type));
}
}  // namespace

const CTable* FindImportedTable(const NCAERep::CCAERepBase& load, TablePreference first) {
    const wchar_t* preferred = first == TablePreference::kTable ? L"Table" : L"sTable";
    const wchar_t* other = first == TablePreference::kTable ? L"sTable" : L"Table";
    const CTable* table = TableChild(load, preferred);
    return table ? table : TableChild(load, other);
}

bool ReadColumnAt(const CTable& table, double time, const std::wstring& column, std::vector<double>& out) {
    out.clear();
    NCAERep::CPropertyValue value;
    if (!table.getColumnAtTimeZero(time, column, value)) return false;
    value.getValue(out);
    return true;
}

bool ReadValuesAt(const CTable& table, double time, std::vector<double>& out) {
    return ReadColumnAt(table, time, table.hasProperty(L"RealValue") ? L"RealValue" : L"Values", out);
}

bool ToInt(double value, int& out) {
    // Bounds one past the int range, so every value that truncates into it passes.
    constexpr double kBelow = static_cast<double>(std::numeric_limits<int>::min()) - 1.0;
    constexpr double kAbove = static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
    if (!std::isfinite(value) || value <= kBelow || value >= kAbove) return false;
    out = static_cast<int>(value);
    return true;
}

bool ToInts(const std::vector<double>& values, std::vector<int>& out) {
    out.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!ToInt(values[i], out[i])) return false;
    return true;
}

bool AllFinite(const std::vector<double>& values) {
    for (double value : values)
        if (!std::isfinite(value)) return false;
    return true;
}

std::wstring ReadText(const NCAERep::CCAERepBase& load, const std::wstring& name) {
    std::wstring text;
    if (const NCAERep::CPropertyValue* value = load.findProperty(name)) value->getValue(text);
    return text;
}

}  // namespace imported
