// The module chain and driver text of each analysis, the solver's memory, environment and command line.
#include "deck/solver_job.h"

#include <algorithm>
#include <cmath>

#include "deck/deck_file_owner.h"
#include "deck/solver_files.h"
#include "foundation/analysis_kind.h"

namespace {

constexpr std::int64_t kWordsPerMegabyte = 125000;
constexpr std::int64_t kDefaultCore = 37500000;
constexpr int kMaxAutomaticMb = 500;

}  // namespace

StructuralRunMode ChooseStructuralRunMode(DeckFileOwner& owner) {
    if (owner.GetNonLinearFlag() == 1) return StructuralRunMode::kNonLinear;
    if (!owner.IsPrestressedStatic()) return StructuralRunMode::kLinear;
    if (owner.GetNumberOfSteps() == 1 || owner.IsPrestressedModalIntent())
        return StructuralRunMode::kPrestressedTwoPasses;
    return StructuralRunMode::kPrestressedOnePass;
}

SolverModulePlan PlanSolverModules(DeckFileOwner& owner) {
    SolverModulePlan plan;
    switch (owner.GetAnalysisKind()) {
        case kAnalysisStructural:
            switch (ChooseStructuralRunMode(owner)) {
                case StructuralRunMode::kNonLinear:
                    plan = {{"INPUT.mcnl"}, "ba,me", L"me"};
                    break;
                case StructuralRunMode::kPrestressedTwoPasses:
                    plan = {{"INPUT.alin_1", ".FIN 1", "INPUT.alin_2"}, "ba,as,ba,as", L"as"};
                    break;
                case StructuralRunMode::kLinear:
                case StructuralRunMode::kPrestressedOnePass:
                    plan = {{"INPUT.alin"}, "ba,as", L"as"};
                    break;
            }
            break;
        case kAnalysisEigen:
            if (owner.IsBucklingAnalysis())
                plan = {{"INPUT.flamb"}, "ba,st", L"st"};
            else
                plan = {{"INPUT.vibra"}, "ba,dy", L"dy"};
            break;
        case kAnalysisThermal:
            plan = {{"INPUT.mcnlth"}, "ba,mt", L"mt"};
            break;
        default:
            break;
    }
    return plan;
}

std::string ResultDescriptionFile(const SolverModulePlan& plan) {
    return plan.moduleName.empty() ? std::string() : SolverModuleFile(plan.moduleName, ".des");
}

std::string BuildDriverText(const SolverModulePlan& plan, std::string_view deckFileName) {
    std::string text;
    for (const std::string& entry : plan.driverEntries) {
        text += entry;
        if (entry != ".FIN 1") {
            text += " \"";
            text += deckFileName;
            text += '"';
        }
        text += '\n';
    }
    text += ".FIN 1\n";
    return text;
}

SolverMemory ComputeSolverMemory(int requestedMb, std::uint64_t physicalMemoryBytes, int memoryMode,
                                 int zoneMemoryMb, int coreMemoryMb) {
    SolverMemory memory;
    if (memoryMode == 1) {
        memory.core = std::max<std::int64_t>(coreMemoryMb, 0) * kWordsPerMegabyte;
        memory.zone = std::max<std::int64_t>(zoneMemoryMb, 0) * kWordsPerMegabyte;
    } else {
        const double limit = static_cast<double>(physicalMemoryBytes) * 9.5367431640625e-07 * 0.35;
        std::int64_t m = std::max(requestedMb, 0);
        if (static_cast<double>(m) > limit) m = static_cast<std::int64_t>(std::floor(limit));
        m = std::min<std::int64_t>(m, kMaxAutomaticMb);
        memory.core = m * kWordsPerMegabyte;
        memory.zone = 2 * memory.core;
    }
    if (memory.core == 0) memory.core = kDefaultCore;
    if (memory.zone == 0) memory.zone = 2 * memory.core;
    const double percent = static_cast<double>(memory.core) * 100.0 / static_cast<double>(memory.zone);
    memory.dbram = static_cast<int>(std::clamp(std::trunc(percent), 1.0, 100.0));
    return memory;
}

std::vector<std::pair<std::string, std::string>> BuildSolverEnvironment(const SolverMemory& memory) {
    return {{"DVX_ZONE", std::to_string(memory.zone)},
            {"DVX_DBRAM", std::to_string(memory.dbram)},
            {"DVX_LANG", "vfr"},
            {"DVX_HOME", "."}};
}

std::string BuildSolverCommandText(std::string_view solverFolder, std::string_view chain) {
    std::string text = "\"";
    text += solverFolder;
    text += "/Dorvix.exe\"";
    if (!chain.empty()) {
        text += " \"";
        text += chain;
        text += "\" ";
    }
    text += "dorvix n 1 ";
    return text;
}

std::vector<std::string> BuildSolverArguments(std::string_view solverFolder, std::string_view chain) {
    std::vector<std::string> args;
    args.emplace_back(std::string(solverFolder) + "/Dorvix.exe");
    if (!chain.empty()) args.emplace_back(chain);
    args.insert(args.end(), {"dorvix", "n", "1"});
    return args;
}
