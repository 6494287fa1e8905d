// One solve as the host runs it: the solver object (created from the add-in module) is given the two
// model files and the case's solve context, and its Solve hands back the return package. What
// the user is shown comes from that package, the output representation the solve wrote its
// messages to, and the result description of the run, each read by the host's own code.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "deck/return_codes.h"

class TRVDataSourceItf;
struct ITRVSolver;

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
    // Why the solver object could not be created or asked; empty when it solved.
    std::string failure;
    int resultCode = kRC_PackageDefault;
    unsigned statusBits = 0;
    int errorCode = 0;
    // The messages the solve posted to the output representation, in order.
    std::vector<PostedMessage> messages;
    // Messages of the package, in the host's language.
    std::vector<std::wstring> packageMessages;
    std::filesystem::path deckPath;
    std::string resultFile;
    // The package's value list: the eigenvalues of an eigen run.
    std::vector<double> values;
    // The result sets of the run's description file; a reason when it could not be read.
    std::vector<SolvedSet> sets;
    std::string setsProblem;

    // The code that tells how the run went: the package's result code, else the run's code
    // that the end-time check moved into its error code.
    int RunCode() const { return resultCode != 0 ? resultCode : errorCode; }
};

// The name of the output representation in the work folder.
inline constexpr const char* kOutputModelName = "CAERepOutput.xml";

// Hands the solver object the model and the output representation in workFolder and solves
// with the case's data source (whose "XENRADir" must name workFolder).
[[nodiscard]] SolveReport RunSolve(ITRVSolver* solver, TRVDataSourceItf& dataSource,
                                   const std::filesystem::path& modelPath,
                                   const std::filesystem::path& workFolder);
