// Tables of imported loads: columns are list-of-double properties, one entry per row, with a
// "Time" column that groups the rows by time point.
#include <algorithm>

#include "caerep/core/cae_database.h"
#include "caerep/core/host_ports.h"
#include "caerep/model/bc_reps.h"

namespace NCAERep::NBC {

namespace {
const std::vector<double>* DoubleColumn(const CCAERepBase& table, const std::wstring& name) {
    const CPropertyValue* p = table.findProperty(name);
    return p ? std::get_if<std::vector<double>>(&p->storage()) : nullptr;
}
}  // namespace

bool CTable::getTimePoints(CPropertyValue& out) const {
    const std::vector<double>* time = DoubleColumn(*this, L"Time");
    if (!time) return false;
    std::vector<double> points = *time;
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    const CPropertyValue* column = findProperty(L"Time");
    out.setValue(std::move(points), column->quantityType(), column->units());
    return true;
}

bool CTable::getColumnAtTimeZero(double time, const std::wstring& column, CPropertyValue& out) const {
    const std::vector<double>* times = DoubleColumn(*this, L"Time");
    const std::vector<double>* values = DoubleColumn(*this, column);
    if (!times || !values || times->size() != values->size()) return false;
    auto first = std::find(times->begin(), times->end(), time);
    std::vector<double> entries;
    for (auto it = first; it != times->end() && *it == time; ++it)
        entries.push_back((*values)[static_cast<std::size_t>(it - times->begin())]);
    const CPropertyValue* source = findProperty(column);
    out.setValue(std::move(entries), source->quantityType(), source->units());
    return true;
}

int CExternalLoadRep::importLoadData(int solverUnits) {
    IHostModelProvider* host = getDatabase() ? getDatabase()->getHostProvider() : nullptr;
    return host ? host->importLoadData(*this, solverUnits) : 0;
}

}  // namespace NCAERep::NBC
