// A pressure given by a table of 5,000 and of 50,000 rows in time, written by the pressure
// writer in function form (two steps) on one side of a small block, in the same run: the
// writer asks the host for the value at every row's time, so the rows per second show whether a
// value costs the same in a long table as in a short one.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "block_case.h"
#include "hostsim/host_sim.h"
#include "platform/files.h"
#include "pressure_feeder.h"
#include "runtime/return_package.h"

namespace {

constexpr int kSteps = 2;

// A case folder per table length, written once: rows at even times from 0 to the last step's
// end, values a smooth curve.
const std::filesystem::path& CaseFolder(int rows) {
    static std::map<int, bench::ScratchFolder> folders;
    auto it = folders.find(rows);
    if (it != folders.end()) return it->second.Path();
    const std::filesystem::path& f = folders.try_emplace(rows, "tablebench").first->second.Path();
    std::filesystem::copy_file(bench::SourceFolder() / "tests/data/cases/loads-pressure/CAERep.xml",
                               f / "CAERep.xml");
    std::string table;
    for (int r = 0; r < rows; ++r) {
        const double t = kSteps * static_cast<double>(r) / (rows - 1);
        table +=
            (r ? ", [" : "[") + std::to_string(t) + ", " + std::to_string(1000.0 + 100.0 * std::sin(t)) + "]";
    }
    std::ofstream(f / "host.json") << R"({"partCount": 1,
 "bodies": [{"sequence": 0, "partIndex": 0, "kind": 0, "bodyMeshId": 10, "bodyId": 10, "partMeshId": 1}],
 "mesh": {"blocks": [{"element": "hexa8", "cells": [4, 4, 4], "size": [1, 1, 1], "part": 1, "body": 10,
                      "firstEntity": 101}]},
 "objectTable": {"stepCount": 2, "records": [{"id": 11, "hostType": 1, "name": "Pressure", "bodyIdText": "10",
   "scoping": {"references": [[102, 32]]}}]},
 "loads": {"unitSystem": 11, "records": [{"id": 11, "variables": [
   {"index": 1, "quantity": 205, "table": [)" +
                                          table + "]}]}]}}";
    return f;
}

void BM_PressureTable(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    HostSim host(CaseFolder(rows));
    for (auto _ : state) {
        state.PauseTiming();
        ReturnPackage package;
        bench::PressureFeeder feeder(CaseFolder(rows));
        if (!feeder.Prepare(host, package, kSteps)) return state.SkipWithError("cannot open the deck");
        state.ResumeTiming();
        if (feeder.WritePressureLoads(1) != 0) return state.SkipWithError("the pressure was refused");
        (void)feeder.GetDeckFile()->CloseDeck();
    }
    state.counters["rows/s"] = benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_PressureTable)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
