// The whole structural deck of a generated block of 1,000,000 nodes, fixed on one side and
// pressed on the opposite one, written to a real file in every section the structural feeder
// writes, beside the raw node-line writer in the same run. Reports seconds, MB/s and the
// process's peak memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "block_case.h"
#include "generated_deck.h"
#include "hostsim/host_sim.h"
#include "platform/files.h"
#include "runtime/return_package.h"

namespace {

const std::filesystem::path& CaseFolder() {
    static const bench::BlockCase block("structbench", 99);
    return block.Path();
}

using bench::DeckOnlyFeeder;

void BM_WholeStructuralDeck(benchmark::State& state) {
    HostSim host(CaseFolder());
    // The host generates its mesh and the indexes it answers from at the first questions; a
    // host has them before any solve, so one untimed deck comes first.
    {
        ReturnPackage package;
        DeckOnlyFeeder warmUp;
        if (warmUp.WriteWholeDeck(host.DataSource(), package, CaseFolder()) != 0)
            return state.SkipWithError("warm-up failed");
    }
    // What stays resident once a deck is written: the host's mesh and model and the
    // representation's caches; the peak above it is the feeder's own.
    const double hostResident = bench::ResidentMemoryMb();
    double bytes = 0.0;
    for (auto _ : state) {
        ReturnPackage package;
        DeckOnlyFeeder feeder;
        if (const int code = feeder.WriteWholeDeck(host.DataSource(), package, CaseFolder()); code != 0) {
            std::fprintf(stderr, "structural deck: code %d\n", code);
            return state.SkipWithError("the deck was not written");
        }
        bytes = static_cast<double>(platform::FileSize(CaseFolder() / "dorvix.dat"));
    }
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["deck MB"] = bytes / 1e6;
    state.counters["peak MB"] = bench::PeakMemoryMb();
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
