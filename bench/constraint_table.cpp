// FinaliseAll of the per-node constraint table: 1,000,000 nodes with one fixed support each,
// and 100,000 nodes with three oblique frictionless conditions each (the three normals lie in
// one plane, so every node gets a turned node frame). Throughput is reported as nodes per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "deck/constraints/node_constraint_table.h"

namespace {

void BM_FinaliseFixedNodes(benchmark::State& state) {
    const std::int32_t count = static_cast<std::int32_t>(state.range(0));
    std::vector<std::int32_t> nodes(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) nodes[static_cast<std::size_t>(i)] = i + 1;
    NodeConstraintTable table;
    table.AddFixedSupport(1, 510, count, nodes.data());
    for (auto _ : state) benchmark::DoNotOptimize(table.FinaliseAll());
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_FinaliseObliqueNodes(benchmark::State& state) {
    const std::int32_t count = static_cast<std::int32_t>(state.range(0));
    NodeConstraintTable table;
    const double r = 1.0 / std::sqrt(3.0);
    for (std::int32_t node = 1; node <= count; ++node) {
        table.AddCylindricalSupport(1, 518, node, {r, r, r});
        table.AddCylindricalSupport(2, 518, node, {r, -r, 0.0});
        table.AddCylindricalSupport(3, 518, node, {2.0 / std::sqrt(5.0), 0.0, 1.0 / std::sqrt(5.0)});
    }
    for (auto _ : state) benchmark::DoNotOptimize(table.FinaliseAll());
    state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace

BENCHMARK(BM_FinaliseFixedNodes)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FinaliseObliqueNodes)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
