// A pressure on the six sides of a generated block of 1,000,000 nodes written by the pressure
// writer in load-case and in function form, beside the raw node-line writer in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "deck/dorvix_feeder.h"
#include "generated_deck.h"
#include "hostsim/host_sim.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "runtime/return_package.h"
#include "settings/settings_factory.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"

namespace {

// 99 x 99 element faces on each of the six sides.
constexpr double kFaceLines = 6.0 * 99.0 * 99.0;

std::filesystem::path CaseFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path f = platform::CreateUniqueTemporaryFolder("loadbench");
        std::filesystem::copy_file(std::filesystem::path(__FILE__).parent_path().parent_path() /
                                       "tests/data/cases/loads-pressure/CAERep.xml",
                                   f / "CAERep.xml");
        std::string json = R"({"partCount": 1,
 "bodies": [{"sequence": 0, "partIndex": 0, "kind": 0, "bodyMeshId": 10, "bodyId": 10, "partMeshId": 1}],
 "mesh": {"blocks": [{"element": "hexa8", "cells": [99, 99, 99], "size": [1, 1, 1], "part": 1, "body": 10,
                      "firstEntity": 101}]},
 "objectTable": {"stepCount": 2, "records": [{"id": 11, "hostType": 1, "name": "Pressure", "bodyIdText": "10",
   "scoping": {"references": [[101, 32], [102, 32], [103, 32], [104, 32], [105, 32], [106, 32]]}}]},
 "loads": {"unitSystem": 11, "records": [{"id": 11, "variables": [
   {"index": 1, "quantity": 205, "table": [[0, 0], [1, 100], [2, 300]]}]}]}})";
        std::ofstream(f / "host.json") << json;
        return f;
    }();
    return folder;
}

class BenchFeeder : public DorvixFeeder {
  public:
    BenchFeeder() : DorvixFeeder(1) {}
    int Feed(TRVDataSourceItf*, ReturnPackage*) override { return 0; }
    int CheckBoundaryConditions() override { return 0; }
    int WriteContacts() override { return 0; }
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name != "XENRADir") return DorvixFeeder::ReadNamedOption(name, text);
        text = CaseFolder().string();
        return true;
    }
    static bool failed(const char* what, int code) {
        std::fprintf(stderr, "%s: code %d\n", what, code);
        return false;
    }
    // Opens a deck over the case with the given number of steps ending at 1, 2, ...
    bool Prepare(HostSim& host, ReturnPackage& package, int steps) {
        SetSolveArguments(&host.DataSource(), &package);
        const int loaded = LoadCAERepresentation(platform::WideFromPath(CaseFolder() / "CAERep.xml"), L"");
        if (loaded != 0) return failed("model load", loaded);
        if (const int opened = Open(); opened != 0) return failed("deck open", opened);
        std::unique_ptr<DorvixSolutionSettings> settings = CreateDorvixSolutionSettings(0, 1);
        if (!settings) return failed("settings", 0);
        if (auto* list = settings->GetControlsAs<DorvixStepControlsList>(kStepListTag))
            (void)list->SetNumberOfSteps(steps);
        for (int s = 1; s <= steps; ++s)
            settings->GetStepControlsAs<DorvixStepControls>(s, kStepSelector)->StoreEndTime(s);
        AdoptSettings(std::move(settings));
        SetNumberOfSteps(steps);
        return true;
    }
};

void WritePressure(benchmark::State& state, int steps) {
    HostSim host(CaseFolder());
    // The host generates its mesh and the indexes it answers from at the first questions; a
    // host has them before any solve, so one untimed pass comes first.
    {
        ReturnPackage package;
        BenchFeeder warmUp;
        if (!warmUp.Prepare(host, package, steps) || warmUp.WritePressureLoads(1) != 0)
            return state.SkipWithError("warm-up failed");
        (void)warmUp.GetDeckFile()->CloseDeck();
    }
    for (auto _ : state) {
        state.PauseTiming();
        ReturnPackage package;
        BenchFeeder feeder;
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
