// Reads the material library of a case from its MatML file (the accepted form is described in
// docs/case-format/matml.md). A file that does not fit that form is refused as a whole, with
// the file, the line and the reason, so that no material is ever answered from half a file.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "hostsim/matml_model.h"

class MatmlError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

MatmlLibraryData ReadMatmlFile(const std::filesystem::path& path);
// `sourceName` names the text in error messages.
MatmlLibraryData ReadMatmlText(std::string_view xml, const std::string& sourceName);
