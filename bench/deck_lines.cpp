// Node and 8-node element lines of a generated mesh of 1,000,000 nodes written into a real
// deck file, beside an fprintf writer of the same lines in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "deck/deck_file.h"
#include "generated_deck.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

using bench::BenchOwner;
using bench::HexaNodes;
using bench::kSide;
using bench::NodeId;

const std::filesystem::path& BenchFolder() {
    static const bench::ScratchFolder folder("deckbench");
    return folder.Path();
}

void CountOutput(benchmark::State& state, const std::filesystem::path& file) {
    const double bytes = static_cast<double>(platform::FileSize(file));
    const double lines = static_cast<double>(kSide) * kSide * kSide + 99.0 * 99.0 * 99.0;
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["lines/s"] = benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = bytes / 1e6;
}

void BM_DeckFileNodesAndHexas(benchmark::State& state) {
    BenchOwner owner(BenchFolder().string());
    for (auto _ : state) {
        DorvixDeckFile deck(&owner);
        if (deck.Open("dorvix.dat") != kRC_Success) return state.SkipWithError("cannot create the deck");
        bench::WriteGeneratedMesh(deck);
        deck.CloseDeck();
    }
    CountOutput(state, BenchFolder() / "dorvix.dat");
}

void BM_FprintfNodesAndHexas(benchmark::State& state) {
    const std::filesystem::path file = BenchFolder() / "fprintf.dat";
    for (auto _ : state) {
        std::FILE* f = std::fopen(file.c_str(), "w");
        for (int k = 0; k < kSide; ++k)
            for (int j = 0; j < kSide; ++j)
                for (int i = 0; i < kSide; ++i)
                    std::fprintf(f, "  %8i%20.9E%20.9E%20.9E\n", NodeId(i, j, k), i * 0.01, j * 0.01,
                                 k * 0.0125);
        int n[8], id = 1;
        for (int k = 0; k + 1 < kSide; ++k)
            for (int j = 0; j + 1 < kSide; ++j)
                for (int i = 0; i + 1 < kSide; ++i) {
                    HexaNodes(i, j, k, n);
                    std::fprintf(f, "    I %d N %d %d %d %d 0 %d %d %d %d\n", id++, n[0], n[1], n[2], n[3],
                                 n[4], n[5], n[6], n[7]);
                }
        std::fclose(f);
    }
    CountOutput(state, file);
}

}  // namespace

BENCHMARK(BM_DeckFileNodesAndHexas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FprintfNodesAndHexas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
