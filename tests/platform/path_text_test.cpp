// Paths with non-ASCII names between UTF-8, wide text and the file system, in the "C" locale.
#include "platform/path_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <locale>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

// The locale a process starts in: the standard library's own wide path forms fail in it.
class ClassicLocale {
  public:
    ClassicLocale() : saved_(std::locale::global(std::locale::classic())) {}
    ~ClassicLocale() { std::locale::global(saved_); }

  private:
    std::locale saved_;
};

struct NameCase {
    const wchar_t* wide;
    const char* utf8;
};

constexpr NameCase kNames[] = {
    {L"plain/folder", "plain/folder"},
    {L"caf\u00E9/w\u00F6rk", "caf\xC3\xA9/w\xC3\xB6rk"},
    {L"\u65E5\u672C/\u30C7\u30FC\u30BF.xml",
     "\xE6\x97\xA5\xE6\x9C\xAC/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.xml"},
    {L"\U0001F4C1 box", "\xF0\x9F\x93\x81 box"},  // beyond the basic plane
};

TEST(PathText, ConvertsBetweenWideTextUtf8AndNativeBytes) {
    ClassicLocale classic;
    for (const NameCase& name : kNames) {
        SCOPED_TRACE(name.utf8);
        const fs::path fromWide = platform::PathFromWide(name.wide);
        EXPECT_EQ(fromWide.native(), name.utf8);
        EXPECT_EQ(platform::PathFromUtf8(name.utf8), fromWide);
        EXPECT_EQ(platform::Utf8FromPath(fromWide), name.utf8);
        EXPECT_EQ(platform::WideFromPath(fromWide), name.wide);
    }
}

// A name under another encoding comes back from its wide form byte for byte, and its wide form
// shows a replacement character where the stray bytes are.
TEST(PathText, BytesThatAreNoUtf8SurviveTheWayThroughWideText) {
    ClassicLocale classic;
    for (const char* bytes : {"caf\xE9/x", "\xFF", "a\xC3", "\xED\xB2\x80-\xC3\xA9", "\xF0\x9F\x93"}) {
        SCOPED_TRACE(bytes);
        const fs::path name = platform::PathFromUtf8(bytes);
        EXPECT_EQ(platform::Utf8FromPath(name), bytes);  // the bytes themselves stay
        const std::wstring wide = platform::WideFromPath(name);
        EXPECT_EQ(platform::PathFromWide(wide).native(), bytes);
        EXPECT_NE(platform::WideToUtf8(wide).find("\xEF\xBF\xBD"), std::string::npos);
    }
    EXPECT_EQ(platform::WideFromPath(platform::PathFromUtf8("caf\xE9/x")), L"caf\xDCE9/x");
    EXPECT_EQ(platform::WideToUtf8(platform::WideFromPath(platform::PathFromUtf8("caf\xE9/x"))),
              "caf\xEF\xBF\xBD/x");
}

TEST(PathText, FoldersAndFilesWithNonAsciiNamesAreMadeListedAndFound) {
    ClassicLocale classic;
    const fs::path root = platform::CreateUniqueTemporaryFolder("dorvix-paths-");
    ASSERT_FALSE(root.empty());
    const fs::path folder = root / platform::PathFromWide(L"caf\u00E9/w\u00F6rk");
    ASSERT_TRUE(platform::CreateFolders(folder));
    std::ofstream(folder / platform::PathFromWide(L"MatML-\u00FC.xml")) << "x";
    EXPECT_TRUE(
        platform::FileExists(platform::PathFromWide(platform::WideFromPath(folder) + L"/MatML-\u00FC.xml")));
    EXPECT_EQ(platform::ListFolder(folder), std::vector<std::string>{"MatML-\xC3\xBC.xml"});
    {
        // A temporary folder named by the environment in UTF-8 holds new folders as well.
        platform::ScopedEnvironmentVariable tmp("TMPDIR", platform::Utf8FromPath(folder));
        const fs::path inner = platform::CreateUniqueTemporaryFolder("w\xC3\xB6rk-");
        ASSERT_FALSE(inner.empty());
        EXPECT_EQ(inner.parent_path(), folder);
        EXPECT_TRUE(platform::FolderExists(inner));
    }
    EXPECT_TRUE(platform::DeleteFolderTree(root));
}

}  // namespace
