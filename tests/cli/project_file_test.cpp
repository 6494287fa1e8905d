// The add-in's project data as the built command line saves and resumes it through the host's
// project storage, and the project files it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hostsim/project_storage.h"
#include "platform/files.h"
#include "tests/cli/cli_run.h"
#include "tests/deck/deck_test_support.h"

namespace {

namespace fs = std::filesystem;
using clitest::Outcome;

constexpr int kExitBadInput = 2;
constexpr const wchar_t* kAddinStream = L"DORVIX_ADDIN_STREAM";

class ProjectFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        case_ = scratch_.Path() / "case";
        fs::copy(fs::path(DORVIX_TEST_DATA) / "cases" / "settings-tree", case_, fs::copy_options::recursive);
        work_ = scratch_.Path() / "work";
        project_ = scratch_.Path() / "saved.hostsim";
    }

    Outcome Dorvix(const std::vector<std::string>& arguments) {
        return clitest::CliRun(scratch_.Path(), "run", arguments).Finish();
    }
    Outcome Solve(const std::string& option, const fs::path& project) {
        return Dorvix({case_.string(), "--work", work_.string(), option, project.string()});
    }
    // The streams of the saved project file, with its bytes.
    std::map<std::wstring, HostSimProjectStorage::Bytes> SavedStreams(std::string& bytes) {
        std::map<std::wstring, HostSimProjectStorage::Bytes> streams;
        std::string reason;
        EXPECT_TRUE(platform::ReadWholeFile(project_, bytes));
        EXPECT_TRUE(HostSimProjectStorage::Parse(bytes, streams, reason)) << reason;
        return streams;
    }
    // The case's settings then end their second step at 3 instead of 2.
    void MoveTheEndTime() {
        const Outcome edit =
            Dorvix({"settings", case_.string(), "--set", "CurrentStepNumber=2", "EndTime=3"});
        ASSERT_EQ(edit.exit, 0) << edit.err;
    }

    decktest::ScratchFolder scratch_;
    fs::path case_, work_, project_;
};

TEST_F(ProjectFileTest, AResumeBringsBackTheSettingsObjectsTheSaveKept) {
    const Outcome saved = Solve("--save-project", project_);
    ASSERT_EQ(saved.exit, 0) << saved.err;
    EXPECT_NE(saved.out.find("project:   saved to " + project_.string() +
                             "\n  settings object 10: Static Mechanical, 2 steps, end time 2\n"),
              std::string::npos)
        << saved.out;
    MoveTheEndTime();

    const Outcome resumed = Solve("--resume-project", project_);
    EXPECT_NE(resumed.out.find("project:   resumed from " + project_.string() +
                               "\n  settings object 10: Static Mechanical, 2 steps, end time 2\n"),
              std::string::npos)
        << resumed.out << resumed.err;
}

TEST_F(ProjectFileTest, ASaveWithoutResumeKeepsNoStreamOfAnEarlierProject) {
    fs::create_directories(work_);
    const std::wstring planted = L"EARLIER_PROJECT_STREAM";
    decktest::WriteText(work_ / "project.hostsim", HostSimProjectStorage::Serialise({{planted, {1, 2, 3}}}));

    ASSERT_EQ(Solve("--save-project", project_).exit, 0);
    std::string bytes;
    const auto streams = SavedStreams(bytes);
    EXPECT_EQ(streams.count(planted), 0u);
    EXPECT_EQ(streams.count(kAddinStream), 1u);
    EXPECT_FALSE(platform::FileExists(work_ / "project.hostsim.earlier"));
}

TEST_F(ProjectFileTest, ARefusedProjectLeavesTheSettingsObjectsAndEndsTheRun) {
    ASSERT_EQ(Solve("--save-project", project_).exit, 0);
    std::string bytes;
    auto streams = SavedStreams(bytes);
    ASSERT_GT(streams[kAddinStream].size(), 12u);
    MoveTheEndTime();

    // Each case rewrites a copy of the saved project.
    using Streams = std::map<std::wstring, HostSimProjectStorage::Bytes>;
    using Damage = std::function<std::string(Streams)>;
    // The saved streams with the add-in's data changed by `change`.
    const auto addinData = [](std::function<void(HostSimProjectStorage::Bytes&)> change) -> Damage {
        return [change](Streams s) {
            change(s[kAddinStream]);
            return HostSimProjectStorage::Serialise(s);
        };
    };
    struct Case {
        const char* label;
        Damage damage;
        const char* reason;
    };
    const Case cases[] = {
        {"file cut short", [&](auto) { return bytes.substr(0, bytes.size() - 5); }, "cannot be read"},
        {"add-in data of another version", addinData([](auto& data) { data[0] = 2; }),
         "the add-in could not resume its project data: the add-in's project data is of version 2; this "
         "add-in reads version 1"},
        {"add-in data cut short", addinData([](auto& data) { data.resize(data.size() - 5); }),
         "the add-in could not resume its project data: the saved settings of host object 10 end early"},
        {"a record count the data cannot hold", addinData([](auto& data) { data.resize(12); }),
         "the add-in could not resume its project data: the project data counts 1 settings records, more "
         "than its 0 bytes left can hold"},
        {"settings of a host object the add-in does not hold", addinData([](auto& data) { data[12] = 11; }),
         "the add-in could not resume its project data: the project data holds settings of host object 11, "
         "for which the add-in holds no settings object"},
    };
    // The project the work folder holds stays as the save left it.
    const fs::path stored = work_ / "project.hostsim";
    std::string storedBytes;
    ASSERT_TRUE(platform::ReadWholeFile(stored, storedBytes));
    for (const Case& c : cases) {
        const fs::path damaged = scratch_.Path() / "damaged.hostsim";
        decktest::WriteText(damaged, c.damage(streams));
        const Outcome refused = Solve("--resume-project", damaged);
        EXPECT_EQ(refused.exit, kExitBadInput) << c.label;
        EXPECT_NE(refused.err.find(c.reason), std::string::npos) << c.label << ": " << refused.err;
        EXPECT_EQ(refused.out,
                  "project:   not resumed; the settings objects stay as they were\n"
                  "  settings object 10: Static Mechanical, 2 steps, end time 3\n")
            << c.label;
        std::string bytesAfter;
        EXPECT_TRUE(platform::ReadWholeFile(stored, bytesAfter)) << c.label;
        EXPECT_EQ(bytesAfter, storedBytes) << c.label;
        EXPECT_FALSE(platform::FileExists(work_ / "project.hostsim.resuming")) << c.label;
    }
}

// A settings object that holds no settings (the model's settings element cannot be read) cannot be
// saved whole: the save is refused before the solve, and an earlier project file stays.
TEST_F(ProjectFileTest, AProjectThatCannotBeSavedWholeIsRefusedBeforeTheSolve) {
    decktest::WriteText(project_, "earlier");
    std::string model = decktest::ReadText(case_ / "CAERep.xml");
    decktest::WriteText(case_ / "CAERep.xml",
                        model.insert(model.rfind("</CAERep>"), "<N CAEType=\"object\" Type=\"&n;\"/>"));
    const Outcome refused = Solve("--save-project", project_);
    EXPECT_EQ(refused.exit, kExitBadInput);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(
        refused.err.find(project_.string() + ": the settings object of host object 10 holds no settings ("),
        std::string::npos)
        << refused.err;
    EXPECT_EQ(decktest::ReadText(project_), "earlier");
}

// A file is looked at before it is read: one that is no regular file, whose first bytes are no
// project file's or that is larger than a project can be is refused at once with its reason, and
// the project the work folder holds stays.
TEST_F(ProjectFileTest, AFileThatIsNoProjectIsRefusedWithItsReasonBeforeItIsRead) {
    ASSERT_EQ(Solve("--save-project", project_).exit, 0);
    const std::string saved = decktest::ReadText(project_),
                      stored = decktest::ReadText(work_ / "project.hostsim");
    // Sparse: no disk is taken.
    const auto twoGigabytes = [](const std::string& start) {
        return [start](const fs::path& p) {
            decktest::WriteText(p, start);
            fs::resize_file(p, std::uintmax_t{1} << 31);
        };
    };
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        std::string reason;
    } cases[] = {
        {"missing", [](const fs::path&) {}, "there is no project file"},
        {"fifo", [](const fs::path& p) { EXPECT_EQ(::mkfifo(p.c_str(), 0644), 0); },
         "it is a FIFO, not a regular file"},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, "it is a folder, not a regular file"},
        {"zeros", twoGigabytes(""), "cannot be read: it is no project file"},
        {"large", twoGigabytes(saved),
         "it holds 2147483648 bytes, more than the 256 MiB a project file may hold"},
    };
    for (const auto& c : cases) {
        const fs::path file = scratch_.Path() / c.name;
        c.make(file);
        const Outcome refused = Solve("--resume-project", file);
        EXPECT_EQ(refused.exit, kExitBadInput) << c.name;
        EXPECT_NE(refused.err.find(c.reason), std::string::npos) << c.name << ": " << refused.err;
        EXPECT_EQ(decktest::ReadText(work_ / "project.hostsim"), stored) << c.name;
    }
}

}  // namespace
