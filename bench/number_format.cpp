// Throughput of the deck's number formats against a plain snprintf baseline in the same run.
#include "foundation/number_format.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// Coordinates as a mesh gives them: mixed magnitudes and signs, many digits.
const std::vector<double>& Values() {
    static const std::vector<double> values = [] {
        std::mt19937_64 rng(7);
        std::uniform_real_distribution<double> unit(-1.0, 1.0);
        std::uniform_int_distribution<int> scale(-3, 4);
        std::vector<double> v(3 * 4096);
        for (double& x : v) {
            const int s = scale(rng);
            x = unit(rng);
            for (int i = 0; i < s; ++i) x *= 10.0;
            for (int i = 0; i > s; --i) x /= 10.0;
        }
        return v;
    }();
    return values;
}

void SetCounters(benchmark::State& state, std::size_t bytes) {
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["MB/s"] =
        benchmark::Counter(static_cast<double>(bytes) / 1e6, benchmark::Counter::kIsRate);
}

// Appends one line per iteration to a buffer that is emptied (and counted) now and then, so the
// timing covers the formatting and not the growth of one huge string.
template <typename AppendLine>
void AppendLines(benchmark::State& state, AppendLine append) {
    std::string out;
    out.reserve(1 << 16);
    std::size_t i = 0, bytes = 0;
    for (auto _ : state) {
        if (out.size() > 60000) {
            bytes += out.size();
            out.clear();
        }
        append(out, i++);
        benchmark::DoNotOptimize(out.data());
    }
    SetCounters(state, bytes + out.size());
}

void NodeLine(benchmark::State& state) {
    const auto& v = Values();
    AppendLines(state, [&v](std::string& out, std::size_t i) {
        const std::size_t k = (i % 4096) * 3;
        AppendNodeLine(out, static_cast<int>(i + 1), v[k], v[k + 1], v[k + 2]);
    });
}

void NodeLineSnprintf(benchmark::State& state) {
    const auto& v = Values();
    AppendLines(state, [&v](std::string& out, std::size_t i) {
        const std::size_t k = (i % 4096) * 3;
        char line[128];
        const int n = std::snprintf(line, sizeof line, "  %8i%20.9E%20.9E%20.9E\n", static_cast<int>(i + 1),
                                    v[k], v[k + 1], v[k + 2]);
        out.append(line, static_cast<std::size_t>(n));
    });
}

// One "line" here is one number, as the keyword writer appends them.
void General15(benchmark::State& state) {
    const auto& v = Values();
    AppendLines(state, [&v](std::string& out, std::size_t i) {
        AppendGeneral15(out, v[i % v.size()]);
        out += ' ';
    });
}

void General15Snprintf(benchmark::State& state) {
    const auto& v = Values();
    AppendLines(state, [&v](std::string& out, std::size_t i) {
        // The plain C library form of the same digits (two-digit exponent, no forced point).
        char text[64];
        const int n = std::snprintf(text, sizeof text, "%.15g ", v[i % v.size()]);
        out.append(text, static_cast<std::size_t>(n));
    });
}

BENCHMARK(NodeLine);
BENCHMARK(NodeLineSnprintf);
BENCHMARK(General15);
BENCHMARK(General15Snprintf);

}  // namespace

BENCHMARK_MAIN();
