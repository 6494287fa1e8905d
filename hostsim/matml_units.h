// Units of the values in a MatML file and their conversion into the solver's unit systems.
// A unit is read from MatML's list of unit names with powers ("kg" and "m" to the power -3)
// and kept as a factor to SI with the exponents of mass, length, time and temperature.
// Conversion into a unit system takes the system's own mass, length and temperature units
// from the solver unit-system table, so that both sides agree on what a system means.
#pragma once

#include <string>
#include <string_view>

struct MatmlUnit {
    double toSiFactor = 1.0;
    // Added after the factor for absolute temperatures only (degrees Celsius to kelvin).
    double toSiOffset = 0.0;
    double mass = 0.0;
    double length = 0.0;
    double time = 0.0;
    double temperature = 0.0;
    // A single temperature unit to the power 1 is a temperature, not a temperature difference.
    bool absoluteTemperature = false;

    // Multiplies in one unit name raised to a power; false when the name is not known.
    bool MultiplyBy(std::string_view unitName, double power);
    // Marks the unit as an absolute temperature when it is one temperature unit alone.
    void Finish();
};

// The value in SI units.
double MatmlToSi(double value, const MatmlUnit& unit);

// The value converted into the solver unit system `systemCode` (0 to 14, flags masked off).
// An SI value of a system the unit-system table does not know comes back unchanged.
double MatmlFromSi(double siValue, const MatmlUnit& unit, int systemCode);
