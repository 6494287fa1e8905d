// The pieces of a solver run that follow from the analysis alone: which solver modules run
// and what the driver file says, the memory the solver is given, and its command text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class DeckFileOwner;

struct SolverModulePlan {
    // Driver keywords in order; ".FIN 1" entries between them stand as they are.
    std::vector<std::string> driverEntries;
    std::string chain;        // for example "ba,as"; empty for an unknown analysis kind
    std::wstring moduleName;  // "as", "me", "st", "dy", "mt"; empty for an unknown kind
};

// How a structural analysis runs, from the non-linear flag and the settings: one linear pass,
// or one prestressed, or two (the second prestressed by the first) when there is one step or the
// run is kept for a prestressed modal analysis.
enum class StructuralRunMode { kNonLinear, kLinear, kPrestressedOnePass, kPrestressedTwoPasses };
StructuralRunMode ChooseStructuralRunMode(DeckFileOwner& owner);

// The modules, driver entries and chain of the owner's analysis: the one place that decides them.
SolverModulePlan PlanSolverModules(DeckFileOwner& owner);
// The result description the plan's last module writes ("dorvix_as.des", ...); empty for a plan
// without a module (an unknown analysis kind).
std::string ResultDescriptionFile(const SolverModulePlan& plan);

// The text of "dummy.dat" for a plan and the deck file name.
std::string BuildDriverText(const SolverModulePlan& plan, std::string_view deckFileName);

struct SolverMemory {
    std::int64_t zone = 0;  // DVX_ZONE, in solver words (125,000 per megabyte)
    std::int64_t core = 0;
    int dbram = 0;  // DVX_DBRAM: core as a percentage of zone, 1 to 100
};

// Memory mode 1 takes the deck's zone and core megabytes as they are; any other mode sizes
// the solver from the request, limited to 35 % of the physical memory and to 500 MB.
SolverMemory ComputeSolverMemory(int requestedMb, std::uint64_t physicalMemoryBytes, int memoryMode,
                                 int zoneMemoryMb, int coreMemoryMb);

// The variables the solver finds in its environment: DVX_ZONE and DVX_DBRAM from the
// memory, DVX_LANG "vfr" and DVX_HOME ".".
std::vector<std::pair<std::string, std::string>> BuildSolverEnvironment(const SolverMemory& memory);

// The command text whose length decides whether the solver can be started (at most 260).
std::string BuildSolverCommandText(std::string_view solverFolder, std::string_view chain);
constexpr std::size_t kMaxSolverCommandLength = 260;

// The argument vector the solver is started with (program first).
std::vector<std::string> BuildSolverArguments(std::string_view solverFolder, std::string_view chain);
