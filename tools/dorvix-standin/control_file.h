// The control file "dorvix-standin.ctl" in the working folder steers the stand-in solver so
// that tests can reach every outcome of a run. One directive per line; '#' starts a comment.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The most result sets an eigen run may ask for; a larger "modes" is refused.
inline constexpr int kMostModes = 10000;

struct StandinControl {
    // Marker lines to add to a listing: which listing ("spy" or "res") and the full line.
    struct Marker {
        std::string listing;
        std::string line;
    };
    std::vector<Marker> markers;
    std::optional<double> stopAt;       // "stop-at T": no result set later than T
    bool crash = false;                 // "crash": die by a signal before the result files
    bool hang = false;                  // "hang": never end (until killed)
    bool spawnChild = false;            // "spawn-child": start a child that never ends
    std::optional<int> lastCode;        // "last-code N": step code of the last result set
    int exitCode = 0;                   // "exit-code N"
    int modes = 3;                      // "modes N": result sets of an eigen run, 0 to kMostModes
    std::optional<double> temperature;  // "temperature T": thermal node value, else room temperature
    bool workFolder = false;            // "work-folder": leave a scratch folder behind
    std::string stderrText;             // "stderr TEXT": written to standard error
    std::vector<std::string> problems;  // directives that could not be read, with the reason if any
};

// Reads the control file; a missing file gives the defaults.
StandinControl ReadStandinControl(const std::string& path);
// The same for the file's text.
StandinControl ReadStandinControlText(std::string_view text);
