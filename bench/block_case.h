// The case folders of generated blocks the host benchmarks load: a solid block of 8-node
// hexahedra fixed on its x-min side (entity 101) and pressed on its x-max side (entity 102), with
// the model representation and material library of the structural test case beside host.json;
// the feeder that writes a structural deck without running the solver; the process's memory.
#pragma once

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "deck/feeders/struct_dorvix_feeder.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "runtime/return_package.h"
#include "scratch_folder.h"

namespace bench {

// The source tree, whose test cases lend the benchmarks their model representations.
inline std::filesystem::path SourceFolder() { return DORVIX_SOURCE_DIR; }

// A temporary folder holding the case of a block of cells^3 hexahedra (cells + 1 nodes a side),
// removed when the program ends; `extraMembers` (", \"name\": value" pairs) end host.json's
// top-level object.
class BlockCase : public ScratchFolder {
  public:
    BlockCase(const char* tag, int cells, const std::string& extraMembers = "") : ScratchFolder(tag) {
        const std::filesystem::path& f = Path();
        const std::filesystem::path source = SourceFolder() / "tests/data/cases/struct-linear-static";
        std::filesystem::copy_file(source / "CAERep.xml", f / "CAERep.xml");
        std::filesystem::copy_file(source / "MatML.xml", f / "MatML.xml");
        const std::string n = std::to_string(cells);
        std::ofstream(f / "host.json")
            << R"({"analysisKind": 1, "partCount": 1, "deckUnitSystem": 11, "modelUnitSystem": 11,
 "referenceTemperature": {"unitSystem": 11, "value": 22.0},
 "bodies": [{"bodyId": 1, "bodyMeshId": 1, "partMeshId": 1, "partIndex": 0, "sequence": 0, "kind": 0}],
 "mesh": {"blocks": [{"element": "hexa8", "cells": [)" +
                   n + ", " + n + ", " + n + R"(], "size": [1, 1, 1], "part": 1, "body": 1}]},
 "selections": [{"reference": "Fixed Face", "entities": [{"reference": [101, 32], "id": 101, "bodyId": 1}]}],
 "objectTable": {"stepCount": 1, "records": [{"id": 11, "hostType": 1, "name": "Pressure",
   "scoping": {"references": [[102, 32]]}, "bodyIdText": "1"}]},
 "loads": {"unitSystem": 11, "records": [{"id": 11, "variables": [{"index": 1, "quantity": 205, "constant": 1000}]}]},
 "namedOptions": {"XENRADir": ")" +
                   f.string() + R"("})" + extraMembers + "}";
    }
};

// Every section of the structural deck in the feeder's order, without the solver run.
class DeckOnlyFeeder : public StructDorvixFeeder {
  public:
    [[nodiscard]] int WriteWholeDeck(TRVDataSourceItf& source, ReturnPackage& package,
                                     const std::filesystem::path& folder) {
        SetSolveArguments(&source, &package);
        int code = LoadCAERepresentation(platform::WideFromPath(folder / "CAERep.xml"), L"");
        if (code == 0) code = Open();
        if (code == 0) code = WriteAnalysisHeader();
        if (code == 0) code = SendModel();
        if (code == 0) code = WriteMiscellaneous();
        if (code == 0) code = WriteLoadsAndBCs();
        if (code == 0) code = WriteBeginCommands();
        if (code == 0) code = WriteInitialVelocity();
        if (code == 0) code = WriteTimeDefinitions();
        if (code == 0) code = WriteLoadCases();
        if (code == 0) code = WriteRunOptions(true);
        if (code == 0) code = WriteReturn();
        if (code == 0 && !GetDeckFile()->CloseDeck()) code = 3;
        return code;
    }
};

// The process's resident memory now, from /proc.
inline double ResidentMemoryMb() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// What the process holds allocated now (the allocator's count, not what the system lent it).
inline double AllocatedMb() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

inline double PeakMemoryMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace bench
