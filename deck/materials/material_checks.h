// Questions asked of a host material that decide how it is written and whether the deck needs
// the solver's non-linear module.
#pragma once

#include <string>
#include <vector>

#include "host/material.h"

inline constexpr const wchar_t* kChabocheKinematicHardening = L"Chaboche Kinematic Hardening";
inline constexpr const wchar_t* kPlakinSpecialHardeningLaw = L"Plakin Special Hardening Law";

// The bit of an analysis kind n in the mask of the nonlinear check: 2^(n - 1); 0 for n below 1
// or above 31.
constexpr int PowerOfTwoBit(int kind) { return kind < 1 || kind > 31 ? 0 : 1 << (kind - 1); }

// Index of the first name the material's property collection holds; -1 when none, when the
// material is null or it hands out no collection.
int FindFirstDefinedProperty(IHostMaterial* material, const std::vector<std::wstring>& names);

bool HasPlasticHardening(IHostMaterial* material);
bool HasHyperelasticModel(IHostMaterial* material);
// The isotropic law in the order bilinear, multilinear; false and an empty name when none.
bool GetIsotropicHardeningLaw(IHostMaterial* material, std::wstring& name);
bool HasIsotropicHardening(IHostMaterial* material);
// The kinematic law in the order multilinear, bilinear; false and an empty name when none.
bool GetKinematicHardeningLaw(IHostMaterial* material, std::wstring& name);
bool HasKinematicHardening(IHostMaterial* material);
bool HasChabocheKinematicHardening(IHostMaterial* material);
bool HasPlakinSpecialHardeningLaw(IHostMaterial* material);

// Whether the material alone makes the analysis non-linear. `checkCode` is the physics mask
// times 10000, plus 1 for a transient analysis. The flag is VARIANT_TRUE or VARIANT_FALSE;
// the result is that of the last host question asked (S_OK when every one was answered).
[[nodiscard]] HRESULT MaterialNeedsNonlinearModule(IHostMaterial* material, int checkCode,
                                                   VARIANT_BOOL& needsModule);
