// Node and 8-node element lines of a generated mesh of 1,000,000 nodes written into a real
// deck file, beside an fprintf writer of the same lines in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "deck/return_codes.h"
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

void HexaNodes(int i, int j, int k, int* n) {
    n[0] = NodeId(i, j, k);
    n[1] = NodeId(i + 1, j, k);
    n[2] = NodeId(i + 1, j + 1, k);
    n[3] = NodeId(i, j + 1, k);
    n[4] = NodeId(i, j, k + 1);
    n[5] = NodeId(i + 1, j, k + 1);
    n[6] = NodeId(i + 1, j + 1, k + 1);
    n[7] = NodeId(i, j + 1, k + 1);
}

std::filesystem::path BenchFolder() {
    static const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("deckbench");
    return folder;
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
        if (deck.Open("dorvix.dat") != kRC_Success) {
            state.SkipWithError("the deck cannot be created");
            return;
        }
        for (int k = 0; k < kSide; ++k)
            for (int j = 0; j < kSide; ++j)
                for (int i = 0; i < kSide; ++i)
                    deck.WriteNode(NodeId(i, j, k), i * 0.01, j * 0.01, k * 0.0125);
        int n[8], id = 1;
        for (int k = 0; k + 1 < kSide; ++k)
            for (int j = 0; j + 1 < kSide; ++j)
                for (int i = 0; i + 1 < kSide; ++i) {
                    HexaNodes(i, j, k, n);
                    deck.WriteHexa(id++, 8, n);
                }
        if (!deck.CloseDeck()) {
            state.SkipWithError("the deck cannot be written");
            return;
        }
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
