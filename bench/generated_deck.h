// The generated mesh the deck benchmarks write: a block of 100^3 nodes and 99^3 eight-node
// hexahedra, and a deck owner that puts the deck in a given folder.
#pragma once

#include <string>
#include <utility>

#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "foundation/analysis_kind.h"

namespace bench {

inline constexpr int kSide = 100;

class BenchOwner : public DeckFileOwner {
  public:
    explicit BenchOwner(std::string folder) : folder_(std::move(folder)) {}
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name != "XENRADir") return false;
        text = folder_;
        return true;
    }
    int GetAnalysisKind() const override { return kAnalysisStructural; }
    int GetNonLinearFlag() const override { return 0; }
    bool IsPrestressedStatic() override { return false; }
    bool IsBucklingAnalysis() override { return false; }
    int GetNumberOfSteps() const override { return 1; }
    bool IsPrestressedModalIntent() const override { return false; }
    void PostHostMessage(const std::wstring&, const std::wstring&) override {}

  private:
    std::string folder_;
};

inline int NodeId(int i, int j, int k) { return 1 + i + kSide * (j + kSide * k); }

inline void HexaNodes(int i, int j, int k, int* n) {
    n[0] = NodeId(i, j, k);
    n[1] = NodeId(i + 1, j, k);
    n[2] = NodeId(i + 1, j + 1, k);
    n[3] = NodeId(i, j + 1, k);
    n[4] = NodeId(i, j, k + 1);
    n[5] = NodeId(i + 1, j, k + 1);
    n[6] = NodeId(i + 1, j + 1, k + 1);
    n[7] = NodeId(i, j + 1, k + 1);
}

// Writes every node line of the block into an open deck: the raw writer the benchmarks compare
// with.
inline void WriteGeneratedNodes(DorvixDeckFile& deck) {
    for (int k = 0; k < kSide; ++k)
        for (int j = 0; j < kSide; ++j)
            for (int i = 0; i < kSide; ++i) deck.WriteNode(NodeId(i, j, k), i * 0.01, j * 0.01, k * 0.0125);
}

// Writes every node and element line of the block into an open deck.
inline void WriteGeneratedMesh(DorvixDeckFile& deck) {
    WriteGeneratedNodes(deck);
    int n[8], id = 1;
    for (int k = 0; k + 1 < kSide; ++k)
        for (int j = 0; j + 1 < kSide; ++j)
            for (int i = 0; i + 1 < kSide; ++i) {
                HexaNodes(i, j, k, n);
                deck.WriteHexa(id++, 8, n);
            }
}

}  // namespace bench
