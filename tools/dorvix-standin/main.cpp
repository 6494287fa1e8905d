// Stand-in for the external solver program. It is no finite-element solver: it checks the
// command line, environment, driver file and deck it is given the way the add-in hands
// them over, and writes the listings and result description a run leaves behind, so that
// the add-in's job runner, listing scan and end-time check can run for real. A control file
// in the working folder asks it for warnings, errors, a short run, a crash or a hang.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "control_file.h"
#include "deck_reader.h"
#include "platform/environment.h"
#include "result_files.h"
#include "standin_child.h"

namespace {

constexpr const char* kControlFile = "dorvix-standin.ctl";

struct RunRequest {
    std::string chain;
    std::string jobName;
    std::vector<std::string> deckFiles;  // from the INPUT lines of the driver file
    std::vector<std::string> problems;
};

std::string Env(const char* name) {
    return platform::ReadEnvironmentVariable(std::string_view(name)).value_or("");
}

// The modules an INPUT keyword of the driver file runs; null for an unknown keyword.
const char* ModulesOfDriverKind(const std::string& kind) {
    static const std::pair<const char*, const char*> kKinds[] = {
        {"INPUT.alin", "ba,as"},   {"INPUT.alin_1", "ba,as"}, {"INPUT.alin_2", "ba,as"},
        {"INPUT.mcnl", "ba,me"},   {"INPUT.flamb", "ba,st"},  {"INPUT.vibra", "ba,dy"},
        {"INPUT.mcnlth", "ba,mt"},
    };
    for (const auto& [name, modules] : kKinds)
        if (kind == name) return modules;
    return nullptr;
}

RunRequest ReadRequest(int argc, char** argv) {
    RunRequest request;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4) {
        request.chain = args[0];
        args.erase(args.begin());
    }
    if (args.size() != 3 || args[1] != "n" || args[2] != "1")
        request.problems.push_back("unexpected command line");
    else
        request.jobName = args[0];
    if (Env("DVX_LANG") != "vfr") request.problems.push_back("DVX_LANG is not vfr");
    if (Env("DVX_HOME") != ".") request.problems.push_back("DVX_HOME is not .");
    if (Env("DVX_ZONE").empty() || Env("DVX_DBRAM").empty())
        request.problems.push_back("DVX_ZONE or DVX_DBRAM is not set");
    // The driver file arrives on standard input: INPUT.<kind> "<deck>" lines and .FIN 1, the
    // last line .FIN 1. The kinds named must be those the module chain runs.
    bool endsWithFin = false;
    std::string chainOfKinds;
    for (std::string line; std::getline(std::cin, line);) {
        if (line.empty()) continue;
        endsWithFin = line == ".FIN 1";
        if (endsWithFin) continue;
        const auto blank = line.find(' ');
        const std::string kind = line.substr(0, blank);
        const std::string quoted = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        const char* modules = ModulesOfDriverKind(kind);
        if (!modules) {
            request.problems.push_back("unknown driver line: " + line);
        } else if (quoted.size() < 3 || quoted.front() != '"' || quoted.back() != '"' ||
                   quoted.find('"', 1) != quoted.size() - 1) {
            request.problems.push_back("driver line without a quoted deck name: " + line);
        } else {
            request.deckFiles.push_back(quoted.substr(1, quoted.size() - 2));
            chainOfKinds += (chainOfKinds.empty() ? "" : ",") + std::string(modules);
        }
    }
    if (!endsWithFin) request.problems.push_back("the driver file does not end with .FIN 1");
    if (chainOfKinds != request.chain)
        request.problems.push_back("the driver file runs \"" + chainOfKinds + "\", the command line \"" +
                                   request.chain + "\"");
    return request;
}

// The module whose files the run writes: the last one of the chain.
std::string ModuleOf(const std::string& chain) {
    const auto comma = chain.rfind(',');
    return comma == std::string::npos ? chain : chain.substr(comma + 1);
}

void AddMarkers(std::ostream& out, const StandinControl& control, const std::string& listing) {
    for (const auto& m : control.markers)
        if (m.listing == listing) out << m.line << "\n";
}

[[noreturn]] void HangForever() {
    for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

std::vector<ResultSet> PlanResultSets(const DeckSummary& deck, const StandinControl& control, bool eigen) {
    std::vector<ResultSet> sets;
    if (eigen) {
        for (int i = 1; i <= control.modes; ++i) sets.push_back({i, 10.0 * i, i});
    } else {
        for (std::size_t i = 0; i < deck.stepTimes.size(); ++i) {
            const double t = deck.stepTimes[i];
            if (control.stopAt && t > *control.stopAt) break;
            sets.push_back({static_cast<int>(i) + 1, t, static_cast<int>(i) + 1});
        }
    }
    if (control.lastCode && !sets.empty()) sets.back().code = *control.lastCode;
    return sets;
}

int Run(int argc, char** argv) {
    const StandinControl control = ReadStandinControl(kControlFile);
    const RunRequest request = ReadRequest(argc, argv);
    const std::string module = ModuleOf(request.chain);
    const bool eigen = module == "st" || module == "dy";

    std::cout << "Dorvix stand-in solver: checks its input, computes nothing.\n";
    std::cout << "command:";
    for (int i = 0; i < argc; ++i) std::cout << ' ' << argv[i];
    std::cout << "\nDVX_ZONE=" << Env("DVX_ZONE") << " DVX_DBRAM=" << Env("DVX_DBRAM")
              << " DVX_LANG=" << Env("DVX_LANG") << " DVX_HOME=" << Env("DVX_HOME") << "\n";
    std::cout.flush();
    if (!control.stderrText.empty()) std::cerr << control.stderrText << std::endl;
    if (control.workFolder) std::filesystem::create_directory("dorvix123456.dir");
    if (control.spawnChild) StartHangingChild(argv[0], "standin-child.pid");

    const std::string listingName = "dorvix_" + (module.empty() ? std::string("xx") : module) + ".res";
    std::ofstream listing(listingName, std::ios::trunc);
    listing << " DORVIX (stand-in) module chain " << request.chain << "\n";
    for (const std::string& p : request.problems) listing << " %%%E " << p << "\n";
    for (const std::string& p : control.problems) listing << " %%%E control file: " << p << "\n";
    listing.flush();

    if (control.hang) HangForever();
    if (control.crash) {
        listing << " crashing as the control file asks\n";
        listing.flush();
        std::abort();
    }

    // The results describe the last deck; a problem in any deck of the chain stops the run.
    DeckSummary deck;
    bool decksSound = true;
    for (const std::string& name : request.deckFiles) {
        deck = ReadDeck(name);
        listing << " deck " << name << ": " << deck.nodeIds.size() << " nodes, " << deck.elementCount
                << " elements\n";
        for (const std::string& p : deck.problems) listing << " %%%E " << p << "\n";
        decksSound = decksSound && deck.problems.empty();
    }
    if (request.deckFiles.empty()) listing << " %%%E no deck named by the driver file\n";
    AddMarkers(listing, control, "res");

    bool sound = request.problems.empty() && control.problems.empty() && !request.deckFiles.empty() &&
                 decksSound && !module.empty();
    if (sound) {
        const std::vector<ResultSet> sets = PlanResultSets(deck, control, eigen);
        for (const ResultSet& s : sets)
            listing << " result set " << s.number << (eigen ? " eigenvalue " : " time ")
                    << NumberText(s.value) << "\n";
        const std::vector<int> noNodes;
        const std::string description = "dorvix_" + module + ".des";
        if (WriteResultDescription(description, module, eigen, sets, module == "mt" ? deck.nodeIds : noNodes,
                                   control.temperature.value_or(RoomTemperature(deck.temperatureUnit)))) {
            std::ofstream("dorvix_" + module + ".fac", std::ios::trunc) << "stand-in factors\n";
        } else {
            listing << " %%%E cannot write the result description " << description << "\n";
            sound = false;
        }
    }
    listing << " END OF RUN\n";
    listing.close();

    std::ofstream spy("dorvix.spy", std::ios::trunc);
    spy << " DORVIX (stand-in) run summary\n";
    AddMarkers(spy, control, "spy");
    spy << (sound ? " run complete\n" : " run stopped on input errors\n");
    return control.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == kHangingChildArgument) HangForever();
    return Run(argc, argv);
}
