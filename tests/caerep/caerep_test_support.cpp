// The unit installation set up once through the registry stand-in, scratch folders, and file helpers.
#include "caerep_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/path_text.h"

namespace caerep_test {

namespace fs = std::filesystem;

namespace {
fs::path Root() {
    static fs::path root = platform::CreateUniqueTemporaryFolder("caerep-tests");
    return root;
}

// Points the registry stand-in at an installation holding the project's unit files, before
// any test can create the unit database singleton.
class UnitInstallation : public ::testing::Environment {
  public:
    void SetUp() override {
        fs::path xml = InstallFolder() / "xml";
        fs::create_directories(xml);
        for (const char* f : {"Units_qzm.xml", "UnitCategoryBaseDimension.xml", "JXAdaptorUnits.xml"})
            fs::copy_file(fs::path(DORVIX_SOURCE_DIR) / "data" / "units" / f, xml / f);
        fs::path registry = Root() / "registry.txt";
        WriteFile(registry,
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\JXApplet]\n"
                  "\"InstallDir\"=\"" +
                      InstallFolder().string() + "\"\n");
        platform::WriteEnvironmentVariable(std::string_view("DORVIX_REGISTRY"), registry.string());
    }
    void TearDown() override { fs::remove_all(Root()); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UnitInstallation);
}  // namespace

// Named with a non-ASCII letter: the unit files must be found through the registry's wide text.
fs::path InstallFolder() { return Root() / platform::PathFromUtf8("install-\xC3\xA9"); }

fs::path ScratchFolder(const std::string& name) {
    fs::path p = Root() / "scratch" / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

fs::path DataFile(const std::string& name) { return fs::path(DORVIX_TEST_DATA) / "caerep" / name; }

}  // namespace caerep_test
