// One fresh object of every analysis settings class: those the factory makes, and the
// harmonic settings, which are made directly.
#pragma once

#include <memory>
#include <vector>

#include "settings/harmonic_settings.h"
#include "settings/settings_factory.h"
#include "settings/settings_types.h"

namespace fuzz {

inline std::vector<std::unique_ptr<DorvixSolutionSettings>> EverySettingsClass() {
    std::vector<std::unique_ptr<DorvixSolutionSettings>> all;
    for (int analysis : {kStaticAnalysis, kTransientAnalysis, kBucklingAnalysis, kModalAnalysis})
        all.push_back(CreateDorvixSolutionSettings(analysis, kMechanicalPhysics));
    for (int analysis : {kStaticAnalysis, kTransientAnalysis})
        all.push_back(CreateDorvixSolutionSettings(analysis, kThermalPhysics));
    all.push_back(std::make_unique<DorvixHarmonicMechanicalSettings>());
    return all;
}

}  // namespace fuzz
