// The file-backed host's part in the deck of a generated block of 1,000,000 nodes fixed on one
// side and pressed on the other: loading the case, and answering the add-in's questions about
// the pressed side's element faces and the fixed side's nodes, beside the whole structural deck
// the add-in writes (from a host that has answered before) in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "block_case.h"
#include "deck/mesh/mesh_scoping.h"
#include "hostsim/host_sim.h"
#include "hostsim/mesh_object.h"
#include "platform/files.h"
#include "runtime/return_package.h"

namespace {

constexpr int kCells = 99;  // 100^3 nodes
constexpr int kFixedSide = 101;
constexpr int kPressedSide = 102;

const std::filesystem::path& CaseFolder() {
    static const bench::BlockCase block("hostbench", kCells);
    return block.Path();
}

// The questions the pressure and the fixed support ask of a freshly loaded host: the element
// faces of the pressed side and the nodes of the fixed one. False when one is refused.
bool AskFaceQuestions(const HostSim& host, std::size_t& faces) {
    ComPtr<IHostMesh> mesh = CreateHostSimMeshObject(host.Case().mesh);
    std::vector<int> elements, faceNumbers, nodes;
    if (!mesh ||
        FAILED(GetScopingFaces(mesh.Get(), {kPressedSide, kJXReferenceFace}, elements, faceNumbers)) ||
        FAILED(GetScopingNodeIds(mesh.Get(), {kFixedSide, kJXReferenceFace}, nodes)))
        return false;
    faces = elements.size();
    return faces == 99u * 99u && nodes.size() == 100u * 100u;
}

// Loads the case and has its mesh made (timed when `timeLoad`: a case of generated blocks makes
// them at the first question), then asks the face questions (timed when `timeAnswers`); the host
// is let go untimed. Reports what the host holds once it has answered.
void LoadAndAsk(benchmark::State& state, bool timeLoad, bool timeAnswers) {
    double hostMb = 0.0;
    for (auto _ : state) {
        if (!timeLoad) state.PauseTiming();
        const double before = bench::AllocatedMb();
        std::optional<HostSim> host(std::in_place, CaseFolder());
        if (!host->Case().mesh.get()) return state.SkipWithError("the case has no mesh");
        if (!timeLoad && timeAnswers) state.ResumeTiming();
        if (timeLoad && !timeAnswers) state.PauseTiming();
        std::size_t faces = 0;
        if (!AskFaceQuestions(*host, faces)) return state.SkipWithError("a face question was refused");
        if (timeAnswers) state.PauseTiming();
        hostMb = bench::AllocatedMb() - before;
        host.reset();
        state.ResumeTiming();
    }
    state.counters["host MB"] = hostMb;
    state.counters["peak MB"] = bench::PeakMemoryMb();
}

void BM_HostCaseLoad(benchmark::State& state) { LoadAndAsk(state, true, false); }
void BM_HostFaceAnswers(benchmark::State& state) { LoadAndAsk(state, false, true); }
void BM_HostLoadAndAnswers(benchmark::State& state) { LoadAndAsk(state, true, true); }

// The add-in's whole structural deck of the same case, from a host that has answered once.
void BM_AddinStructuralDeck(benchmark::State& state) {
    HostSim host(CaseFolder());
    {
        ReturnPackage package;
        bench::DeckOnlyFeeder warmUp;
        if (warmUp.WriteWholeDeck(host.DataSource(), package, CaseFolder()) != 0)
            return state.SkipWithError("warm-up failed");
    }
    for (auto _ : state) {
        ReturnPackage package;
        bench::DeckOnlyFeeder feeder;
        if (feeder.WriteWholeDeck(host.DataSource(), package, CaseFolder()) != 0)
            return state.SkipWithError("the deck was not written");
    }
    state.counters["deck MB"] = static_cast<double>(platform::FileSize(CaseFolder() / "dorvix.dat")) / 1e6;
}

}  // namespace

BENCHMARK(BM_HostCaseLoad)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_HostFaceAnswers)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_HostLoadAndAnswers)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_AddinStructuralDeck)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
