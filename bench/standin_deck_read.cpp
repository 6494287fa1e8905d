// The stand-in solver's deck reader on the deck of a generated block of 1,000,000 nodes and
// 970,299 8-node hexahedra (the mesh of bench/deck_lines.cpp), written by the add-in's deck
// writer: read from the file in blocks, and from memory (no file reads).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "deck/deck_file.h"
#include "deck_reader.h"
#include "generated_deck.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

using bench::BenchOwner;
using bench::HexaNodes;
using bench::kSide;
using bench::NodeId;

// Written once per run.
const std::filesystem::path& Deck() {
    static const bench::ScratchFolder holder("standinbench");
    static const std::filesystem::path deck = [] {
        const std::filesystem::path& folder = holder.Path();
        BenchOwner owner(folder.string());
        DorvixDeckFile file(&owner);
        if (file.Open("dorvix.dat") != 0) return folder / "dorvix.dat";
        bench::WriteGeneratedMesh(file);
        file.WriteLine("RETURN");
        (void)file.CloseDeck();
        return folder / "dorvix.dat";
    }();
    return deck;
}

void Report(benchmark::State& state, const DeckSummary& summary) {
    if (summary.nodeIds.size() != 1000000u || summary.elementCount != 970299u || !summary.problems.empty())
        state.SkipWithError("the deck was not read as written");
    const double bytes = static_cast<double>(platform::FileSize(Deck()));
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = bytes / 1e6;
}

void BM_StandinReadDeckFile(benchmark::State& state) {
    DeckSummary summary;
    for (auto _ : state) summary = ReadDeck(Deck().string());
    Report(state, summary);
}

void BM_StandinReadDeckText(benchmark::State& state) {
    std::ifstream in(Deck(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string deck = text.str();
    DeckSummary summary;
    for (auto _ : state) summary = ReadDeckText(deck);
    Report(state, summary);
}

}  // namespace

BENCHMARK(BM_StandinReadDeckFile)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StandinReadDeckText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
