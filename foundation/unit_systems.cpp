// The base units of each system and the 85 quantity recipes, turned into slots, labels and conversions.
#include "foundation/unit_systems.h"

#include <cstdlib>
#include <map>

#include "foundation/constants.h"

namespace {

// One base unit of a system: its label and its size in SI.
struct BaseUnit {
    const char* label;
    double factor;
};

// The symbols a quantity recipe is made of: L length, M mass, T time, K temperature
// interval, A angle, F force, S stress, E energy, W power, I current, V voltage, O resistance.
struct SystemUnits {
    const char* name;
    std::map<char, BaseUnit> units;
    BaseUnit temperature;      // label and interval of the temperature unit
    double temperatureOffset;  // kelvin = value * interval + offset
};

constexpr double kFoot = 0.3048;
constexpr double kInch = 0.0254;
constexpr double kPoundForce = 4.4482216152605;
constexpr double kFahrenheitInterval = 5.0 / 9.0;
constexpr double kFahrenheitOffset = 273.15 - 32.0 * 5.0 / 9.0;

SystemUnits Metric(const char* name, BaseUnit length, BaseUnit mass, BaseUnit force, BaseUnit stress,
                   BaseUnit energy, BaseUnit power) {
    return {name,
            {{'L', length},
             {'M', mass},
             {'T', {"s", 1.0}},
             {'K', {"K", 1.0}},
             {'A', {"rad", 1.0}},
             {'F', force},
             {'S', stress},
             {'E', energy},
             {'W', power},
             {'I', {"A", 1.0}},
             {'V', {"V", 1.0}},
             {'O', {"ohm", 1.0}}},
            {"K", 1.0},
            0.0};
}

SystemUnits Imperial(const char* name, BaseUnit length, BaseUnit mass, BaseUnit stress, BaseUnit energy,
                     BaseUnit power) {
    SystemUnits s = Metric(name, length, mass, {"lbf", kPoundForce}, stress, energy, power);
    s.units['K'] = {"F", kFahrenheitInterval};
    s.temperature = {"F", kFahrenheitInterval};
    s.temperatureOffset = kFahrenheitOffset;
    return s;
}

// The base units of the 15 codes; code 12 is left empty.
std::array<SystemUnits, kUnitSystemCount> BaseSystems() {
    const SystemUnits mks =
        Metric("", {"m", 1.0}, {"kg", 1.0}, {"N", 1.0}, {"Pa", 1.0}, {"J", 1.0}, {"W", 1.0});
    const SystemUnits cgs = Metric("", {"cm", 0.01}, {"g", 0.001}, {"dyne", 1e-5}, {"dyne/cm^2", 0.1},
                                   {"erg", 1e-7}, {"erg/s", 1e-7});
    // Millimetre, kilogram, second: force in millinewton, stress in kilopascal.
    const SystemUnits nmm =
        Metric("", {"mm", 1e-3}, {"kg", 1.0}, {"mN", 1e-3}, {"kPa", 1e3}, {"uJ", 1e-6}, {"uW", 1e-6});
    // Foot, slug, second, pound-force.
    const SystemUnits bft = Imperial("", {"ft", kFoot}, {"slug", kPoundForce / kFoot},
                                     {"lbf/ft^2", kPoundForce / (kFoot * kFoot)},
                                     {"ft*lbf", kPoundForce * kFoot}, {"ft*lbf/s", kPoundForce * kFoot});
    // Inch, pound-force second squared per inch, second, pound-force.
    const SystemUnits bin = Imperial("", {"in", kInch}, {"lbf*s^2/in", kPoundForce / kInch},
                                     {"psi", kPoundForce / (kInch * kInch)}, {"in*lbf", kPoundForce * kInch},
                                     {"in*lbf/s", kPoundForce * kInch});
    // Micrometre, kilogram, second: micronewton and megapascal.
    const SystemUnits umks =
        Metric("", {"um", 1e-6}, {"kg", 1.0}, {"uN", 1e-6}, {"MPa", 1e6}, {"pJ", 1e-12}, {"pW", 1e-12});
    // Millimetre, tonne, second: newton and megapascal.
    const SystemUnits nmmton =
        Metric("", {"mm", 1e-3}, {"tonne", 1e3}, {"N", 1.0}, {"MPa", 1e6}, {"mJ", 1e-3}, {"mW", 1e-3});
    // Millimetre, decatonne, second: decanewton and decanewton per square millimetre.
    const SystemUnits nmmdat = Metric("", {"mm", 1e-3}, {"dat", 1e4}, {"daN", 10.0}, {"daN/mm^2", 1e7},
                                      {"daN*mm", 1e-2}, {"daN*mm/s", 1e-2});
    auto named = [](SystemUnits s, const char* name) {
        s.name = name;
        return s;
    };
    SystemUnits empty{"", {}, {"", 0.0}, 0.0};
    return {named(mks, "MKS_STANDARD"),
            named(cgs, "CGS_STANDARD"),
            named(nmm, "NMM_STANDARD"),
            named(bft, "BFT_STANDARD"),
            named(bin, "BIN_STANDARD"),
            named(cgs, "JX_SOLV_CGS"),
            named(nmm, "JX_SOLV_NMM"),
            named(bft, "JX_SOLV_BFT"),
            named(bin, "JX_SOLV_BIN"),
            named(umks, "UMKS_STANDARD"),
            named(umks, "JX_SOLV_UMKS"),
            named(mks, "JX_SOLV_MKS"),
            empty,
            named(nmmton, "NMMTON_STANDARD"),
            named(nmmdat, "NMMDAT_STANDARD")};
}

// The 85 quantities: name and recipe (symbols with optional integer exponents). The slot
// numbers are the quantity codes the host's units service uses too (1 angle, 20 frequency,
// 26 length, 49 temperature, 50 time ...), so one code names one quantity everywhere.
struct QuantityRecipe {
    const char* name;
    const char* recipe;
};

constexpr QuantityRecipe kQuantities[kUnitQuantityCount] = {
    {"NoUnits", ""},
    {"Angle", "A"},
    {"RotationalVelocity", "A T-1"},
    {"Area", "L2"},
    {"Acceleration", "L T-2"},
    {"RotationalAcceleration", "A T-2"},
    {"Density", "M L-3"},
    {"Energy", "E"},
    {"Force", "F"},
    {"ForcePerLength", "F L-1"},
    {"MassMomentOfInertia", "M L2"},
    {"TemperatureDifference", "K"},
    {"HeatFlux", "W L-2"},
    {"HeatGeneration", "W L-3"},
    {"ConvectionCoefficient", "W L-2 K-1"},
    {"ThermalConductivity", "W L-1 K-1"},
    {"SpecificHeat", "E M-1 K-1"},
    {"ThermalExpansion", "K-1"},
    {"Moment", "F L"},
    {"AreaMomentOfInertia", "L4"},
    {"Frequency", "T-1"},
    {"Stiffness", "F L-1"},
    {"RotationalStiffness", "F L A-1"},
    {"Damping", "F T L-1"},
    {"RotationalDamping", "F L T A-1"},
    {"Volume", "L3"},
    {"Length", "L"},
    {"Pressure", "S"},
    {"Stress", "S"},
    {"Strain", ""},
    {"Mass", "M"},
    {"Displacement", "L"},
    {"Rotation", "A"},
    {"ElasticModulus", "S"},
    {"Impulse", "F T"},
    {"ThermalCapacitance", "E K-1"},
    {"Power", "W"},
    {"EnergyDensity", "E L-3"},
    {"StrainRate", "T-1"},
    {"DynamicViscosity", "S T"},
    {"KinematicViscosity", "L2 T-1"},
    {"ForcePerVolume", "F L-3"},
    {"MassFlowRate", "M T-1"},
    {"VolumeFlowRate", "L3 T-1"},
    {"MassPerLength", "M L-1"},
    {"MassPerArea", "M L-2"},
    {"SectionModulus", "L3"},
    {"TemperatureGradient", "K L-1"},
    {"ThermalResistance", "K W-1"},
    {"Temperature", "K"},
    {"Time", "T"},
    {"Velocity", "L T-1"},
    {"Jerk", "L T-3"},
    {"ElectricCurrent", "I"},
    {"ElectricPotential", "V"},
    {"ElectricResistance", "O"},
    {"ElectricResistivity", "O L"},
    {"ElectricConductivity", "O-1 L-1"},
    {"ElectricCharge", "I T"},
    {"CurrentDensity", "I L-2"},
    {"ElectricField", "V L-1"},
    {"Capacitance", "I T V-1"},
    {"Permittivity", "I T V-1 L-1"},
    {"Inductance", "V T I-1"},
    {"MagneticFlux", "V T"},
    {"MagneticFluxDensity", "V T L-2"},
    {"MagneticFieldIntensity", "I L-1"},
    {"Permeability", "V T I-1 L-1"},
    {"SpecificEnergy", "E M-1"},
    {"SpecificVolume", "L3 M-1"},
    {"Compliance", "L F-1"},
    {"AngularMomentum", "M L2 T-1"},
    {"Momentum", "M L T-1"},
    {"ThermalDiffusivity", "L2 T-1"},
    {"HeatFlowPerLength", "W L-1"},
    {"EnergyPerArea", "E L-2"},
    {"NormalStiffnessPerArea", "F L-3"},
    {"InverseLength", "L-1"},
    {"InverseArea", "L-2"},
    {"Torque", "F L"},
    {"StiffnessPerLength", "F L-2"},
    {"DampingPerArea", "F T L-3"},
    {"VolumetricHeatCapacity", "E L-3 K-1"},
    {"StefanBoltzmannConstant", "W L-2 K-4"},
    {"Twist", "A L-1"},
};

// A compound unit such as "in*lbf/s" is bracketed when it is combined with another unit.
void AppendUnit(std::string& label, const std::string& unit, int power, bool combined) {
    if (!label.empty()) label += '*';
    const bool bracket = (combined || power > 1) && unit.find_first_of("*/") != std::string::npos;
    if (bracket) label += '[';
    label += unit;
    if (bracket) label += ']';
    if (power > 1) label.append(1, '^').append(std::to_string(power));
}

// "(above/below)", "(above/(below))" for several units below, "(1/below)", "()" for none.
std::string ComposeLabel(const std::string& above, const std::string& below, bool group) {
    std::string label(1, '(');
    if (!above.empty()) label.append(above);
    if (above.empty() && !below.empty()) label.push_back('1');
    if (!below.empty()) {
        label.push_back('/');
        if (group) label.push_back('(');
        label.append(below);
        if (group) label.push_back(')');
    }
    label.push_back(')');
    return label;
}

// Builds one slot of a quantity in a system (flags already applied to its units).
UnitSlot MakeSlot(const QuantityRecipe& q, const SystemUnits& units, double temperatureOffset) {
    UnitSlot slot;
    slot.name = q.name;
    slot.factor = 1.0;
    const std::string recipe = q.recipe;
    const bool combined = recipe.find(' ') != std::string::npos;
    std::string above, below;
    int belowUnits = 0;
    for (std::size_t i = 0; i < recipe.size();) {
        const char symbol = recipe[i++];
        int power = 1;
        if (i < recipe.size() && recipe[i] != ' ') {
            char* end = nullptr;
            power = static_cast<int>(std::strtol(recipe.c_str() + i, &end, 10));
            i = static_cast<std::size_t>(end - recipe.c_str());
        }
        while (i < recipe.size() && recipe[i] == ' ') ++i;
        const BaseUnit& unit = units.units.at(symbol);
        for (int k = 0; k < (power < 0 ? -power : power); ++k)
            slot.factor = power < 0 ? slot.factor / unit.factor : slot.factor * unit.factor;
        for (int k = 0; k < (power < 0 ? -power : power); ++k)
            (power < 0 ? slot.denominator : slot.numerator).push_back(unit.label);
        AppendUnit(power < 0 ? below : above, unit.label, power < 0 ? -power : power, combined);
        if (power < 0) ++belowUnits;
        if (symbol == 'A') slot.angleExponent += power;
        if (symbol == 'K') slot.temperatureExponent += power;
    }
    if (slot.name == "Temperature") {
        slot.offset = temperatureOffset;
        slot.temperatureExponent = 0;
    }
    slot.label = ComposeLabel(above, below, belowUnits > 1);
    return slot;
}

UnitSystem BuildSystem(SystemUnits units, bool celsius, bool degrees) {
    UnitSystem system;
    system.name = units.name;
    if (units.units.empty()) return system;
    double offset = units.temperatureOffset;
    if (celsius) {
        units.units['K'] = {"C", 1.0};
        offset = 273.15;
    }
    if (degrees) units.units['A'] = {"deg", kRadiansPerDegree};
    system.slots.reserve(kUnitQuantityCount);
    for (const QuantityRecipe& q : kQuantities) system.slots.push_back(MakeSlot(q, units, offset));
    return system;
}

}  // namespace

UnitSystemTable::UnitSystemTable() {
    const auto base = BaseSystems();
    for (int flags = 0; flags < 4; ++flags)
        for (int code = 0; code < kUnitSystemCount; ++code)
            variants_[code + kUnitSystemCount * flags] = BuildSystem(base[code], flags & 1, flags & 2);
}

const UnitSystem* UnitSystemTable::Find(std::int32_t system) const {
    if (system < 0) return nullptr;
    const std::int32_t code = system & ~(kUnitFlagCelsius | kUnitFlagDegrees);
    if (code >= kUnitSystemCount) return nullptr;
    const int flags = (system & kUnitFlagCelsius ? 1 : 0) | (system & kUnitFlagDegrees ? 2 : 0);
    const UnitSystem& s = variants_[code + kUnitSystemCount * flags];
    return s.slots.empty() ? nullptr : &s;
}

bool UnitSystemTable::IsKnownSystem(std::int32_t system) const { return Find(system) != nullptr; }

const char* UnitSystemTable::GetSystemName(std::int32_t system) const {
    const UnitSystem* s = Find(system);
    return s ? s->name.c_str() : nullptr;
}

const UnitSlot* UnitSystemTable::GetSlot(std::int32_t system, int quantity) const {
    const UnitSystem* s = Find(system);
    if (!s || quantity < 0 || quantity >= kUnitQuantityCount) return nullptr;
    return &s->slots[quantity];
}

const char* UnitSystemTable::GetUnitLabel(std::int32_t system, int quantity) const {
    const UnitSlot* slot = GetSlot(system, quantity);
    return slot ? slot->label.c_str() : nullptr;
}

bool UnitSystemTable::TryConvert(std::int32_t fromSystem, std::int32_t toSystem, int quantity,
                                 double& value) const {
    const UnitSlot* from = GetSlot(fromSystem, quantity);
    const UnitSlot* to = GetSlot(toSystem, quantity);
    if (!from || !to) return false;
    if (fromSystem == toSystem) return true;
    if (quantity == kQuantityTemperature) {
        value = (value * from->factor + from->offset - to->offset) / to->factor;
    } else {
        value = value * (from->factor / to->factor);
    }
    return true;
}

double UnitSystemTable::Convert(std::int32_t fromSystem, std::int32_t toSystem, int quantity,
                                double value) const {
    TryConvert(fromSystem, toSystem, quantity, value);
    return value;
}

const UnitSystemTable& GetUnitSystemTable() {
    static const UnitSystemTable table;
    return table;
}
