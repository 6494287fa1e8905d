// One solve as the host runs it: the feeder of the case's analysis, the model loaded from the
// case, then the feeder's whole sequence (deck, solver, end-time check, close), with the return
// package the host would receive and what the user is shown of it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "runtime/return_package.h"

class TRVDataSourceItf;

struct PostedMessage {
    std::wstring type;  // "Error", "Warning", "Info"
    std::wstring text;
};

// One result set of the run's result description.
struct SolvedSet {
    double time = 0.0;
    int setNumber = 0;
    int stepCode = 0;
};

struct SolveReport {
    // The model load's code; the feeder ran only when it is 0.
    int loadCode = 0;
    // What Feed answered (a run code moved into the package's error code leaves 0 here).
    int feedCode = 0;
    int resultCode = ReturnPackage::kUnsetResultCode;
    unsigned statusBits = 0;
    int errorCode = 0;
    std::vector<PostedMessage> messages;
    // Messages of the package, in the host's language.
    std::vector<std::wstring> packageMessages;
    std::filesystem::path deckPath;
    int nodes = 0;
    int elements = 0;
    std::string resultFile;
    // The result sets of the run's description file; a reason when it could not be read.
    std::vector<SolvedSet> sets;
    std::string setsProblem;
    // Why the model could not be loaded, when it could not.
    std::string loadProblem;

    // The code that tells how the run went: Feed's, else the one the package carries.
    int RunCode() const;
};

// The feeder that solves the analysis kind (1 structural); null for a kind this program does
// not solve.
std::unique_ptr<DorvixFeeder> CreateFeederFor(int analysisKind);

// Loads the model and runs the feeder; the deck and every file of the run go to workFolder
// (the case's data source must name it as "XENRADir").
SolveReport RunSolve(DorvixFeeder& feeder, TRVDataSourceItf& dataSource, const std::filesystem::path& modelPath,
                     const std::filesystem::path& workFolder);
