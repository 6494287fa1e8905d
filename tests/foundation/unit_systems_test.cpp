// The unit-system table: conversions, temperatures, angles, labels, unknown systems, and the unit page.
#include "foundation/unit_systems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const UnitSystemTable& Table() { return GetUnitSystemTable(); }

TEST(UnitSystems, LengthAreaMassBetweenSystems) {
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, kQuantityLength, 1.5), 1500.0);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverNmm, kUnitsSolverCgs, kQuantityLength, 25.0), 2.5);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverBin, kUnitsSolverMks, kQuantityLength, 1.0), 0.0254);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverBft, kUnitsSolverBin, kQuantityLength, 1.0), 12.0);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverUmks, kQuantityLength, 1.0), 1e6);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, kQuantityArea, 1.0), 1e6);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverCgs, kQuantityMass, 2.0), 2000.0);
    // A slug is the mass that one pound-force accelerates at 1 ft/s^2.
    EXPECT_NEAR(Table().Convert(kUnitsSolverBft, kUnitsSolverMks, kQuantityMass, 1.0), 14.593902937, 1e-8);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsNmmTonStandard, kUnitsSolverMks, kQuantityMass, 1.0), 1000.0);
    EXPECT_NEAR(Table().Convert(kUnitsSolverMks, kUnitsSolverBin, kQuantityStress, 6894.757293168361), 1.0,
                1e-12);
    EXPECT_NEAR(Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, kQuantityVelocity, 2.0), 2000.0, 1e-9);
}

TEST(UnitSystems, PowerOverAreaScalesTheRadiationConstant) {
    // sigma in deck units = 5.669e-8 * c36 / c3 with cq = 1.0 converted from MKS.
    const double c36 = Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, kQuantityPower, 1.0);
    const double c3 = Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, kQuantityArea, 1.0);
    EXPECT_DOUBLE_EQ(c36, 1e6);  // one watt is 10^6 microwatt
    EXPECT_NEAR(5.669e-8 * c36 / c3, 5.669e-8, 1e-20);
}

TEST(UnitSystems, TemperatureThroughOffsets) {
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverBft, kQuantityTemperature, 273.15), 32.0);
    EXPECT_NEAR(Table().Convert(kUnitsSolverBin, kUnitsSolverMks, kQuantityTemperature, 212.0), 373.15, 1e-9);
    const int celsius = kUnitsSolverMks | kUnitFlagCelsius;
    EXPECT_NEAR(Table().Convert(kUnitsSolverMks, celsius, kQuantityTemperature, 300.0), 26.85, 1e-9);
    EXPECT_NEAR(Table().Convert(celsius, kUnitsSolverBin, kQuantityTemperature, 100.0), 212.0, 1e-9);
    // Flags count in the comparison of codes: these two differ.
    EXPECT_NE(Table().Convert(kUnitsSolverMks, celsius, kQuantityTemperature, 0.0), 0.0);
    // An interval per degree changes only with the size of the degree.
    EXPECT_NEAR(Table().Convert(kUnitsSolverMks, kUnitsSolverBft, 17, 1.8), 1.0, 1e-12);
}

TEST(UnitSystems, AnglesInDegreesWithTheFlag) {
    const int degrees = kUnitsSolverMks | kUnitFlagDegrees;
    EXPECT_NEAR(Table().Convert(kUnitsSolverMks, degrees, kQuantityAngle, 3.14159265358979323846), 180.0,
                1e-12);
    EXPECT_STREQ(Table().GetUnitLabel(degrees, kQuantityAngle), "(deg)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverMks, kQuantityAngle), "(rad)");
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, degrees, kQuantityLength, 2.0), 2.0);
}

TEST(UnitSystems, UnknownSystemsLeaveTheValueUnchanged) {
    for (int unknown : {-1, 12, 15, 99, 0x4000 | 11}) {
        EXPECT_DOUBLE_EQ(Table().Convert(unknown, kUnitsSolverMks, kQuantityLength, 2.5), 2.5) << unknown;
        EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverNmm, unknown, kQuantityLength, 2.5), 2.5) << unknown;
        double v = 4.0;
        EXPECT_FALSE(Table().TryConvert(unknown, kUnitsSolverNmm, kQuantityTemperature, v));
        EXPECT_EQ(v, 4.0);
        EXPECT_EQ(Table().GetUnitLabel(unknown, kQuantityTemperature), nullptr);
    }
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, 85, 2.5), 2.5);
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverMks, kUnitsSolverNmm, -1, 2.5), 2.5);
    EXPECT_EQ(Table().GetUnitLabel(kUnitsSolverMks, 85), nullptr);
}

TEST(UnitSystems, LabelsAndNames) {
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverMks, kQuantityTemperature), "(K)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverMks | kUnitFlagCelsius, kQuantityTemperature), "(C)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverBft, kQuantityTemperature), "(F)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverBin, kQuantityStress), "(psi)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverNmm, kQuantityLength), "(mm)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverMks, kQuantityArea), "(m^2)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverMks, kQuantityDensity), "(kg/m^3)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverMks, 15), "(W/(m*K))");
    EXPECT_STREQ(Table().GetSystemName(kUnitsSolverMks), "JX_SOLV_MKS");
    EXPECT_STREQ(Table().GetSystemName(kUnitsNmmDatStandard), "NMMDAT_STANDARD");
    EXPECT_EQ(Table().GetSystemName(kUnitsEmpty), nullptr);
    EXPECT_EQ(&GetUnitSystemTable(), &Table());
}

TEST(UnitSystems, EveryDefinedSlotIsUsable) {
    for (int system = 0; system < kUnitSystemCount; ++system) {
        if (system == kUnitsEmpty) continue;
        for (int q = 0; q < kUnitQuantityCount; ++q) {
            const UnitSlot* slot = Table().GetSlot(system, q);
            ASSERT_NE(slot, nullptr);
            EXPECT_GT(slot->factor, 0.0) << system << " " << q;
            EXPECT_FALSE(slot->name.empty());
            // There and back again.
            const double there = Table().Convert(system, kUnitsSolverMks, q, 123.25);
            EXPECT_NEAR(Table().Convert(kUnitsSolverMks, system, q, there), 123.25, 1e-9)
                << system << " " << q;
        }
    }
}

// The host's units service numbers its quantities as the table does; the property grid asks
// for these by number.
TEST(UnitSystems, CodesTheHostSharesNameTheirQuantity) {
    EXPECT_EQ(Table().GetSlot(kUnitsSolverMks, 20)->name, "Frequency");
    EXPECT_EQ(Table().GetSlot(kUnitsSolverMks, 50)->name, "Time");
    EXPECT_EQ(Table().GetSlot(kUnitsSolverMks, 1)->name, "Angle");
    EXPECT_EQ(Table().GetSlot(kUnitsSolverMks, 2)->name, "RotationalVelocity");
    EXPECT_EQ(Table().GetSlot(kUnitsSolverMks, 49)->name, "Temperature");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverBin, kQuantityTime), "(s)");
    EXPECT_STREQ(Table().GetUnitLabel(kUnitsSolverNmm, kQuantityFrequency), "(1/s)");
    EXPECT_DOUBLE_EQ(Table().Convert(kUnitsSolverBft, kUnitsSolverMks, kQuantityTime, 2.5), 2.5);
}

// Cells of a markdown table row, trimmed.
std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    std::getline(in, cell, '|');  // before the first bar
    while (std::getline(in, cell, '|')) {
        const auto first = cell.find_first_not_of(' ');
        const auto last = cell.find_last_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    }
    return cells;
}

// The unit page lists every code the add-in uses with its unit in each system, and all slots
// of every system; it must say what the table does.
TEST(UnitSystems, TheUnitPageDescribesTheTable) {
    std::ifstream page(DORVIX_SOURCE_DIR "/docs/unit-systems.md");
    ASSERT_TRUE(page.is_open());
    std::string line;
    std::vector<int> usedCodes, allColumns;
    int usedRows = 0, slotRows = 0;
    while (std::getline(page, line)) {
        if (line.rfind("| code | system |", 0) == 0) {
            for (const auto& c : Cells(line)) usedCodes.push_back(std::atoi(c.c_str()));
            continue;
        }
        if (line.rfind("| slot | quantity |", 0) == 0) {
            for (const auto& c : Cells(line)) allColumns.push_back(std::atoi(c.c_str()));
            continue;
        }
        if (line.rfind("| ", 0) != 0 || line.rfind("|---", 0) == 0) continue;
        const auto cells = Cells(line);
        if (allColumns.empty() && !usedCodes.empty() && cells.size() == usedCodes.size()) {
            const int system = std::atoi(cells[0].c_str());
            ++usedRows;
            for (std::size_t i = 2; i < cells.size(); ++i) {
                const int q = usedCodes[i];
                if (!Table().IsKnownSystem(system)) {
                    EXPECT_EQ(cells[i], "-") << system;
                    continue;
                }
                const auto blank = cells[i].find(' ');
                ASSERT_NE(blank, std::string::npos) << cells[i];
                EXPECT_EQ(cells[i].substr(0, blank), Table().GetUnitLabel(system, q)) << system << " " << q;
                const double factor = std::atof(cells[i].c_str() + blank + 1);
                EXPECT_NEAR(factor, Table().GetSlot(system, q)->factor, 1e-9 * factor) << system << " " << q;
            }
        } else if (!allColumns.empty() && cells.size() == allColumns.size()) {
            const int q = std::atoi(cells[0].c_str());
            ASSERT_EQ(q, slotRows++);
            EXPECT_EQ(cells[1], Table().GetSlot(kUnitsSolverMks, q)->name);
            for (std::size_t i = 2; i < cells.size(); ++i)
                EXPECT_EQ(cells[i], Table().GetUnitLabel(allColumns[i], q)) << allColumns[i] << " " << q;
        }
    }
    EXPECT_EQ(usedRows, kUnitSystemCount);
    EXPECT_EQ(slotRows, kUnitQuantityCount);
    for (int q : {1, 2, 3, 20, 26, 30, 36, 49, 50, 51})
        EXPECT_NE(std::find(usedCodes.begin(), usedCodes.end(), q), usedCodes.end()) << q;
    // The shared columns stand for systems with the same units.
    for (auto [a, b] : {std::pair{0, 11}, {1, 5}, {2, 6}, {3, 7}, {4, 8}, {9, 10}})
        for (int q = 0; q < kUnitQuantityCount; ++q)
            EXPECT_STREQ(Table().GetUnitLabel(a, q), Table().GetUnitLabel(b, q)) << a << " " << q;
}

}  // namespace
