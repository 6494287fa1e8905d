// The definition objects of the unit database: prefixes, derived units and the holder of the
// base units. They are ordinary representation objects so the database saves and resumes
// like any model.
#pragma once

#include "caerep/core/cae_rep_base.h"

namespace NCAERep {

// Holds one string property per base unit: name = the unit's name, value = its alias.
class CBaseUnit : public CCAERepBase {
public:
    explicit CBaseUnit(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};

class CPrefix : public CCAERepBase {
public:
    explicit CPrefix(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Name, m_Alias, m_Factor;
};

class CDerivedUnit : public CCAERepBase {
public:
    explicit CDerivedUnit(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Name, m_Alias, m_Factor, m_Offset, m_Expression, m_AllowedPrefix;
};

}  // namespace NCAERep
