// A child process of the stand-in that never ends, so that tests can check that cancelling
// a run ends the solver's whole process tree.
#pragma once

#include <string>

inline constexpr const char* kHangingChildArgument = "--hanging-child";

// Starts this program again as a hanging child and writes the child's process id into pidFile.
void StartHangingChild(const std::string& self, const std::string& pidFile);
