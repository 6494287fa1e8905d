// The fuzz scratch folder (removed at exit), unit files copied into a stand-in installation, aborting.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/environment.h"
#include "platform/files.h"

namespace fuzz {

namespace {

// Removes the folder when the process ends, after every use of it.
class Scratch {
  public:
    Scratch() : path_(platform::CreateUniqueTemporaryFolder("dorvix-fuzz")) {
        if (path_.empty()) Broken("no scratch folder");
    }
    ~Scratch() { platform::DeleteFolderTree(path_); }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& ScratchFolder() {
    static const Scratch scratch;
    return scratch.Path();
}

void InstallUnitDefinitions() {
    const std::filesystem::path xml = ScratchFolder() / "install" / "xml";
    if (!platform::CreateFolders(xml)) Broken("no installation folder");
    for (const char* file : {"Units_qzm.xml", "UnitCategoryBaseDimension.xml", "JXAdaptorUnits.xml"})
        if (!platform::CopyFileTo(std::filesystem::path(DORVIX_SOURCE_DIR) / "data" / "units" / file,
                                  xml / file, false))
            Broken("the unit definition files cannot be copied");
    const std::filesystem::path registry = ScratchFolder() / "registry.txt";
    std::ofstream(registry, std::ios::binary)
        << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\JXApplet]\n"
        << "\"InstallDir\"=\"" << (ScratchFolder() / "install").string() << "\"\n";
    platform::WriteEnvironmentVariable(std::string_view("DORVIX_REGISTRY"), registry.string());
}

void Broken(const char* what) {
    std::fprintf(stderr, "fuzz target: %s\n", what);
    std::abort();
}

}  // namespace fuzz
