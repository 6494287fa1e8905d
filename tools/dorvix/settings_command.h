// dorvix settings <case-folder> [--set <name>=<value> ...]
//
// Plays the host's property grid for the case's analysis: the add-in module is loaded and the
// add-in loaded into the host, the settings object is created by the module's class factory,
// given the case's settings host object, the analysis and physics types of the
// model and the host's callback, and reads the settings the model holds. Without --set the grid
// is printed; with it each value is put through its entry in order, and only when every one
// was taken are the settings written back into the model's file (and host.json, for a change of
// the step count), both or neither.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

struct SettingsCommand {
    std::filesystem::path caseFolder;
    // Entry name and value text, in the order given.
    std::vector<std::pair<std::string, std::string>> assignments;
};

// Exit codes of the command (the bad-case code is the solve's).
inline constexpr int kSettingsExitWriteFailed = 1;
inline constexpr int kSettingsExitBadCase = 2;
inline constexpr int kSettingsExitRefused = 3;
// An edit that a stop signal (SIGINT, SIGTERM, SIGHUP) ended, with the case as it was.
inline constexpr int kSettingsExitStopped = 130;

// The add-in module is the one the registry names for the solver's class (registered from
// `programFolder` when it names none, as for a solve). Answers the command's exit code.
[[nodiscard]] int RunSettingsCommand(const SettingsCommand& command,
                                     const std::filesystem::path& programFolder, std::ostream& out,
                                     std::ostream& err);
