// The definition objects of the unit database: prefixes, derived units and the holder of the
// base units. They are ordinary representation objects so the database saves and resumes
// like any model.
#pragma once

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/model_rep.h"

namespace NCAERep {

// Holds one string property per base unit: name = the unit's name, value = its alias.
class CBaseUnit : public CModelRep<CBaseUnit> {
  public:
    static constexpr const wchar_t* kTypeName = L"BaseUnit";
    explicit CBaseUnit(const CIdentity& identity) : CModelRep(identity) {}
};

class CPrefix : public CModelRep<CPrefix> {
  public:
    static constexpr const wchar_t* kTypeName = L"Prefix";
    explicit CPrefix(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Name, m_Alias, m_Factor;
};

class CDerivedUnit : public CModelRep<CDerivedUnit> {
  public:
    static constexpr const wchar_t* kTypeName = L"DerivedUnit";
    explicit CDerivedUnit(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Name, m_Alias, m_Factor, m_Offset, m_Expression, m_AllowedPrefix;
};

}  // namespace NCAERep
