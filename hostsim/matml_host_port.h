// The material answers of the host model provider (caerep's host port) over the host material
// objects: the provider of the file-backed host forwards its material questions here.
#pragma once

#include <string>

#include "caerep/core/host_ports.h"
#include "host/material.h"

// The material of that name; S_FALSE and null when the library has none, E_POINTER without
// a library.
[[nodiscard]] HRESULT FindHostLibraryMaterial(IHostMaterialLibrary* library, const std::wstring& name,
                                              ComPtr<IUnknown>& out);

// One property of a host material in the request's unit system: the data named `request.name`
// of the property named `request.group` (the same name when empty), or else the group's own
// datum, with the behaviour `request.qualifier` when one is given; its value column is named
// `request.name`. The temperatures are left out when the datum is not temperature dependent.
// 0, or -1 (and empty tables) when the material does not define the property, its value is
// undefined, a value cannot be read, or the values do not match the temperatures one to one.
[[nodiscard]] int ReadHostMaterialProperty(IUnknown* material,
                                           const NCAERep::MaterialPropertyRequest& request,
                                           NCAERep::MaterialPropertyTable& out);

// Whether the material defines the named model (a property of that name).
bool HostMaterialHasModel(IUnknown* material, const std::wstring& model);
