// Imported loads of one load step: each "ExternalLoad" contributes the data of the time point
// that is the end time of the step being written. A time point that no step ends at would
// never be written, so it stops the deck instead of being dropped.
#include <cmath>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "deck/dorvix_feeder.h"
#include "deck/loads/imported_table_columns.h"
#include "foundation/number_format.h"
#include "platform/text.h"

namespace {

using imported::TablePreference;

// Times at or below this are zero.
constexpr double kZeroTime = 1e-15;
// y matches x within |y| / kRelativeTimeDivisor.
constexpr double kRelativeTimeDivisor = 1e10;

// Whether the time x is matched by the time y; the tolerance is relative to y. A time that
// is not finite matches nothing (NaN would otherwise pass the zero test).
bool IsTimeMatchedBy(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    if (std::fabs(x) > kZeroTime) return std::fabs(x - y) <= std::fabs(y) / kRelativeTimeDivisor;
    return std::fabs(y) <= kZeroTime;
}

}  // namespace

int DorvixFeeder::WriteImportedLoads(int step) try {
    std::vector<NCAERep::CIdentity> loads;
    inputRoot_->getIdentitiesByType(NCAERep::NBC::CExternalLoadRep::kTypeName, loads);
    if (loads.empty()) return kRC_Success;
    if (!deckFile_) return kRC_MissingData;

    for (const NCAERep::CIdentity& identity : loads) {
        const NCAERep::CCAERepBase* load = inputDatabase_.getObject(identity);
        if (!load) return kRC_ModelLoadFailed;
        const NCAERep::NBC::CTable* table = imported::FindImportedTable(*load, TablePreference::kTable);
        NCAERep::CPropertyValue timeColumn;
        if (!table || !table->getTimePoints(timeColumn)) return kRC_ModelLoadFailed;
        std::vector<double> timePoints;
        timeColumn.getValue(timePoints);
        if (timePoints.empty()) return kRC_ModelLoadFailed;

        for (double timePoint : timePoints) {
            bool isStepEnd = false;
            for (int i = 1; i <= numberOfSteps_ && !isStepEnd; ++i) {
                double endTime = 0.0;
                if (const int code = GetStepEndTime(i, endTime); code != kRC_Success) return code;
                isStepEnd = IsTimeMatchedBy(timePoint, endTime);
            }
            if (!isStepEnd) {
                PostHostMessage(L"Imported load \"" + imported::ReadText(*load, L"Caption") + L"\": time " +
                                    platform::Utf8ToWide(FormatGeneral15(timePoint)) +
                                    L" is not the end time of a load step",
                                L"Error");
                return kRC_ImportedTimeNotStepEnd;
            }
            if (!IsTimeMatchedBy(currentStepEndTime_, timePoint)) continue;
            if (const int code = WriteImportedLoadBlock(*load, timePoint, timeColumn, step);
                code != kRC_Success)
                return code;
        }
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the imported loads");
}

int DorvixFeeder::WriteImportedLoadBlock(const NCAERep::CCAERepBase& load, double timePoint,
                                         const NCAERep::CPropertyValue& timeColumn, int step) {
    const std::wstring caption = imported::ReadText(load, L"Caption");
    deckFile_->WriteLine("! ~~~~~~~~~~~~ Create Imported Load \"" + platform::WideToUtf8(caption) +
                         "\" (step " + std::to_string(step) + ") ~~~~~~~~~~~~");
    NCAERep::CPropertyValue time;
    time.setValue(timePoint, timeColumn.quantityType(), timeColumn.units());

    const std::wstring type = imported::ReadText(load, L"ExternalLoadType");
    if (type == L"ImportedPressure") return WriteImportedSurfaceLoadTables(load, time, step);
    if (type == L"ImportedTemperature") return WriteImportedTemperatureTable(load, time);
    if (type == L"ImportedThermalCondition") return WriteImportedTemperatureTables(load, time);
    // Thickness is part of the model section.
    if (type == L"ImportedThickness") return kRC_Success;
    PostHostMessage(
        L"Imported load \"" + caption + L"\": the solver takes no load of the type \"" + type + L"\"",
        L"Error");
    return kRC_MissingData;
}
