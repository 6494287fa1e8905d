// Setting the frequency search range, and the reference temperature kept in one system, converted on access.
#include "settings/modal_controls.h"

#include "foundation/unit_systems.h"

void DorvixModalControls::SetFrequencyRange(double minFrequency, double maxFrequency) {
    if (minFrequency >= 0.0 && maxFrequency > minFrequency) minFrequency_ = minFrequency;
    if (maxFrequency > minFrequency_) maxFrequency_ = maxFrequency;
    if (minFrequency_ > maxFrequency_) minFrequency_ = maxFrequency_;
    rangeSearch_ = !(minFrequency_ == 0.0 && maxFrequency_ == 1e8);
}

double DorvixModalControls::GetRefTemperature(int unitSystem) const {
    return GetUnitSystemTable().Convert(kReferenceTemperatureSystem, unitSystem, kTemperatureQuantity,
                                        refTemperature_);
}

void DorvixModalControls::SetRefTemperature(double value, int unitSystem) {
    refTemperature_ =
        GetUnitSystemTable().Convert(unitSystem, kReferenceTemperatureSystem, kTemperatureQuantity, value);
}
