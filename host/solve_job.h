// The host's record of the solve being run: what to write, where, with how much memory, and
// the initial conditions of the analysis.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "host/scoping_record.h"
#include "platform/path_text.h"

// Where an earlier solve's results lie (initial temperatures, prestress).
struct InitialConditionSource {
    std::wstring folder;
    std::wstring fileName;
    // The solver unit-system code (flags allowed) of the earlier solve's deck, which its
    // results are in; read sign-extended, as the host keeps it in 16 bits.
    std::uint16_t unitSystem = 0;

    const std::wstring& GetFolder() const { return folder; }
    const std::wstring& GetFileName() const { return fileName; }
    int GetUnitSystem() const { return static_cast<std::int16_t>(unitSystem); }
    // The result file: the folder joined with the file name as a path, so a folder without a
    // trailing separator still names the file in it. Empty without a file name.
    std::filesystem::path GetResultPath() const {
        if (fileName.empty()) return {};
        return platform::PathFromWide(folder) / platform::PathFromWide(fileName);
    }
};

struct InitialConditionEntry {
    // Structural: 1 none, 2 velocity, 5 refused. Thermal: 0 uniform, 1 from an earlier solve.
    // Eigen: the host id of the prestress environment, 0 for none.
    int kind = 0;
    // Degrees Celsius: the host's "unit system 11" for a temperature is 11 | 0x1000.
    double uniformTemperature = 0.0;
    double earlierSolutionTime = 0.0;
    double velocityX = 0.0;  // model unit system
    double velocityY = 0.0;
    double velocityZ = 0.0;
    ScopingRecord scoping;
    std::optional<InitialConditionSource> source;

    const InitialConditionSource* GetSource() const { return source ? &*source : nullptr; }
};

// Memory settings the host chose for the solver process.
struct SolverMemoryRecord {
    std::int32_t w0 = 0;
    std::int32_t zoneMemory = 0;  // w1
    std::int32_t coreMemory = 0;  // w2
    std::int32_t memoryMode = 0;  // w3
};

// One record serves both as the solve-job description and as the solution record that
// carries the initial-condition entry.
struct SolveJobRecord {
    // Write the deck only, copy it to copyTargetPath and start no solver.
    bool inputOnly = false;
    // Open no deck file and run nothing.
    bool writeNothing = false;
    std::wstring copyTargetPath;
    std::wstring geometryAttachFile;
    SolverMemoryRecord memory;
    std::optional<InitialConditionEntry> initialCondition;

    const InitialConditionEntry* GetInitialCondition() const {
        return initialCondition ? &*initialCondition : nullptr;
    }
};

// The host hands the reference temperature in unit system 11 meaning degrees Celsius
// (11 | 0x1000): 22 is room temperature. Whoever converts it adds the Celsius flag.
struct ReferenceTemperatureRecord {
    int unitSystem = 11;
    double temperature = 22.0;
};
