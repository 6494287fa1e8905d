// Shared pieces of the feeder tests: a case folder played by the file-backed host with its
// selection resolver registered, and a feeder whose protected state the tests can set.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/core/host_ports.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "hostsim/host_sim.h"
#include "hostsim/selection_resolver.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/settings_factory.h"
#include "settings/step_controls_list.h"
#include "tests/deck/deck_test_support.h"

namespace feedertest {

using decktest::CaseFolder;

// The host of one case folder: data source, object model and selection resolver (which
// the host registers itself; a case without one withdraws it).
class ModelCase {
  public:
    explicit ModelCase(const std::string& name, bool withResolver = true)
        : hostCase_(std::shared_ptr<HostSimCase>(LoadHostCase(CaseFolder(name)))), host_(hostCase_) {
        if (!withResolver) UnregisterComponentClass(CLSID_SelectionResolver);
    }
    std::wstring ModelPath() const { return platform::WideFromPath(hostCase_->caeRepPath); }
    HostSimDataSource& DataSource() { return host_.DataSource(); }
    const HostSimCase& Case() const { return *hostCase_; }
    // The host's answers, for a test that changes one of them.
    HostSimCase& MutableCase() { return *hostCase_; }

  private:
    std::shared_ptr<HostSimCase> hostCase_;
    HostSim host_;
};

class FeederUnderTest : public DorvixFeeder {
  public:
    explicit FeederUnderTest(int kind = 1) { analysisKind_ = kind; }
    int Feed(TRVDataSourceItf*, ReturnPackage*) override { return 0; }
    int CheckBoundaryConditions() override { return 0; }
    int WriteContacts() override { return 0; }

    void UseDataSource(TRVDataSourceItf* source) { dataSource_ = source; }
    void UseHostProvider(std::shared_ptr<NCAERep::IHostModelProvider> provider) {
        inputDatabase_.setHostProvider(std::move(provider));
    }
    void SetOutputPath(const std::wstring& path) { outputPath_ = path; }
    void SetNonLinear(int flag) { nonLinearFlag_ = flag; }
    void SetNumberOfSteps(int steps) { numberOfSteps_ = steps; }
    // Default settings of an analysis with that many steps.
    void UseSettings(int analysis, int physics, int steps) {
        settings_ = CreateDorvixSolutionSettings(analysis, physics);
        ASSERT_TRUE(settings_);
        if (auto* list = settings_->GetControlsAs<DorvixStepControlsList>(kStepListTag)) {
            ASSERT_EQ(list->SetNumberOfSteps(steps), kSettingsDone);
        }
        numberOfSteps_ = steps;
    }
    // As the analysis header writers do once the settings are read.
    void TakeStepCountFromSettings() { numberOfSteps_ = settings_ ? settings_->GetNumberOfSteps() : 1; }
    // The body table as Open sets it up, with material numbers from the loaded model.
    int SetUpBodies() {
        bodyWrapper_ = LateOwned<CBodyAttributeWrapper>::Make();
        bodyWrapper_->SetBodies(&dataSource_->GetBodies());
        return bodyWrapper_->FillNamesAndMaterials(inputRoot_);
    }
    // The deck goes to the test's current (scratch) folder whatever the case names.
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name == "XENRADir") {
            text = platform::CurrentFolder().string();
            return true;
        }
        return DorvixFeeder::ReadNamedOption(name, text);
    }
    // The feeder's deck object, not yet opened.
    void OpenDeckObject() { deckFile_ = std::make_unique<DorvixDeckFile>(this); }
    void OpenDeck() {
        OpenDeckObject();
        ASSERT_EQ(deckFile_->Open("dorvix.dat"), 0);
    }
    // Closes the deck and gives the lines written after its five header lines.
    std::vector<std::string> CloseDeckLines();
};

}  // namespace feedertest
