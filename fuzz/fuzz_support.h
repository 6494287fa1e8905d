// What the fuzz targets share: the input as text, a scratch folder of the process, and a unit
// installation for the readers that convert units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// A folder of this process below the temporary folder, removed when the process ends.
const std::filesystem::path& ScratchFolder();

// Points the registry at an installation whose "xml" folder holds the project's unit files, so
// that the unit database loads as it does in an installed add-in. Call once, before anything
// asks for the unit database.
void InstallUnitDefinitions();

// Stops the process so that libFuzzer reports the input: for a broken promise of a reader
// that no sanitizer would notice.
[[noreturn]] void Broken(const char* what);

}  // namespace fuzz
