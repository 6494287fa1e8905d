// Environment variables, file copying, reading and replacing writes, folder holds, the clock, user notices.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <new>
#include <thread>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/notifier.h"
#include "platform/process.h"

namespace {

namespace fs = std::filesystem;

TEST(Environment, SetsReadsAndUnsets) {
    platform::ScopedEnvironmentVariable scoped("DORVIX_TEST_VAR", "before");
    EXPECT_EQ(platform::ReadEnvironmentVariable(std::string_view("DORVIX_TEST_VAR")), "before");
    ASSERT_TRUE(platform::WriteEnvironmentVariable(std::wstring_view(L"DORVIX_TEST_VAR"), L"caf\u00E9"));
    EXPECT_EQ(platform::ReadEnvironmentVariable(std::string_view("DORVIX_TEST_VAR")), "caf\xC3\xA9");
    EXPECT_EQ(platform::ReadEnvironmentVariable(std::wstring_view(L"DORVIX_TEST_VAR")), L"caf\u00E9");
    ASSERT_TRUE(platform::WriteEnvironmentVariable(std::string_view("DORVIX_TEST_VAR"), ""));
    EXPECT_EQ(platform::ReadEnvironmentVariable(std::string_view("DORVIX_TEST_VAR")), "");  // set, but empty
    ASSERT_TRUE(platform::UnsetEnvironmentVariable(std::string_view("DORVIX_TEST_VAR")));
    EXPECT_FALSE(platform::ReadEnvironmentVariable(std::string_view("DORVIX_TEST_VAR")));
    EXPECT_FALSE(platform::WriteEnvironmentVariable(std::string_view("A=B"), "x"));
    EXPECT_FALSE(platform::WriteEnvironmentVariable(std::string_view(""), "x"));
}

TEST(Environment, ScopedVariableRestoresTheEarlierState) {
    platform::UnsetEnvironmentVariable(std::string_view("DORVIX_TEST_SCOPE"));
    {
        platform::ScopedEnvironmentVariable s("DORVIX_TEST_SCOPE", "inner");
        EXPECT_EQ(platform::ReadEnvironmentVariable(std::string_view("DORVIX_TEST_SCOPE")), "inner");
    }
    EXPECT_FALSE(platform::ReadEnvironmentVariable(std::string_view("DORVIX_TEST_SCOPE")));
}

TEST(Environment, ExpandsReferencesAndKeepsUnknownOnes) {
    platform::ScopedEnvironmentVariable a("DORVIX_A", "alpha");
    platform::ScopedEnvironmentVariable b("DORVIX_B", "");
    platform::ScopedEnvironmentVariable none("DORVIX_UNSET", std::nullopt);
    EXPECT_EQ(platform::ExpandEnvironmentText(L"%DORVIX_A%/x/%DORVIX_A%"), L"alpha/x/alpha");
    EXPECT_EQ(platform::ExpandEnvironmentText(L"[%DORVIX_B%]"), L"[]");
    EXPECT_EQ(platform::ExpandEnvironmentText(L"%DORVIX_UNSET%/y"), L"%DORVIX_UNSET%/y");
    EXPECT_EQ(platform::ExpandEnvironmentText(L"100% sure"), L"100% sure");
    EXPECT_EQ(platform::ExpandEnvironmentText(L"%%"), L"%%");
    EXPECT_EQ(platform::ExpandEnvironmentText(L"%DORVIX_UNSET%%DORVIX_A%"), L"%DORVIX_UNSET%alpha");

    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(platform::ExpandEnvironmentText(L"%DORVIX_A%", buffer, 6), 6u);  // five letters and the end
    EXPECT_EQ(std::wstring(buffer), L"alpha");
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(platform::ExpandEnvironmentText(L"%DORVIX_A%", buffer, 5), 0u);
    EXPECT_EQ(buffer[0], L'#');
}

TEST(Environment, MachineFacts) {
    EXPECT_GT(platform::PhysicalMemoryBytes(), 64ull << 20);  // any machine that builds this has more
    EXPECT_EQ(platform::GetThreadLocale(), 1033u);
    {
        platform::ScopedThreadLocale scoped(1036);
        EXPECT_EQ(platform::GetThreadLocale(), 1033u);  // the seam changes nothing
    }
    EXPECT_EQ(platform::SetThreadLocale(1031), 1033u);
}

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = platform::CreateUniqueTemporaryFolder("dorvix-files-");
        ASSERT_TRUE(platform::FolderExists(root_));
    }
    void TearDown() override { platform::DeleteFolderTree(root_); }
    void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path root_;
};

TEST_F(FilesTest, CopyHonoursFailIfExists) {
    Write(root_ / "a.res", "listing");
    Write(root_ / "solve.out", "old");
    std::string error;
    EXPECT_FALSE(platform::CopyFileTo(root_ / "a.res", root_ / "solve.out", true, &error));
    EXPECT_NE(error.find("exists"), std::string::npos);
    EXPECT_EQ(Read(root_ / "solve.out"), "old");
    EXPECT_TRUE(platform::CopyFileTo(root_ / "a.res", root_ / "solve.out", false));
    EXPECT_EQ(Read(root_ / "solve.out"), "listing");
    EXPECT_TRUE(platform::CopyFileTo(root_ / "a.res", root_ / "fresh.out", true));
    EXPECT_EQ(Read(root_ / "fresh.out"), "listing");
    EXPECT_FALSE(platform::CopyFileTo(root_ / "missing.res", root_ / "solve.out", false, &error));
    EXPECT_EQ(Read(root_ / "solve.out"), "listing");
    // No temporary copies are left beside the targets.
    EXPECT_EQ(platform::ListFolder(root_), (std::vector<std::string>{"a.res", "fresh.out", "solve.out"}));
    // A file of another file system whose size the system does not know, and an empty file.
    ASSERT_TRUE(platform::CopyFileTo("/proc/self/status", root_ / "status", false, &error)) << error;
    EXPECT_EQ(Read(root_ / "status").rfind("Name:", 0), 0u);
    Write(root_ / "empty.res", "");
    ASSERT_TRUE(platform::CopyFileTo(root_ / "empty.res", root_ / "solve.out", false));
    EXPECT_EQ(Read(root_ / "solve.out"), "");
}

// A source that ends before the size it had when it was opened, as a file cut while it is copied
// does (a kernel attribute file always does), leaves the target as it was.
TEST_F(FilesTest, CopyRefusesASourceThatEndsShortOfItsSize) {
    const fs::path shorter = "/sys/kernel/uevent_seqnum";
    if (platform::FileSize(shorter) <= static_cast<long long>(Read(shorter).size()))
        GTEST_SKIP() << "no kernel attribute file that reads shorter than its size";
    Write(root_ / "deck.dat", "earlier");
    std::string error;
    EXPECT_FALSE(platform::CopyFileTo(shorter, root_ / "deck.dat", false, &error));
    EXPECT_NE(error.find("cut short while it was copied"), std::string::npos) << error;
    EXPECT_EQ(Read(root_ / "deck.dat"), "earlier");
    EXPECT_EQ(platform::ListFolder(root_), std::vector<std::string>{"deck.dat"});
}

TEST_F(FilesTest, ReadsWholeFilesOrSaysTheSystemsReason) {
    std::string bytes(200000, '\0');  // more than one read, zeros included
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    Write(root_ / "dorvix.res", bytes);
    std::string read = "stale", error;
    ASSERT_TRUE(platform::ReadWholeFile(root_ / "dorvix.res", read, &error)) << error;
    EXPECT_EQ(read, bytes);
    // A bound the file keeps to, one it passes, and its start alone.
    ASSERT_TRUE(platform::ReadWholeFile(root_ / "dorvix.res", read, bytes.size(), &error)) << error;
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(platform::ReadWholeFile(root_ / "dorvix.res", read, bytes.size() - 1, &error));
    EXPECT_EQ(error, "it holds more than 199999 bytes");
    ASSERT_TRUE(platform::ReadFileStart(root_ / "dorvix.res", 70000, read, &error)) << error;
    EXPECT_EQ(read, bytes.substr(0, 70000));
    Write(root_ / "empty.out", "");
    ASSERT_TRUE(platform::ReadWholeFile(root_ / "empty.out", read));
    EXPECT_EQ(read, "");

    read = "stale";
    EXPECT_FALSE(platform::ReadWholeFile(root_ / "missing.res", read, &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(read, "");
    EXPECT_FALSE(platform::ReadWholeFile(root_, read, &error));
    EXPECT_EQ(error, "not a regular file");
    // A FIFO is refused at once, not waited on until something writes to it.
    ASSERT_EQ(::mkfifo((root_ / "fifo").c_str(), 0644), 0);
    EXPECT_FALSE(platform::ReadWholeFile(root_ / "fifo", read, &error));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_FALSE(platform::CopyFileTo(root_ / "fifo", root_ / "copy", false, &error));
}

TEST_F(FilesTest, DeletesFilesFoldersAndWildcardMatches) {
    for (const char* dir : {"dorvix123456.dir", "dorvixabcdef.dir", "dorvix12345.dir", "other.dir"}) {
        platform::CreateFolders(root_ / dir / "sub");
        Write(root_ / dir / "sub" / "f.tmp", "x");
    }
    Write(root_ / "dorvix_err.out", "e");
    bool all = false;
    EXPECT_EQ(platform::DeleteMatching(root_, "dorvix??????.dir", &all), 2u);
    EXPECT_TRUE(all);
    EXPECT_EQ(platform::ListFolder(root_),
              (std::vector<std::string>{"dorvix12345.dir", "dorvix_err.out", "other.dir"}));
    EXPECT_EQ(platform::DeleteMatching(root_, "nothing*", &all), 0u);
    EXPECT_TRUE(all);

    EXPECT_FALSE(platform::RemoveFile(root_ / "other.dir"));  // a folder is no file
    EXPECT_TRUE(platform::RemoveFile(root_ / "dorvix_err.out"));
    EXPECT_FALSE(platform::RemoveFile(root_ / "dorvix_err.out"));
    EXPECT_TRUE(platform::DeleteFolderTree(root_ / "other.dir"));
    EXPECT_FALSE(platform::FolderExists(root_ / "other.dir"));
    EXPECT_FALSE(platform::DeleteFolderTree(root_ / "other.dir"));
}

// The three ways of writing by replacement, each putting "new" where `to` leads.
struct ReplacingWriter {
    const char* name;
    std::function<bool(const fs::path& scratch, const fs::path& to, std::string* error)> write;
};

const ReplacingWriter kReplacingWriters[] = {
    {"WriteFileReplacing", [](const fs::path&, const fs::path& to,
                              std::string* error) { return platform::WriteFileReplacing(to, "new", error); }},
    {"CopyFileTo",
     [](const fs::path& scratch, const fs::path& to, std::string* error) {
         std::ofstream(scratch / "source.txt") << "new";
         return platform::CopyFileTo(scratch / "source.txt", to, false, error);
     }},
    {"ReplaceFileWith",
     [](const fs::path& scratch, const fs::path& to, std::string* error) {
         std::ofstream(scratch / "moving.txt") << "new";
         return platform::ReplaceFileWith(scratch / "moving.txt", to, error);
     }},
};

// Names the writers left beside their targets; none may stay.
std::vector<std::string> TemporaryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const std::string& name : platform::ListFolder(folder))
        if (name.find(".tmp-") != std::string::npos) names.push_back(name);
    return names;
}

// A link (and a link to it) stays a link and its target gets the bytes; the file replaced
// keeps its permissions and its owner; a dangling link gets its target made.
TEST_F(FilesTest, WritingByReplacementGoesThroughLinksAndKeepsModeAndOwner) {
    const bool root = ::geteuid() == 0;
    for (const ReplacingWriter& writer : kReplacingWriters) {
        SCOPED_TRACE(writer.name);
        const fs::path folder = root_ / writer.name;
        ASSERT_TRUE(platform::CreateFolders(folder / "data"));
        Write(folder / "data" / "target.txt", "old");
        fs::permissions(folder / "data" / "target.txt", fs::perms(0640));
        if (root) {
            ASSERT_EQ(::chown((folder / "data" / "target.txt").c_str(), 4321, 4322), 0);
        }
        fs::create_symlink("data/target.txt", folder / "link.txt");
        fs::create_symlink(folder / "link.txt", folder / "link-to-link.txt");
        fs::create_symlink("data/fresh.txt", folder / "dangling.txt");

        std::string error;
        ASSERT_TRUE(writer.write(folder, folder / "link-to-link.txt", &error)) << error;
        EXPECT_TRUE(fs::is_symlink(folder / "link-to-link.txt"));
        EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
        EXPECT_EQ(Read(folder / "data" / "target.txt"), "new");
        struct stat info {};
        ASSERT_EQ(::stat((folder / "data" / "target.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        if (root) {
            EXPECT_EQ(info.st_uid, 4321u);
            EXPECT_EQ(info.st_gid, 4322u);
        }
        ASSERT_TRUE(writer.write(folder, folder / "dangling.txt", &error)) << error;
        EXPECT_TRUE(fs::is_symlink(folder / "dangling.txt"));
        EXPECT_EQ(Read(folder / "data" / "fresh.txt"), "new");
        EXPECT_TRUE(TemporaryNames(folder).empty());
        EXPECT_TRUE(TemporaryNames(folder / "data").empty());
    }
}

// What is no regular file, or is read-only, is refused by name and stays as it was: a FIFO
// (also behind a link), a folder, a file without any write permission (refused even where the
// process could override its mode).
TEST_F(FilesTest, WritingByReplacementRefusesWhatIsNoWritableRegularFile) {
    struct Row {
        const char* target;
        const char* reason;
    };
    const Row rows[] = {{"fifo", "it is a FIFO, not a regular file"},
                        {"link-to-fifo", "it is a FIFO, not a regular file"},
                        {"folder", "it is a folder, not a regular file"},
                        {"read-only.txt", "the file is read-only"}};
    for (const ReplacingWriter& writer : kReplacingWriters) {
        const fs::path folder = root_ / writer.name;
        ASSERT_TRUE(platform::CreateFolders(folder / "folder"));
        ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0644), 0);
        fs::create_symlink("fifo", folder / "link-to-fifo");
        Write(folder / "read-only.txt", "kept");
        fs::permissions(folder / "read-only.txt", fs::perms(0444));
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(writer.name) + " " + row.target);
            std::string error;
            EXPECT_FALSE(writer.write(folder, folder / row.target, &error));
            EXPECT_NE(error.find((folder / row.target).string()), std::string::npos) << error;
            EXPECT_NE(error.find(row.reason), std::string::npos) << error;
        }
        struct stat info {};
        ASSERT_EQ(::lstat((folder / "fifo").c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
        EXPECT_TRUE(fs::is_symlink(folder / "link-to-fifo"));
        EXPECT_TRUE(platform::FolderExists(folder / "folder"));
        EXPECT_EQ(Read(folder / "read-only.txt"), "kept");
        ASSERT_EQ(::stat((folder / "read-only.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0444u);
        EXPECT_TRUE(TemporaryNames(folder).empty());
    }
}

// A folder another process holds is refused at once, naming that process; the holds of one
// process share its hold, and the last one to go removes the lock file.
TEST_F(FilesTest, AFolderHeldByAnotherProcessIsRefusedAtOnce) {
    if (!platform::FileExists("/usr/bin/flock")) GTEST_SKIP() << "no flock program to hold the folder";
    const fs::path lockFile = root_ / platform::kFolderHoldFileName;
    platform::ProcessOptions options;
    options.executable = "/bin/sh";
    options.arguments = {"-c",
                         "echo 4711 > dorvix-run.lock; exec /usr/bin/flock dorvix-run.lock sh -c "
                         "'echo > held; exec sleep 30'"};
    options.workingFolder = root_;
    platform::ChildProcess other;
    ASSERT_TRUE(other.Start(options));
    for (int i = 0; i < 1000 && !platform::FileExists(root_ / "held"); ++i) platform::SleepMs(5);
    ASSERT_TRUE(platform::FileExists(root_ / "held"));

    platform::FolderHold hold;
    std::string error;
    const std::uint64_t start = platform::MonotonicMs();
    EXPECT_FALSE(hold.Acquire(root_, &error));
    EXPECT_LT(platform::MonotonicMs() - start, 1000u);
    EXPECT_EQ(error, "it is in use by another run (process 4711)");
    EXPECT_FALSE(hold.IsHeld());
    other.KillTree();

    ASSERT_TRUE(hold.Acquire(root_, &error)) << error;
    EXPECT_EQ(Read(lockFile), std::to_string(::getpid()) + "\n");
    {
        platform::FolderHold again;
        ASSERT_TRUE(again.Acquire(root_ / ".", &error)) << error;
    }
    EXPECT_TRUE(platform::FileExists(lockFile));  // the first hold still holds
    hold.Release();
    EXPECT_FALSE(platform::FileExists(lockFile));
    EXPECT_FALSE(hold.Acquire(root_ / "held", &error));
    EXPECT_EQ(error, "it is no folder");
    // What stands at the lock file's name and is no regular file is no lock: named, never used.
    fs::create_symlink(root_ / "elsewhere", lockFile);
    EXPECT_FALSE(hold.Acquire(root_, &error));
    EXPECT_EQ(error, "its lock file " + lockFile.string() + " is a symbolic link");
    fs::remove(lockFile);
    ASSERT_EQ(::mkfifo(lockFile.c_str(), 0644), 0);
    EXPECT_FALSE(hold.Acquire(root_, &error));
    EXPECT_EQ(error, "its lock file " + lockFile.string() + " is a FIFO, not a regular file");
    EXPECT_FALSE(fs::exists(root_ / "elsewhere"));
}

// Two processes that ask for one folder at one instant: one holds it, and the other is refused
// naming it, however close the two come.
TEST_F(FilesTest, ARunRefusedAtTheSameInstantNamesTheHolder) {
    for (int round = 0; round < 20; ++round) {
        const fs::path folder = root_ / std::to_string(round);
        ASSERT_TRUE(platform::CreateFolders(folder));
        int go[2], results[2], done[2];
        ASSERT_EQ(::pipe(go) | ::pipe(results) | ::pipe(done), 0);
        pid_t children[2] = {};
        for (pid_t& child : children) {
            if ((child = ::fork()) != 0) continue;
            // Only the parent's ends stay open elsewhere, so that closing them ends the reads.
            for (int end : {go[1], results[0], done[1]}) ::close(end);
            char byte = 0;
            std::string error;
            platform::FolderHold hold;
            (void)!::read(go[0], &byte, 1);
            const std::string line =
                std::to_string(::getpid()) + " " + (hold.Acquire(folder, &error) ? "held" : error) + "\n";
            (void)!::write(results[1], line.data(), line.size());
            (void)!::read(done[0], &byte, 1);  // holds until the parent has both answers
            ::_exit(0);
        }
        for (int end : {go[0], results[1], done[0]}) ::close(end);
        (void)!::write(go[1], "gg", 2);
        std::string answers;
        char chunk[256];
        for (ssize_t n = 1; n > 0 && std::count(answers.begin(), answers.end(), '\n') < 2;)
            if ((n = ::read(results[0], chunk, sizeof chunk)) > 0)
                answers.append(chunk, static_cast<std::size_t>(n));
        for (int end : {go[1], results[0], done[1]}) ::close(end);
        for (pid_t child : children) ::waitpid(child, nullptr, 0);
        const std::string a = std::to_string(children[0]), b = std::to_string(children[1]);
        const auto refused = [](const std::string& who, const std::string& holder) {
            return who + " it is in use by another run (process " + holder + ")\n";
        };
        EXPECT_TRUE(answers == a + " held\n" + refused(b, a) || answers == b + " held\n" + refused(a, b) ||
                    answers == refused(a, b) + b + " held\n" || answers == refused(b, a) + a + " held\n")
            << round << ": " << answers;
    }
}

// A lock file that nobody holds (left by a run that ended, or of a hold that is just ending) is
// taken over by one run at a time: of several processes that keep asking for the folder until
// each has held it once, no two hold it together, round after round. The processes are started
// once and run the rounds in step through shared memory, which also counts those that hold the
// folder.
TEST_F(FilesTest, ALockFileLeftByAnEndedRunIsTakenOverByOneRunAtATime) {
    constexpr int kRuns = 6, kRounds = 100;
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    struct Shared {
        std::atomic<int> round{-1}, finished{0}, now{0};
        std::atomic<int> together{0};  // holds taken while another run held the folder
    };
    void* memory = ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Shared* const shared = new (memory) Shared;
    pid_t runs[kRuns] = {};
    for (pid_t& run : runs) {
        if ((run = ::fork()) != 0) continue;
        (void)::prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (int round = 0; round < kRounds; shared->finished.fetch_add(1), ++round) {
            while (shared->round.load() < round) std::this_thread::yield();
            for (bool held = false; !held;) {
                platform::FolderHold hold;
                if (!(held = hold.Acquire(root_))) continue;
                if (shared->now.fetch_add(1) != 0) shared->together.fetch_add(1);
                // A moment held, so that the others ask meanwhile and find its lock file as it goes.
                std::this_thread::sleep_for(std::chrono::microseconds(100));
                shared->now.fetch_sub(1);
            }
        }
        ::_exit(0);
    }
    int round = 0;
    for (const std::uint64_t start = platform::MonotonicMs(); round < kRounds; ++round) {
        Write(root_ / platform::kFolderHoldFileName, std::to_string(ended) + "\n");
        shared->round.store(round);
        while (shared->finished.load() < (round + 1) * kRuns && platform::MonotonicMs() - start < 120000)
            std::this_thread::yield();
        if (shared->finished.load() < (round + 1) * kRuns) break;
    }
    for (pid_t run : runs) {
        if (round != kRounds) ::kill(run, SIGKILL);  // one may still be asking for the folder
        ::waitpid(run, nullptr, 0);
    }
    EXPECT_EQ(round, kRounds) << "a run never got the folder";
    EXPECT_EQ(shared->together.load(), 0) << "holds taken while another run held the folder";
    ::munmap(memory, sizeof(Shared));
}

TEST(Wildcard, MatchesStarsAndQuestionMarks) {
    EXPECT_TRUE(platform::WildcardMatch("dorvix??????.dir", "dorvixA1b2C3.dir"));
    EXPECT_FALSE(platform::WildcardMatch("dorvix??????.dir", "dorvix12345.dir"));
    EXPECT_FALSE(platform::WildcardMatch("dorvix??????.dir", "dorvix1234567.dir"));
    EXPECT_TRUE(platform::WildcardMatch("*.u18", "dorvix_me.u18"));
    EXPECT_TRUE(platform::WildcardMatch("d*_*.r*s", "dorvix_st.res"));
    EXPECT_TRUE(platform::WildcardMatch("*", ""));
    EXPECT_FALSE(platform::WildcardMatch("?", ""));
    EXPECT_FALSE(platform::WildcardMatch("*.RES", "dorvix_st.res"));
}

TEST_F(FilesTest, CurrentFolderCanBeChangedAndRestored) {
    fs::path before = platform::CurrentFolder();
    ASSERT_TRUE(platform::SetCurrentFolder(root_));
    EXPECT_EQ(fs::canonical(platform::CurrentFolder()), fs::canonical(root_));
    std::string error;
    EXPECT_FALSE(platform::SetCurrentFolder(root_ / "missing", &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(platform::SetCurrentFolder(before));
    EXPECT_TRUE(platform::FolderExists(platform::TemporaryFolder()));
}

TEST(Clock, FixedClockGivesReproducibleDates) {
    {
        platform::ScopedFixedClock fixed({2024, 2, 29, 13, 5, 9, 250});
        platform::LocalDateTime t = platform::LocalNow();
        EXPECT_EQ(t.year, 2024);
        EXPECT_EQ(t.month, 2);
        EXPECT_EQ(t.day, 29);
        EXPECT_EQ(t.hour, 13);
        EXPECT_EQ(t.millisecond, 250);
        EXPECT_EQ(t.dayOfWeek, 4);  // a Thursday
        auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(platform::WallClockNow().time_since_epoch())
                .count();
        EXPECT_EQ(seconds, 1709211909);  // 2024-02-29T13:05:09Z
    }
    EXPECT_GE(platform::LocalNow().year, 2024);
}

TEST(Clock, MonotonicClockAdvancesWithSleep) {
    std::uint64_t start = platform::MonotonicMs();
    platform::SleepMs(20);
    EXPECT_GE(platform::MonotonicMs() - start, 20u);
}

TEST(Notifier, WritesToTheLogTestsRead) {
    platform::ClearUserMessageLog();
    platform::ShowUserMessage(L"Error", L"The solver could not be started.");
    auto log = platform::UserMessageLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].title, L"Error");
    EXPECT_EQ(log[0].text, L"The solver could not be started.");
    platform::ClearUserMessageLog();
    EXPECT_TRUE(platform::UserMessageLog().empty());
}

}  // namespace
