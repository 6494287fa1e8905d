// The solver unit systems: 15 systems (codes 0 to 14, 12 left empty), each with 85 quantity
// slots. A slot knows the size of its unit in SI (so a conversion is a ratio of two slots)
// and the label of the unit. Temperatures convert through their offsets.
//
// A code may carry flags: 0x1000 puts temperatures in degrees Celsius, 0x2000 puts angles in
// degrees (the base systems use radians, and kelvin or Fahrenheit). The flags take part in the
// comparison of codes: 11 and 11 | 0x1000 differ in their temperature unit.
//
// Every quantity code and its unit in each system is listed in docs/unit-systems.md.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kUnitSystemCount = 15;
inline constexpr int kUnitQuantityCount = 85;
inline constexpr std::int32_t kUnitFlagCelsius = 0x1000;
inline constexpr std::int32_t kUnitFlagDegrees = 0x2000;

// Unit-system codes.
enum UnitSystemCode : std::int32_t {
    kUnitsMksStandard = 0,
    kUnitsCgsStandard = 1,
    kUnitsNmmStandard = 2,
    kUnitsBftStandard = 3,
    kUnitsBinStandard = 4,
    kUnitsSolverCgs = 5,
    kUnitsSolverNmm = 6,
    kUnitsSolverBft = 7,
    kUnitsSolverBin = 8,
    kUnitsUmksStandard = 9,
    kUnitsSolverUmks = 10,
    kUnitsSolverMks = 11,
    kUnitsEmpty = 12,
    kUnitsNmmTonStandard = 13,
    kUnitsNmmDatStandard = 14,
};

// Quantity slots the system refers to by number.
enum UnitQuantity : int {
    kQuantityNone = 0,
    kQuantityAngle = 1,
    kQuantityRotationalVelocity = 2,
    kQuantityArea = 3,
    kQuantityAcceleration = 4,
    kQuantityDensity = 6,
    kQuantityEnergy = 7,
    kQuantityForce = 8,
    kQuantityFrequency = 20,
    kQuantityLength = 26,
    kQuantityStress = 28,
    kQuantityMass = 30,
    kQuantityPower = 36,
    kQuantityTemperature = 49,
    kQuantityTime = 50,
    kQuantityVelocity = 51,
    kQuantityStefanBoltzmann = 83,
};

struct UnitSlot {
    std::string name;                      // quantity name, e.g. "Length"
    int angleExponent = 0;                 // power of the angle unit in the quantity
    int temperatureExponent = 0;           // power of the temperature interval (not for temperature)
    double factor = 0.0;                   // size of one unit in SI (temperature: size of one degree)
    double offset = 0.0;                   // temperature only: kelvin = value * factor + offset
    std::vector<std::string> numerator;    // base-unit labels above the line, e.g. {"N", "m"}
    std::vector<std::string> denominator;  // and below it, e.g. {"s"}
    std::string label;                     // the whole label, e.g. "(N*m/s)"
};

struct UnitSystem {
    std::string name;             // e.g. "JX_SOLV_MKS"; empty for the unused code 12
    std::vector<UnitSlot> slots;  // kUnitQuantityCount slots, or none for the unused code
};

class UnitSystemTable {
  public:
    UnitSystemTable();

    // The value converted between two systems. Unchanged when the codes are equal, and when
    // either system or the quantity is unknown: an unknown unit system never turns a value
    // into 0.
    double Convert(std::int32_t fromSystem, std::int32_t toSystem, int quantity, double value) const;
    // As Convert, answering false (value untouched) when a system or the quantity is unknown.
    bool TryConvert(std::int32_t fromSystem, std::int32_t toSystem, int quantity, double& value) const;
    // The unit label, e.g. "(m)", "(psi)", "(K)"; null for an unknown system or quantity.
    const char* GetUnitLabel(std::int32_t system, int quantity) const;
    // Whether the code (flags allowed) names one of the 14 defined systems.
    bool IsKnownSystem(std::int32_t system) const;
    // The system's name; null when unknown.
    const char* GetSystemName(std::int32_t system) const;
    // The slot of a known system and quantity (flags ignored), null otherwise.
    const UnitSlot* GetSlot(std::int32_t system, int quantity) const;

  private:
    // The unflagged systems and their variants with Celsius temperatures and degree angles,
    // built once: index = code + kUnitSystemCount * (flag combination 0..3).
    std::array<UnitSystem, 4 * kUnitSystemCount> variants_;
    const UnitSystem* Find(std::int32_t system) const;
};

// The process-wide table, created on first use and kept until the process ends.
const UnitSystemTable& GetUnitSystemTable();
