// `dorvix settings <case>` showing the property grid of a small block's case (125 nodes) and of
// a block of 8,000,000 nodes, in the same run: the command line is started as a user starts
// it, and each figure is its wall time and the child's peak memory. The grid asks nothing of
// the mesh, so both should cost the same.
//
// Then edits of many values, as scripts make them, each on a fresh copy of an example: a load
// history (`NumberOfSteps=n`, then `CurrentStepNumber=k EndTime=k` for k = 1..n), one value given
// n times, two values alternating, and n values that a last one undoes (refused). An edit's time
// should grow with its values. With DORVIX_BENCH_BEFORE naming another build's program, its
// edits are measured in the same run, beside this build's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "block_case.h"

extern char** environ;

namespace {

// Runs the program with the arguments, its output discarded: its exit code, -1 when it did not
// run to its end.
int RunQuietly(const std::string& program, const std::vector<std::string>& arguments, double& peakMb) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::filesystem::path& CaseFolder(int cells) {
    static const bench::BlockCase small("gridbench", 4);
    static const bench::BlockCase large("gridbench", 199);
    return cells == 4 ? small.Path() : large.Path();
}

void BM_SettingsGrid(benchmark::State& state) {
    const std::string folder = CaseFolder(static_cast<int>(state.range(0))).string();
    double peakMb = 0.0;
    for (auto _ : state)
        if (RunQuietly(DORVIX_PROGRAM, {"settings", folder}, peakMb) != 0)
            return state.SkipWithError("dorvix settings failed");
    state.counters["peak MB"] = peakMb;
}

enum class Edit { kHistory, kRepeated, kAlternating, kUndone };

// The values of an edit of kind `edit` and size n, and the example it is made on.
std::vector<std::string> EditValues(Edit edit, int n, std::string& example) {
    std::vector<std::string> values;
    example = edit == Edit::kAlternating ? "block-nonlinear" : "block";
    if (edit == Edit::kHistory) values.push_back("NumberOfSteps=" + std::to_string(n));
    for (int k = 1; k <= n; ++k) {
        switch (edit) {
            case Edit::kHistory:
                values.insert(values.end(),
                              {"CurrentStepNumber=" + std::to_string(k), "EndTime=" + std::to_string(k)});
                break;
            case Edit::kRepeated:
                values.push_back("EndTime=2");
                break;
            case Edit::kAlternating:
                values.push_back(k % 2 ? "CalculateStress=No" : "CalculateStrain=No");
                break;
            case Edit::kUndone:
                values.push_back("PrestressedStatic=Yes");
                break;
        }
    }
    if (edit == Edit::kUndone) values.push_back("UseLargeDeformation=On");
    return values;
}

void BM_SettingsEdit(benchmark::State& state, const std::string& program, Edit edit) {
    static const bench::ScratchFolder scratch("editbench");
    std::string example;
    const std::vector<std::string> values = EditValues(edit, static_cast<int>(state.range(0)), example);
    const std::filesystem::path copy = scratch.Path() / example;
    std::vector<std::string> arguments{"settings", copy.string(), "--set"};
    arguments.insert(arguments.end(), values.begin(), values.end());
    double peakMb = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(copy);
        std::filesystem::create_directories(copy);
        for (const char* file : {"CAERep.xml", "host.json", "MatML.xml"})
            std::filesystem::copy_file(bench::SourceFolder() / "examples" / example / file, copy / file);
        state.ResumeTiming();
        const int exit = RunQuietly(program, arguments, peakMb);
        // The undone value refuses the edit; a program from before that check writes it.
        if (exit != 0 && !(edit == Edit::kUndone && exit == 3))
            return state.SkipWithError(("the edit ended with " + std::to_string(exit)).c_str());
    }
    state.counters["values"] = static_cast<double>(values.size());
    state.counters["peak MB"] = peakMb;
}

}  // namespace

// 4 cells a side: 125 nodes; 199: 8,000,000 nodes.
BENCHMARK(BM_SettingsGrid)->Arg(4)->Arg(199)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
    std::vector<std::pair<std::string, std::string>> programs{{"now", DORVIX_PROGRAM}};
    if (const char* before = std::getenv("DORVIX_BENCH_BEFORE")) programs.emplace_back("before", before);
    const struct {
        const char* name;
        Edit edit;
        std::vector<long> sizes;
    } edits[] = {{"History", Edit::kHistory, {200, 1000, 10000}},
                 {"Repeated", Edit::kRepeated, {1000, 4000, 100000}},
                 {"Alternating", Edit::kAlternating, {1600}},
                 {"Undone", Edit::kUndone, {50000}}};
    for (const auto& [name, edit, sizes] : edits)
        for (const auto& [label, program] : programs) {
            benchmark::internal::Benchmark* b =
                benchmark::RegisterBenchmark(("BM_SettingsEdit" + std::string(name) + "/" + label).c_str(),
                                             BM_SettingsEdit, program, edit);
            for (long size : sizes) b->Arg(size);
            b->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
