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
    } else if (word == "modes" && (in >> arg) && ParseInt(arg, i) && i >= 0) {
        control.modes = i;
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
    StandinControl control;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) ReadDirective(line, control);
    return control;
}
