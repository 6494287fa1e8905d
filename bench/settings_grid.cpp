// `dorvix settings <case>` showing the property grid of a small block's case (125 nodes) and of
// a block of 8,000,000 nodes, in the same run: the command line is started as a user starts
// it, and each figure is its wall time and the child's peak memory. The grid asks nothing of
// the mesh, so both should cost the same.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "block_case.h"

extern char** environ;

namespace {

// Runs the program with the arguments, its output discarded; false unless it exits with 0.
bool RunQuietly(const std::string& program, const std::string& command, const std::string& folder,
                double& peakMb) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(command.c_str()),
                    const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        if (!RunQuietly(DORVIX_PROGRAM, "settings", folder, peakMb))
            return state.SkipWithError("dorvix settings failed");
    state.counters["peak MB"] = peakMb;
}

}  // namespace

// 4 cells a side: 125 nodes; 199: 8,000,000 nodes.
BENCHMARK(BM_SettingsGrid)->Arg(4)->Arg(199)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_MAIN();
