// Shared pieces of the deck tests: a scratch working folder that is current for the test,
// a feeder stand-in answering the deck file's questions, file helpers and the case folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "platform/files.h"

namespace decktest {

class ScratchFolder {
  public:
    ScratchFolder()
        : saved_(platform::CurrentFolder()), path_(platform::CreateUniqueTemporaryFolder("decktest")) {
        platform::SetCurrentFolder(path_);
    }
    ~ScratchFolder() {
        platform::SetCurrentFolder(saved_);
        platform::DeleteFolderTree(path_);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path saved_;
    std::filesystem::path path_;
};

class FakeOwner : public DeckFileOwner {
  public:
    // The deck goes to the folder that is current when the owner is made (the test's scratch
    // folder) unless a test names another.
    FakeOwner() { options["XENRADir"] = platform::CurrentFolder().string(); }

    bool ReadNamedOption(const std::string& name, std::string& text) override {
        auto it = options.find(name);
        if (it == options.end()) return false;
        text = it->second;
        return true;
    }
    int GetAnalysisKind() const override { return kind; }
    int GetNonLinearFlag() const override { return nonLinear; }
    bool IsPrestressedStatic() override { return prestressedStatic; }
    bool IsBucklingAnalysis() override { return buckling; }
    int GetNumberOfSteps() const override { return steps; }
    bool IsPrestressedModalIntent() const override { return modalIntent; }
    void PostHostMessage(const std::wstring& text, const std::wstring& type) override {
        messages.emplace_back(text, type);
    }

    std::map<std::string, std::string> options;
    int kind = 1;
    int nonLinear = 0;
    bool prestressedStatic = false;
    bool buckling = false;
    int steps = 1;
    bool modalIntent = false;
    std::vector<std::pair<std::wstring, std::wstring>> messages;
};

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Every line, header included, of a deck that write fills in a scratch folder of its own.
inline std::vector<std::string> DeckLines(const std::function<void(DorvixDeckFile&)>& write) {
    ScratchFolder folder;
    FakeOwner owner;
    DorvixDeckFile deck(&owner);
    EXPECT_EQ(deck.Open("dorvix.dat"), 0);
    write(deck);
    deck.CloseDeck();
    return ReadLines(folder.Path() / "dorvix.dat");
}

// tests/data/cases/<name>: a case folder as the simulated host reads it.
inline std::filesystem::path CaseFolder(const std::string& name) {
    return std::filesystem::path(DORVIX_TEST_DATA) / "cases" / name;
}

// The lines as one text, a line feed after each.
inline std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

}  // namespace decktest
