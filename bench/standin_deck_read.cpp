// The stand-in solver's deck reader on the deck of a generated block of 1,000,000 nodes and
// 970,299 8-node hexahedra (the mesh of bench/deck_lines.cpp), written by the add-in's deck
// writer: read from the file in blocks, and from memory (no file reads).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "deck/return_codes.h"
#include "deck_reader.h"
#include "platform/files.h"

namespace {

constexpr int kSide = 100;  // 100^3 nodes, 99^3 hexahedra

class BenchOwner : public DeckFileOwner {
  public:
    explicit BenchOwner(std::string folder) : folder_(std::move(folder)) {}
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name != "XENRADir") return false;
        text = folder_;
        return true;
    }
    int GetAnalysisKind() const override { return 1; }
    int GetNonLinearFlag() const override { return 0; }
    bool IsPrestressedStatic() override { return false; }
    bool IsBucklingAnalysis() override { return false; }
    int GetNumberOfSteps() const override { return 1; }
    bool IsPrestressedModalIntent() const override { return false; }
    void PostHostMessage(const std::wstring&, const std::wstring&) override {}

  private:
    std::string folder_;
};

int NodeId(int i, int j, int k) { return 1 + i + kSide * (j + kSide * k); }

// Holds the deck for the run and removes it at the end.
class DeckFolder {
  public:
    DeckFolder() : path_(platform::CreateUniqueTemporaryFolder("standinbench")) {}
    ~DeckFolder() { platform::DeleteFolderTree(path_); }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Written once per run; an empty path when it cannot be written, which the readers then report.
const std::filesystem::path& Deck() {
    static const DeckFolder holder;
    static const std::filesystem::path deck = [] {
        const std::filesystem::path& folder = holder.Path();
        BenchOwner owner(folder.string());
        DorvixDeckFile file(&owner);
        if (file.Open("dorvix.dat") != kRC_Success) return std::filesystem::path();
        for (int k = 0; k < kSide; ++k)
            for (int j = 0; j < kSide; ++j)
                for (int i = 0; i < kSide; ++i)
                    file.WriteNode(NodeId(i, j, k), i * 0.01, j * 0.01, k * 0.0125);
        int id = 1;
        for (int k = 0; k + 1 < kSide; ++k)
            for (int j = 0; j + 1 < kSide; ++j)
                for (int i = 0; i + 1 < kSide; ++i) {
                    const int n[8] = {NodeId(i, j, k),
                                      NodeId(i + 1, j, k),
                                      NodeId(i + 1, j + 1, k),
                                      NodeId(i, j + 1, k),
                                      NodeId(i, j, k + 1),
                                      NodeId(i + 1, j, k + 1),
                                      NodeId(i + 1, j + 1, k + 1),
                                      NodeId(i, j + 1, k + 1)};
                    file.WriteHexa(id++, 8, n);
                }
        file.WriteLine("RETURN");
        if (!file.CloseDeck()) return std::filesystem::path();
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
