// The end of every feeder's sequence: the solver run on the finished deck, and the close step
// that hands the code and status to the host, logs the run when asked and frees the per-solve
// objects.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "deck/dorvix_feeder.h"
#include "deck/solver_job.h"
#include "platform/clock.h"
#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"

namespace {

constexpr int kRequestedSolverMemoryMb = 300;
constexpr const char* kResultsLogName = "DORVIXResults.log";

std::string FormatG(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

using TimeMark = std::optional<std::chrono::system_clock::time_point>;

// One timing line of the results log, when both of its marks were taken: a run that stopped
// before the solver (or before the deck was set up) did not measure that span.
std::string TimingLine(const char* caption, const TimeMark& from, const TimeMark& to) {
    if (!from || !to) return {};
    return std::string(caption) + FormatG(std::chrono::duration<double>(*to - *from).count()) + " seconds.\n";
}

}  // namespace

std::string DorvixFeeder::GetDescriptionFileName() { return ResultDescriptionFile(PlanSolverModules(*this)); }

int DorvixFeeder::Solve() try {
    if (!deckFile_) return kRC_MissingData;
    if (::ReportProgress(100, kProgressDeckWriting) == 0) return kRC_Cancelled;
    solveStart_ = platform::WallClockNow();
    // The solve job's memory record reached the deck file when it was opened.
    const int code = deckFile_->CloseAndRun(kRequestedSolverMemoryMb);
    solveEnd_ = platform::WallClockNow();
    // A file that could not be written or read, or a solver that could not be started: the
    // user is told which and why.
    if (code != kRC_Success && !deckFile_->GetOpenFailure().empty())
        PostHostMessage(L"The solver run failed: " + platform::Utf8ToWide(deckFile_->GetOpenFailure()),
                        L"Error");
    return code;
} catch (...) {
    solveEnd_ = platform::WallClockNow();
    return AnswerException(kRC_Exception, L"Running the solver");
}

void DorvixFeeder::WriteResultsLog(const std::filesystem::path& deckPath, int code) {
    const TimeMark close = platform::WallClockNow();
    std::string text = "The current time is " + platform::CTimeText(platform::LocalNow()) + "\n";
    text +=
        "Size of dorvix.dat (input file)    = " + std::to_string(platform::FileSize(deckPath)) + " bytes.\n";
    text += "Number of Nodes                    = " + std::to_string(nodeCount_) + ".\n";
    text += "Number of Elements                 = " + std::to_string(elementCount_) + ".\n";
    text += TimingLine("Time to write Dorvix input file    = ", deckWriteStart_, solveStart_);
    text += TimingLine("Time to solve                      = ", solveStart_, solveEnd_);
    text += TimingLine("Time to do POST, (read XML)        = ", solveEnd_, close);
    text += TimingLine("Total Time                         = ", deckWriteStart_, close);
    text += code == kRC_Success
                ? "See solve.out and dorvix.out for more detail on DORVIX solution times.\n\n\n"
                : "The problem did not solve correctly.  See solve.out and dorvix.out for more info.\n\n\n";
    platform::OutputFile log;
    // The log is a courtesy: a folder that refuses it changes nothing about the run.
    if (log.OpenForAppend(deckPath.parent_path() / kResultsLogName)) {
        (void)log.Write(text);
        (void)log.Close();
    }
}

void DorvixFeeder::Close(int& code) {
    try {
        if (deckFile_) {
            const std::filesystem::path deckPath = deckFile_->GetWorkingFolder() / deckFile_->GetPath();
            if (NamedOptionIsOne("TRACK RESULTS")) WriteResultsLog(deckPath, code);
            // Closes the deck when a failure left it open.
            deckFile_.reset();
            // Only a complete deck replaces the file the host asked for: a deck cut short by a
            // failed step would overwrite a good one with text the solver cannot read.
            if (!copyTargetPath_.empty() && code == kRC_Success) code = CopyDeckToTarget(deckPath);
        }
    } catch (...) {
        (void)AnswerException(code, L"Closing the solve");
    }
    // After the copy: the host must not take a deck it was never given for a success.
    if (returnPackage_) returnPackage_->SetStatus(code, statusBits_);
    SavePostedMessages(returnPackage_);
    ReleaseSolveObjects();
}

int DorvixFeeder::CopyDeckToTarget(const std::filesystem::path& deckPath) {
    const std::filesystem::path target = platform::PathFromWide(copyTargetPath_);
    std::string reason;
    if (platform::CopyFileTo(deckPath, target, false, &reason)) return kRC_Success;
    PostHostMessage(L"The deck cannot be copied to " + platform::WideFromPath(target) + L": " +
                        platform::Utf8ToWide(reason),
                    L"Error");
    return kRC_FileNotCreated;
}
