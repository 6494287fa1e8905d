// A benchmark's temporary folder: made when first asked for and removed, with everything the
// benchmark wrote into it, when the program ends.
#pragma once

#include <filesystem>

#include "platform/files.h"

namespace bench {

class ScratchFolder {
  public:
    explicit ScratchFolder(const char* tag) : path_(platform::CreateUniqueTemporaryFolder(tag)) {}
    ~ScratchFolder() { (void)platform::DeleteFolderTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace bench
