// What a thermal run asks of the result description the solver left (1,000,000 nodes, two
// sets): the add-in's end-time check reads its sets through the host's result reader, then the
// host reads them again for its report. Beside it in the same run, one read of the same file.
// The description is written anew (untimed) before every pass, as each run leaves a new one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "deck/results/dorvix_result_reader.h"
#include "foundation/jx_list.h"
#include "hostsim/components.h"
#include "platform/creation_registry.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "result_files.h"
#include "scratch_folder.h"

namespace {

constexpr int kNodes = 1000000;

// The description every pass writes and reads, in the run's scratch folder.
std::filesystem::path Description() {
    static const bench::ScratchFolder folder("resultbench");
    return folder.Path() / "dorvix_mt.des";
}

bool WriteDescription() {
    static const std::vector<int> ids = [] {
        std::vector<int> v(kNodes);
        for (int i = 0; i < kNodes; ++i) v[i] = i + 1;
        return v;
    }();
    return WriteResultDescription(Description().string(), "mt", false, {{1, 1.0, 1}, {2, 2.0, 2}}, ids,
                                  295.15);
}

// The end-time check's question, as the add-in asks it.
bool EndTimeCheckRead() {
    DorvixResultReader reader;
    reader.SetResultFile(Description());
    JXList<double> times(5, 100);
    JXList<int> numbers(5, 100), codes(5, 100);
    return reader.GetResultSets(times, numbers, codes) == S_OK && times.GetCount() == 2;
}

// The host's own question for its report.
bool ReportRead() {
    ComPtr<IHostResultReader> reader = CreateHostSimResultReader();
    std::vector<double> values;
    std::vector<int> numbers, codes;
    return reader && reader->SetResultFile(platform::WideFromPath(Description())) == S_OK &&
           reader->GetResultSets(values, numbers, codes) == S_OK && values.size() == 2;
}

void Measure(benchmark::State& state, bool both) {
    const ScopedComponentClass reader(CLSID_HostResultReader, CreateResultReaderComponent);
    for (auto _ : state) {
        state.PauseTiming();
        if (!WriteDescription()) return state.SkipWithError("the description was not written");
        state.ResumeTiming();
        if (!EndTimeCheckRead() || (both && !ReportRead())) return state.SkipWithError("a read was refused");
    }
    state.counters["MB"] = static_cast<double>(platform::FileSize(Description())) / 1e6;
}

void BM_EndTimeCheckAndReport(benchmark::State& state) { Measure(state, true); }
void BM_OneDescriptionRead(benchmark::State& state) { Measure(state, false); }

}  // namespace

BENCHMARK(BM_EndTimeCheckAndReport)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OneDescriptionRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
