// The input-only copy of a deck (the add-in's copy of its finished deck onto the file the host
// named, replacing the copy an earlier run left) beside `cp` of the same file onto the same
// target, and beside `cp` to a name beside the target renamed over it (as the copy replaces a
// file), each right after the file was written, for the deck of a 1,000,000-node block (141 MB)
// and a file eight times its size (as large as the deck of an 8,000,000-node block), in one run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "deck/deck_file.h"
#include "generated_deck.h"
#include "platform/files.h"
#include "scratch_folder.h"

extern char** environ;

namespace {

const bench::ScratchFolder& Scratch() {
    static const bench::ScratchFolder folder("copybench");
    return folder;
}

// The deck of the generated block, written once.
const std::string& DeckBytes() {
    static const std::string bytes = [] {
        std::string text;
        bench::BenchOwner owner(Scratch().Path().string());
        DorvixDeckFile deck(&owner);
        if (deck.Open("dorvix.dat") == kRC_Success) {
            bench::WriteGeneratedMesh(deck);
            deck.WriteLine("RETURN");
            (void)deck.CloseDeck();
            (void)platform::ReadWholeFile(Scratch().Path() / "dorvix.dat", text);
        }
        return text;
    }();
    return bytes;
}

// Writes `times` decks one after the other into a new file, as the feeder has just written the
// deck it copies, and has the file system write out what it holds so far (the source, the target
// an earlier pass left): every copy starts from the same state, not behind the write-back of the
// passes before it.
std::filesystem::path FreshSource(int times) {
    const std::filesystem::path source = Scratch().Path() / "source.dat";
    (void)platform::RemoveFile(source);
    {
        std::ofstream out(source, std::ios::binary);
        for (int i = 0; i < times; ++i)
            out.write(DeckBytes().data(), static_cast<std::streamsize>(DeckBytes().size()));
    }
    if (const int folder = ::open(Scratch().Path().c_str(), O_RDONLY | O_DIRECTORY); folder >= 0) {
        (void)::syncfs(folder);
        ::close(folder);
    }
    return source;
}

bool RunCp(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::string program = "/bin/cp", a = from.string(), b = to.string();
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(a.c_str()),
                    const_cast<char*>(b.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Report(benchmark::State& state, const std::filesystem::path& source) {
    const double bytes = static_cast<double>(platform::FileSize(source));
    state.counters["MB"] = bytes / 1e6;
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

template <class Copy>
void Measure(benchmark::State& state, const char* targetName, Copy copy) {
    if (DeckBytes().empty()) return state.SkipWithError("the deck was not written");
    const std::filesystem::path target = Scratch().Path() / targetName;
    std::filesystem::path source;
    for (auto _ : state) {
        state.PauseTiming();
        source = FreshSource(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        if (!copy(source, target)) return state.SkipWithError("the copy failed");
    }
    Report(state, source);
}

void BM_InputOnlyCopy(benchmark::State& state) {
    Measure(state, "copy.dat",
            [](const auto& from, const auto& to) { return platform::CopyFileTo(from, to, false); });
}

void BM_CpCommand(benchmark::State& state) { Measure(state, "cp.dat", RunCp); }

void BM_CpBesideAndRename(benchmark::State& state) {
    Measure(state, "cprename.dat", [](const auto& from, const auto& to) {
        std::filesystem::path beside = to;
        beside += ".new";
        return RunCp(from, beside) && ::rename(beside.c_str(), to.c_str()) == 0;
    });
}

}  // namespace

// 1: the deck of 1,000,000 nodes; 8: a file as large as the deck of 8,000,000 nodes.
BENCHMARK(BM_InputOnlyCopy)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CpCommand)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CpBesideAndRename)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_MAIN();
