// The command line's feeder: writes the deck sections that exist today (topology, element
// groups, materials, time definitions) for the case's model and runs the solver on it. It
// writes no supports, loads or contacts; the structural, thermal and eigen feeders replace
// it once they exist.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "caerep/core/host_ports.h"
#include "deck/dorvix_feeder.h"

// What one run wrote, for the command line's summary.
struct ModelDeckSummary {
    std::filesystem::path deckPath;
    int nodes = 0;
    int elements = 0;
    int groups = 0;
    int materials = 0;
    // The step that gave the run code: "model load", "deck" (opening it: settings, mesh,
    // bodies), "topology", "element groups", "materials", "time definitions" or "solver run".
    std::string stage;
    // Messages posted to the output representation, as (type, text).
    std::vector<std::pair<std::wstring, std::wstring>> messages;
};

class ModelDeckFeeder : public DorvixFeeder {
  public:
    // The model is read from modelPath (its mesh and materials come from the host that is
    // live meanwhile); the deck, the listings and the output representation go to workFolder
    // (which must exist), whatever folder the case itself names.
    ModelDeckFeeder(std::filesystem::path modelPath, std::filesystem::path workFolder);

    // 0 when the deck was written and the solver's listings hold no error; else the code of
    // the first step that failed (summary().stage names it).
    int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) override;
    // No supports are written yet, so there is nothing to check.
    int CheckBoundaryConditions() override { return kRC_Success; }
    // No contacts are written yet.
    int WriteContacts() override { return kRC_Success; }

    bool ReadNamedOption(const std::string& name, std::string& text) override;
    void PostHostMessage(const std::wstring& text, const std::wstring& type) override;

    const ModelDeckSummary& Summary() const { return summary_; }

  private:
    int LoadModel();
    int WriteModelSections();
    int WriteElementGroups();
    int CloseAndRunSolver();

    std::filesystem::path modelPath_;
    std::filesystem::path workFolder_;
    ModelDeckSummary summary_;
};
