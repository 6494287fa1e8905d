// The command line's feeder: plays the part of an analysis feeder with the deck sections that
// exist today (model, begin commands, time definitions, RETURN) for the case's model, and runs
// the solver on the deck. It writes no supports, loads or run options; the
// structural, thermal and eigen feeders replace it once they exist. What is its own is what a
// host decides: which model file, which work folder, and what the user is shown.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "deck/dorvix_feeder.h"

// What one run wrote, for the command line's summary.
struct ModelDeckSummary {
    std::filesystem::path deckPath;
    int nodes = 0;
    int elements = 0;
    int groups = 0;
    int materials = 0;
    // The step that gave the run code: "model load", "deck" (opening it: settings, mesh,
    // bodies), "model" (nodes, elements, element groups, materials), "begin commands",
    // "time definitions" or "solver run".
    std::string stage;
    // The file and the system's reason when the deck, the driver file or a listing could not
    // be written or read, or why the solver could not be started; empty otherwise.
    std::string failure;
    // Messages posted to the output representation, as (type, text).
    std::vector<std::pair<std::wstring, std::wstring>> messages;
};

class ModelDeckFeeder : public DorvixFeeder {
  public:
    // The model is read from modelPath (its mesh and materials come from the host that is
    // live meanwhile); the deck, the listings and the output representation go to workFolder
    // (which must exist), whatever folder the case itself names.
    ModelDeckFeeder(int analysisKind, std::filesystem::path modelPath, std::filesystem::path workFolder);

    // 0 when the deck was written and the solver's listings hold no error; else the code of
    // the first step that failed (Summary().stage names it).
    [[nodiscard]] int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) override;

    bool ReadNamedOption(const std::string& name, std::string& text) override;
    void PostHostMessage(const std::wstring& text, const std::wstring& type) override;

    const ModelDeckSummary& Summary() const { return summary_; }

  private:
    [[nodiscard]] int WriteDeck();
    // Stands in for the analysis feeders' solve step and end-time check.
    [[nodiscard]] int CloseAndRunSolver();
    void TakeCounts(bool modelWritten);

    std::filesystem::path modelPath_;
    std::filesystem::path workFolder_;
    ModelDeckSummary summary_;
};
