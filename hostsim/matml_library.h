// The host's material library of a case, answered from its MatML file: the host material
// objects of host/material.h over the materials read by ReadMatmlFile.
#pragma once

#include <filesystem>

#include "host/material.h"
#include "hostsim/matml_model.h"

// Reads the file and gives its library; throws MatmlError (file, line, reason) when the file
// cannot be read or does not fit the accepted MatML form.
ComPtr<IHostMaterialLibrary> LoadMaterialLibrary(const std::filesystem::path& path);

// A library over materials already read.
ComPtr<IHostMaterialLibrary> MakeMaterialLibrary(MatmlLibraryData data);
