// Shared pieces of the feeder tests: a case folder played by the file-backed host with its
// selection resolver registered, and a feeder whose protected state the tests can set.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/core/host_ports.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "hostsim/host_sim.h"
#include "hostsim/object_model.h"
#include "hostsim/selection_resolver.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "runtime/addin_services.h"
#include "runtime/return_package.h"
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
        if (!withResolver) (void)UnregisterComponentClass(CLSID_SelectionResolver);
    }
    std::wstring ModelPath() const { return platform::WideFromPath(hostCase_->caeRepPath); }
    HostSimDataSource& DataSource() { return host_.DataSource(); }
    const HostSimCase& Case() const { return *hostCase_; }
    // The host's answers, for a test that changes one of them.
    HostSimCase& MutableCase() { return *hostCase_; }
    // For a data source of the test's own over the same case.
    std::shared_ptr<HostSimCase> SharedCase() const { return hostCase_; }
    const std::shared_ptr<HostSimObjectModel>& Objects() const { return host_.Objects(); }

  private:
    std::shared_ptr<HostSimCase> hostCase_;
    HostSim host_;
};

// Type and text of every message posted to the feeder's output representation, in order.
struct PostedMessage {
    std::wstring type;
    std::wstring text;
};
inline std::vector<PostedMessage> MessagesOf(const DorvixFeeder& feeder) {
    std::vector<PostedMessage> messages;
    for (NCAERep::CCAERepBase* message : feeder.GetOutputRoot()->getChildrenByType(L"Message")) {
        PostedMessage& posted = messages.emplace_back();
        message->getProperty(L"Type").getValue(posted.type);
        message->getProperty(L"Text").getValue(posted.text);
    }
    return messages;
}

// The texts of the error messages the feeder posted so far.
inline std::vector<std::wstring> ErrorTexts(const DorvixFeeder& feeder) {
    std::vector<std::wstring> texts;
    for (const PostedMessage& message : MessagesOf(feeder))
        if (message.type == L"Error") texts.push_back(message.text);
    return texts;
}

// "Type: Text" of every message posted to the feeder's output representation, in order.
inline std::vector<std::wstring> PostedMessages(const DorvixFeeder& feeder) {
    std::vector<std::wstring> messages;
    for (const PostedMessage& message : MessagesOf(feeder))
        messages.push_back(message.type + L": " + message.text);
    return messages;
}

// A feeder of the given class whose deck goes to the test's current (scratch) folder whatever
// the case names, opened and closed as the tests read it.
template <class Feeder>
class InScratch : public Feeder {
  public:
    using Feeder::Feeder;
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name != "XENRADir") return Feeder::ReadNamedOption(name, text);
        text = platform::CurrentFolder().string();
        return true;
    }
    void OpenDeck() {
        this->CreateSolveObjects();
        ASSERT_EQ(this->GetDeckFile()->Open("dorvix.dat"), kRC_Success);
    }
    // Closes the deck and gives the lines written after its five header lines.
    std::vector<std::string> CloseDeckLines() {
        DorvixDeckFile* deck = this->GetDeckFile();
        if (!deck) return {};
        const std::filesystem::path path = deck->GetWorkingFolder() / "dorvix.dat";
        EXPECT_TRUE(deck->CloseDeck());
        std::vector<std::string> lines = decktest::ReadLines(path);
        EXPECT_GE(lines.size(), 5u);
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(5, lines.size()));
        return lines;
    }
};

class FeederUnderTest : public InScratch<DorvixFeeder> {
  public:
    explicit FeederUnderTest(int kind = 1) : InScratch<DorvixFeeder>(kind) {}
    [[nodiscard]] int Feed(TRVDataSourceItf*, ReturnPackage*) override { return kRC_Success; }

    void UseDataSource(TRVDataSourceItf* source) { SetSolveArguments(source, nullptr); }
    void UseSolveArguments(TRVDataSourceItf* source, ReturnPackage* package) {
        SetSolveArguments(source, package);
    }
    void UseHostProvider(std::shared_ptr<NCAERep::IHostModelProvider> provider) {
        InputDatabase().setHostProvider(std::move(provider));
    }
    using DorvixFeeder::SetNonLinearFlag;
    using DorvixFeeder::SetNumberOfSteps;
    // Default settings of an analysis with that many steps.
    void UseSettings(int analysis, int physics, int steps) {
        std::unique_ptr<DorvixSolutionSettings> settings = CreateDorvixSolutionSettings(analysis, physics);
        ASSERT_TRUE(settings);
        if (auto* list = settings->GetControlsAs<DorvixStepControlsList>(kStepListTag)) {
            ASSERT_EQ(list->SetNumberOfSteps(steps), kSettingsDone);
        }
        AdoptSettings(std::move(settings));
        SetNumberOfSteps(steps);
    }
    // As the analysis header writers do once the settings are read.
    void TakeStepCountFromSettings() {
        SetNumberOfSteps(GetSettings() ? GetSettings()->GetNumberOfSteps() : 1);
    }
    // The body table as Open sets it up, with material numbers from the loaded model.
    [[nodiscard]] int SetUpBodies() {
        if (!GetBodyWrapper()) CreateSolveObjects();
        return InitBodyAttributes();
    }
    // The feeder's deck object and wrappers as Open makes them, the deck not yet opened.
    void OpenDeckObject() {
        if (!GetDeckFile()) CreateSolveObjects();
    }
    void OpenDeck() {
        OpenDeckObject();
        ASSERT_EQ(GetDeckFile()->Open("dorvix.dat"), kRC_Success);
    }
};

inline const std::filesystem::path kBlock = std::filesystem::path(DORVIX_SOURCE_DIR) / "examples" / "block";

// A case folder copied into a scratch folder (and changed there when asked), its host live,
// and a feeder whose deck goes to the scratch folder. The block example by default.
class CaseRun {
  public:
    explicit CaseRun(const std::filesystem::path& source = kBlock,
                     const std::function<void(const std::filesystem::path&)>& change = nullptr) {
        const std::filesystem::path folder = scratch_.Path() / "case";
        EXPECT_TRUE(platform::CreateFolders(folder));
        for (const char* file : {"CAERep.xml", "MatML.xml", "host.json"}) {
            if (platform::FileExists(source / file)) {
                EXPECT_TRUE(platform::CopyFileTo(source / file, folder / file, false));
            }
        }
        if (change) change(folder);
        hostCase_ = std::shared_ptr<HostSimCase>(LoadHostCase(folder));
        host_ = std::make_unique<HostSim>(hostCase_);
        feeder.UseDataSource(&host_->DataSource());
    }
    HostSimCase& Case() { return *hostCase_; }
    const std::filesystem::path& Folder() const { return scratch_.Path(); }
    [[nodiscard]] int LoadAndOpen() {
        const int code = feeder.LoadCAERepresentation(platform::WideFromPath(hostCase_->caeRepPath), L"");
        return code == kRC_Success ? feeder.Open() : code;
    }

  private:
    decktest::ScratchFolder scratch_;
    std::shared_ptr<HostSimCase> hostCase_;
    std::unique_ptr<HostSim> host_;

  public:
    FeederUnderTest feeder;
};

// A case of tests/data/cases run as the solve entry runs it: the host's services know its
// applet, the model is loaded and fed, the stand-in solver runs on the deck, in a scratch
// folder at a fixed creation date.
template <class Feeder>
class SolvedCase {
  public:
    explicit SolvedCase(const std::string& name) : model_(name) {
        (void)AddinServices::GetInstance().SetApplet(CreateHostSimApplet(model_.Objects()).Get());
    }
    ~SolvedCase() { AddinServices::ReleaseInstance(); }
    ModelCase& Model() { return model_; }
    [[nodiscard]] int Feed() {
        const int code = feeder_.LoadCAERepresentation(model_.ModelPath(), L"");
        if (code != kRC_Success) return code;
        return feeder_.Feed(&model_.DataSource(), &package_);
    }
    const ReturnPackage& Package() const { return package_; }
    const std::filesystem::path& Folder() const { return scratch_.Path(); }

  private:
    decktest::ScratchFolder scratch_;
    platform::ScopedFixedClock clock_{{2024, 6, 5, 9, 4, 3, 0, 3}};
    platform::ScopedEnvironmentVariable solver_{"DVX_EXE", std::string(DORVIX_BINARY_DIR) + "/solver"};
    ModelCase model_;
    Feeder feeder_;
    ReturnPackage package_;
};

// Stands for the ".SUB" card that turns the automatic time step on in expected lines: the card
// "CIBL 1" with its comment. Its spacing is the analysis's own, held by the whole-deck golden
// files; the step tests check what is written and where.
inline constexpr const char* kAutomaticStepCard = "<the automatic time step card>";

// The lines with each automatic time step card replaced by kAutomaticStepCard.
inline std::vector<std::string> NamingAutomaticStepCard(std::vector<std::string> lines) {
    for (std::string& line : lines) {
        const std::size_t comment = line.find('!');
        if (comment == std::string::npos || line.find_first_not_of(' ', comment + 1) == std::string::npos)
            continue;
        std::istringstream fields(line.substr(0, comment));
        std::string keyword, value, rest;
        if (fields >> keyword >> value && !(fields >> rest) && keyword == "CIBL" && value == "1")
            line = kAutomaticStepCard;
    }
    return lines;
}

}  // namespace feedertest
