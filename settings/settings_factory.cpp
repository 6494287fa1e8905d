// The class made for each physics and analysis code, cloning, and the analysis and physics names and codes.
#include "settings/settings_factory.h"

#include <array>
#include <utility>

#include "settings/modal_settings.h"
#include "settings/step_settings_classes.h"

namespace {

constexpr std::array<const wchar_t*, 9> kAnalysisNames = {
    L"Static", L"Harmonic",       L"Transient", L"Spectrum", L"Buckling",
    L"Modal",  L"InitialContact", L"MBD",       L"Shape",
};

constexpr std::pair<const wchar_t*, int> kPhysicsNames[] = {
    {L"Mechanical", kMechanicalPhysics},
    {L"Thermal", kThermalPhysics},
    {L"Electromagnetic", kElectromagneticPhysics},
    {L"ElectricCond", kElectricCondPhysics},
};

}  // namespace

std::unique_ptr<DorvixSolutionSettings> CreateDorvixSolutionSettings(int analysisType, int physicsType) {
    if (physicsType == kMechanicalPhysics) {
        switch (analysisType) {
            case kStaticAnalysis:
                return std::make_unique<DorvixStaticMechanicalSettings>();
            case kTransientAnalysis:
                return std::make_unique<DorvixTransientMechanicalSettings>();
            case kBucklingAnalysis:
                return std::make_unique<DorvixBucklingMechanicalSettings>();
            case kModalAnalysis:
                return std::make_unique<DorvixModalMechanicalSettings>();
            default:
                return nullptr;
        }
    }
    if (physicsType == kThermalPhysics) {
        if (analysisType == kStaticAnalysis) return std::make_unique<DorvixStaticThermalSettings>();
        if (analysisType == kTransientAnalysis) return std::make_unique<DorvixTransientThermalSettings>();
    }
    return nullptr;
}

std::unique_ptr<DorvixSolutionSettings> CloneDorvixSolutionSettings(const DorvixSolutionSettings* source) {
    if (source == nullptr) return nullptr;
    auto clone = CreateDorvixSolutionSettings(source->GetAnalysisType(), source->GetPhysicsType());
    if (!clone || !clone->CopyFrom(*source)) return nullptr;
    return clone;
}

std::unique_ptr<DorvixSolutionSettings> CreateDorvixSolutionSettingsFromNames(
    std::wstring_view analysisTypeName, std::wstring_view physicsTypeName) {
    return CreateDorvixSolutionSettings(GetAnalysisTypeFromName(analysisTypeName),
                                        GetPhysicsTypeFromName(physicsTypeName));
}

int GetAnalysisTypeFromName(std::wstring_view name) {
    for (std::size_t i = 0; i < kAnalysisNames.size(); ++i)
        if (name == kAnalysisNames[i]) return static_cast<int>(i);
    return kStaticAnalysis;
}

int GetPhysicsTypeFromName(std::wstring_view name) {
    for (const auto& [text, type] : kPhysicsNames)
        if (name == text) return type;
    return kMechanicalPhysics;
}

bool GetAnalysisTypeName(int type, std::wstring& name) {
    if (type < 0 || type >= static_cast<int>(kAnalysisNames.size())) return false;
    name = kAnalysisNames[static_cast<std::size_t>(type)];
    return true;
}
