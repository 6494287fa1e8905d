// Topology and element-group sections of a generated block of 8-node hexahedra (1,000,000
// nodes: 99 x 99 x 99 cells) written to a real file, from the mesh interface to the file,
// beside the raw node-line writer on the same nodes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "hostsim/mesh_generator.h"
#include "hostsim/mesh_object.h"
#include "platform/files.h"

namespace {

constexpr int kCells = 99;  // (99 + 1)^3 = 1,000,000 nodes

struct Block {
    std::shared_ptr<HostSimMesh> mesh = std::make_shared<HostSimMesh>();
    ComPtr<IHostMesh> object;
    std::vector<BodyRecord> bodies;
    Block() {
        MeshBlockRequest request;
        request.cells = {kCells, kCells, kCells};
        request.size = {1.0, 1.0, 1.0};
        GenerateMeshBlock(*mesh, request);
        object = CreateHostSimMeshObject(mesh);
        BodyRecord body;
        body.bodyId = body.bodyMeshId = 1;
        body.partMeshId = 1;
        bodies.push_back(body);
    }
};

Block& SharedBlock() {
    static Block block;
    return block;
}

std::uintmax_t DeckSize(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::file_size(folder / "dorvix.dat", ec);
}

// A temporary folder that is current while a benchmark writes its deck there.
class ScratchFolder {
  public:
    ScratchFolder()
        : saved_(platform::CurrentFolder()), folder_(platform::CreateUniqueTemporaryFolder("meshbench")) {
        platform::SetCurrentFolder(folder_);
    }
    ~ScratchFolder() {
        platform::SetCurrentFolder(saved_);
        platform::DeleteFolderTree(folder_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

  private:
    std::filesystem::path saved_;
    std::filesystem::path folder_;
};

void BM_MeshSections(benchmark::State& state) {
    Block& block = SharedBlock();
    const ScratchFolder scratch;
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        CBodyAttributeWrapper bodies;
        bodies.SetBodies(&block.bodies);
        CMeshWrapper mesh;
        if (FAILED(mesh.SetMesh(block.object.Get()))) return state.SkipWithError("the mesh was refused");
        mesh.SetPartCount(1);
        mesh.SetBodyWrapper(&bodies);
        DorvixDeckFile deck;
        ResetDeckCounters();
        if (deck.Open("dorvix.dat") != kRC_Success) return state.SkipWithError("cannot create the deck");
        if (mesh.WriteNodes(&deck) != kRC_Success || mesh.WriteElements(&deck) != kRC_Success ||
            mesh.WriteBodyGroups(0, 1, &deck, &bodies) != kRC_Success)
            return state.SkipWithError("the sections were not written");
        deck.CloseDeck();
        bytes = DeckSize(platform::CurrentFolder());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void BM_RawNodeLines(benchmark::State& state) {
    Block& block = SharedBlock();
    const ScratchFolder scratch;
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        DorvixDeckFile deck;
        if (deck.Open("dorvix.dat") != kRC_Success) return state.SkipWithError("cannot create the deck");
        const HostSimMesh& m = *block.mesh;
        for (std::size_t i = 0; i < m.NodeCount(); ++i) {
            const double* p = m.NodeXyzAt(i);
            deck.WriteNode(m.NodeIdAt(i), p[0], p[1], p[2]);
        }
        deck.CloseDeck();
        bytes = DeckSize(platform::CurrentFolder());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

BENCHMARK(BM_RawNodeLines)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MeshSections)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
