// The deck file: its header and working folder, an earlier solve's files removed, lines cut into records.
#include "deck/deck_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "deck_test_support.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/files.h"

using decktest::FakeOwner;
using decktest::ReadLines;
using decktest::ScratchFolder;

namespace {

constexpr std::size_t kHeaderLines = 5;

// The lines a writer adds after the deck header.
std::vector<std::string> Written(const std::function<void(DorvixDeckFile&)>& write) {
    ScratchFolder folder;
    FakeOwner owner;
    DorvixDeckFile deck(&owner);
    EXPECT_EQ(deck.Open("dorvix.dat"), 0);
    write(deck);
    EXPECT_TRUE(deck.CloseDeck());
    std::vector<std::string> lines = ReadLines(folder.Path() / "dorvix.dat");
    EXPECT_GE(lines.size(), kHeaderLines);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(kHeaderLines));
    return lines;
}

std::vector<std::string> WrittenLine(const std::string& text) {
    return Written([&](DorvixDeckFile& d) { d.WriteLine(text); });
}

}  // namespace

TEST(DeckOpen, WritesHeaderWithCreationDate) {
    ScratchFolder folder;
    platform::ScopedFixedClock clock({2024, 6, 5, 9, 4, 3, 0, 3});
    FakeOwner owner;
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    deck.CloseDeck();
    EXPECT_EQ(deck.GetCreationDate(), "Wed Jun  5 09:04:03 2024");
    EXPECT_EQ(deck.GetPath(), "dorvix.dat");
    const std::vector<std::string> expected = {
        ".INIT &", "! DORVIX input file written by Quohub version 12.0.1",
        "! Dorvix solver add-in version 12,2009,105,1", "! JOBNAME IS 'dorvix'",
        "! DORVIX job created on Wed Jun  5 09:04:03 2024"};
    EXPECT_EQ(ReadLines(folder.Path() / "dorvix.dat"), expected);
}

TEST(DeckOpen, UsesTheFolderOptionAndMakesItCurrent) {
    ScratchFolder folder;
    platform::CreateFolders(folder.Path() / "work");
    FakeOwner owner;
    owner.options["XENRADir"] = (folder.Path() / "work").string();
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    deck.CloseDeck();
    EXPECT_TRUE(platform::FileExists(folder.Path() / "work" / "dorvix.dat"));
    EXPECT_EQ(platform::CurrentFolder(), folder.Path() / "work");
}

// A relative folder option must not be applied twice (the deck would land in work/work).
TEST(DeckOpen, RelativeFolderOptionPutsTheDeckInThatFolder) {
    ScratchFolder folder;
    platform::CreateFolders(folder.Path() / "work");
    FakeOwner owner;
    owner.options["XENRADir"] = "work";
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    deck.CloseDeck();
    EXPECT_TRUE(platform::FileExists(folder.Path() / "work" / "dorvix.dat"));
    EXPECT_FALSE(platform::FolderExists(folder.Path() / "work" / "work"));
    EXPECT_EQ(deck.GetWorkingFolder(), folder.Path() / "work");
}

TEST(DeckOpen, MissingFolderOptionFallsBackToTheTemporaryFolder) {
    ScratchFolder folder;
    FakeOwner owner;
    owner.options["XENRADir"] = (folder.Path() / "absent").string();
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    EXPECT_EQ(platform::CurrentFolder(), platform::TemporaryFolder());
    deck.CloseDeck();
    platform::RemoveFile(platform::TemporaryFolder() / "dorvix.dat");
}

TEST(DeckOpen, RemovesWhatAnEarlierSolveLeft) {
    ScratchFolder folder;
    for (const char* name : {"dorvix.spy", "solve.out", "dorvix_as.res", "dorvix_st.des", "dorvix_mt.fac"})
        decktest::WriteText(folder.Path() / name, "old\n");
    decktest::WriteText(folder.Path() / "keep.txt", "mine\n");
    FakeOwner owner;
    owner.options["XENRADir"] = folder.Path().string();
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    for (const char* name : {"dorvix.spy", "solve.out", "dorvix_as.res", "dorvix_st.des", "dorvix_mt.fac"})
        EXPECT_FALSE(platform::FileExists(folder.Path() / name)) << name;
    EXPECT_TRUE(platform::FileExists(folder.Path() / "keep.txt"));
}

// An earlier solve's description that the deck reads, in the deck's own working folder, is no
// leftover while the deck is written; it goes with the leftovers when the solver is about to
// start, where it would pass for the new run's.
TEST(DeckOpen, KeepsTheEarlierResultItReadsUntilTheSolverStarts) {
    ScratchFolder folder;
    const std::filesystem::path earlier = folder.Path() / "dorvix_mt.des";
    decktest::WriteText(earlier, "earlier results\n");
    decktest::WriteText(folder.Path() / "dorvix_mt.res", "old\n");
    FakeOwner owner;
    owner.options["XENRADir"] = folder.Path().string();
    DorvixDeckFile deck(&owner);
    deck.SetEarlierResultFile(folder.Path() / "." / "dorvix_mt.des");  // spelt otherwise
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    EXPECT_TRUE(platform::FileExists(earlier));
    EXPECT_FALSE(platform::FileExists(folder.Path() / "dorvix_mt.res"));
    platform::ScopedEnvironmentVariable noSolver("DVX_EXE", std::nullopt);
    EXPECT_EQ(deck.CloseAndRun(300), kRC_SolverFolderUndefined);
    EXPECT_FALSE(platform::FileExists(earlier));
}

TEST(DeckOpen, UncreatableDeckAnswers3) {
    ScratchFolder folder;
    platform::CreateFolders(folder.Path() / "dorvix.dat");  // a folder in the deck's place
    FakeOwner owner;
    DorvixDeckFile deck(&owner);
    EXPECT_EQ(deck.Open("dorvix.dat"), 3);
    EXPECT_FALSE(deck.IsOpen());
    EXPECT_EQ(deck.GetOpenFailure(),
              "cannot create " + (folder.Path() / "dorvix.dat").string() + ": Is a directory");
    // The reason belongs to that attempt: a later deck that opens carries none.
    platform::DeleteFolderTree(folder.Path() / "dorvix.dat");
    EXPECT_EQ(deck.Open("dorvix.dat"), 0);
    EXPECT_EQ(deck.GetOpenFailure(), "");
    EXPECT_TRUE(deck.CloseDeck());
}

TEST(DeckOpen, WriteNothingModeCreatesNoFileButKeepsNameAndDate) {
    ScratchFolder folder;
    FakeOwner owner;
    DorvixDeckFile deck(&owner);
    deck.SetWriteNothing(true);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    deck.WriteLine("X");
    deck.WriteFields(".MAT", 1);
    deck.WriteNode(1, 0, 0, 0);
    EXPECT_FALSE(platform::FileExists(folder.Path() / "dorvix.dat"));
    EXPECT_EQ(deck.GetPath(), "dorvix.dat");
    EXPECT_EQ(deck.GetCreationDate().size(), 24u);
}

TEST(DeckLines, ShortLinesAndRawTextAreWrittenAsTheyAre) {
    const std::string eighty(80, 'x');
    EXPECT_EQ(WrittenLine(eighty), std::vector<std::string>{eighty});
    const std::string long_raw(120, 'r');
    EXPECT_EQ(Written([&](DorvixDeckFile& d) { d.WriteRaw(long_raw); }), std::vector<std::string>{long_raw});
}

TEST(DeckLines, CutsAtPosition78WhenItIsWhiteSpace) {
    const std::string text = std::string(78, 'a') + " bc";
    EXPECT_EQ(WrittenLine(text), (std::vector<std::string>{std::string(78, 'a') + " $", " bc"}));
}

TEST(DeckLines, CutsAtTheLastBlankBefore78) {
    const std::string text = std::string(40, 'a') + " " + std::string(59, 'b');
    EXPECT_EQ(WrittenLine(text),
              (std::vector<std::string>{std::string(40, 'a') + " $", " " + std::string(59, 'b')}));
}

TEST(DeckLines, TabCountsAsWhiteSpace) {
    const std::string text = std::string(50, 'a') + "\t" + std::string(40, 'b');
    EXPECT_EQ(WrittenLine(text),
              (std::vector<std::string>{std::string(50, 'a') + "\t$", " " + std::string(40, 'b')}));
}

TEST(DeckLines, LineWithoutUsableBlankStaysWholeWithPrefix) {
    const std::string word(90, 'w');
    EXPECT_EQ(WrittenLine(word), std::vector<std::string>{" " + word});
    const std::string leadingBlank = " " + std::string(89, 'w');  // a blank at position 0 never counts
    EXPECT_EQ(WrittenLine(leadingBlank), std::vector<std::string>{" " + leadingBlank});
    const std::string comment = "!" + std::string(89, 'c');
    EXPECT_EQ(WrittenLine(comment), std::vector<std::string>{"! " + comment});
}

TEST(DeckLines, CommentContinuationsStartWithCommentMark) {
    std::string comment = "!";
    for (int i = 0; i < 30; ++i) comment += " word" + std::to_string(i);
    const std::vector<std::string> lines = WrittenLine(comment);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].front(), '!');
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, 2), "! ") << i;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(lines[i].back(), '$');
        EXPECT_LE(lines[i].size(), 82u);
    }
}

// Reassembles the text from its records: drop the continuation prefix and the end mark.
std::string Reassemble(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string record = i == 0 ? lines[i] : lines[i].substr(1);
        if (i + 1 < lines.size()) record.pop_back();
        text += record;
    }
    return text;
}

// Records 20, 40, ... end the command line with a blank while at least 160 characters
// remain from their start; every other record but the last ends with '$'.
void CheckLongList(const std::string& ids) {
    const std::vector<std::string> lines = Written([&](DorvixDeckFile& d) { d.WriteLongLine(ids); });
    EXPECT_EQ(Reassemble(lines), ids);
    std::size_t start = 0;
    int blankEnds = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        const std::size_t remaining = ids.size() - start;
        if (last) {
            EXPECT_NE(lines[i].back(), '$');
        } else if ((i + 1) % 20 == 0 && remaining >= 160) {
            EXPECT_EQ(lines[i].back(), ' ') << "record " << i + 1;
            ++blankEnds;
        } else {
            EXPECT_EQ(lines[i].back(), '$') << "record " << i + 1;
        }
        start += (i == 0 ? lines[i].size() : lines[i].size() - 1) - (last ? 0 : 1);
    }
    if (lines.size() <= 20) {
        EXPECT_EQ(blankEnds, 0);
    }
}

TEST(DeckLines, LongIdListsBreakTheCommandEveryTwentiethRecord) {
    for (std::size_t size : {500u, 1500u, 1620u, 1700u, 2000u, 4000u}) {
        std::string ids = " I";
        for (int id = 100000; ids.size() < size; ++id) ids += " " + std::to_string(id);
        SCOPED_TRACE(size);
        CheckLongList(ids);
    }
    std::string ids = " I";
    for (int id = 100000; ids.size() < 2000; ++id) ids += " " + std::to_string(id);
    const std::vector<std::string> lines = Written([&](DorvixDeckFile& d) { d.WriteLongLine(ids); });
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[19].back(), ' ');
}

// The 20th record ends the command line only while 160 characters or more remain from its
// start. Records of 78 letters and a blank are cut at position 78, so the 20th record starts
// at 19 * 79 and the text after it is what decides.
TEST(DeckLines, LongListBreakNeedsAtLeast160CharactersLeft) {
    const std::string chunk = std::string(78, 'x') + " ";
    std::string head;
    for (int i = 0; i < 19; ++i) head += chunk;
    const std::vector<std::string> with160 =
        Written([&](DorvixDeckFile& d) { d.WriteLongLine(head + chunk + chunk + "yy"); });
    ASSERT_EQ(with160.size(), 22u);
    EXPECT_EQ(with160[0], chunk + "$");
    EXPECT_EQ(with160[18], " " + chunk + "$");
    EXPECT_EQ(with160[19], " " + chunk + " ");
    EXPECT_EQ(with160[20], " " + chunk + "$");
    EXPECT_EQ(with160[21], " yy");
    const std::vector<std::string> with159 =
        Written([&](DorvixDeckFile& d) { d.WriteLongLine(head + chunk + chunk + "y"); });
    ASSERT_EQ(with159.size(), 21u);
    EXPECT_EQ(with159[19], " " + chunk + "$");
    EXPECT_EQ(with159[20], " " + chunk + "y");
    // The plain line writer never ends a record with a blank.
    const std::vector<std::string> plain =
        Written([&](DorvixDeckFile& d) { d.WriteLine(head + chunk + chunk + "yy"); });
    ASSERT_EQ(plain.size(), 22u);
    EXPECT_EQ(plain[19], " " + chunk + "$");
}
