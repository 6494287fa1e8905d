// Imported node temperatures as ".CLT TFX NOEUD" blocks. A table whose columns do not fit
// together is left out whole: a half block would put temperatures on the wrong nodes.
#include <cmath>
#include <string>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "deck/loads/imported_table_columns.h"
#include "foundation/analysis_kind.h"
#include "foundation/number_format.h"

namespace {

using imported::TablePreference;

struct TemperatureRows {
    std::vector<int> nodes;
    std::vector<double> values;
};

// The node ids and temperatures of the time point; false when the load has no table, the
// columns differ in length, hold no row, or hold a number that cannot be written.
bool ReadTemperatureRows(const NCAERep::CCAERepBase& load, TablePreference first, double time,
                         TemperatureRows& rows) {
    const NCAERep::NBC::CTable* table = imported::FindImportedTable(load, first);
    if (!table || !std::isfinite(time)) return false;
    std::vector<double> ids;
    if (!imported::ReadValuesAt(*table, time, rows.values) ||
        !imported::ReadColumnAt(*table, time, L"EntityId", ids))
        return false;
    if (ids.size() != rows.values.size() || ids.empty()) return false;
    return imported::AllFinite(rows.values) && imported::ToInts(ids, rows.nodes);
}

double TimeOf(const NCAERep::CPropertyValue& time) {
    double value = 0.0;
    time.getValue(value);
    return value;
}

}  // namespace

int DorvixFeeder::WriteImportedTemperatureTable(const NCAERep::CCAERepBase& externalLoad,
                                                const NCAERep::CPropertyValue& time) try {
    if (analysisKind_ != kAnalysisEigen || !deckFile_) return kRC_Success;
    const double timeValue = TimeOf(time);
    TemperatureRows rows;
    if (!ReadTemperatureRows(externalLoad, TablePreference::kTable, timeValue, rows)) return kRC_Success;
    const std::string timeText = FormatGeneral15(timeValue);
    deckFile_->WriteLine(".CLT TFX NOEUD");
    for (std::size_t i = 0; i < rows.nodes.size(); ++i)
        deckFile_->WriteFields("  I", rows.nodes[i], "V", rows.values[i], "TIME", timeText);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing an imported temperature");
}

int DorvixFeeder::WriteImportedTemperatureTables(const NCAERep::CCAERepBase& externalLoad,
                                                 const NCAERep::CPropertyValue& time) try {
    if (!deckFile_) return kRC_Success;
    const double timeValue = TimeOf(time);
    TemperatureRows rows;
    if (!ReadTemperatureRows(externalLoad, TablePreference::kSTable, timeValue, rows)) return kRC_Success;
    const bool loadCases = UseLoadCases();
    const std::string timeText = FormatGeneral15(timeValue);
    deckFile_->WriteLine(".CLT TFX NOEUD");
    for (std::size_t i = 0; i < rows.nodes.size(); ++i) {
        if (loadCases)
            deckFile_->WriteFields("  I", rows.nodes[i], "V", rows.values[i]);
        else
            deckFile_->WriteFields("  I", rows.nodes[i], "V", rows.values[i], "TIME", timeText);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing an imported thermal condition");
}
