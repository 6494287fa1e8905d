// The unit names a material library may use, units built from them, and conversion to SI and into a system.
#include "hostsim/matml_units.h"

#include <cmath>
#include <string>

#include "foundation/unit_systems.h"

namespace {

struct UnitName {
    std::string_view name;
    double toSi;
    double mass, length, time, temperature;
    double offset;  // kelvin at zero of the scale, for absolute temperatures
};

constexpr double kPound = 0.45359237;                     // kg
constexpr double kPoundForce = kPound * 9.80665;          // N
constexpr double kSlug = kPoundForce / 0.3048;            // kg
constexpr double kPsi = kPoundForce / (0.0254 * 0.0254);  // Pa
constexpr double kBtu = 1055.05585262;                    // J (International Table)

// Written forms of the units a material library uses; each is spelled out (no prefix
// grammar) because the list is short and a misspelt unit must be refused, not guessed.
constexpr UnitName kUnitNames[] = {
    {"kg", 1.0, 1, 0, 0, 0, 0},
    {"g", 1e-3, 1, 0, 0, 0, 0},
    {"mg", 1e-6, 1, 0, 0, 0, 0},
    {"tonne", 1e3, 1, 0, 0, 0, 0},
    {"t", 1e3, 1, 0, 0, 0, 0},
    {"lbm", kPound, 1, 0, 0, 0, 0},
    {"slug", kSlug, 1, 0, 0, 0, 0},
    {"m", 1.0, 0, 1, 0, 0, 0},
    {"km", 1e3, 0, 1, 0, 0, 0},
    {"cm", 1e-2, 0, 1, 0, 0, 0},
    {"mm", 1e-3, 0, 1, 0, 0, 0},
    {"um", 1e-6, 0, 1, 0, 0, 0},
    {"ft", 0.3048, 0, 1, 0, 0, 0},
    {"in", 0.0254, 0, 1, 0, 0, 0},
    {"s", 1.0, 0, 0, 1, 0, 0},
    {"ms", 1e-3, 0, 0, 1, 0, 0},
    {"min", 60.0, 0, 0, 1, 0, 0},
    {"hr", 3600.0, 0, 0, 1, 0, 0},
    {"K", 1.0, 0, 0, 0, 1, 0},
    {"C", 1.0, 0, 0, 0, 1, 273.15},
    {"F", 5.0 / 9.0, 0, 0, 0, 1, 459.67 * 5.0 / 9.0},
    {"R", 5.0 / 9.0, 0, 0, 0, 1, 0},
    {"N", 1.0, 1, 1, -2, 0, 0},
    {"kN", 1e3, 1, 1, -2, 0, 0},
    {"mN", 1e-3, 1, 1, -2, 0, 0},
    {"dyne", 1e-5, 1, 1, -2, 0, 0},
    {"lbf", kPoundForce, 1, 1, -2, 0, 0},
    {"Pa", 1.0, 1, -1, -2, 0, 0},
    {"kPa", 1e3, 1, -1, -2, 0, 0},
    {"MPa", 1e6, 1, -1, -2, 0, 0},
    {"GPa", 1e9, 1, -1, -2, 0, 0},
    {"bar", 1e5, 1, -1, -2, 0, 0},
    {"psi", kPsi, 1, -1, -2, 0, 0},
    {"ksi", kPsi * 1e3, 1, -1, -2, 0, 0},
    {"J", 1.0, 1, 2, -2, 0, 0},
    {"mJ", 1e-3, 1, 2, -2, 0, 0},
    {"erg", 1e-7, 1, 2, -2, 0, 0},
    {"BTU", kBtu, 1, 2, -2, 0, 0},
    {"W", 1.0, 1, 2, -3, 0, 0},
    {"mW", 1e-3, 1, 2, -3, 0, 0},
};

const UnitName* FindUnitName(std::string_view name) {
    for (const UnitName& u : kUnitNames)
        if (u.name == name) return &u;
    return nullptr;
}

// One SI unit of the quantity expressed in the system's unit of it; 1 when the table does
// not know the system.
double SystemUnitsPerSiUnit(int systemCode, int quantity) {
    const UnitSlot* slot = GetUnitSystemTable().GetSlot(systemCode, quantity);
    return slot && slot->factor > 0.0 ? 1.0 / slot->factor : 1.0;
}

}  // namespace

bool MatmlUnit::MultiplyBy(std::string_view unitName, double power) {
    const UnitName* u = FindUnitName(unitName);
    if (!u) return false;
    toSiFactor *= std::pow(u->toSi, power);
    mass += u->mass * power;
    length += u->length * power;
    time += u->time * power;
    temperature += u->temperature * power;
    // Kept for the one case where it applies; Finish decides.
    toSiOffset = u->offset;
    return true;
}

void MatmlUnit::Finish() {
    absoluteTemperature = temperature == 1.0 && mass == 0.0 && length == 0.0 && time == 0.0;
    if (!absoluteTemperature) toSiOffset = 0.0;
}

double MatmlToSi(double value, const MatmlUnit& unit) { return value * unit.toSiFactor + unit.toSiOffset; }

double MatmlFromSi(double siValue, const MatmlUnit& unit, int systemCode) {
    if (unit.absoluteTemperature) {
        const UnitSlot* slot = GetUnitSystemTable().GetSlot(systemCode, kQuantityTemperature);
        return slot && slot->factor > 0.0 ? (siValue - slot->offset) / slot->factor : siValue;
    }
    double factor = 1.0;
    if (unit.mass != 0.0) factor *= std::pow(SystemUnitsPerSiUnit(systemCode, kQuantityMass), unit.mass);
    if (unit.length != 0.0)
        factor *= std::pow(SystemUnitsPerSiUnit(systemCode, kQuantityLength), unit.length);
    if (unit.time != 0.0) factor *= std::pow(SystemUnitsPerSiUnit(systemCode, kQuantityTime), unit.time);
    if (unit.temperature != 0.0)
        factor *= std::pow(SystemUnitsPerSiUnit(systemCode, kQuantityTemperature), unit.temperature);
    return siValue * factor;
}
