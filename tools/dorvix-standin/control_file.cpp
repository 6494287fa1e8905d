// Reading the control file's directives into the stand-in's run plan; a line not understood is a problem.
#include "control_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

bool ParseDouble(const std::string& text, double& value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool ParseInt(const std::string& text, int& value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

std::string RestOfLine(std::istringstream& in) {
    std::string rest;
    std::getline(in, rest);
    const auto start = rest.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : rest.substr(start);
}

void ReadDirective(const std::string& line, StandinControl& control) {
    std::istringstream in(line);
    std::string word, arg;
    in >> word;
    if (word.empty() || word[0] == '#') return;
    double d = 0;
    int i = 0;
    if (word == "warning" || word == "error" || word == "avertissement") {
        std::string listing;
        in >> listing;
        const std::string text = RestOfLine(in);
        if (listing != "spy" && listing != "res") {
            control.problems.push_back(line);
            return;
        }
        std::string marker = word == "warning" ? " %%%A " : word == "error" ? " %%%E " : "!%%%AVERTISSEMENT ";
        control.markers.push_back({listing, marker + text});
    } else if (word == "stop-at" && (in >> arg) && ParseDouble(arg, d)) {
        control.stopAt = d;
    } else if (word == "last-code" && (in >> arg) && ParseInt(arg, i)) {
        control.lastCode = i;
    } else if (word == "exit-code" && (in >> arg) && ParseInt(arg, i)) {
        control.exitCode = i;
    } else if (word == "modes") {
        // Each mode is a result set written out in full: an absurd count would only exhaust
        // memory and disk before the run could report anything.
        if ((in >> arg) && ParseInt(arg, i) && i >= 0 && i <= kMostModes)
            control.modes = i;
        else
            control.problems.push_back(line + " (a count from 0 to " + std::to_string(kMostModes) +
                                       " is expected)");
    } else if (word == "temperature" && (in >> arg) && ParseDouble(arg, d)) {
        control.temperature = d;
    } else if (word == "crash") {
        control.crash = true;
    } else if (word == "hang") {
        control.hang = true;
    } else if (word == "spawn-child") {
        control.spawnChild = true;
    } else if (word == "work-folder") {
        control.workFolder = true;
    } else if (word == "stderr") {
        control.stderrText = RestOfLine(in);
    } else {
        control.problems.push_back(line);
    }
}

}  // namespace

StandinControl ReadStandinControl(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    return ReadStandinControlText(text.str());
}

StandinControl ReadStandinControlText(std::string_view text) {
    StandinControl control;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        ReadDirective(std::string(text.substr(0, end)), control);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return control;
}
