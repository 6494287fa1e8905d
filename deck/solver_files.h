// The names of the files a solver run reads and leaves in the working folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr const char* kSolverDriverFile = "dummy.dat";
inline constexpr const char* kSolverStandardOutput = "dorvix.out";
inline constexpr const char* kSolverStandardError = "dorvix_err.out";
inline constexpr const char* kSolverSpyListing = "dorvix.spy";
// The copy of the running module listing that the host reads while the solver runs.
inline constexpr const char* kRunningListingCopy = "solve.out";
// The solver's scratch folders: "dorvix", six characters, ".dir".
inline constexpr const char* kSolverWorkFolderPattern = "dorvix??????.dir";
// The modules a run may end in, by their two-letter codes.
inline constexpr const char* kSolverModules[] = {"as", "me", "st", "dy", "mt"};

// A module's own file: "dorvix_" + module + suffix, for the listing ".res", the result
// description ".des" and the factor file ".fac".
std::string SolverModuleFile(std::string_view module, std::string_view suffix);
std::string SolverModuleFile(const std::wstring& module, std::string_view suffix);

// A run's file by its name in the working folder; an empty folder stands for the current one.
std::filesystem::path SolverFilePath(const std::filesystem::path& folder, std::string_view name);
