// Judging a solver run by its text listings, and tidying the working folder around a run.
// All names are relative to the working folder, which the deck's Open made current.
#pragma once

#include <string>
#include <vector>

// 0 nothing found, 103 a warning and no error, 104 an error, 6 the listing cannot be read.
int ScanSolverListing(const std::string& path);

// Removes the solver's scratch folders "dorvix??????.dir" from the current folder. 1 when
// at least one was removed and none failed, 0 otherwise (nothing to remove included).
int DeleteSolverWorkDirectories();

// The names an earlier solve may have left that a new run could mistake for its own:
// the running listing copy, the spy listing and each module's listing, description and
// factor files.
std::vector<std::string> StaleSolverFileNames();
// Deletes those files from the current folder; missing files are no error.
void RemoveStaleSolverFiles();
