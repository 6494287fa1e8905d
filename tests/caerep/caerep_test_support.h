// Shared helpers of the representation tests.
#pragma once

#include <filesystem>
#include <string>

namespace caerep_test {

// The installation folder the tests' registry points at; its "xml" folder holds the project's
// unit definition files.
std::filesystem::path InstallFolder();
// A fresh, empty folder for one test's files.
std::filesystem::path ScratchFolder(const std::string& name);
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& text);
std::filesystem::path DataFile(const std::string& name);

}  // namespace caerep_test
