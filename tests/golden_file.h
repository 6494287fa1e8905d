// Golden files: texts read by hand once and kept beside the tests, which then compare what the
// system writes with them byte for byte. Every kind (deck sections and whole decks, constraint
// tables, material records, saved settings, the settings grid) goes through this one check.
//
// With DORVIX_UPDATE_GOLDEN=1 in the environment every comparison writes the actual text over
// its golden file (creating it and its folder) and passes; `git diff` then shows what changed,
// to be read line by line before it is committed. Without it a golden file that is missing or
// differs fails the test and nothing is written into the source tree.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/environment.h"
#include "platform/files.h"

namespace golden {

inline constexpr std::string_view kUpdateVariable = "DORVIX_UPDATE_GOLDEN";

inline bool UpdateRequested() {
    return platform::ReadEnvironmentVariable(kUpdateVariable).value_or("") == "1";
}

// The file's bytes; none when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Compares `actual` with the golden file at `path`, or writes it there when an update was asked.
inline void ExpectText(const std::filesystem::path& path, const std::string& actual) {
    const std::optional<std::string> expected = ReadBytes(path);
    if (UpdateRequested()) {
        if (expected == actual) return;
        std::ofstream out;
        if (platform::CreateFolders(path.parent_path())) out.open(path, std::ios::binary | std::ios::trunc);
        out << actual;
        out.close();
        if (!out)
            ADD_FAILURE() << "the golden file " << path << " cannot be written";
        else
            std::cout << "updated golden file " << path.string() << " (read it before committing)\n";
        return;
    }
    if (!expected) {
        ADD_FAILURE() << "no golden file " << path << "; run with " << kUpdateVariable
                      << "=1 to write it, then read it line by line";
        return;
    }
    EXPECT_EQ(*expected, actual) << "differs from the golden file " << path << " (" << kUpdateVariable
                                 << "=1 writes the actual text over it)";
}

// The same for lines, each followed by a line feed in the file.
inline void ExpectLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    ExpectText(path, text);
}

}  // namespace golden
