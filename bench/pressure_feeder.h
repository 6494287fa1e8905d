// A feeder that writes a case's pressures alone: it opens a deck over the case folder with a
// number of steps ending at 1, 2, ... and writes what WritePressureLoads writes, for the load
// writer benchmarks.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "deck/dorvix_feeder.h"
#include "hostsim/host_sim.h"
#include "platform/path_text.h"
#include "runtime/return_package.h"
#include "settings/settings_factory.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"

namespace bench {

class PressureFeeder : public DorvixFeeder {
  public:
    explicit PressureFeeder(std::filesystem::path folder) : DorvixFeeder(1), folder_(std::move(folder)) {}
    int Feed(TRVDataSourceItf*, ReturnPackage*) override { return 0; }
    int CheckBoundaryConditions() override { return 0; }
    int WriteContacts() override { return 0; }
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        if (name != "XENRADir") return DorvixFeeder::ReadNamedOption(name, text);
        text = folder_.string();
        return true;
    }
    // Opens a deck over the case with the given number of steps ending at 1, 2, ...
    bool Prepare(HostSim& host, ReturnPackage& package, int steps) {
        SetSolveArguments(&host.DataSource(), &package);
        const int loaded = LoadCAERepresentation(platform::WideFromPath(folder_ / "CAERep.xml"), L"");
        if (loaded != 0) return Failed("model load", loaded);
        if (const int opened = Open(); opened != 0) return Failed("deck open", opened);
        std::unique_ptr<DorvixSolutionSettings> settings = CreateDorvixSolutionSettings(0, 1);
        if (!settings) return Failed("settings", 0);
        if (auto* list = settings->GetControlsAs<DorvixStepControlsList>(kStepListTag))
            (void)list->SetNumberOfSteps(steps);
        for (int s = 1; s <= steps; ++s)
            settings->GetStepControlsAs<DorvixStepControls>(s, kStepSelector)->StoreEndTime(s);
        AdoptSettings(std::move(settings));
        SetNumberOfSteps(steps);
        return true;
    }

  private:
    static bool Failed(const char* what, int code) {
        std::fprintf(stderr, "%s: code %d\n", what, code);
        return false;
    }
    std::filesystem::path folder_;
};

}  // namespace bench
