// The registry file: keys and escapes read, expansion into buffers, malformed files, refused writes, deletes.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "platform/environment.h"
#include "platform/files.h"

namespace {

using platform::RegistryRoot;

constexpr const wchar_t* kAddinKey = L"SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin\\";

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = platform::CreateUniqueTemporaryFolder("dorvix-registry-");
        ASSERT_FALSE(folder_.empty());
        file_ = folder_ / "registry.txt";
        registry_.emplace("DORVIX_REGISTRY", file_.string());
        home_.emplace("DORVIX_TEST_HOME", "/opt/dorvix");
    }
    void TearDown() override {
        home_.reset();
        registry_.reset();
        platform::DeleteFolderTree(folder_);
    }
    void WriteFile(const std::string& text) {
        std::ofstream out(file_, std::ios::binary);
        out << text;
    }
    std::string ReadFile() {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path folder_, file_;
    std::optional<platform::ScopedEnvironmentVariable> registry_, home_;
};

const char kSample[] =
    "# installed by the set-up\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin]\n"
    "\"InstallDir\"=\"%DORVIX_TEST_HOME%/addin\"\n"
    "@=\"default\"\n"
    "\r\n"
    "; contact options\n"
    "[HKLM\\software\\xenra, inc.\\V120\\TalpFramework\\AddIns\\DorvixAddin\\Contacts Default Options]\n"
    "  \"STI\" = \"PROJ 1\"  \n"
    "\"Quoted\"=\"say \\\"hi\\\" C:\\\\x \\n\"\n";

TEST_F(RegistryTest, ReadsValuesWithCaseInsensitiveKeysAndEscapes) {
    WriteFile(kSample);
    std::wstring value;
    ASSERT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, kAddinKey, L"installdir", &value),
              S_OK);
    EXPECT_EQ(value, L"%DORVIX_TEST_HOME%/addin");
    ASSERT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, kAddinKey, L"", &value), S_OK);
    EXPECT_EQ(value, L"default");
    std::wstring contacts = std::wstring(kAddinKey) + L"CONTACTS default options";
    ASSERT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, contacts, L"STI", &value), S_OK);
    EXPECT_EQ(value, L"PROJ 1");
    ASSERT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, contacts, L"Quoted", &value), S_OK);
    EXPECT_EQ(value, L"say \"hi\" C:\\x \\n");

    EXPECT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, contacts, L"MCT", &value), E_NOTFOUND);
    EXPECT_EQ(platform::RegistryReadString(RegistryRoot::CurrentUser, kAddinKey, L"InstallDir", &value),
              E_NOTFOUND);
    EXPECT_TRUE(platform::RegistryKeyExists(RegistryRoot::LocalMachine, L"SOFTWARE\\XENRA, Inc."));
    EXPECT_FALSE(platform::RegistryKeyExists(RegistryRoot::LocalMachine, L"SOFTWARE\\Other"));
    std::vector<std::wstring> names;
    ASSERT_EQ(platform::RegistrySubkeyNames(RegistryRoot::LocalMachine, kAddinKey, &names), S_OK);
    EXPECT_EQ(names, std::vector<std::wstring>{L"Contacts Default Options"});
}

TEST_F(RegistryTest, ExpandsIntoACallerBufferThatMustBeLargeEnough) {
    WriteFile(kSample);
    const std::wstring expected = L"/opt/dorvix/addin";
    wchar_t buffer[32];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    ASSERT_EQ(platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir",
                                                   buffer, expected.size() + 1),
              S_OK);
    EXPECT_EQ(std::wstring(buffer), expected);

    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir",
                                                   buffer, expected.size()),
              E_MOREDATA);
    EXPECT_EQ(buffer[0], L'#');  // untouched
    EXPECT_EQ(
        platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, kAddinKey, L"Missing", buffer, 32),
        E_NOTFOUND);
    EXPECT_EQ(buffer[0], L'#');
}

TEST_F(RegistryTest, ExpandsIntoAStringUpToAGivenLength) {
    WriteFile(kSample + std::string("\"Empty\"=\"\"\n"));
    const std::wstring options = std::wstring(kAddinKey) + L"Contacts Default Options";
    std::wstring value = L"keep";
    EXPECT_EQ(platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir", 16,
                                                   &value),
              E_MOREDATA);  // "/opt/dorvix/addin" has 17 characters
    EXPECT_EQ(value, L"keep");
    EXPECT_EQ(
        platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, options, L"Missing", 99, &value),
        E_NOTFOUND);
    EXPECT_EQ(value, L"keep");
    ASSERT_EQ(platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir", 17,
                                                   &value),
              S_OK);
    EXPECT_EQ(value, L"/opt/dorvix/addin");
    ASSERT_EQ(platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, options, L"Empty", 0, &value),
              S_OK);
    EXPECT_EQ(value, L"");  // an empty option is a value, not a failure
    wchar_t buffer[8] = L"keep";
    EXPECT_EQ(platform::RegistryReadExpandedString(RegistryRoot::LocalMachine, options, L"Empty", buffer, 8),
              E_FAIL);  // but no path
    EXPECT_EQ(std::wstring(buffer), L"keep");
}

TEST_F(RegistryTest, MakersHelpersOpenReadAndClose) {
    WriteFile(kSample);
    HKEY key = nullptr;
    ASSERT_EQ(XenRegOpenKeyW(0, kAddinKey, &key), S_OK);
    wchar_t buffer[260];
    ASSERT_EQ(XenRegGetStringValueW(key, L"InstallDir", buffer, 260), S_OK);
    EXPECT_EQ(std::wstring(buffer), L"%DORVIX_TEST_HOME%/addin");  // unexpanded
    EXPECT_EQ(XenRegGetStringValueW(key, L"InstallDir", buffer, 5), E_MOREDATA);
    EXPECT_EQ(XenRegGetStringValueW(key, L"Nothing", buffer, 260), E_NOTFOUND);
    EXPECT_EQ(XenRegCloseKey(key), S_OK);

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(XenRegOpenKeyW(0, L"SOFTWARE\\Nobody", &missing), E_NOTFOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(XenRegOpenKeyW(7, kAddinKey, &missing), E_INVALIDARG);
}

TEST_F(RegistryTest, MalformedFileIsRefusedAndNeverRewritten) {
    const std::string broken = std::string(kSample) + "InstallDir=oops\n";
    WriteFile(broken);
    std::wstring value;
    EXPECT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir", &value),
              E_BADFILEDATA);
    EXPECT_EQ(platform::RegistryWriteString(RegistryRoot::LocalMachine, kAddinKey, L"X", L"y"),
              E_BADFILEDATA);
    EXPECT_EQ(ReadFile(), broken);

    for (const char* bad : {"\"v\"=\"before any key\"\n", "[HKEY_NOWHERE\\A]\n", "[HKLM\\A\n",
                            "[HKLM\\A]\n\"v\"=\"unterminated\n", "[HKLM\\A]\n\"v\"=\"x\" trailing\n"}) {
        WriteFile(bad);
        EXPECT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, L"A", L"v", &value), E_BADFILEDATA)
            << bad;
    }
}

// Every refused write says why, naming the file; the file stays as it was.
TEST_F(RegistryTest, ARefusedWriteSaysWhy) {
    struct Row {
        const char* label;
        std::function<void(const std::filesystem::path&)> make;
        std::string problem;
    };
    const std::string f = file_.string();
    const Row rows[] = {
        {"not a registry file", [](const auto& p) { std::ofstream(p) << "[HKLM\\A]\nInstallDir=oops\n"; },
         "the registry file " + f + " is no registry file: line 2: a value name must be quoted"},
        {"read-only",
         [](const auto& p) {
             std::ofstream(p) << "[HKLM\\A]\n";
             std::filesystem::permissions(p, std::filesystem::perms(0444));
         },
         "the registry file is not written: cannot write " + f + ": the file is read-only"},
        {"a folder", [](const auto& p) { std::filesystem::create_directory(p); },
         "the registry file " + f + " cannot be read: not a regular file"},
        {"a FIFO", [](const auto& p) { ::mkfifo(p.c_str(), 0644); },
         "the registry file " + f + " cannot be read: not a regular file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        std::filesystem::remove_all(file_);
        row.make(file_);
        EXPECT_TRUE(FAILED(platform::RegistryWriteString(RegistryRoot::LocalMachine, L"A", L"v", L"x")));
        EXPECT_EQ(platform::RegistryLastProblem(), row.problem);
    }
    std::filesystem::remove_all(file_);
    const std::filesystem::path missingFolder = folder_ / "gone" / "registry.txt";
    platform::ScopedEnvironmentVariable elsewhere("DORVIX_REGISTRY", missingFolder.string());
    EXPECT_TRUE(FAILED(platform::RegistryWriteString(RegistryRoot::LocalMachine, L"A", L"v", L"x")));
    EXPECT_EQ(platform::RegistryLastProblem(), "the registry file is not written: cannot write " +
                                                   missingFolder.string() + ": No such file or directory");
    std::wstring value;
    EXPECT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, L"A", L"v", &value), E_NOTFOUND);
    EXPECT_EQ(platform::RegistryLastProblem(), "");
}

TEST_F(RegistryTest, WritesAndDeletesKeysForRegistration) {
    // No file yet: the first write creates it.
    const wchar_t* clsidKey = L"CLSID\\{E963ECA3-80F7-4291-A63F-633CA1F6454E}";
    ASSERT_EQ(platform::RegistryWriteString(RegistryRoot::ClassesRoot, clsidKey, L"", L"JXDorvixSolver"),
              S_OK);
    ASSERT_EQ(
        platform::RegistryWriteString(RegistryRoot::ClassesRoot, std::wstring(clsidKey) + L"\\InprocServer32",
                                      L"ThreadingModel", L"Both"),
        S_OK);
    ASSERT_EQ(
        platform::RegistryWriteString(RegistryRoot::ClassesRoot, clsidKey, L"Note", L"a \"quoted\" \\ text"),
        S_OK);

    std::wstring value;
    ASSERT_EQ(platform::RegistryReadString(RegistryRoot::ClassesRoot, clsidKey, L"note", &value), S_OK);
    EXPECT_EQ(value, L"a \"quoted\" \\ text");  // survives the file's escaping
    EXPECT_NE(
        ReadFile().find("[HKEY_CLASSES_ROOT\\CLSID\\{E963ECA3-80F7-4291-A63F-633CA1F6454E}\\InprocServer32]"),
        std::string::npos);

    EXPECT_EQ(platform::RegistryDeleteValue(RegistryRoot::ClassesRoot, clsidKey, L"Note"), S_OK);
    EXPECT_EQ(platform::RegistryDeleteValue(RegistryRoot::ClassesRoot, clsidKey, L"Note"), S_FALSE);
    EXPECT_EQ(platform::RegistryDeleteKey(RegistryRoot::ClassesRoot,
                                          L"clsid\\{e963eca3-80f7-4291-a63f-633ca1f6454e}"),
              S_OK);
    EXPECT_FALSE(platform::RegistryKeyExists(RegistryRoot::ClassesRoot, clsidKey));
    EXPECT_FALSE(
        platform::RegistryKeyExists(RegistryRoot::ClassesRoot, std::wstring(clsidKey) + L"\\InprocServer32"));
    EXPECT_EQ(platform::RegistryDeleteKey(RegistryRoot::ClassesRoot, clsidKey), S_FALSE);
    EXPECT_EQ(platform::RegistryCreateKey(RegistryRoot::CurrentUser, L"Software\\Empty"), S_OK);
    EXPECT_TRUE(platform::RegistryKeyExists(RegistryRoot::CurrentUser, L"Software\\Empty"));
}

TEST_F(RegistryTest, LineBreaksAreRefusedSoTheFileStaysReadable) {
    ASSERT_EQ(platform::RegistryWriteString(RegistryRoot::LocalMachine, L"Software\\A", L"Kept", L"yes"),
              S_OK);
    const std::string before = ReadFile();
    EXPECT_EQ(platform::RegistryWriteString(RegistryRoot::LocalMachine, L"Software\\A", L"V", L"two\nlines"),
              E_INVALIDARG);
    EXPECT_EQ(platform::RegistryWriteString(RegistryRoot::LocalMachine, L"Software\\A", L"N\nN", L"v"),
              E_INVALIDARG);
    EXPECT_EQ(platform::RegistryWriteString(RegistryRoot::LocalMachine, L"Software\\B\nC", L"V", L"v"),
              E_INVALIDARG);
    EXPECT_EQ(platform::RegistryCreateKey(RegistryRoot::LocalMachine, L"Software\\B\nC"), E_INVALIDARG);
    // A batch with one refused value writes none of the others.
    EXPECT_EQ(
        platform::RegistryWriteStrings(RegistryRoot::LocalMachine, {{L"Software\\C", L"", L"fine"},
                                                                    {L"Software\\C", L"V", L"two\nlines"}}),
        E_INVALIDARG);
    EXPECT_EQ(ReadFile(), before);
    std::wstring value;
    ASSERT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, L"Software\\A", L"Kept", &value),
              S_OK);
    EXPECT_EQ(value, L"yes");
}

TEST(RegistryWithoutFile, EveryKeyIsMissingAndWritesFail) {
    platform::ScopedEnvironmentVariable none("DORVIX_REGISTRY", std::nullopt);
    std::wstring value;
    EXPECT_EQ(platform::RegistryReadString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir", &value),
              E_NOTFOUND);
    HKEY key = nullptr;
    EXPECT_EQ(XenRegOpenKeyW(0, kAddinKey, &key), E_NOTFOUND);
    EXPECT_EQ(platform::RegistryWriteString(RegistryRoot::LocalMachine, kAddinKey, L"InstallDir", L"x"),
              E_FAIL);
    EXPECT_EQ(platform::RegistryLastProblem(), "there is no registry file: DORVIX_REGISTRY is not set");
}

}  // namespace
