// A pressure on the six sides of a generated block of 1,000,000 nodes written by the pressure
// writer in load-case and in function form, beside the raw node-line writer in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "generated_deck.h"
#include "hostsim/host_sim.h"
#include "platform/files.h"
#include "pressure_feeder.h"
#include "runtime/return_package.h"
#include "scratch_folder.h"

namespace {

// 99 x 99 element faces on each of the six sides.
constexpr double kFaceLines = 6.0 * 99.0 * 99.0;

const std::filesystem::path& CaseFolder() {
    static const bench::ScratchFolder scratch("loadbench");
    static const bool written = [] {
        const std::filesystem::path& f = scratch.Path();
        std::filesystem::copy_file(
            std::filesystem::path(DORVIX_SOURCE_DIR) / "tests/data/cases/loads-pressure/CAERep.xml",
            f / "CAERep.xml");
        std::string json = R"({"partCount": 1,
 "bodies": [{"sequence": 0, "partIndex": 0, "kind": 0, "bodyMeshId": 10, "bodyId": 10, "partMeshId": 1}],
 "mesh": {"blocks": [{"element": "hexa8", "cells": [99, 99, 99], "size": [1, 1, 1], "part": 1, "body": 10,
                      "firstEntity": 101}]},
 "objectTable": {"stepCount": 2, "records": [{"id": 11, "hostType": 1, "name": "Pressure", "bodyIdText": "10",
   "scoping": {"references": [[101, 32], [102, 32], [103, 32], [104, 32], [105, 32], [106, 32]]}}]},
 "loads": {"unitSystem": 11, "records": [{"id": 11, "variables": [
   {"index": 1, "quantity": 205, "table": [[0, 0], [1, 100], [2, 300]]}]}]}})";
        return static_cast<bool>(std::ofstream(f / "host.json") << json);
    }();
    (void)written;
    return scratch.Path();
}

void WritePressure(benchmark::State& state, int steps) {
    HostSim host(CaseFolder());
    // The host generates its mesh and the indexes it answers from at the first questions; a
    // host has them before any solve, so one untimed pass comes first.
    {
        ReturnPackage package;
        bench::PressureFeeder warmUp(CaseFolder());
        if (!warmUp.Prepare(host, package, steps) || warmUp.WritePressureLoads(1) != 0)
            return state.SkipWithError("warm-up failed");
        (void)warmUp.GetDeckFile()->CloseDeck();
    }
    for (auto _ : state) {
        state.PauseTiming();
        ReturnPackage package;
        bench::PressureFeeder feeder(CaseFolder());
        if (!feeder.Prepare(host, package, steps)) return state.SkipWithError("cannot open the deck");
        state.ResumeTiming();
        if (feeder.WritePressureLoads(1) != 0) return state.SkipWithError("the pressure was refused");
        (void)feeder.GetDeckFile()->CloseDeck();
    }
    state.counters["lines/s"] = benchmark::Counter(kFaceLines, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PressureLoadCaseForm(benchmark::State& state) { WritePressure(state, 1); }
void BM_PressureFunctionForm(benchmark::State& state) { WritePressure(state, 2); }

void BM_RawNodeLines(benchmark::State& state) {
    bench::BenchOwner owner(CaseFolder().string());
    for (auto _ : state) {
        DorvixDeckFile deck(&owner);
        if (deck.Open("nodes.dat") != kRC_Success) return state.SkipWithError("cannot create the deck");
        bench::WriteGeneratedNodes(deck);
        deck.CloseDeck();
    }
    const double lines = static_cast<double>(bench::kSide) * bench::kSide * bench::kSide;
    state.counters["lines/s"] = benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_PressureLoadCaseForm)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PressureFunctionForm)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RawNodeLines)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
