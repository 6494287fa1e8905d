// The simulated host's string table loaded through a non-ASCII wide path, and its answer for each bad file.
#include "host/string_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hostsim/components.h"
#include "platform/files.h"
#include "platform/path_text.h"

namespace {

namespace fs = std::filesystem;

class StringTableFile : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = platform::CreateUniqueTemporaryFolder("dorvix-strings-");
        ASSERT_FALSE(root_.empty());
        folder_ = root_ / platform::PathFromUtf8("caf\xC3\xA9");
        ASSERT_TRUE(platform::CreateFolders(folder_));
    }
    void TearDown() override { platform::DeleteFolderTree(root_); }

    std::wstring Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return platform::WideFromPath(folder_ / name);
    }

    fs::path root_;
    fs::path folder_;
};

TEST_F(StringTableFile, LoadsThroughAWidePathAndTellsWhyItCouldNot) {
    ComPtr<IHostStringTable> table = CreateHostSimStringTable();
    const std::wstring good =
        Write("table.xml", "<StringTable><String key=\"ID_Done\">Fertig \xE2\x9C\x93</String></StringTable>");
    ASSERT_EQ(table->Load(good), S_OK);
    std::wstring text;
    ASSERT_EQ(table->Lookup(L"ID_Done", text), S_OK);
    EXPECT_EQ(text, L"Fertig \u2713");

    const struct {
        std::wstring path;
        HRESULT answer;
    } failures[] = {
        {platform::WideFromPath(folder_ / "missing.xml"), STG_E_FILENOTFOUND},
        {platform::WideFromPath(folder_), STG_E_READFAULT},  // a folder is no table file
        {Write("broken.xml", "<StringTable><String key=\"a\">"), E_FAIL},
        {Write("other.xml", "<Texts/>"), E_FAIL},
    };
    for (const auto& f : failures) {
        ASSERT_EQ(table->Load(good), S_OK);
        EXPECT_EQ(table->Load(f.path), f.answer) << platform::Utf8FromPath(platform::PathFromWide(f.path));
        EXPECT_EQ(table->Lookup(L"ID_Done", text), S_FALSE);  // a failed load leaves the table empty
    }
}

}  // namespace
