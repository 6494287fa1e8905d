// dorvix settings <case-folder> [--set <name>=<value> ...]
//
// Plays the host's property grid for the case's analysis: the settings object is created by
// its class id, given the case's settings host object, the analysis and physics types of the
// model and the host's callback, and reads the settings the model holds. Without --set the grid
// is printed; with it each value is put through its entry in order, and only when every one
// was taken are the settings written back into the model's file.
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

[[nodiscard]] int RunSettingsCommand(const SettingsCommand& command, std::ostream& out, std::ostream& err);
