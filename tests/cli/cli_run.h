// The built command line started as a user starts it, and a work folder whose solver never ends.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "tests/deck/deck_test_support.h"

namespace clitest {

inline std::filesystem::path Example() {
    return std::filesystem::path(DORVIX_SOURCE_DIR) / "examples" / "block";
}
inline std::filesystem::path StandinSolver() { return std::filesystem::path(DORVIX_BINARY_DIR) / "solver"; }

// What a run that ended answered and wrote.
struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

// The command line with the stand-in solver, its output kept in the scratch folder under
// `name` (name.out, name.err).
class CliRun {
  public:
    // With `ownProcessGroup` the run leads a process group of its own, as a terminal's
    // foreground job does (InterruptGroup then plays the terminal's Ctrl-C).
    CliRun(const std::filesystem::path& scratch, const std::string& name,
           const std::vector<std::string>& arguments,
           const std::filesystem::path& solverFolder = StandinSolver(), bool ownProcessGroup = false)
        : out_(scratch / (name + ".out")), err_(scratch / (name + ".err")) {
        platform::ProcessOptions options;
        options.executable = ownProcessGroup ? "/usr/bin/setsid" : DORVIX_PROGRAM;
        if (ownProcessGroup) options.arguments.push_back(DORVIX_PROGRAM);
        options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
        options.extraEnvironment = {{"DVX_EXE", solverFolder.string()}};
        options.standardOutput = out_;
        options.standardError = err_;
        std::string error;
        EXPECT_TRUE(cli_.Start(options, &error)) << "the command line did not start: " << error;
    }
    int Id() const { return cli_.Id(); }
    // The exit code once the run ended within `timeoutMs`; nothing when it did not end.
    std::optional<int> Exit(std::uint32_t timeoutMs = 120000) {
        if (cli_.Wait(timeoutMs) != platform::WaitResult::Exited) return std::nullopt;
        return cli_.ExitStatus();
    }
    // Frees the id of a run that ended; false while it runs.
    bool Reap() { return cli_.Reap(); }
    // The run waited for (two minutes) and reaped; a run that does not end fails the test.
    Outcome Finish() {
        Outcome outcome;
        if (cli_.Wait(120000) != platform::WaitResult::Exited) {
            ADD_FAILURE() << "the command line did not end";
            return outcome;
        }
        outcome.exit = cli_.ExitStatus().value_or(-1);
        (void)cli_.Reap();
        outcome.out = Out();
        outcome.err = Err();
        return outcome;
    }
    void Interrupt() { ASSERT_EQ(::kill(cli_.Id(), SIGINT), 0); }
    void InterruptGroup() { ASSERT_EQ(::kill(-cli_.Id(), SIGINT), 0); }
    std::string Out() const { return decktest::ReadText(out_); }
    std::string Err() const { return decktest::ReadText(err_); }

  private:
    std::filesystem::path out_, err_;
    platform::ChildProcess cli_;
};

// A work folder in the scratch folder where the stand-in solver, once started, never ends.
inline std::filesystem::path HangingWorkFolder(const std::filesystem::path& scratch) {
    const std::filesystem::path work = scratch / "work";
    EXPECT_TRUE(platform::CreateFolders(work));
    decktest::WriteText(work / "dorvix-standin.ctl", "hang\n");
    return work;
}

}  // namespace clitest
