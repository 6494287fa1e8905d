// The whole structural deck of a generated block of 1,000,000 nodes, fixed on one side and
// pressed on the opposite one, written to a real file in every section the structural feeder
// writes, beside the raw node-line writer in the same run. Reports seconds, MB/s and the
// process's peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "deck/feeders/struct_dorvix_feeder.h"
#include "generated_deck.h"
#include "hostsim/host_sim.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "runtime/return_package.h"

namespace {

std::filesystem::path CaseFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path f = platform::CreateUniqueTemporaryFolder("structbench");
        std::filesystem::copy_file(std::filesystem::path(__FILE__).parent_path().parent_path() /
                                       "tests/data/cases/struct-linear-static/CAERep.xml",
                                   f / "CAERep.xml");
        std::filesystem::copy_file(std::filesystem::path(__FILE__).parent_path().parent_path() /
                                       "tests/data/cases/struct-linear-static/MatML.xml",
                                   f / "MatML.xml");
        const std::string json =
            R"({"analysisKind": 1, "partCount": 1, "deckUnitSystem": 11, "modelUnitSystem": 11,
 "referenceTemperature": {"unitSystem": 11, "value": 22.0},
 "bodies": [{"bodyId": 1, "bodyMeshId": 1, "partMeshId": 1, "partIndex": 0, "sequence": 0, "kind": 0}],
 "mesh": {"blocks": [{"element": "hexa8", "cells": [99, 99, 99], "size": [1, 1, 1], "part": 1, "body": 1}]},
 "selections": [{"reference": "Fixed Face", "entities": [{"reference": [101, 32], "id": 101, "bodyId": 1}]}],
 "objectTable": {"stepCount": 1, "records": [{"id": 11, "hostType": 1, "name": "Pressure",
   "scoping": {"references": [[102, 32]]}, "bodyIdText": "1"}]},
 "loads": {"unitSystem": 11, "records": [{"id": 11, "variables": [{"index": 1, "quantity": 205, "constant": 1000}]}]},
 "namedOptions": {"XENRADir": ")" +
            f.string() + R"("}})";
        std::ofstream(f / "host.json") << json;
        return f;
    }();
    return folder;
}

// Every section of the structural deck in the feeder's order, without the solver run.
class DeckOnlyFeeder : public StructDorvixFeeder {
  public:
    [[nodiscard]] int WriteWholeDeck(TRVDataSourceItf& source, ReturnPackage& package) {
        SetSolveArguments(&source, &package);
        int code = LoadCAERepresentation(platform::WideFromPath(CaseFolder() / "CAERep.xml"), L"");
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
double ResidentMemoryMb() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

double PeakMemoryMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_WholeStructuralDeck(benchmark::State& state) {
    HostSim host(CaseFolder());
    // The host generates its mesh and the indexes it answers from at the first questions; a
    // host has them before any solve, so one untimed deck comes first.
    {
        ReturnPackage package;
        DeckOnlyFeeder warmUp;
        if (warmUp.WriteWholeDeck(host.DataSource(), package) != 0)
            return state.SkipWithError("warm-up failed");
    }
    // What stays resident once a deck is written: the host's mesh and model and the
    // representation's caches; the peak above it is the feeder's own.
    const double hostResident = ResidentMemoryMb();
    double bytes = 0.0;
    for (auto _ : state) {
        ReturnPackage package;
        DeckOnlyFeeder feeder;
        if (const int code = feeder.WriteWholeDeck(host.DataSource(), package); code != 0) {
            std::fprintf(stderr, "structural deck: code %d\n", code);
            return state.SkipWithError("the deck was not written");
        }
        bytes = static_cast<double>(platform::FileSize(CaseFolder() / "dorvix.dat"));
    }
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["deck MB"] = bytes / 1e6;
    state.counters["peak MB"] = PeakMemoryMb();
    state.counters["host MB"] = hostResident;
}

void BM_RawNodeLines(benchmark::State& state) {
    bench::BenchOwner owner(CaseFolder().string());
    for (auto _ : state) {
        DorvixDeckFile deck(&owner);
        if (deck.Open("nodes.dat") != kRC_Success) return state.SkipWithError("cannot create the deck");
        bench::WriteGeneratedNodes(deck);
        deck.CloseDeck();
    }
    const double bytes = static_cast<double>(platform::FileSize(CaseFolder() / "nodes.dat"));
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_WholeStructuralDeck)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RawNodeLines)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
