// Input and output files: reading in lines or bounded pieces, and failures naming the file and the reason.
#include "platform/file_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

class FileStream : public ::testing::Test {
  protected:
    void TearDown() override { platform::DeleteFolderTree(dir_); }

    std::vector<std::string> Pieces(const std::string& content, std::size_t maxChars) {
        platform::OutputFile out;
        EXPECT_TRUE(out.Create(dir_ / "in.txt"));
        EXPECT_TRUE(out.Write(content));
        EXPECT_TRUE(out.Close());
        platform::InputFile in;
        EXPECT_TRUE(in.Open(dir_ / "in.txt"));
        std::vector<std::string> pieces;
        for (std::string piece; in.ReadPiece(piece, maxChars);) pieces.push_back(piece);
        EXPECT_EQ(in.Failure(), "");
        return pieces;
    }

    fs::path dir_ = platform::CreateUniqueTemporaryFolder("filestream");
};

TEST_F(FileStream, PiecesAreLinesOrBoundedPartsOfLongerOnes) {
    using Pieces_ = std::vector<std::string>;
    EXPECT_EQ(Pieces("", 5), Pieces_{});
    EXPECT_EQ(Pieces("ab\n\ncd", 5), (Pieces_{"ab\n", "\n", "cd"}));
    // The newline counts toward the bound, as the C library's line reader counts it.
    EXPECT_EQ(Pieces("abcdefghi\nxy\n", 4), (Pieces_{"abcd", "efgh", "i\n", "xy\n"}));
    EXPECT_EQ(Pieces("abc\n", 3), (Pieces_{"abc", "\n"}));
    // Lines across the reader's internal blocks come out whole.
    const std::string line(70000, 'q');
    EXPECT_EQ(Pieces("x\n" + line + "\nend\n", 100000), (Pieces_{"x\n", line + "\n", "end\n"}));
}

TEST_F(FileStream, FailuresNameTheFileAndTheReason) {
    std::string error;
    platform::OutputFile out;
    EXPECT_FALSE(out.Create(dir_ / "absent" / "x.txt", &error));
    EXPECT_EQ(error, "cannot create " + (dir_ / "absent" / "x.txt").string() + ": No such file or directory");
    EXPECT_FALSE(out.Write("x", &error));
    EXPECT_FALSE(out.IsOpen());

    platform::InputFile in;
    EXPECT_FALSE(in.Open(dir_ / "missing.txt", &error));
    EXPECT_EQ(error, "cannot open " + (dir_ / "missing.txt").string() + ": No such file or directory");

    // A folder opens but cannot be read: that is a failure, not an empty file.
    ASSERT_TRUE(in.Open(dir_));
    std::string piece;
    EXPECT_FALSE(in.ReadPiece(piece, 10));
    EXPECT_EQ(in.Failure(), "cannot read " + dir_.string() + ": Is a directory");
}

TEST_F(FileStream, AFullDeviceFailsTheWrite) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no full device";
    platform::OutputFile out;
    ASSERT_TRUE(out.Create("/dev/full"));
    std::string error;
    EXPECT_FALSE(out.Write(std::string(1000, 'x'), &error));
    EXPECT_EQ(error, "cannot write /dev/full: No space left on device");
}

}  // namespace
